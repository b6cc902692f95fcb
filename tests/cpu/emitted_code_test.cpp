// The code the translator emits, decoded with Capstone: the statements about
// emitted code that matter for correctness and for the guest's register 0.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/cpu_state.h"
#include "core/machine_mode.h"
#include "cpu/recompiler/code_cache.h"
#include "cpu/recompiler/compile_block.h"
#include "cpu/recompiler/compile_state.h"
#include "hle/hle_table.h"
#include "support/cpu_test_support.h"
#include "system/run_loop.h"

using namespace enc;

namespace {

constexpr uint32_t PC = 0x80001000;

std::vector<std::string> text(uint32_t word, uint32_t pc = PC) {
    return translateToText(pc, {word});
}

bool mentions(const std::vector<std::string>& lines, const std::string& what) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(what) != std::string::npos; });
}

class EmittedCodeTest : public CpuTest {};

} // namespace

TEST_F(EmittedCodeTest, NopAndReservedInstructionsEmitNothing) {
    unsigned bytes = 1;
    EXPECT_TRUE(translateToText(PC, {nop()}, &bytes).empty());
    EXPECT_EQ(bytes, 0u);
    // SYNC, SYSCALL, CACHE, LWC2 and SWC2 are skipped silently.
    for (uint32_t word : {syncOp(), 0x0000000Cu, 0xBC000000u, 0xC8000000u, 0xE8000000u}) {
        EXPECT_TRUE(text(word).empty()) << std::hex << word;
    }
    EXPECT_TRUE(sink.messages().empty());
    // SLL with a shift of 0 but a real destination is not a NOP.
    EXPECT_FALSE(text(sll(t0, t1, 0)).empty());
}

TEST_F(EmittedCodeTest, AdduIntoRegisterZeroStillLoadsAndAdds) {
    const auto lines = text(addu(r0, t0, t1));
    EXPECT_TRUE(mentions(lines, "mov eax, dword ptr [gpr8.lo]")) << joinLines(lines);
    EXPECT_TRUE(mentions(lines, "mov ebx, dword ptr [gpr9.lo]")) << joinLines(lines);
    EXPECT_TRUE(mentions(lines, "add eax, ebx")) << joinLines(lines);
}

// The integer family's representative: ORI in place touches the low word only
// (its special forms' results are the differential test's).
TEST_F(EmittedCodeTest, OriInPlaceWritesTheLowWordOnly) {
    EXPECT_EQ(text(ori(t0, t0, 0x10)),
              (std::vector<std::string>{"mov eax, dword ptr [gpr8.lo]", "or eax, 0x10",
                                        "mov dword ptr [gpr8.lo], eax"}));
    EXPECT_TRUE(text(ori(t0, t0, 0)).empty());
}

TEST_F(EmittedCodeTest, BlocksSaveRbxAndLeaveThroughTheEndCheck) {
    place(PC, {sw(t0, 0, t1), jr(ra), nop()});
    BlockSource where;
    ASSERT_TRUE(findBlockSource(PC, where));
    ASSERT_TRUE(compileBlock(PC, where.source, where.wordsAvailable, codeCache,
                             codeCache + CODE_CACHE_SIZE));
    const BlockHeader record = readBlockHeader(codeCache);
    EXPECT_EQ(record.startPc, PC);
    EXPECT_EQ(record.endPc, PC + 8);
    EXPECT_EQ(record.instructionCount, 3u);
    const auto lines =
        disassembleCode(codeCache + BLOCK_HEADER_SIZE, usedBytes - BLOCK_HEADER_SIZE);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines.front(), "push rbx");
    const std::vector<std::string> tail(lines.end() - 6, lines.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"mov eax, dword ptr [mem_actions]", "or eax, eax", tail[2],
                                        "call processMemActions", "pop rbx", "ret"}));
    EXPECT_EQ(tail[2].substr(0, 2), "je");
}

TEST_F(EmittedCodeTest, LikelyBranchLeavesEarlyWithPopAndRet) {
    const auto lines = text(beql(t0, t1, 4));
    EXPECT_TRUE(mentions(lines, "mov dword ptr [pc], 0x80001008")) << joinLines(lines);
    const auto ret = std::find(lines.begin(), lines.end(), "ret");
    ASSERT_NE(ret, lines.end());
    EXPECT_EQ(*(ret - 1), "pop rbx");
}

TEST_F(EmittedCodeTest, IdleJumpSkipsToTheNextEvent) {
    const auto idle = translateToText(PC, {j(PC), nop()});
    EXPECT_TRUE(mentions(idle, "call skipIdleTime")) << joinLines(idle);
    const auto busy = translateToText(PC, {j(PC), addiu(t0, t0, 1)});
    EXPECT_EQ(busy, (std::vector<std::string>{"mov dword ptr [pc], 0x80001000"}));
    // The look-ahead never reads beyond the memory block.
    EXPECT_EQ(translateToText(PC, {j(PC)}).size(), 1u);
}

TEST_F(EmittedCodeTest, EveryTemplateFitsTheRoomKeptPerInstruction) {
    // compileBlock keeps MAX_INSTRUCTION_CODE bytes in hand per instruction.
    hleEnabled = false;
    std::vector<uint32_t> words = {mfc0(t0, 12), mtc0(t0, 11), mtc0(r0, 11), tlbr(),
                                   tlbwi(),      tlbp(),       eret(),       mfc1(t0, 4),
                                   cfc1(t0, 31), mtc1(t0, 4),  ctc1(t0, 31)};
    for (uint32_t op = 0; op < 64; ++op)
        for (uint32_t low : {0u, 0x0Cu, 0x1Du, 0x2Au, 0x3Fu, 0x38u, 0x18u, 0x11u})
            for (uint32_t mid : {0u, 0x00110000u, 0x03E00000u, 0x0000F800u})
                words.push_back((op << 26) | mid | low | 0x00094000);
    for (uint32_t code = 0; code < 4; ++code)
        words.push_back(bc1(code, -4));
    for (uint32_t fmt : {FMT_S, FMT_D, FMT_W})
        for (uint32_t funct : {F_ADD, F_SUB, F_MUL, F_DIV, F_SQRT, F_ABS, F_MOV, F_NEG, F_TRUNC_W,
                               F_CVT_S, F_CVT_D, F_CVT_W, F_C_EQ, F_C_LT, F_C_LE})
            words.push_back(fpu(fmt, funct, 2, 4, 6));
    for (MachineMode mode : {MachineMode::Design, MachineMode::Complete}) {
        theMachineMode = mode;
        for (uint32_t word : words) {
            unsigned bytes = 0;
            const auto lines = translateToText(0x80000248, {word, nop()}, &bytes);
            EXPECT_LE(bytes, MAX_INSTRUCTION_CODE) << std::hex << word << ": " << joinLines(lines);
            // Every byte decodes: no stray immediates or broken displacements.
            EXPECT_FALSE(mentions(lines, "(bad)")) << std::hex << word << ": " << joinLines(lines);
        }
    }
}

TEST_F(EmittedCodeTest, CompleteMachineLeavesAtAnExceptionAndTracksStores) {
    theMachineMode = MachineMode::Complete;
    // ADD: the overflow leaves the block before the result is stored.
    const auto add = text(special(t2, t0, t1, 0x20));
    const auto raise = std::find(add.begin(), add.end(), "call enterGuestException");
    const auto store = std::find(add.begin(), add.end(), "mov dword ptr [gpr10.lo], eax");
    ASSERT_NE(raise, add.end()) << joinLines(add);
    EXPECT_TRUE(mentions(add, "jno")) << joinLines(add);
    EXPECT_TRUE(std::find(raise, store, "ret") != store) << joinLines(add);
    // A trap hands its word and address to the routine that decides it.
    const auto trap = text(special(0, t0, t1, 0x34));
    EXPECT_TRUE(mentions(trap, "mov esi, 0x80001000")) << joinLines(trap);
    EXPECT_TRUE(mentions(trap, "call trapWhen")) << joinLines(trap);
    // Stores discard the translated code they overwrite. An unaligned
    // address leaves through the address error before the access.
    const auto wordStore = text(sw(t0, 0, t1));
    EXPECT_TRUE(mentions(wordStore, "call memWriteTracked"));
    const auto test = std::find(wordStore.begin(), wordStore.end(), "test al, 3");
    ASSERT_NE(test, wordStore.end()) << joinLines(wordStore);
    EXPECT_EQ(test[1].substr(0, 3), "je ") << joinLines(wordStore);
    EXPECT_TRUE(std::find(test, wordStore.end(), "call enterAddressError") <
                std::find(test, wordStore.end(), "call memWriteTracked"))
        << joinLines(wordStore);
    EXPECT_TRUE(mentions(text(ld(t0, 0, t1)), "test al, 7"));
    EXPECT_FALSE(mentions(text(lb(t0, 0, t1)), "test al"));
    theMachineMode = MachineMode::Design;
    EXPECT_TRUE(mentions(text(sw(t0, 0, t1)), "call memWrite"));
    EXPECT_FALSE(mentions(text(sw(t0, 0, t1)), "test al"));
    EXPECT_TRUE(text(0x0000000Cu).empty()); // SYSCALL does nothing
}

TEST_F(EmittedCodeTest, TlbWriteStoresTheEntryBeforeDerivingItsTranslation) {
    const auto lines = text(tlbwi());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "mov edx, dword ptr [cop0.Index]");
    EXPECT_TRUE(mentions(lines, "cmp edx, 0x20")) << joinLines(lines);
    EXPECT_TRUE(mentions(lines, "lea rcx, [tlb]")) << joinLines(lines);
    EXPECT_EQ(lines.back(), "call tlbWriteIndexed");
}

TEST_F(EmittedCodeTest, CompleteMachineTestsABaseOnceInARunOfAccesses) {
    theMachineMode = MachineMode::Complete;
    place(PC, {lw(t1, 0, a0), lw(t2, 4, a0), sw(t1, 0, a1), sw(t2, 4, a1), jr(ra), nop()});
    BlockSource where;
    ASSERT_TRUE(findBlockSource(PC, where));
    ASSERT_TRUE(compileBlock(PC, where.source, where.wordsAvailable, codeCache,
                             codeCache + CODE_CACHE_SIZE));
    const auto lines =
        disassembleCode(codeCache + BLOCK_HEADER_SIZE, usedBytes - BLOCK_HEADER_SIZE);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "test al, 3"), 2) << joinLines(lines);
}
