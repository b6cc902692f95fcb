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

// opcode, ModRM (mod 00, reg, rm 101), disp32: a 32-bit form.
void absForm32(uint8_t opcode, Reg reg, const void* abs) {
    uint8_t* p = reserveBytes(6);
    if (!p) return;
    p[0] = opcode;
    p[1] = uint8_t(0x05 | (reg << 3));
    const uint32_t d = ripDisplacementTo(p, 6, abs);
    std::memcpy(p + 2, &d, 4);
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

void addRegAbs(Reg dst, const void* abs) {
    absForm32(0x03, dst, abs);
}
void adcRegAbs(Reg dst, const void* abs) {
    absForm32(0x13, dst, abs);
}
void subRegAbs(Reg dst, const void* abs) {
    absForm32(0x2B, dst, abs);
}
void sbbRegAbs(Reg dst, const void* abs) {
    absForm32(0x1B, dst, abs);
}
void xorRegAbs(Reg dst, const void* abs) {
    absForm32(0x33, dst, abs);
}
void adcRegImm(Reg dst, uint32_t imm) {
    if (uint8_t* p = reserveBytes(6)) {
        p[0] = 0x81;
        p[1] = uint8_t(0xD0 | dst);
        std::memcpy(p + 2, &imm, 4);
    }
}

void loadRax(const uint32_t* lowWord) {
    movRegAbs(EAX, lowWord);
    movRegAbs(EDX, lowWord + 1);
    if (uint8_t* p = reserveBytes(4)) { // shl rdx, 32
        p[0] = REX_W;
        p[1] = 0xC1;
        p[2] = 0xE2;
        p[3] = 32;
    }
    bytes3(REX_W, 0x0B, 0xC2); // or rax, rdx
}

void movAbs64Rax(const void* abs) {
    absForm64(0x89, abs);
}
void sarRaxImm(uint8_t count) {
    shiftImm(0xF8, count);
}
void shrdEaxEdxImm(uint8_t count) {
    if (uint8_t* p = reserveBytes(4)) {
        p[0] = 0x0F;
        p[1] = 0xAC;
        p[2] = 0xD0; // ModRM: EDX into EAX
        p[3] = count;
    }
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

} // namespace x86
