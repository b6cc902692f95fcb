// The complete machine's exceptions raised by instructions: the address error
// of a load or store whose address its size does not align, SYSCALL, BREAK,
// the traps and the overflow of ADD, ADDI, SUB, DADD, DADDI and DSUB. An
// instruction that raises one writes no result and ends its block.
#include "cpu/guest_exceptions.h"
#include "cpu/interpreter/interpreter_internal.h"

namespace interp {
namespace {

uint32_t site(const Instruction& in) {
    return exceptionSite(in.pc, (in.flags & STEP_DELAY_SLOT) != 0);
}

void leaveBlock(BlockRun& run) {
    run.leftEarly = true;
    run.exceptionTaken = true;
}

void raise(uint32_t code, const Instruction& in, BlockRun& run) {
    enterGuestException(code, site(in));
    leaveBlock(run);
}

// A 32-bit signed sum: the sign-extended result, or the overflow exception.
void addWord(uint32_t destination, uint32_t left, uint32_t right, const Instruction& in,
             BlockRun& run) {
    int32_t sum;
    if (__builtin_add_overflow(int32_t(left), int32_t(right), &sum)) {
        raise(EXCEPTION_OVERFLOW, in, run);
        return;
    }
    setGprSigned(destination, uint32_t(sum));
}

} // namespace

InterpretRoutine alignedAccessRoutines[64];

void raiseAddressError(const Instruction& in, BlockRun& run) {
    const uint32_t address = theCpu.gpr[in.rs()].lo + in.simm();
    enterAddressError(address, site(in), isStoreAccess(in.word) ? 1 : 0);
    leaveBlock(run);
}

void interpretAlignedAccess(const Instruction& in, BlockRun& run) {
    if ((theCpu.gpr[in.rs()].lo + in.simm()) & accessAlignmentMask(in.word)) {
        raiseAddressError(in, run);
        return;
    }
    alignedAccessRoutines[in.op()](in, run);
}

void interpretSyscall(const Instruction& in, BlockRun& run) {
    raise(EXCEPTION_SYSCALL, in, run);
}

void interpretBreak(const Instruction& in, BlockRun& run) {
    raise(EXCEPTION_BREAKPOINT, in, run);
}

void interpretReservedInstruction(const Instruction& in, BlockRun& run) {
    raise(EXCEPTION_RESERVED_INSTRUCTION, in, run);
}

void interpretTrap(const Instruction& in, BlockRun& run) {
    if (trapWhen(in.word, site(in))) leaveBlock(run);
}

void interpretAddChecked(const Instruction& in, BlockRun& run) {
    addWord(in.rd(), theCpu.gpr[in.rs()].lo, theCpu.gpr[in.rt()].lo, in, run);
}

void interpretAddiChecked(const Instruction& in, BlockRun& run) {
    addWord(in.rt(), theCpu.gpr[in.rs()].lo, in.simm(), in, run);
}

void interpretSubChecked(const Instruction& in, BlockRun& run) {
    int32_t difference;
    if (__builtin_sub_overflow(int32_t(theCpu.gpr[in.rs()].lo), int32_t(theCpu.gpr[in.rt()].lo),
                               &difference)) {
        raise(EXCEPTION_OVERFLOW, in, run);
        return;
    }
    setGprSigned(in.rd(), uint32_t(difference));
}

void interpretDoublewordChecked(const Instruction& in, BlockRun& run) {
    if (doublewordChecked(in.word, site(in))) leaveBlock(run);
}

} // namespace interp
