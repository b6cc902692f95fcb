// Shifts. The word shifts take the low word and give a sign-extended 32-bit
// result; DSLL and DSRL shift the whole register; the "32" forms move one word
// into the other half.
#include "cpu/interpreter/interpreter_internal.h"

namespace interp {

namespace {

uint32_t lo(uint32_t n) {
    return theCpu.gpr[n].lo;
}
uint32_t hi(uint32_t n) {
    return theCpu.gpr[n].hi;
}
uint32_t variableCount(const Instruction& in) {
    return lo(in.rs()) & 31;
}

void interpretSll(const Instruction& in, BlockRun&) {
    setGprSigned(in.rd(), lo(in.rt()) << in.sa());
}
void interpretSrl(const Instruction& in, BlockRun&) {
    setGprSigned(in.rd(), lo(in.rt()) >> in.sa());
}
void interpretSra(const Instruction& in, BlockRun&) {
    setGprSigned(in.rd(), uint32_t(int32_t(lo(in.rt())) >> in.sa()));
}
void interpretSllv(const Instruction& in, BlockRun&) {
    setGprSigned(in.rd(), lo(in.rt()) << variableCount(in));
}
void interpretSrlv(const Instruction& in, BlockRun&) {
    setGprSigned(in.rd(), lo(in.rt()) >> variableCount(in));
}
void interpretSrav(const Instruction& in, BlockRun&) {
    setGprSigned(in.rd(), uint32_t(int32_t(lo(in.rt())) >> variableCount(in)));
}

void interpretDsll(const Instruction& in, BlockRun&) {
    const uint64_t v = theCpu.gpr[in.rt()].value() << in.sa();
    setGprWords(in.rd(), uint32_t(v), uint32_t(v >> 32));
}
void interpretDsrl(const Instruction& in, BlockRun&) {
    const uint64_t v = theCpu.gpr[in.rt()].value() >> in.sa();
    setGprWords(in.rd(), uint32_t(v), uint32_t(v >> 32));
}
void interpretDsll32(const Instruction& in, BlockRun&) {
    setGprWords(in.rd(), 0, lo(in.rt()) << in.sa());
}
void interpretDsrl32(const Instruction& in, BlockRun&) {
    setGprWords(in.rd(), hi(in.rt()) >> in.sa(), 0);
}
void interpretDsra32(const Instruction& in, BlockRun&) {
    setGprSigned(in.rd(), uint32_t(int32_t(hi(in.rt())) >> in.sa()));
}

} // namespace

void installShifts(InterpretTables& t) {
    t.special[0x00] = {interpretSll, BlockEffect::None};
    t.special[0x02] = {interpretSrl, BlockEffect::None};
    t.special[0x03] = {interpretSra, BlockEffect::None};
    t.special[0x04] = {interpretSllv, BlockEffect::None};
    t.special[0x06] = {interpretSrlv, BlockEffect::None};
    t.special[0x07] = {interpretSrav, BlockEffect::None};
    t.special[0x38] = {interpretDsll, BlockEffect::None};
    t.special[0x3A] = {interpretDsrl, BlockEffect::None};
    t.special[0x3C] = {interpretDsll32, BlockEffect::None};
    t.special[0x3E] = {interpretDsrl32, BlockEffect::None};
    t.special[0x3F] = {interpretDsra32, BlockEffect::None};
}

} // namespace interp
