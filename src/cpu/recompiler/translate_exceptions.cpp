// The complete machine's exceptions raised by instructions. Loads and stores
// check the alignment of their address first. SYSCALL and BREAK
// enter the handler and leave the block; a trap or a doubleword sum calls its
// routine, which tells whether it entered the handler; ADD, ADDI and SUB add
// inline and enter the handler on the host's overflow flag, before their
// result is stored.
#include "core/machine_mode.h"
#include "cpu/block_analysis.h"
#include "cpu/guest_exceptions.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"

using namespace x86;

namespace {

CompileState& cs() {
    return compileState;
}

uint32_t site() {
    return exceptionSite(cs().compilePc, (cs().stepFlags & STEP_DELAY_SLOT) != 0);
}

// enterGuestException(code, site), then out of the block.
void emitRaise(uint32_t code) {
    movRegImm(EDI, code);
    movRegImm(ESI, site());
    callRel32(reinterpret_cast<const void*>(&enterGuestException));
    emitBlockExit();
}

// routine(word, site); a nonzero result leaves the block.
void emitCheckedCall(uint32_t (*routine)(uint32_t, uint32_t)) {
    movRegImm(EDI, cs().instr);
    movRegImm(ESI, site());
    callRel32(reinterpret_cast<const void*>(routine));
    testEaxZero();
    uint8_t* stay = jccShort(JE, 0);
    emitBlockExit();
    patchShortJumpHere(stay);
}

// After a 32-bit add or subtract in EAX: on overflow the exception, otherwise
// the sign-extended result into `destination`.
void emitOverflowOrStore(unsigned destination) {
    uint8_t* noOverflow = jccShort(JNO, 0);
    emitRaise(EXCEPTION_OVERFLOW);
    patchShortJumpHere(noOverflow);
    emitStoreEaxSignExtended(destination);
}

} // namespace

void emitEffectiveAddress() {
    movRegAbs(EAX, gprLo(cs().rs));
    addEaxImm(cs().simm());
    const uint32_t mask = completeMachine() ? accessAlignmentMask(cs().instr) : 0;
    if (mask == 0) return;
    testAlImm(uint8_t(mask));
    uint8_t* aligned = jccShort(JE, 0);
    movRegReg(EDI, EAX);
    movRegImm(ESI, site());
    movRegImm(EDX, isStoreAccess(cs().instr) ? 1 : 0);
    callRel32(reinterpret_cast<const void*>(&enterAddressError));
    emitBlockExit();
    patchShortJumpHere(aligned);
}

void translateSyscall() {
    emitRaise(EXCEPTION_SYSCALL);
}

void translateBreak() {
    emitRaise(EXCEPTION_BREAKPOINT);
}

void translateReservedInstruction() {
    emitRaise(EXCEPTION_RESERVED_INSTRUCTION);
}

void translateTrap() {
    emitCheckedCall(trapWhen);
}

void translateDoublewordChecked() {
    emitCheckedCall(doublewordChecked);
}

void translateAddChecked() {
    movRegAbs(EAX, gprLo(cs().rs));
    movRegAbs(ECX, gprLo(cs().rt));
    addRegReg(EAX, ECX);
    emitOverflowOrStore(cs().rd);
}

void translateAddiChecked() {
    movRegAbs(EAX, gprLo(cs().rs));
    addEaxImm(cs().simm());
    emitOverflowOrStore(cs().rt);
}

void translateSubChecked() {
    movRegAbs(EAX, gprLo(cs().rs));
    movRegAbs(ECX, gprLo(cs().rt));
    subRegReg(EAX, ECX);
    emitOverflowOrStore(cs().rd);
}
