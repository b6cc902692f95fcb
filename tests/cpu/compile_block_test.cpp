// compileBlock when the code cache's room runs out in the middle of a block:
// the block ends at the last instruction translated, and only that part of
// the block's shape (messages, end check) takes effect.
#include <gtest/gtest.h>

#include "core/machine.h"
#include "cpu/recompiler/code_cache.h"
#include "cpu/recompiler/compile_block.h"
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
