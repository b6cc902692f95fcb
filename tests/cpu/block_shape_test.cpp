// The shape of a block on both CPU cores: where it ends, what it counts, what
// pc holds afterwards, the end check, instructions that report themselves,
// and JALs whose callee is replaced by a native routine.
#include <gtest/gtest.h>

#include <memory>

#include "core/cpu_state.h"
#include "core/machine.h"
#include "core/memory.h"
#include "cpu/both_cores_fixture.h"
#include "cpu/interpreter/interpreter.h"
#include "cpu/interpreter/interpreter_internal.h"
#include "debug/disassembler.h"
#include "hle/hle_table.h"
#include "support/test_machine.h"

using namespace enc;

namespace {

constexpr uint32_t DATA = 0x80010000;

class BlockShapeTest : public BothCoresTest {};

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

TEST_P(BlockShapeTest, BlockEndsAfterTheDelaySlotOfItsFirstJump) {
    set(ra, 0x80004000);
    EXPECT_EQ(runAt(CODE, {addiu(t0, r0, 5), jr(ra), addiu(t1, r0, 6), addiu(t2, r0, 7)}), 3u);
    EXPECT_EQ(theCpu.pc, 0x80004000u);
    EXPECT_EQ(reg(t0), 5u);
    EXPECT_EQ(reg(t1), 6u);
    EXPECT_EQ(reg(t2), 0u) << "the word after the slot belongs to the next block";
}

TEST_P(BlockShapeTest, MissingInstructionsReportHaltAndEndTheBlock) {
    const uint32_t daddiu = mips::daddiu(t0, t0, 1);
    EXPECT_EQ(run({addiu(t1, r0, 3), daddiu, addiu(t2, r0, 4)}), 2u);
    EXPECT_EQ(reg(t1), 3u);
    EXPECT_EQ(reg(t2), 0u);
    EXPECT_TRUE(isEmulationHalted());
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].flags & 0x0F, 0u); // a plain OK box
    EXPECT_EQ(sink.messages()[0].text, missingMessage("CPU", CODE + 4, daddiu));
    // The group follows the major opcode: TLBWR, DMFC0, DMTC0, BC0F, DMFC1,
    // CVT.L.S, ROUND.W.S, SDC2.
    struct Case {
        uint32_t word;
        const char* group;
    } cases[] = {{tlbwr(), "COP0"},
                 {0x40200000, "COP0"},
                 {0x40A00000, "COP0"},
                 {0x41000000, "COP0"},
                 {0x44200000, "COP1"},
                 {0x46000025, "COP1"},
                 {fpu(FMT_S, 0x0C, 6, 4), "COP1"},
                 {0xF8000000, "CPU"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        sink.clear();
        emulationHalted = 0;
        EXPECT_EQ(run({c.word, nop()}), 1u);
        EXPECT_TRUE(isEmulationHalted());
        ASSERT_EQ(sink.messages().size(), 1u);
        EXPECT_EQ(sink.messages()[0].text, missingMessage(c.group, CODE, c.word));
    }
}

TEST_P(BlockShapeTest, ReservedEncodingsDoNothingButCount) {
    const uint32_t cache = itype(0x2F, t0, 0, 0);
    const uint32_t lwc2 = itype(0x32, t0, t1, 0);
    const uint32_t swc2 = itype(0x3A, t0, t1, 0);
    const uint32_t specialHole = rtype(t0, t1, t2, 0, 0x01);
    const uint32_t cop1Hole = 0x46600000; // COP1 rs 0x13
    const uint32_t regimmHole = regimm(t0, 0x04, 0);
    EXPECT_EQ(
        run({syncOp(), mips::syscall(), cache, lwc2, swc2, specialHole, cop1Hole, regimmHole}),
        10u);
    EXPECT_EQ(theCpu.pc, EXIT);
    EXPECT_FALSE(isEmulationHalted());
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(reg(t1) | reg(t2), 0u);
}

TEST_P(BlockShapeTest, CapturedWordsRunEvenWhenTheBlockRewritesThem) {
    set(t9, CODE);
    set(t0, addiu(t2, r0, 2));
    run({sw(t0, 12, t9), nop(), nop(), addiu(t2, r0, 1)});
    EXPECT_EQ(reg(t2), 1u);
    EXPECT_EQ(guestWord((CODE + 12) & 0x7FFFFF), addiu(t2, r0, 2));
}

TEST_P(BlockShapeTest, EndCheckRunsOnlyAfterRequestingStores) {
    // The effects routine clears the pending set; a block without a
    // requesting store leaves it alone.
    set(t1, DATA);
    set(sp, DATA);
    mem_actions[0] = 1;
    run({sw(t0, 0, sp), sd(t0, 8, t1), lw(t3, 0, t1)});
    EXPECT_EQ(mem_actions[0], 1u) << "stores through sp and SD do not ask";
    for (uint32_t store : {sw(t0, 0, t1), sb(t0, 0, t1), sh(t0, 0, t1), swl(t0, 0, t1),
                           swr(t0, 0, t1), swc1(2, 0, t1)}) {
        mem_actions[0] = 1;
        run({store});
        EXPECT_EQ(mem_actions[0], 0u) << std::hex << store;
    }
}

TEST_P(BlockShapeTest, LikelyEarlyExitChecksOnlyStoresBeforeIt) {
    set(t0, 1);
    set(t1, DATA);
    mem_actions[0] = 1;
    EXPECT_EQ(run({sh(t0, 0, t1), bnel(r0, r0, 8), nop()}), 3u);
    EXPECT_EQ(mem_actions[0], 0u);
    EXPECT_EQ(theCpu.pc, CODE + 12);
    // The store in the skipped slot neither runs nor asks.
    mem_actions[0] = 1;
    setGuestWord(DATA & 0x7FFFFF, 0);
    run({bnel(r0, r0, 8), sw(t0, 0, t1)});
    EXPECT_EQ(mem_actions[0], 1u);
    EXPECT_EQ(guestWord(DATA & 0x7FFFFF), 0u);
    // Taken, the slot runs and the block's tail checks.
    run({beql(r0, r0, 8), sw(t0, 0, t1)});
    EXPECT_EQ(mem_actions[0], 0u);
    EXPECT_EQ(guestWord(DATA & 0x7FFFFF), 1u);
    EXPECT_EQ(theCpu.pc, CODE + 4 + 32);
}

// --- Calls replaced by native routines ---

constexpr uint32_t REPLACED = 0x80310000;
constexpr uint32_t UNHANDLED = 0x80320000;
int lookups = 0;
int calls = 0;
uint64_t t0SeenByCall = 0, t1SeenByCall = 0;

void nativeRoutine() {
    ++calls;
    t0SeenByCall = theCpu.gpr[t0].value();
    t1SeenByCall = theCpu.gpr[t1].value();
    theCpu.gpr[v0].set(42);
}
const HleFunction replaced{"replaced", REPLACED, nativeRoutine};
const HleFunction unhandled{"unhandled", UNHANDLED, nullptr};
const HleFunction* fakeLookup(uint32_t, uint32_t target) {
    ++lookups;
    if (target == REPLACED) return &replaced;
    if (target == UNHANDLED) return &unhandled;
    return nullptr;
}

class ReplacedCallTest : public BothCoresTest {
  protected:
    void SetUp() override {
        BothCoresTest::SetUp();
        hleLookup = fakeLookup;
        hleEnabled = true;
        lookups = calls = 0;
        t0SeenByCall = t1SeenByCall = 0;
    }
    void TearDown() override {
        hleLookup = findHleFunction;
        hleEnabled = false;
        BothCoresTest::TearDown();
    }
};

TEST_P(ReplacedCallTest, NativeRoutineRunsAfterTheDelaySlotAndTheBlockGoesOn) {
    set(ra, 0x80004000);
    const uint32_t count = runAt(CODE, {jal(REPLACED), addiu(t0, r0, 1), addiu(t1, r0, 2), jr(ra),
                                        addiu(t2, r0, 3), addiu(t3, r0, 4)});
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(t0SeenByCall, 1u) << "the delay slot runs first";
    EXPECT_EQ(t1SeenByCall, 0u) << "the return point runs after the call";
    EXPECT_EQ(reg(v0), 42u);
    EXPECT_EQ(reg(t1), 2u);
    EXPECT_EQ(reg(t2), 3u);
    EXPECT_EQ(reg(t3), 0u);
    // The JAL neither linked nor jumped; the callee's instructions never count.
    EXPECT_EQ(reg(ra), 0x80004000u);
    EXPECT_EQ(theCpu.pc, 0x80004000u);
    EXPECT_EQ(count, 5u);
}

TEST_P(ReplacedCallTest, OtherCallsRunTheGuestCode) {
    // A callee without a native routine, or any other target.
    for (uint32_t target : {UNHANDLED, 0x80330000u}) {
        EXPECT_EQ(run({jal(target), nop(), addiu(t1, r0, 1)}), 2u);
        EXPECT_EQ(theCpu.pc, target);
        EXPECT_EQ(reg(ra), 0xFFFFFFFF'80002008u);
        EXPECT_EQ(reg(t1), 0u);
    }
    EXPECT_EQ(calls, 0);
    // Neither HLE off nor code at an uncached address consults the table.
    lookups = 0;
    hleEnabled = false;
    run({jal(REPLACED), nop()});
    EXPECT_EQ(theCpu.pc, REPLACED);
    hleEnabled = true;
    runAt(0xA0002000, {jal(REPLACED), nop()});
    EXPECT_EQ(lookups, 0);
    EXPECT_EQ(calls, 0);
}

TEST_P(ReplacedCallTest, FailingLikelyBranchInTheDelaySlotSkipsTheCall) {
    set(t0, 1);
    // JAL, BEQL, its slot, then the return point up to the appended jump and
    // its slot were compiled: all of them count.
    EXPECT_EQ(run({jal(REPLACED), beql(t0, r0, 8), addiu(t1, r0, 1), nop()}), 6u);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(theCpu.pc, CODE + 12);
    EXPECT_EQ(reg(t1), 0u);
}

// The interpreter's block runner is given the exact words available: sized
// host buffers let the address sanitizer catch any read past them.
TEST(InterpreterBlockBounds, BlockNeverReadsPastTheWordsAvailable) {
    resetBareMachine();
    const uint32_t pc = 0x80100000;
    auto two = std::make_unique<uint32_t[]>(2);
    two[0] = addiu(t0, r0, 1);
    two[1] = addiu(t1, r0, 2);
    EXPECT_EQ(interpretBlock(pc, reinterpret_cast<uint8_t*>(two.get()), 2), 2u);
    EXPECT_EQ(theCpu.pc, pc + 8) << "a block cut short goes on at the next word";
    EXPECT_EQ(theCpu.gpr[t1].value(), 2u);
    // A jump to itself as the last word: its delay slot is not looked at.
    theCpu.cop0[COP0_COUNT] = 100;
    theCpu.cop0[COP0_COMPARE] = 5000;
    auto one = std::make_unique<uint32_t[]>(1);
    one[0] = j(pc);
    EXPECT_EQ(interpretBlock(pc, reinterpret_cast<uint8_t*>(one.get()), 1), 1u);
    EXPECT_EQ(theCpu.pc, pc + 4);
    EXPECT_EQ(theCpu.cop0[COP0_COUNT], 100u);
    // The last word of RDRAM.
    setGuestWord(RDRAM_SIZE - 4, beq(r0, r0, 4));
    EXPECT_EQ(interpretBlock(0x807FFFFC, theMemory.rdram + RDRAM_SIZE - 4, 1), 1u);
    EXPECT_EQ(theCpu.pc, 0x80800000u);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(BothCores, BlockShapeTest, bothCores, coreName);
INSTANTIATE_TEST_SUITE_P(BothCores, ReplacedCallTest, bothCores, coreName);
