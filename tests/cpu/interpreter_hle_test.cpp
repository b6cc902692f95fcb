// JALs whose callee is replaced by a native routine: the routine runs after the
// delay slot and the block goes on at the call's return point.
#include "cpu/interpreter/interpreter_internal.h"
#include "cpu/interpreter_fixture.h"

using namespace mips;

namespace {

constexpr uint32_t REPLACED = 0x80300000;
constexpr uint32_t UNHANDLED = 0x80310000;

int lookups = 0;
int calls = 0;
uint64_t t0SeenByCall = 0;
uint64_t t1SeenByCall = 0;

void nativeRoutine() {
    ++calls;
    t0SeenByCall = theCpu.gpr[mips::t0].value();
    t1SeenByCall = theCpu.gpr[mips::t1].value();
    theCpu.gpr[mips::v0].set(42);
}

const HleFunction replaced{"replaced", REPLACED, nativeRoutine};
const HleFunction unhandled{"unhandled", UNHANDLED, nullptr};

const HleFunction* fakeLookup(uint32_t, uint32_t target) {
    ++lookups;
    if (target == REPLACED) return &replaced;
    if (target == UNHANDLED) return &unhandled;
    return nullptr;
}

class InterpreterHleTest : public InterpreterTest {
  protected:
    void SetUp() override {
        InterpreterTest::SetUp();
        interp::hleLookup = fakeLookup;
        hleEnabled = true;
        lookups = calls = 0;
        t0SeenByCall = t1SeenByCall = 0;
    }
    void TearDown() override {
        interp::hleLookup = findHleFunction;
        hleEnabled = false;
    }
};

} // namespace

TEST_F(InterpreterHleTest, ReplacedCallRunsAfterTheDelaySlotAndTheBlockGoesOn) {
    setReg(ra, 0x80004000);
    const uint32_t count = run({jal(REPLACED), addiu(t0, r0, 1), addiu(t1, r0, 2), jr(ra),
                                addiu(t2, r0, 3), addiu(t3, r0, 4)});
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(t0SeenByCall, 1u); // the delay slot ran first
    EXPECT_EQ(t1SeenByCall, 0u); // the return point runs after the call
    EXPECT_EQ(reg(v0), 42u);
    EXPECT_EQ(reg(t1), 2u);
    EXPECT_EQ(reg(t2), 3u);
    EXPECT_EQ(reg(t3), 0u);
    // The JAL neither linked nor jumped; the callee's instructions never count.
    EXPECT_EQ(reg(ra), 0x80004000u);
    EXPECT_EQ(theCpu.pc, 0x80004000u);
    EXPECT_EQ(count, 5u);
}

TEST_F(InterpreterHleTest, CallsWithoutANativeRoutineRunTheGuestCode) {
    EXPECT_EQ(run({jal(UNHANDLED), nop()}), 2u);
    EXPECT_EQ(theCpu.pc, UNHANDLED);
    EXPECT_EQ(reg(ra), 0xFFFFFFFF'80001008u);
    EXPECT_EQ(calls, 0);
}

TEST_F(InterpreterHleTest, TableIsConsultedOnlyWithHleOnAndFromCachedSegment) {
    hleEnabled = false;
    run({jal(REPLACED), nop()});
    EXPECT_EQ(lookups, 0);
    EXPECT_EQ(theCpu.pc, REPLACED);

    // Code running at an uncached address never reaches a replacement.
    hleEnabled = true;
    setGuestWord(0x1000, jal(REPLACED));
    setGuestWord(0x1004, nop());
    interpretBlock(0xA0001000, theMemory.rdram + 0x1000, 2);
    EXPECT_EQ(lookups, 0);
    EXPECT_EQ(calls, 0);
}

TEST_F(InterpreterHleTest, FailingLikelyBranchInTheDelaySlotSkipsTheCall) {
    setReg(t0, 1);
    const uint32_t count = run({jal(REPLACED), beql(t0, r0, 8), addiu(t1, r0, 1), nop()});
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(theCpu.pc, CODE + 12);
    EXPECT_EQ(reg(t1), 0u);
    // The block was compiled through its end: JAL, BEQL, its slot, then the
    // return point up to the appended jump and its slot.
    EXPECT_EQ(count, 6u);
}
