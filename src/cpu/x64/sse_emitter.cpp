#include "cpu/x64/sse_emitter.h"

#include "cpu/x64/emitter.h"

namespace x86 {

namespace {

uint8_t scalarPrefix(bool isDouble) {
    return isDouble ? 0xF2 : 0xF3;
}

} // namespace

void movXmm0Abs(bool isDouble, const void* abs) {
    emitRipForm({scalarPrefix(isDouble), 0x0F, 0x10}, 0, abs);
}
void movAbsXmm0(bool isDouble, const void* abs) {
    emitRipForm({scalarPrefix(isDouble), 0x0F, 0x11}, 0, abs);
}
void sseOpXmm0Abs(SseOp op, bool isDouble, const void* abs) {
    emitRipForm({scalarPrefix(isDouble), 0x0F, op}, 0, abs);
}
void ucomiXmm0Abs(bool isDouble, const void* abs) {
    if (isDouble)
        emitRipForm({0x66, 0x0F, 0x2E}, 0, abs);
    else
        emitRipForm({0x0F, 0x2E}, 0, abs);
}
void cvtFloatXmm0Abs(bool fromDouble, const void* abs) {
    emitRipForm({scalarPrefix(fromDouble), 0x0F, 0x5A}, 0, abs);
}
void cvtIntegerXmm0Abs(bool toDouble, bool fromLong, const void* abs) {
    if (fromLong)
        emitRipForm({scalarPrefix(toDouble), 0x48, 0x0F, 0x2A}, 0, abs);
    else
        emitRipForm({scalarPrefix(toDouble), 0x0F, 0x2A}, 0, abs);
}
void cvtToIntegerAbs(bool fromDouble, bool toLong, const void* abs) {
    if (toLong)
        emitRipForm({scalarPrefix(fromDouble), 0x48, 0x0F, 0x2D}, 0, abs);
    else
        emitRipForm({scalarPrefix(fromDouble), 0x0F, 0x2D}, 0, abs);
}

void ldmxcsrAbs(const void* abs) {
    emitRipForm({0x0F, 0xAE}, 2, abs);
}
void ldmxcsrRcxRax4() {
    emitBytes({0x0F, 0xAE, 0x14, 0x81});
}
void lahf() {
    emitBytes({0x9F});
}

void movdXmm0Eax() {
    emitBytes({0x66, 0x0F, 0x6E, 0xC0});
}
void movqXmm0Rax() {
    emitBytes({0x66, 0x48, 0x0F, 0x6E, 0xC0});
}
void movRaxAbs(const void* abs) {
    emitRipForm({0x48, 0x8B}, 0, abs);
}
void movAbsRax(const void* abs) {
    emitRipForm({0x48, 0x89}, 0, abs);
}
void movRdiRax() {
    emitBytes({0x48, 0x89, 0xC7});
}
void btrRax63() {
    emitBytes({0x48, 0x0F, 0xBA, 0xF0, 0x3F});
}
void btcRax63() {
    emitBytes({0x48, 0x0F, 0xBA, 0xF8, 0x3F});
}
void movEaxPtrRaxPlus(int8_t disp) {
    emitBytes({0x8B, 0x40, uint8_t(disp)});
}

} // namespace x86
