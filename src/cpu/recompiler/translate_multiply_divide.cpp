// The multiply/divide unit: HI and LO moves, MULT(U), DIV(U), DMULTU, DDIVU.
#include "core/cpu_state.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/native_routines.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"

using namespace x86;

namespace {

CompileState& cs() {
    return compileState;
}

void setSignExtended(GuestWord64& target, uint32_t value) {
    target.lo = value;
    target.hi = (value & 0x80000000) ? 0xFFFFFFFF : 0;
}

void emitMoveFrom(GuestWord64& source) {
    movRegAbs(EAX, &source.lo);
    movRegAbs(EDX, &source.hi);
    emitStoreEaxEdx(cs().rd);
}

void emitMoveTo(GuestWord64& target) {
    movRegAbs(EAX, gprLo(cs().rs));
    movRegAbs(EDX, gprHi(cs().rs));
    movAbsReg(&target.lo, EAX);
    movAbsReg(&target.hi, EDX);
}

// EDX:EAX = gpr[rs].lo * gpr[rt].lo; lo and hi get the halves sign-extended.
void emitMultiply(void (*multiply)()) {
    movRegAbs(EAX, gprLo(cs().rs));
    movRegAbs(EBX, gprLo(cs().rt));
    multiply();
    movAbsReg(&theCpu.lo.lo, EAX);
    movRegReg(EBX, EDX);
    cdq();
    movAbsReg(&theCpu.lo.hi, EDX);
    movRegReg(EAX, EBX);
    cdq();
    movAbsReg(&theCpu.hi.lo, EAX);
    movAbsReg(&theCpu.hi.hi, EDX);
}

// Native call with the low words of rs and rt as its two arguments.
void emitWordCall(const void* routine) {
    movRegAbs(EDI, gprLo(cs().rs));
    movRegAbs(ESI, gprLo(cs().rt));
    callRel32(routine);
}

// Native call with rs and rt as two 64-bit values, low words first.
void emitDoublewordCall(const void* routine) {
    movRegAbs(EDI, gprLo(cs().rs));
    movRegAbs(ESI, gprHi(cs().rs));
    movRegAbs(EDX, gprLo(cs().rt));
    movRegAbs(ECX, gprHi(cs().rt));
    callRel32(routine);
}

} // namespace

extern "C" void divideWordSigned(uint32_t dividend, uint32_t divisor) {
    const Division32 d = divideSigned32(dividend, divisor);
    setSignExtended(theCpu.lo, d.quotient);
    setSignExtended(theCpu.hi, d.remainder);
}

extern "C" void divideWordUnsigned(uint32_t dividend, uint32_t divisor) {
    const Division32 d = divideUnsigned32(dividend, divisor);
    setSignExtended(theCpu.lo, d.quotient);
    setSignExtended(theCpu.hi, d.remainder);
}

void translateMfhi() {
    emitMoveFrom(theCpu.hi);
}
void translateMflo() {
    emitMoveFrom(theCpu.lo);
}
void translateMthi() {
    emitMoveTo(theCpu.hi);
}
void translateMtlo() {
    emitMoveTo(theCpu.lo);
}
void translateMult() {
    emitMultiply(imulEbx);
}
void translateMultu() {
    emitMultiply(mulEbx);
}

void translateDiv() {
    emitWordCall(reinterpret_cast<const void*>(&divideWordSigned));
}
void translateDivu() {
    emitWordCall(reinterpret_cast<const void*>(&divideWordUnsigned));
}

void translateDmultu() {
    emitDoublewordCall(reinterpret_cast<const void*>(&multiplyDoublewordUnsigned));
}
void translateDdivu() {
    emitDoublewordCall(reinterpret_cast<const void*>(&divideDoublewordUnsigned));
}
