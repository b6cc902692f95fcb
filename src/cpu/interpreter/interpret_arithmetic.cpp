// Immediate and register arithmetic and logic. Most results follow the 32-bit
// model (low words in, sign-extended 32-bit result out); ORI, AND, OR, NOR and
// the set-on-less-than forms work on whole 64-bit registers, and XORI/XOR
// ignore the high words.
#include "cpu/interpreter/interpreter_internal.h"

namespace interp {

namespace {

uint64_t gpr64(uint32_t n) {
    return theCpu.gpr[n].value();
}
uint32_t lo(uint32_t n) {
    return theCpu.gpr[n].lo;
}

void setGpr64(uint32_t n, uint64_t v) {
    setGprWords(n, uint32_t(v), uint32_t(v >> 32));
}

// The immediate sign-extended to 64 bits.
uint64_t simm64(const Instruction& in) {
    return uint64_t(int64_t(int32_t(in.simm())));
}

void interpretAddi(const Instruction& in, BlockRun&) {
    setGprSigned(in.rt(), lo(in.rs()) + in.simm());
}

void interpretSlti(const Instruction& in, BlockRun&) {
    setGprWords(in.rt(), int64_t(gpr64(in.rs())) < int64_t(simm64(in)) ? 1 : 0, 0);
}

void interpretSltiu(const Instruction& in, BlockRun&) {
    setGprWords(in.rt(), gpr64(in.rs()) < simm64(in) ? 1 : 0, 0);
}

void interpretAndi(const Instruction& in, BlockRun&) {
    setGprWords(in.rt(), lo(in.rs()) & in.zimm(), 0);
}

void interpretOri(const Instruction& in, BlockRun&) {
    // The high word is carried over from the source.
    setGprWords(in.rt(), lo(in.rs()) | in.zimm(), theCpu.gpr[in.rs()].hi);
}

void interpretXori(const Instruction& in, BlockRun&) {
    setGprSigned(in.rt(), lo(in.rs()) ^ in.zimm());
}

void interpretLui(const Instruction& in, BlockRun&) {
    setGprSigned(in.rt(), in.zimm() << 16);
}

void interpretAdd(const Instruction& in, BlockRun&) {
    setGprSigned(in.rd(), lo(in.rs()) + lo(in.rt()));
}

void interpretSub(const Instruction& in, BlockRun&) {
    setGprSigned(in.rd(), lo(in.rs()) - lo(in.rt()));
}

void interpretAnd(const Instruction& in, BlockRun&) {
    setGpr64(in.rd(), gpr64(in.rs()) & gpr64(in.rt()));
}

void interpretOr(const Instruction& in, BlockRun&) {
    setGpr64(in.rd(), gpr64(in.rs()) | gpr64(in.rt()));
}

void interpretXor(const Instruction& in, BlockRun&) {
    setGprSigned(in.rd(), lo(in.rs()) ^ lo(in.rt()));
}

void interpretNor(const Instruction& in, BlockRun&) {
    setGpr64(in.rd(), ~(gpr64(in.rs()) | gpr64(in.rt())));
}

void interpretSlt(const Instruction& in, BlockRun&) {
    setGprWords(in.rd(), int64_t(gpr64(in.rs())) < int64_t(gpr64(in.rt())) ? 1 : 0, 0);
}

void interpretSltu(const Instruction& in, BlockRun&) {
    setGprWords(in.rd(), gpr64(in.rs()) < gpr64(in.rt()) ? 1 : 0, 0);
}

} // namespace

void installArithmetic(InterpretTables& t) {
    // ADD, ADDI and SUB never trap on overflow: they are their unsigned forms.
    t.main[0x08] = {interpretAddi, BlockEffect::None};
    t.main[0x09] = {interpretAddi, BlockEffect::None};
    t.main[0x0A] = {interpretSlti, BlockEffect::None};
    t.main[0x0B] = {interpretSltiu, BlockEffect::None};
    t.main[0x0C] = {interpretAndi, BlockEffect::None};
    t.main[0x0D] = {interpretOri, BlockEffect::None};
    t.main[0x0E] = {interpretXori, BlockEffect::None};
    t.main[0x0F] = {interpretLui, BlockEffect::None};
    t.special[0x20] = {interpretAdd, BlockEffect::None};
    t.special[0x21] = {interpretAdd, BlockEffect::None};
    t.special[0x22] = {interpretSub, BlockEffect::None};
    t.special[0x23] = {interpretSub, BlockEffect::None};
    t.special[0x24] = {interpretAnd, BlockEffect::None};
    t.special[0x25] = {interpretOr, BlockEffect::None};
    t.special[0x26] = {interpretXor, BlockEffect::None};
    t.special[0x27] = {interpretNor, BlockEffect::None};
    t.special[0x2A] = {interpretSlt, BlockEffect::None};
    t.special[0x2B] = {interpretSltu, BlockEffect::None};
}

} // namespace interp
