// Block shape of the reference interpreter: where blocks end, what they count,
// what pc holds afterwards, the end check, and the instruction fillers.
#include <cstring>
#include <memory>

#include "cpu/interpreter_fixture.h"
#include "debug/disassembler.h"

using namespace mips;

namespace {

// The message a missing instruction must produce, with the disassembler's
// mnemonic for its word.
std::string missingMessage(const char* group, uint32_t pc, uint32_t word) {
    char mnemonic[DISASSEMBLY_TEXT_SIZE] = {};
    char operands[DISASSEMBLY_TEXT_SIZE] = {};
    disassembleInstruction(pc, 0, word, mnemonic, operands);
    char text[512];
    std::snprintf(text, sizeof text,
                  "Instruction %s_%s() @ $%X missing in the recompiler!\nOP=0x%X", group, mnemonic,
                  pc, word);
    return text;
}

} // namespace

TEST_F(InterpreterTest, BlockEndsAfterTheDelaySlotOfItsFirstJump) {
    setReg(ra, 0x80004000);
    const uint32_t count = run({addiu(t0, r0, 5), jr(ra), addiu(t1, r0, 6), addiu(t2, r0, 7)});
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(theCpu.pc, 0x80004000u);
    EXPECT_EQ(reg(t0), 5u);
    EXPECT_EQ(reg(t1), 6u); // the delay slot runs
    EXPECT_EQ(reg(t2), 0u); // the word after it belongs to the next block
}

TEST_F(InterpreterTest, BranchInADelaySlotExtendsTheBlockByOne) {
    // BEQ taken, then J in its delay slot: the J's target wins and its own
    // delay slot is part of the block.
    const uint32_t count =
        run({beq(r0, r0, 10), j(0x80005000), addiu(t0, r0, 1), addiu(t1, r0, 1)});
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(theCpu.pc, 0x80005000u);
    EXPECT_EQ(reg(t0), 1u);
    EXPECT_EQ(reg(t1), 0u);
}

TEST_F(InterpreterTest, MissingInstructionReportsHaltsAndEndsTheBlock) {
    const uint32_t word = daddiu(t0, t0, 1);
    const uint32_t count = run({addiu(t1, r0, 3), word, addiu(t2, r0, 4), jr(ra), nop()});
    EXPECT_EQ(count, 2u);
    // No pc store was made: pc holds the block's last instruction.
    EXPECT_EQ(theCpu.pc, CODE + 4);
    EXPECT_EQ(reg(t1), 3u);
    EXPECT_EQ(reg(t2), 0u);
    EXPECT_TRUE(isEmulationHalted());
    const auto messages = sink->messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].flags & 0x0F, 0u); // a plain OK box
    EXPECT_EQ(messages[0].text, missingMessage("CPU", CODE + 4, word));
}

TEST_F(InterpreterTest, MissingInstructionGroupsFollowTheMajorOpcode) {
    const uint32_t tlbwr = 0x42000006; // COP0 CO TLBWR
    const uint32_t cvtL = 0x46000025;  // COP1 S CVT.L
    const uint32_t sdc2 = 0xF8000000;  // SDC2
    const uint32_t bc0f = 0x41000000;  // BC0F
    run({tlbwr});
    run({cvtL});
    run({sdc2});
    run({bc0f});
    const auto messages = sink->messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0].text, missingMessage("COP0", CODE, tlbwr));
    EXPECT_EQ(messages[1].text, missingMessage("COP1", CODE, cvtL));
    EXPECT_EQ(messages[2].text, missingMessage("CPU", CODE, sdc2));
    EXPECT_EQ(messages[3].text, missingMessage("COP0", CODE, bc0f));
}

TEST_F(InterpreterTest, ReservedEncodingsDoNothingButCount) {
    setReg(ra, 0x80004000);
    const uint32_t cache = itype(0x2F, t0, 0, 0);
    const uint32_t lwc2 = itype(0x32, t0, t1, 0);
    const uint32_t swc2 = itype(0x3A, t0, t1, 0);
    const uint32_t specialHole = rtype(t0, t1, t2, 0, 0x01);
    const uint32_t cop1Hole = 0x46600000; // COP1 rs 0x13
    const uint32_t regimmHole = regimm(t0, 0x04, 0);
    const uint32_t count = run({mips::sync(), mips::syscall(), cache, lwc2, swc2, specialHole,
                                cop1Hole, regimmHole, jr(ra), nop()});
    EXPECT_EQ(count, 10u);
    EXPECT_EQ(theCpu.pc, 0x80004000u);
    EXPECT_FALSE(isEmulationHalted());
    EXPECT_TRUE(sink->messages().empty());
    EXPECT_EQ(reg(t1), 0u);
    EXPECT_EQ(reg(t2), 0u);
}

TEST_F(InterpreterTest, FailingLikelyBranchSkipsItsDelaySlotButCountsIt) {
    setReg(t0, 1);
    const uint32_t count = run({beql(t0, r0, 20), addiu(t1, r0, 9), addiu(t2, r0, 9)});
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(theCpu.pc, CODE + 8);
    EXPECT_EQ(reg(t1), 0u);
    EXPECT_EQ(reg(t2), 0u);
}

TEST_F(InterpreterTest, BlockNeverReadsPastTheWordsAvailable) {
    // Exactly sized host buffers: any read past them is caught by the
    // address sanitizer. A block cut short sets pc to the next word.
    const uint32_t pc = 0x80100000;
    {
        auto words = std::make_unique<uint32_t[]>(2);
        words[0] = addiu(t0, r0, 1);
        words[1] = addiu(t1, r0, 2);
        EXPECT_EQ(interpretBlock(pc, reinterpret_cast<uint8_t*>(words.get()), 2), 2u);
        EXPECT_EQ(theCpu.pc, pc + 8);
        EXPECT_EQ(reg(t1), 2u);
    }
    {
        // A jump to itself as the last word: its delay slot is not looked at.
        theCpu.cop0[COP0_COUNT] = 100;
        theCpu.cop0[COP0_COMPARE] = 5000;
        auto words = std::make_unique<uint32_t[]>(1);
        words[0] = j(pc);
        EXPECT_EQ(interpretBlock(pc, reinterpret_cast<uint8_t*>(words.get()), 1), 1u);
        EXPECT_EQ(theCpu.pc, pc + 4);
        EXPECT_EQ(theCpu.cop0[COP0_COUNT], 100u);
    }
    {
        // The last word of RDRAM.
        setGuestWord(RDRAM_SIZE - 4, beq(r0, r0, 4));
        EXPECT_EQ(interpretBlock(0x807FFFFC, theMemory.rdram + RDRAM_SIZE - 4, 1), 1u);
        EXPECT_EQ(theCpu.pc, 0x80800000u);
    }
}

TEST_F(InterpreterTest, CapturedWordsRunEvenWhenTheBlockRewritesThem) {
    // The block is fixed before it runs: a store into its own delay slot does
    // not change what runs in this block.
    setReg(ra, 0x80004000);
    setReg(t9, CODE);
    setReg(t0, addiu(t2, r0, 2));
    run({sw(t0, 12, t9), nop(), jr(ra), addiu(t2, r0, 1)});
    EXPECT_EQ(reg(t2), 1u);
    EXPECT_EQ(data(CODE + 12), addiu(t2, r0, 2));
}

TEST_F(InterpreterTest, EndCheckRunsOnlyForBlocksWithRequestingStores) {
    setReg(ra, 0x80004000);
    setReg(t1, DATA);
    setReg(sp, DATA);

    // A word store through an ordinary base register asks for the end check.
    mem_actions[0] = 1;
    run({sw(t0, 0, t1), jr(ra), nop()});
    EXPECT_EQ(mem_actions[0], 0u);

    // Through the stack pointer it does not; neither does SD.
    mem_actions[0] = 1;
    run({sw(t0, 0, sp), sd(t0, 8, t1), jr(ra), nop()});
    EXPECT_EQ(mem_actions[0], 1u);

    // Nothing is processed when nothing is pending.
    mem_actions[0] = 0;
    run({sb(t0, 0, t1), jr(ra), nop()});
    EXPECT_EQ(mem_actions[0], 0u);
}

TEST_F(InterpreterTest, LikelyEarlyExitChecksOnlyStoresCompiledBeforeIt) {
    setReg(t0, 1);
    setReg(t1, DATA);

    mem_actions[0] = 1;
    run({sh(t0, 0, t1), bnel(r0, r0, 8), nop()});
    EXPECT_EQ(mem_actions[0], 0u);
    EXPECT_EQ(theCpu.pc, CODE + 12);

    // The store in the skipped delay slot neither runs nor triggers the check.
    mem_actions[0] = 1;
    setData(DATA, 0);
    run({bnel(r0, r0, 8), sw(t0, 0, t1)});
    EXPECT_EQ(mem_actions[0], 1u);
    EXPECT_EQ(data(DATA), 0u);

    // A taken likely branch runs its delay slot and the block's tail check.
    run({beql(r0, r0, 8), sw(t0, 0, t1)});
    EXPECT_EQ(mem_actions[0], 0u);
    EXPECT_EQ(data(DATA), 1u);
    EXPECT_EQ(theCpu.pc, CODE + 4 + 32);
}

TEST_F(InterpreterTest, JalWithHleEnabledButNoReplacementRunsTheGuestCall) {
    hleEnabled = true;
    const uint32_t count = run({jal(0x80006000), addiu(t0, r0, 1), addiu(t1, r0, 1)});
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(theCpu.pc, 0x80006000u);
    EXPECT_EQ(reg(ra), 0xFFFFFFFF80001008ull);
    EXPECT_EQ(reg(t1), 0u);
}
