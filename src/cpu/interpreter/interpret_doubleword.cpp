// The complete machine's integer arithmetic, logic, shifts and
// multiply/divide on whole 64-bit registers. The 32-bit operations keep the
// design machine's routines where those already give the architecture's
// sign-extended results.
#include "cpu/interpreter/interpret_doubleword.h"

#include "cpu/recompiler/native_doubleword.h"

namespace interp {

namespace {

uint64_t gpr64(uint32_t n) {
    return theCpu.gpr[n].value();
}

void setGpr64(uint32_t n, uint64_t v) {
    setGprWords(n, uint32_t(v), uint32_t(v >> 32));
}

// A 32-bit result sign-extended into the whole register.
void setGpr32(uint32_t n, uint64_t v) {
    setGpr64(n, uint64_t(int64_t(int32_t(uint32_t(v)))));
}

uint64_t simm64(const Instruction& in) {
    return uint64_t(int64_t(int32_t(in.simm())));
}

uint32_t doublewordCount(const Instruction& in) {
    return theCpu.gpr[in.rs()].lo & 63;
}

} // namespace

void interpretDadd(const Instruction& in, BlockRun&) {
    setGpr64(in.rd(), gpr64(in.rs()) + gpr64(in.rt()));
}
void interpretDsub(const Instruction& in, BlockRun&) {
    setGpr64(in.rd(), gpr64(in.rs()) - gpr64(in.rt()));
}
void interpretDaddi(const Instruction& in, BlockRun&) {
    setGpr64(in.rt(), gpr64(in.rs()) + simm64(in));
}
void interpretXorWide(const Instruction& in, BlockRun&) {
    setGpr64(in.rd(), gpr64(in.rs()) ^ gpr64(in.rt()));
}
void interpretXoriWide(const Instruction& in, BlockRun&) {
    setGpr64(in.rt(), gpr64(in.rs()) ^ in.zimm());
}

// SRA and SRAV shift the whole register and keep the low word of the result,
// sign-extended: bits of the high word move into it.
void interpretSraWide(const Instruction& in, BlockRun&) {
    setGpr32(in.rd(), uint64_t(int64_t(gpr64(in.rt())) >> in.sa()));
}
void interpretSravWide(const Instruction& in, BlockRun&) {
    setGpr32(in.rd(), uint64_t(int64_t(gpr64(in.rt())) >> (theCpu.gpr[in.rs()].lo & 31)));
}
void interpretDsra(const Instruction& in, BlockRun&) {
    setGpr64(in.rd(), uint64_t(int64_t(gpr64(in.rt())) >> in.sa()));
}
void interpretDsllv(const Instruction& in, BlockRun&) {
    setGpr64(in.rd(), gpr64(in.rt()) << doublewordCount(in));
}
void interpretDsrlv(const Instruction& in, BlockRun&) {
    setGpr64(in.rd(), gpr64(in.rt()) >> doublewordCount(in));
}
void interpretDsrav(const Instruction& in, BlockRun&) {
    setGpr64(in.rd(), uint64_t(int64_t(gpr64(in.rt())) >> doublewordCount(in)));
}

void interpretDmult(const Instruction& in, BlockRun&) {
    const GuestWord64 a = theCpu.gpr[in.rs()], b = theCpu.gpr[in.rt()];
    multiplyDoublewordSigned(a.lo, a.hi, b.lo, b.hi);
}
void interpretDmultuWide(const Instruction& in, BlockRun&) {
    const GuestWord64 a = theCpu.gpr[in.rs()], b = theCpu.gpr[in.rt()];
    multiplyDoublewordUnsignedWhole(a.lo, a.hi, b.lo, b.hi);
}
void interpretDdiv(const Instruction& in, BlockRun&) {
    const GuestWord64 a = theCpu.gpr[in.rs()], b = theCpu.gpr[in.rt()];
    divideDoublewordSigned(a.lo, a.hi, b.lo, b.hi);
}

void interpretMfc0Wide(const Instruction& in, BlockRun&) {
    setGprSigned(in.rt(), theCpu.cop0[in.rd()]);
}

} // namespace interp
