// The run loop: block lookup and reuse, the exception vector's private
// block, TLB-mapped code, Count stepping with the VI and timer interrupts,
// the ends of memory blocks and of the code cache, and the halt sequence.
#include <gtest/gtest.h>

#include <thread>

#include "core/cpu_state.h"
#include "core/machine.h"
#include "core/memory.h"
#include "core/tlb.h"
#include "cpu/recompiler/code_cache.h"
#include "support/cpu_test_support.h"
#include "support/test_machine.h"
#include "system/run_loop.h"

using namespace enc;

namespace {

constexpr uint32_t PC = 0x80002000;

class RunLoopTest : public CpuTest {
  protected:
    void mapTlb(unsigned index, uint32_t vstart, uint32_t vend, uint32_t physStart) {
        tlb[index].VSTART = vstart;
        tlb[index].VEND = vend;
        tlb[index].PHYSSTART = physStart;
        tlb[index].VALID = 1;
    }
    uint32_t& count() { return theCpu.cop0[COP0_COUNT]; }
    uint32_t& compare() { return theCpu.cop0[COP0_COMPARE]; }
};

const char* const HALTED_TEXT = "Emulation halted..\nPlease refer to the .log files for this ROM.";

} // namespace

TEST_F(RunLoopTest, BlocksAreCompiledOnceAndReused) {
    place(PC, {addiu(t0, t0, 1), j(PC), nop()});
    theCpu.pc = PC;
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(blockMap[(PC >> 2) & 0x1FFFFF], 0u);
    const uint32_t used = usedBytes;
    EXPECT_GT(used, BLOCK_HEADER_SIZE);
    // A store to the code does not discard its translation.
    place(PC, {addiu(t0, t0, 100)});
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(usedBytes, used);
    EXPECT_EQ(theCpu.gpr[t0].value(), 2u);
    EXPECT_EQ(count(), 6u);
    // SP DMEM has block map entries of its own.
    blockWord(theMemory.hwRegs, 0x40) = j(PC);
    theCpu.pc = 0xA4000040;
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(blockMap[BLOCK_MAP_DMEM_BASE + 0x10], used);
    EXPECT_EQ(theCpu.pc, 0xA0002000u) << "J keeps the segment of its delay slot";
}

TEST_F(RunLoopTest, ExceptionVectorIsTranslatedAfreshEachTime) {
    place(PC, {j(PC), nop()});
    theCpu.pc = PC;
    ASSERT_TRUE(runBlock());
    const uint32_t used = usedBytes;
    place(EXCEPTION_VECTOR_PC, {addiu(t0, r0, 1), j(PC), nop()});
    theCpu.pc = EXCEPTION_VECTOR_PC;
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(theCpu.gpr[t0].value(), 1u);
    place(EXCEPTION_VECTOR_PC, {addiu(t0, r0, 2)});
    theCpu.pc = EXCEPTION_VECTOR_PC;
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(theCpu.gpr[t0].value(), 2u);
    EXPECT_EQ(usedBytes, used);
    EXPECT_EQ(blockMap[(EXCEPTION_VECTOR_PC >> 2) & 0x1FFFFF], BLOCK_NOT_COMPILED);
}

TEST_F(RunLoopTest, LongExceptionHandlerIsCompiledWhole) {
    // 20000 instructions before the first branch: more than the vector's
    // buffer holds, so the rest continues in a following block.
    std::vector<uint32_t> handler(20000, addiu(t0, t0, 1));
    handler.push_back(j(PC));
    handler.push_back(nop());
    place(PC, {j(PC), nop()});
    theCpu.pc = EXCEPTION_VECTOR_PC;
    place(EXCEPTION_VECTOR_PC, handler);
    for (int i = 0; i < 10 && theCpu.pc != PC; ++i)
        ASSERT_TRUE(runBlock());
    EXPECT_EQ(theCpu.pc, PC);
    EXPECT_EQ(theCpu.gpr[t0].value(), 20000u);
    EXPECT_EQ(count(), 20002u);
}

TEST_F(RunLoopTest, TlbMappedCodeSharesBlocksWithItsPhysicalWords) {
    mapTlb(0, 0x10000000, 0x10002000, 0x00002000);
    place(PC, {bgez(r0, 3), nop()});
    theCpu.pc = 0x10000000;
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(theCpu.pc, 0x10000010u);
    const uint32_t used = usedBytes;
    // Through cached RDRAM: the same block, with the targets of its first
    // translation.
    theCpu.pc = PC;
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(usedBytes, used);
    EXPECT_EQ(theCpu.pc, 0x10000010u);
}

TEST_F(RunLoopTest, UnmappedProgramCounterHaltsWithTheTlbMessage) {
    for (uint32_t pc : {0x80800000u, 0xA0001000u, 0x00001000u}) {
        sink.clear();
        emulationHalted = 0;
        theCpu.pc = pc;
        cpuThread(nullptr);
        const auto messages = sink.messages();
        ASSERT_EQ(messages.size(), 2u) << std::hex << pc;
        char expected[64];
        std::snprintf(expected, sizeof expected, "TLB mapped address not found.. (0x%08X)", pc);
        EXPECT_EQ(messages[0].text, expected);
        EXPECT_EQ(messages[0].flags & 0x0F, 0u);
        EXPECT_EQ(messages[1].text, HALTED_TEXT);
        EXPECT_EQ(sink.statusPart(2).find("Halted emulation!"), 0u);
        EXPECT_EQ(count(), 0u) << "no block ran";
    }
}

TEST_F(RunLoopTest, HaltedBeforeStartRunsNothing) {
    place(PC, {addiu(t0, r0, 1), j(PC), nop()});
    theCpu.pc = PC;
    haltEmulation();
    std::thread cpu(cpuThread, nullptr);
    cpu.join();
    EXPECT_EQ(theCpu.gpr[t0].value(), 0u);
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].text, HALTED_TEXT);
    EXPECT_EQ(sink.messages()[0].flags & 0x0F, 0u);
}

TEST_F(RunLoopTest, BlocksStopAtTheEndOfTheirMemoryBlock) {
    // The last word of SP DMEM: the block ends there and continues at the
    // next address, which nothing maps.
    blockWord(theMemory.hwRegs, 0xFFC) = addiu(t0, r0, 7);
    theCpu.pc = 0xA4000FFC;
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(theCpu.gpr[t0].value(), 7u);
    EXPECT_EQ(theCpu.pc, 0xA4001000u);
    EXPECT_FALSE(runBlock());
    // A branch in the last word of RDRAM: its delay slot lies outside, so
    // the block ends at the branch and goes on at the slot's address.
    place(0x807FFFF8, {addiu(t1, r0, 3), beq(r0, r0, -2)});
    theCpu.pc = 0x807FFFF8;
    emulationHalted = 0;
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(theCpu.gpr[t1].value(), 3u);
    EXPECT_EQ(theCpu.pc, 0x80800000u);
}

TEST_F(RunLoopTest, FullCacheIsEmptiedBeforeTheNextBlock) {
    place(PC, {j(0x80004000), nop()});
    place(0x80004000, {addiu(t0, t0, 1), j(PC), nop()});
    theCpu.pc = PC;
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(blockMap[(PC >> 2) & 0x1FFFFF], 0u);
    // Pretend the cache is nearly full.
    usedBytes = CODE_CACHE_SIZE - 40;
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(codeCacheFlushCount(), 1u);
    EXPECT_EQ(blockMap[(PC >> 2) & 0x1FFFFF], BLOCK_NOT_COMPILED);
    EXPECT_EQ(blockMap[(0x80004000 >> 2) & 0x1FFFFF], 0u);
    EXPECT_EQ(theCpu.gpr[t0].value(), 1u);
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(theCpu.pc, 0x80004000u);
}

TEST_F(RunLoopTest, UnalignedProgramCounterHalts) {
    theCpu.pc = PC + 2;
    EXPECT_FALSE(runBlock());
    EXPECT_TRUE(isEmulationHalted());
}

TEST_F(RunLoopTest, CountStepsRaiseViBeforeTheTimer) {
    nextViCount = 1000;
    // Crossing both nextViCount and Compare: only the VI interrupt.
    count() = 990;
    compare() = 995;
    EXPECT_EQ(advanceCount(20), TimerEvent::ViInterrupt);
    EXPECT_EQ(count(), 1010u);
    // Leaving Count exactly at Compare fires, and so does the next step
    // starting from it.
    nextViCount = 5000;
    count() = 1990;
    compare() = 2000;
    EXPECT_EQ(advanceCount(10), TimerEvent::CompareInterrupt);
    EXPECT_EQ(advanceCount(3), TimerEvent::CompareInterrupt);
    EXPECT_EQ(advanceCount(3), TimerEvent::None);
    // Compare 0 never fires.
    compare() = 0;
    count() = 0xFFFFFFF0;
    nextViCount = 0x7FFFFFF0;
    EXPECT_EQ(advanceCount(0x20), TimerEvent::None);
    // The VI test is a signed difference, so it survives Count wrapping.
    nextViCount = 0x00000005;
    count() = 0xFFFFFFFE;
    EXPECT_EQ(advanceCount(4), TimerEvent::None);
    EXPECT_EQ(advanceCount(4), TimerEvent::ViInterrupt);
}

TEST_F(RunLoopTest, ViInterruptIsRaisedBetweenBlocks) {
    place(PC, {addiu(t0, t0, 1), j(PC), nop()});
    theCpu.pc = PC;
    count() = VI_INTERRUPT_INTERVAL - 2;
    ASSERT_TRUE(runBlock());
    EXPECT_EQ(nextViCount, 2 * VI_INTERRUPT_INTERVAL);
    EXPECT_NE(theCpu.cop0[COP0_COUNT], 0u);
}
