// compileBlock when the code cache's room runs out in the middle of a block:
// the block ends at the last instruction translated, and only that part of
// the block's shape (messages, end check) takes effect.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "core/machine.h"
#include "cpu/recompiler/code_cache.h"
#include "cpu/recompiler/compile_block.h"
#include "cpu/x64/emitter.h"
#include "support/cpu_test_support.h"
#include "system/run_loop.h"

using namespace enc;

namespace {

constexpr uint32_t PC = 0x80001000;

class CompileBlockTest : public CpuTest {};

} // namespace

TEST_F(CompileBlockTest, RoomRunningOutEndsTheBlockAtTheLastTranslatedWord) {
    // A store, then a missing instruction the room does not reach.
    place(PC, {sw(t0, 0, t1), daddiu(t0, t0, 1), jr(ra), nop()});
    BlockSource where;
    ASSERT_TRUE(findBlockSource(PC, where));
    // Room for the store and the block's closing, not for a second instruction.
    const uint32_t room =
        BLOCK_HEADER_SIZE + 1 + 2 * MAX_INSTRUCTION_CODE + MAX_BLOCK_CLOSE_CODE + 8;
    ASSERT_TRUE(compileBlock(PC, where.source, where.wordsAvailable, codeCache, codeCache + room));
    const BlockHeader record = readBlockHeader(codeCache);
    EXPECT_EQ(record.instructionCount, 1u);
    EXPECT_EQ(record.endPc, PC);
    const auto lines =
        disassembleCode(codeCache + BLOCK_HEADER_SIZE, usedBytes - BLOCK_HEADER_SIZE);
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines[lines.size() - 7], "mov dword ptr [pc], 0x80001004") << joinLines(lines);
    EXPECT_EQ(lines[lines.size() - 3], "call processMemActions") << joinLines(lines);
    EXPECT_TRUE(sink.messages().empty()) << "the missing instruction was not compiled";
    EXPECT_FALSE(isEmulationHalted());

    // The next block starts at the missing instruction and reports it once.
    usedBytes = 0;
    ASSERT_TRUE(findBlockSource(PC + 4, where));
    ASSERT_TRUE(compileBlock(PC + 4, where.source, where.wordsAvailable, codeCache,
                             codeCache + CODE_CACHE_SIZE));
    EXPECT_EQ(readBlockHeader(codeCache).instructionCount, 1u);
    EXPECT_EQ(sink.messages().size(), 1u);
    EXPECT_TRUE(isEmulationHalted());
}

TEST(EmitterRoom, AnEmitThatDoesNotFitClosesTheRegionUntilTheNextBegin) {
    uint8_t buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), 0xCC);
    // Before any region is opened nothing is written.
    x86::beginEmit(nullptr, nullptr);
    x86::cdq();
    EXPECT_TRUE(x86::outOfRoom());

    x86::beginEmit(buffer, buffer + 8);
    x86::movRegImm(x86::EAX, 1); // 5 bytes fit
    EXPECT_FALSE(x86::outOfRoom());
    x86::movRegImm(x86::ECX, 2); // 5 more do not
    x86::cdq();                  // 1 would, but the region is closed
    EXPECT_TRUE(x86::outOfRoom());
    EXPECT_EQ(compileState.emitPtr, buffer + 5);
    for (int i = 5; i < 16; ++i)
        EXPECT_EQ(buffer[i], 0xCC) << i;

    x86::beginEmit(buffer, buffer + 8);
    x86::cdq();
    EXPECT_FALSE(x86::outOfRoom());
    EXPECT_EQ(buffer[0], 0x99);
    x86::beginEmit(nullptr, nullptr); // no region left pointing at the stack
}
