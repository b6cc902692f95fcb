// The multiply/divide unit and its HI and LO registers. MULT, MULTU, DIV and
// DIVU work on the low words and sign-extend both 32-bit halves of their
// result; DMULTU and DDIVU go through the native routines the translated code
// calls, so both cores share them.
#include "cpu/interpreter/interpreter_internal.h"
#include "cpu/recompiler/native_routines.h"

namespace interp {

namespace {

uint32_t lo(uint32_t n) {
    return theCpu.gpr[n].lo;
}

void setSigned(GuestWord64& r, uint32_t value) {
    r.lo = value;
    r.hi = signOf(value);
}

void interpretMfhi(const Instruction& in, BlockRun&) {
    setGprWords(in.rd(), theCpu.hi.lo, theCpu.hi.hi);
}
void interpretMflo(const Instruction& in, BlockRun&) {
    setGprWords(in.rd(), theCpu.lo.lo, theCpu.lo.hi);
}
void interpretMthi(const Instruction& in, BlockRun&) {
    theCpu.hi = theCpu.gpr[in.rs()];
}
void interpretMtlo(const Instruction& in, BlockRun&) {
    theCpu.lo = theCpu.gpr[in.rs()];
}

void storeProduct(uint64_t product) {
    setSigned(theCpu.lo, uint32_t(product));
    setSigned(theCpu.hi, uint32_t(product >> 32));
}

void interpretMult(const Instruction& in, BlockRun&) {
    storeProduct(uint64_t(int64_t(int32_t(lo(in.rs()))) * int64_t(int32_t(lo(in.rt())))));
}
void interpretMultu(const Instruction& in, BlockRun&) {
    storeProduct(uint64_t(lo(in.rs())) * uint64_t(lo(in.rt())));
}

void storeDivision(Division32 d) {
    setSigned(theCpu.lo, d.quotient);
    setSigned(theCpu.hi, d.remainder);
}

void interpretDiv(const Instruction& in, BlockRun&) {
    storeDivision(divideSigned32(lo(in.rs()), lo(in.rt())));
}
void interpretDivu(const Instruction& in, BlockRun&) {
    storeDivision(divideUnsigned32(lo(in.rs()), lo(in.rt())));
}

void interpretDmultu(const Instruction& in, BlockRun&) {
    const GuestWord64 a = theCpu.gpr[in.rs()];
    const GuestWord64 b = theCpu.gpr[in.rt()];
    multiplyDoublewordUnsigned(a.lo, a.hi, b.lo, b.hi);
}
void interpretDdivu(const Instruction& in, BlockRun&) {
    const GuestWord64 a = theCpu.gpr[in.rs()];
    const GuestWord64 b = theCpu.gpr[in.rt()];
    divideDoublewordUnsigned(a.lo, a.hi, b.lo, b.hi);
}

} // namespace

void installMultiplyDivide(InterpretTables& t) {
    t.special[0x10] = {interpretMfhi, BlockEffect::None};
    t.special[0x11] = {interpretMthi, BlockEffect::None};
    t.special[0x12] = {interpretMflo, BlockEffect::None};
    t.special[0x13] = {interpretMtlo, BlockEffect::None};
    t.special[0x18] = {interpretMult, BlockEffect::None};
    t.special[0x19] = {interpretMultu, BlockEffect::None};
    t.special[0x1A] = {interpretDiv, BlockEffect::None};
    t.special[0x1B] = {interpretDivu, BlockEffect::None};
    t.special[0x1D] = {interpretDmultu, BlockEffect::None};
    t.special[0x1F] = {interpretDdivu, BlockEffect::None};
}

} // namespace interp
