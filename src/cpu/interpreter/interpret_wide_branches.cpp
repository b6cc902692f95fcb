// The complete machine's branches: they compare whole 64-bit registers, and
// the linking forms write the whole sign-extended link after reading rs, so
// that BLTZAL/BGEZAL on r31 test its old value.
#include "cpu/interpreter/interpret_doubleword.h"
#include "cpu/recompiler/native_routines.h"

namespace interp {

namespace {

int64_t signedGpr(uint32_t n) {
    return int64_t(theCpu.gpr[n].value());
}

bool equal(const Instruction& in) {
    return theCpu.gpr[in.rs()].value() == theCpu.gpr[in.rt()].value();
}

void takeBranch(const Instruction& in, bool taken) {
    theCpu.pc = taken ? in.branchTarget() : in.pc + 8;
}

void takeLikely(const Instruction& in, bool taken, BlockRun& run) {
    takeBranch(in, taken);
    if (!taken) run.leftEarly = true;
}

// The condition of a linking branch, from rs as it was before the link.
bool linkThenTest(const Instruction& in, bool lessThanZero) {
    const bool negative = signedGpr(in.rs()) < 0;
    setGprSigned(31, in.pc + 8);
    return negative == lessThanZero;
}

} // namespace

void interpretBeqWide(const Instruction& in, BlockRun&) {
    takeBranch(in, equal(in));
}
void interpretBneWide(const Instruction& in, BlockRun&) {
    takeBranch(in, !equal(in));
}
void interpretBlezWide(const Instruction& in, BlockRun&) {
    takeBranch(in, signedGpr(in.rs()) <= 0);
}
void interpretBgtzWide(const Instruction& in, BlockRun&) {
    takeBranch(in, signedGpr(in.rs()) > 0);
}
void interpretBltzWide(const Instruction& in, BlockRun&) {
    takeBranch(in, signedGpr(in.rs()) < 0);
}
void interpretBgezWide(const Instruction& in, BlockRun&) {
    takeBranch(in, signedGpr(in.rs()) >= 0);
}
void interpretBeqlWide(const Instruction& in, BlockRun& run) {
    takeLikely(in, equal(in), run);
}
void interpretBnelWide(const Instruction& in, BlockRun& run) {
    takeLikely(in, !equal(in), run);
}
void interpretBlezlWide(const Instruction& in, BlockRun& run) {
    takeLikely(in, signedGpr(in.rs()) <= 0, run);
}
void interpretBgtzlWide(const Instruction& in, BlockRun& run) {
    takeLikely(in, signedGpr(in.rs()) > 0, run);
}
void interpretBltzlWide(const Instruction& in, BlockRun& run) {
    takeLikely(in, signedGpr(in.rs()) < 0, run);
}
void interpretBgezlWide(const Instruction& in, BlockRun& run) {
    takeLikely(in, signedGpr(in.rs()) >= 0, run);
}

void interpretBltzal(const Instruction& in, BlockRun&) {
    takeBranch(in, linkThenTest(in, true));
}

void interpretBgezalWide(const Instruction& in, BlockRun&) {
    const bool taken = linkThenTest(in, false);
    takeBranch(in, taken);
    if (!taken) return;
    // The boot code spins here when its checksum test fails.
    const bool selfLoop =
        in.branchTarget() == in.pc && (in.pc == 0x800001C8u || in.pc == 0x80000198u);
    if (selfLoop || in.pc == 0x80000248u) stuckInCrcLoop();
}

void interpretBltzall(const Instruction& in, BlockRun& run) {
    takeLikely(in, linkThenTest(in, true), run);
}
void interpretBgezall(const Instruction& in, BlockRun& run) {
    takeLikely(in, linkThenTest(in, false), run);
}

} // namespace interp
