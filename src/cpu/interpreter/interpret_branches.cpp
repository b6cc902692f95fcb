// Jumps and branches. Each writes the next block's address into pc; the delay
// slot that follows runs afterwards in the same block. Branches compare only
// the low words of their operands.
#include "core/machine.h"
#include "cpu/cpu_core.h"
#include "cpu/interpreter/interpreter_internal.h"
#include "cpu/recompiler/native_routines.h"

namespace interp {

namespace {

uint32_t jumpTarget(const Instruction& in) {
    return ((in.pc + 4) & 0xF0000000u) | (in.target26() << 2);
}

int32_t lowSigned(uint32_t n) {
    return int32_t(theCpu.gpr[n].lo);
}

void takeBranch(const Instruction& in, bool taken) {
    theCpu.pc = taken ? in.branchTarget() : in.pc + 8;
}

// A likely branch whose condition fails returns from the block at once,
// skipping its delay slot.
void takeLikely(const Instruction& in, bool taken, BlockRun& run) {
    if (taken) {
        theCpu.pc = in.branchTarget();
    } else {
        theCpu.pc = in.pc + 8;
        run.leftEarly = true;
    }
}

bool equalLow(const Instruction& in) {
    return theCpu.gpr[in.rs()].lo == theCpu.gpr[in.rt()].lo;
}

} // namespace

void interpretJ(const Instruction& in, BlockRun&) {
    theCpu.pc = jumpTarget(in);
    // The guest waits for an interrupt: move Count to the next event so the
    // run loop raises it after this block.
    if (in.flags & STEP_IDLE_JUMP) skipIdleTime();
}

void interpretJal(const Instruction& in, BlockRun&) {
    if (in.flags & STEP_CALL_REPLACED) return;
    theCpu.pc = jumpTarget(in);
    setGprSigned(31, in.pc + 8);
}

void interpretJr(const Instruction& in, BlockRun&) {
    theCpu.pc = theCpu.gpr[in.rs()].lo;
}

void interpretJalr(const Instruction& in, BlockRun&) {
    // The link goes first: with rd = rs the jump goes to the link address.
    setGprSigned(in.rd(), in.pc + 8);
    theCpu.pc = theCpu.gpr[in.rs()].lo;
}

void interpretBeq(const Instruction& in, BlockRun&) {
    takeBranch(in, equalLow(in));
}
void interpretBne(const Instruction& in, BlockRun&) {
    takeBranch(in, !equalLow(in));
}
void interpretBlez(const Instruction& in, BlockRun&) {
    takeBranch(in, lowSigned(in.rs()) <= 0);
}
void interpretBgtz(const Instruction& in, BlockRun&) {
    takeBranch(in, lowSigned(in.rs()) > 0);
}
void interpretBltz(const Instruction& in, BlockRun&) {
    takeBranch(in, lowSigned(in.rs()) < 0);
}
void interpretBgez(const Instruction& in, BlockRun&) {
    takeBranch(in, lowSigned(in.rs()) >= 0);
}

void interpretBgezal(const Instruction& in, BlockRun&) {
    // Only the low word of the link is written, before rs is tested.
    theCpu.gpr[31].lo = in.pc + 8;
    const bool taken = lowSigned(in.rs()) >= 0;
    takeBranch(in, taken);
    if (!taken) return;
    // The boot code spins here when its checksum test fails.
    const bool selfLoop =
        in.branchTarget() == in.pc && (in.pc == 0x800001C8u || in.pc == 0x80000198u);
    if (selfLoop || in.pc == 0x80000248u) stuckInCrcLoop();
}

void interpretBeql(const Instruction& in, BlockRun& run) {
    takeLikely(in, equalLow(in), run);
}
void interpretBnel(const Instruction& in, BlockRun& run) {
    takeLikely(in, !equalLow(in), run);
}
void interpretBlezl(const Instruction& in, BlockRun& run) {
    takeLikely(in, lowSigned(in.rs()) <= 0, run);
}
void interpretBgtzl(const Instruction& in, BlockRun& run) {
    takeLikely(in, lowSigned(in.rs()) > 0, run);
}
void interpretBltzl(const Instruction& in, BlockRun& run) {
    takeLikely(in, lowSigned(in.rs()) < 0, run);
}
void interpretBgezl(const Instruction& in, BlockRun& run) {
    takeLikely(in, lowSigned(in.rs()) >= 0, run);
}

} // namespace interp
