#include "debug/disassembler.h"

#include <capstone/capstone.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>

namespace {

struct Text {
    std::string mnemonic;
    std::string operands;
};

Text disassemble(uint32_t word, uint32_t pc = 0x80000000) {
    char mnemonic[DISASSEMBLY_TEXT_SIZE];
    char operands[DISASSEMBLY_TEXT_SIZE];
    disassembleInstruction(pc, 0, word, mnemonic, operands);
    return {mnemonic, operands};
}

} // namespace

// The examples a reader of the halt log meets first: no-ops, constants, branches
// and jumps with their computed targets, coprocessor moves and undefined opcodes.
TEST(Disassembler, FormatsCommonInstructions) {
    struct Case {
        uint32_t word;
        uint32_t pc;
        const char* mnemonic;
        const char* operands;
    } cases[] = {
        {0x00000000, 0x80000000, "NOP", ""},
        {0x00000040, 0x80000000, "SLL", "r0, r0, 0x0001"},
        {0x001FF7C0, 0x80000000, "SLL", "s8, ra, 0x001F"},
        {0x3C1A8000, 0x80000000, "LUI", "k0, 0x8000"},
        {0x1000FFFF, 0x80000400, "BEQ", "r0, r0, 0x80000400"},
        {0x0C000100, 0x80001000, "JAL", "0x80000400"},
        {0x40806000, 0x80000000, "MTC0", "r0, Status"},
        {0x46000000, 0x80000000, "ADD", "f00, f00, f00"},
        {0x4C000000, 0x80000000, "Unknown", "Instruction"},
        {0x48000000, 0x80000000, "RCP", "Instruction"},
        // Operand order differs between the register forms.
        {0x00851021, 0x80000000, "ADDU", "v0, a0, a1"},
        {0x00A41004, 0x80000000, "SLLV", "v0, a0, a1"},
        {0x03E00008, 0x80000000, "JR", "ra"},
        {0x0080F809, 0x80000000, "JALR", "ra, a0"},
        {0x00001010, 0x80000000, "MFHI", "v0"},
        {0x0000783C, 0x80000000, "DSLL32", "t7, r0, 0x00"},
        {0x8FBF0014, 0x80000000, "LW", "ra, 0x0014(sp)"},
        {0xC7A40010, 0x80000000, "LWC1", "f04, 0x0010(sp)"},
        {0xBC9900F0, 0x80000000, "CACHE", "op, 0x00F0(a0)"},
        {0x0411FFFE, 0x80000010, "BGEZAL", "r0, 0x8000000C"},
        {0x45010002, 0x80000000, "BC1T", "0x8000000C"},
        {0x445FF800, 0x80000000, "CFC1", "ra, fcr31"},
        {0x40A9F800, 0x80000000, "DMTC0", ""},
        {0x4002F800, 0x80000000, "MFC0", "v0, *Reserved*"},
        {0x46221083, 0x80000000, "DIV", "f02, f02, f02"},
        {0x4620020D, 0x80000000, "TRUNC.W", "f08, f00"},
        {0xE8000000, 0x80000000, "SWC2", "Instruction"},
        // Holes in the decoding tables.
        {0x00000001, 0x80000000, "Unknown", "Instruction"},
        {0x42000000, 0x80000000, "Unknown", "Instruction"},
        {0x46400000, 0x80000000, "Unknown", "Instruction"},
        {0xCC000000, 0x80000000, "Unknown", "Instruction"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.word);
        const Text text = disassemble(c.word, c.pc);
        EXPECT_EQ(text.mnemonic, c.mnemonic);
        EXPECT_EQ(text.operands, c.operands);
    }
}

// Branch targets wrap around the 32-bit address space; jump targets take their
// region from the address of the delay slot, not of the jump.
TEST(Disassembler, ComputesTargetsAtAddressSpaceEdges) {
    EXPECT_EQ(disassemble(0x10000001, 0xFFFFFFF8).operands, "r0, r0, 0x00000000");
    EXPECT_EQ(disassemble(0x1000FFFE, 0x00000000).operands, "r0, r0, 0xFFFFFFFC");
    EXPECT_EQ(disassemble(0x10007FFF, 0x80000000).operands, "r0, r0, 0x80020000");
    EXPECT_EQ(disassemble(0x10008000, 0x80000000).operands, "r0, r0, 0x7FFE0004");
    EXPECT_EQ(disassemble(0x0BFFFFFF, 0x8FFFFFFC).operands, "0x9FFFFFFC");
    EXPECT_EQ(disassemble(0x08000000, 0xFFFFFFFC).operands, "0x00000000");
}

// A word moved between a general and a floating-point register names the
// floating-point register; only CFC1 and CTC1 name a control register.
TEST(Disassembler, NamesFloatingPointMoveRegisters) {
    EXPECT_EQ(disassemble(0x44023000).operands, "v0, f06");   // MFC1
    EXPECT_EQ(disassemble(0x44823800).operands, "v0, f07");   // MTC1
    EXPECT_EQ(disassemble(0x44A3F000).operands, "v1, f30");   // DMTC1
    EXPECT_EQ(disassemble(0x44C2F800).operands, "v0, fcr31"); // CTC1
}

// Every word, with the longest register names in every field, fits the
// caller's buffers. The buffers are heap blocks of exactly the promised size
// so that the address sanitizer sees any write past them.
TEST(Disassembler, StaysWithinBuffersForEveryEncoding) {
    auto mnemonic = std::make_unique<char[]>(DISASSEMBLY_TEXT_SIZE);
    auto operands = std::make_unique<char[]>(DISASSEMBLY_TEXT_SIZE);
    for (uint32_t selector = 0; selector < (1u << 17); ++selector) {
        // opcode, rs and funct exhaustively; rt, rd and sa all ones or all zeros.
        const uint32_t opcode = selector >> 11, rs = (selector >> 6) & 31, funct = selector & 63;
        for (uint32_t fill : {0u, 0x001FFFC0u, 0x0007FFC0u}) {
            const uint32_t word = (opcode << 26) | (rs << 21) | fill | funct;
            disassembleInstruction(0xFFFFFFFC, 0xFFFFFFFF, word, mnemonic.get(), operands.get());
            ASSERT_LT(std::strlen(mnemonic.get()), DISASSEMBLY_TEXT_SIZE);
            ASSERT_LT(std::strlen(operands.get()), DISASSEMBLY_TEXT_SIZE);
        }
    }
}

namespace {

// Where Capstone's MIPS64 decoder and this disassembler name the same
// encoding differently on purpose, as "ours:capstone" ("*" matches any name):
// - Capstone prefers assembler aliases;
// - later revisions of the architecture give the rs or sa field of these
//   shifts a meaning (rotates), the R4300i none;
// - opcode 18 is the signal processor's coprocessor, named as a whole, where
//   Capstone names the generic COP2 operations;
// - Capstone decodes the COP2 loads and stores as a later vendor's bit branches.
const char* const knownDifferences =
    " beq:b beq:beqz bne:bnez nor:not bgezal:bal jalr:jr addu:move daddu:move or:move sub:neg"
    " subu:negu srl:rotr dsrl:drotr dsrl32:drotr32 srlv:rotrv dsrlv:drotrv rcp:*"
    " lwc2:bbit0 ldc2:bbit032 swc2:bbit1 sdc2:bbit132 ";

bool isKnownDifference(const std::string& ours, const std::string& capstone) {
    const std::string known(knownDifferences);
    return known.find(" " + ours + ":" + capstone + " ") != std::string::npos ||
           known.find(" " + ours + ":* ") != std::string::npos;
}

std::string lowercase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class CapstoneDecoder {
  public:
    CapstoneDecoder() {
        opened_ = cs_open(CS_ARCH_MIPS, cs_mode(CS_MODE_MIPS64 | CS_MODE_BIG_ENDIAN), &handle_) ==
                  CS_ERR_OK;
    }
    ~CapstoneDecoder() {
        if (opened_) cs_close(&handle_);
    }
    bool opened() const { return opened_; }
    // The mnemonic of `word`, or empty when Capstone has none.
    std::string mnemonic(uint32_t word, uint32_t pc) const {
        const uint8_t bytes[4] = {uint8_t(word >> 24), uint8_t(word >> 16), uint8_t(word >> 8),
                                  uint8_t(word)};
        cs_insn* insn = nullptr;
        const size_t count = cs_disasm(handle_, bytes, sizeof bytes, pc, 1, &insn);
        std::string name = count ? insn[0].mnemonic : "";
        if (count) cs_free(insn, count);
        return name;
    }

  private:
    csh handle_ = 0;
    bool opened_ = false;
};

} // namespace

// Walks every opcode with every rs and rt value, and for the opcodes decoded
// further (SPECIAL, REGIMM, COP0, COP1) every funct as well; the remaining bits
// are once clear and once random, as Capstone rejects most encodings with
// nonzero unused fields. Wherever both decoders name an instruction the names
// must agree, apart from the listed differences, and every mnemonic this
// disassembler produces must have been confirmed at least once.
TEST(Disassembler, MnemonicsAgreeWithCapstone) {
    CapstoneDecoder capstone;
    ASSERT_TRUE(capstone.opened());
    std::mt19937 random(20240611);
    std::set<std::string> produced, confirmed;
    std::map<std::string, uint32_t> mismatches; // "ours/capstone" -> one example word
    for (uint32_t opcode = 0; opcode < 64; ++opcode) {
        const bool byFunct = opcode == 0 || opcode == 1 || opcode == 16 || opcode == 17;
        for (uint32_t fields = 0; fields < (byFunct ? 1u << 16 : 1u << 10); ++fields) {
            for (int sample = 0; sample < 2; ++sample) {
                // One word with the remaining bits clear, one with random bits.
                uint32_t rest = sample ? random() & (byFunct ? 0xFFC0u : 0xFFFFu) : 0;
                if (random() & 1) rest &= ~0x07C0u; // sa
                if (random() & 1) rest &= ~0xF800u; // rd
                const uint32_t selectors =
                    byFunct ? (fields >> 6) << 16 | (fields & 63) : fields << 16;
                const uint32_t word = opcode << 26 | selectors | rest;
                const uint32_t pc = 0x80000000 | (random() & 0x0FFFFFFC);

                const std::string ours = lowercase(disassemble(word, pc).mnemonic);
                if (ours == "unknown") continue;
                produced.insert(ours);
                std::string theirs = capstone.mnemonic(word, pc);
                if (theirs.empty()) continue;
                // Floating-point arithmetic: Capstone appends the format (".s", ".d", ...).
                const uint32_t fmt = (word >> 21) & 31;
                if (opcode == 17 && (fmt == 16 || fmt == 17 || fmt == 20 || fmt == 21)) {
                    const size_t dot = theirs.rfind('.');
                    if (dot != std::string::npos) theirs.resize(dot);
                }
                if (ours == theirs) {
                    confirmed.insert(ours);
                } else if (!isKnownDifference(ours, theirs)) {
                    mismatches.emplace(ours + "/" + theirs, word);
                }
            }
        }
    }
    for (const auto& [names, word] : mismatches)
        ADD_FAILURE() << "ours/capstone " << names << " for 0x" << std::hex << word;

    // Instructions Capstone never names as the R4300i does.
    const std::set<std::string> unconfirmable = {"cfc0", "ctc0", "rcp", "lwc2",
                                                 "ldc2", "swc2", "sdc2"};
    for (const std::string& name : produced) {
        if (!confirmed.count(name) && !unconfirmable.count(name))
            ADD_FAILURE() << name << " was never confirmed by Capstone";
    }
}
