#include "cpu/x64/emitter_wide.h"

#include <cstring>

#include "cpu/x64/emitter.h"

namespace x86 {

namespace {

constexpr uint8_t REX_W = 0x48;

// REX.W, opcode, ModRM (mod 00, reg, rm 101), disp32.
void absForm64(uint8_t opcode, const void* abs) {
    uint8_t* p = reserveBytes(7);
    if (!p) return;
    p[0] = REX_W;
    p[1] = opcode;
    p[2] = 0x05; // reg field RAX
    const uint32_t d = ripDisplacementTo(p, 7, abs);
    std::memcpy(p + 3, &d, 4);
}

void raxImm32Form(uint8_t opcode, uint32_t imm) {
    if (uint8_t* p = reserveBytes(6)) {
        p[0] = REX_W;
        p[1] = opcode;
        std::memcpy(p + 2, &imm, 4);
    }
}

void bytes3(uint8_t a, uint8_t b, uint8_t c) {
    if (uint8_t* p = reserveBytes(3)) {
        p[0] = a;
        p[1] = b;
        p[2] = c;
    }
}

void shiftImm(uint8_t modrm, uint8_t count) {
    if (uint8_t* p = reserveBytes(4)) {
        p[0] = REX_W;
        p[1] = 0xC1;
        p[2] = modrm;
        p[3] = count;
    }
}

} // namespace

void movRaxAbs64(const void* abs) {
    absForm64(0x8B, abs);
}
void movAbs64Rax(const void* abs) {
    absForm64(0x89, abs);
}
void addRaxAbs64(const void* abs) {
    absForm64(0x03, abs);
}
void subRaxAbs64(const void* abs) {
    absForm64(0x2B, abs);
}
void xorRaxAbs64(const void* abs) {
    absForm64(0x33, abs);
}
void cmpRaxAbs64(const void* abs) {
    absForm64(0x3B, abs);
}
void addRaxImm32(uint32_t imm) {
    raxImm32Form(0x05, imm);
}
void xorRaxImm32(uint32_t imm) {
    raxImm32Form(0x35, imm);
}
void shlRaxImm(uint8_t count) {
    shiftImm(0xE0, count);
}
void shrRaxImm(uint8_t count) {
    shiftImm(0xE8, count);
}
void sarRaxImm(uint8_t count) {
    shiftImm(0xF8, count);
}
void shlRaxCl() {
    bytes3(REX_W, 0xD3, 0xE0);
}
void shrRaxCl() {
    bytes3(REX_W, 0xD3, 0xE8);
}
void sarRaxCl() {
    bytes3(REX_W, 0xD3, 0xF8);
}
void movsxdRaxEax() {
    bytes3(REX_W, 0x63, 0xC0);
}
void testRaxRax() {
    bytes3(REX_W, 0x85, 0xC0);
}

} // namespace x86
