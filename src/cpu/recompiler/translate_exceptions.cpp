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

// Whether the complete machine's access being translated needs its
// alignment check: not when a check earlier in the same run of loads and
// stores, through the same base, proves it (a copy loop's second word).
bool alignmentCheckNeeded(CompileState& s) {
    if (s.compilePc != s.provenThroughPc + 4) s.provenBases = 0;
    s.provenThroughPc = s.compilePc;
    const uint32_t mask = accessAlignmentMask(s.instr);
    const uint32_t base = s.rs;
    bool needed = false;
    if (mask != 0) {
        needed = !((s.provenBases >> base) & 1) || (mask & ~s.provenMask[base]) != 0 ||
                 ((s.provenBits[base] + s.simm()) & mask) != 0;
        if (needed) {
            // Past the check gpr[base].lo + simm is aligned.
            s.provenBases |= 1u << base;
            s.provenMask[base] = uint8_t(mask);
            s.provenBits[base] = uint8_t(-s.simm() & mask);
        }
    }
    // The access writes at most gpr[rt] (a store none), after its address.
    s.provenBases &= ~(1u << s.rt);
    return needed;
}

} // namespace

void emitEffectiveAddress() {
    CompileState& s = cs();
    movRegAbs(EAX, gprLo(s.rs));
    addEaxImm(s.simm());
    if (!completeMachine() || !alignmentCheckNeeded(s)) return;
    testAlImm(uint8_t(accessAlignmentMask(s.instr)));
    uint8_t* aligned = jccShort(JE, 0);
    movRegReg(EDI, EAX);
    movRegImm(ESI, site());
    movRegImm(EDX, isStoreAccess(s.instr) ? 1 : 0);
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
