// Loads and stores. Every access goes through the memory map: the address is
// the low word of the base register plus the sign-extended offset, XORed with
// 3 for bytes and 2 for halfwords (guest memory holds big-endian words in host
// order). A doubleword is the word at the address (high half) followed by the
// word at address + 4 (low half). Stores ask for their host pointer before
// they read the source register.
#include "core/memory_map.h"
#include "cpu/interpreter/interpreter_internal.h"
#include "cpu/recompiler/native_routines.h"

namespace interp {

namespace {

uint32_t address(const Instruction& in) {
    return theCpu.gpr[in.rs()].lo + in.simm();
}

} // namespace

void interpretLb(const Instruction& in, BlockRun&) {
    const uint8_t* p = memRead(address(in) ^ 3);
    setGprSigned(in.rt(), uint32_t(int32_t(int8_t(*p))));
}
void interpretLbu(const Instruction& in, BlockRun&) {
    const uint8_t* p = memRead(address(in) ^ 3);
    setGprWords(in.rt(), *p, 0);
}
void interpretLh(const Instruction& in, BlockRun&) {
    const uint8_t* p = memRead(address(in) ^ 2);
    setGprSigned(in.rt(), uint32_t(int32_t(int16_t(hostRead16(p)))));
}
void interpretLhu(const Instruction& in, BlockRun&) {
    const uint8_t* p = memRead(address(in) ^ 2);
    setGprWords(in.rt(), hostRead16(p), 0);
}
void interpretLw(const Instruction& in, BlockRun&) {
    setGprSigned(in.rt(), hostRead32(memRead(address(in))));
}
void interpretLd(const Instruction& in, BlockRun&) {
    const uint8_t* p = memRead(address(in));
    setGprWords(in.rt(), hostRead32(p + 4), hostRead32(p));
}
void interpretLwl(const Instruction& in, BlockRun&) {
    loadWordLeft(in.rt(), address(in));
}
void interpretLwr(const Instruction& in, BlockRun&) {
    loadWordRight(in.rt(), address(in));
}

void interpretLwc1(const Instruction& in, BlockRun&) {
    theCpu.fpr[in.rt()] = hostRead32(memRead(address(in)));
}
void interpretLdc1(const Instruction& in, BlockRun&) {
    const uint32_t ft = in.rt();
    const uint8_t* p = memRead(address(in));
    theCpu.fpr[ft] = hostRead32(p + 4);
    // A pair starting at the last register has no upper register: its high
    // half is dropped rather than written past the register file.
    if (ft + 1 < 32) theCpu.fpr[ft + 1] = hostRead32(p);
}

void interpretSb(const Instruction& in, BlockRun&) {
    uint8_t* p = memWrite(address(in) ^ 3);
    *p = uint8_t(theCpu.gpr[in.rt()].lo);
}
void interpretSh(const Instruction& in, BlockRun&) {
    uint8_t* p = memWrite(address(in) ^ 2);
    hostWrite16(p, uint16_t(theCpu.gpr[in.rt()].lo));
}
void interpretSw(const Instruction& in, BlockRun&) {
    uint8_t* p = memWrite(address(in));
    hostWrite32(p, theCpu.gpr[in.rt()].lo);
}
void interpretSd(const Instruction& in, BlockRun&) {
    uint8_t* p = memWrite(address(in));
    hostWrite32(p, theCpu.gpr[in.rt()].hi);
    hostWrite32(p + 4, theCpu.gpr[in.rt()].lo);
}
void interpretSwl(const Instruction& in, BlockRun&) {
    storeWordLeft(in.rt(), address(in));
}
void interpretSwr(const Instruction& in, BlockRun&) {
    storeWordRight(in.rt(), address(in));
}

void interpretSwc1(const Instruction& in, BlockRun&) {
    uint8_t* p = memWrite(address(in));
    hostWrite32(p, theCpu.fpr[in.rt()]);
}
void interpretSdc1(const Instruction& in, BlockRun&) {
    const uint32_t ft = in.rt();
    uint8_t* p = memWrite(address(in));
    // A pair at the last register has no upper register: only fpr[31] is
    // stored (into the low word), the high word in memory keeps its value.
    if (ft + 1 < 32) hostWrite32(p, theCpu.fpr[ft + 1]);
    hostWrite32(p + 4, theCpu.fpr[ft]);
}

} // namespace interp
