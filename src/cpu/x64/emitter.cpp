#include "cpu/x64/emitter.h"

#include <cstring>

#include "cpu/recompiler/compile_state.h"

namespace x86 {

namespace {

CompileState& cs() {
    return compileState;
}

uint8_t* reserve(unsigned n) {
    return reserveBytes(n);
}

void put32(uint8_t* at, uint32_t v) {
    std::memcpy(at, &v, 4);
}

void bytes1(uint8_t a) {
    if (uint8_t* p = reserve(1)) p[0] = a;
}
void bytes2(uint8_t a, uint8_t b) {
    if (uint8_t* p = reserve(2)) {
        p[0] = a;
        p[1] = b;
    }
}
void bytes3(uint8_t a, uint8_t b, uint8_t c) {
    if (uint8_t* p = reserve(3)) {
        p[0] = a;
        p[1] = b;
        p[2] = c;
    }
}

uint32_t ripDisplacement(const uint8_t* start, unsigned length, const void* abs) {
    return ripDisplacementTo(start, length, abs);
}

// opcode, ModRM (mod 00, reg, rm 101), disp32, then `immBytes` of immediate.
void absForm(uint8_t opcode, uint8_t regField, const void* abs, unsigned immBytes, uint32_t imm) {
    const unsigned length = 6 + immBytes;
    uint8_t* p = reserve(length);
    if (!p) return;
    p[0] = opcode;
    p[1] = uint8_t(0x05 | (regField << 3));
    put32(p + 2, ripDisplacement(p, length, abs));
    if (immBytes == 4) put32(p + 6, imm);
}

void regImmForm(uint8_t opcode, uint8_t modrm, uint32_t imm) {
    if (uint8_t* p = reserve(6)) {
        p[0] = opcode;
        p[1] = modrm;
        put32(p + 2, imm);
    }
}

void eaxImmForm(uint8_t opcode, uint32_t imm) {
    if (uint8_t* p = reserve(5)) {
        p[0] = opcode;
        put32(p + 1, imm);
    }
}

uint8_t modrmRegs(Reg reg, Reg rm) {
    return uint8_t(0xC0 | (reg << 3) | rm);
}

} // namespace

void beginEmit(uint8_t* start, uint8_t* limit) {
    cs().emitPtr = start;
    cs().emitLimit = start ? limit : start;
    cs().emitOutOfRoom = false;
}

bool outOfRoom() {
    return cs().emitOutOfRoom;
}

bool isReachable(const void* target, const void* from, uint64_t length) {
    const int64_t t = int64_t(reinterpret_cast<intptr_t>(target));
    const int64_t first = int64_t(reinterpret_cast<intptr_t>(from));
    const int64_t last = first + int64_t(length);
    // The displacement is taken from the end of an instruction, which lies in
    // (first, last]; keep a margin for the longest instruction.
    const int64_t lo = t - last - 16;
    const int64_t hi = t - first + 16;
    return lo >= INT32_MIN && hi <= INT32_MAX;
}

void movRegAbs(Reg dst, const void* abs) {
    absForm(0x8B, dst, abs, 0, 0);
}
void movAbsReg(const void* abs, Reg src) {
    absForm(0x89, src, abs, 0, 0);
}
void movAbsImm(const void* abs, uint32_t imm) {
    absForm(0xC7, 0, abs, 4, imm);
}
void movRegImm(Reg dst, uint32_t imm) {
    eaxImmForm(uint8_t(0xB8 + dst), imm);
}
void movRegReg(Reg dst, Reg src) {
    bytes2(0x8B, modrmRegs(dst, src));
}
void cdq() {
    bytes1(0x99);
}

void addEaxImm(uint32_t imm) {
    eaxImmForm(0x05, imm);
}
void andRegImm(Reg dst, uint32_t imm) {
    if (dst == EAX)
        eaxImmForm(0x25, imm);
    else
        regImmForm(0x81, uint8_t(0xE0 | dst), imm);
}
void orRegImm(Reg dst, uint32_t imm) {
    regImmForm(0x81, uint8_t(0xC8 | dst), imm);
}
void xorEaxImm(uint32_t imm) {
    eaxImmForm(0x35, imm);
}
void cmpRegImm(Reg dst, uint32_t imm) {
    if (dst == EAX)
        eaxImmForm(0x3D, imm);
    else
        regImmForm(0x81, uint8_t(0xF8 | dst), imm);
}
void addRegReg(Reg dst, Reg src) {
    bytes2(0x03, modrmRegs(dst, src));
}
void subRegReg(Reg dst, Reg src) {
    bytes2(0x2B, modrmRegs(dst, src));
}
void andRegReg(Reg dst, Reg src) {
    bytes2(0x23, modrmRegs(dst, src));
}
void orRegReg(Reg dst, Reg src) {
    bytes2(0x0B, modrmRegs(dst, src));
}
void xorRegReg(Reg dst, Reg src) {
    bytes2(0x33, modrmRegs(dst, src));
}
void cmpRegReg(Reg left, Reg right) {
    bytes2(0x39, modrmRegs(right, left));
}
void andRegAbs(Reg dst, const void* abs) {
    absForm(0x23, dst, abs, 0, 0);
}
void orRegAbs(Reg dst, const void* abs) {
    absForm(0x0B, dst, abs, 0, 0);
}
void cmpRegAbs(Reg left, const void* abs) {
    absForm(0x3B, left, abs, 0, 0);
}
void andAbsImm(const void* abs, uint32_t imm) {
    absForm(0x81, 4, abs, 4, imm);
}
void orAbsImm(const void* abs, uint32_t imm) {
    absForm(0x81, 1, abs, 4, imm);
}
void notReg(Reg r) {
    bytes2(0xF7, uint8_t(0xD0 | r));
}
void decEax() {
    bytes2(0xFF, 0xC8);
}
void testEaxZero() {
    bytes2(0x09, 0xC0);
}
void testAlImm(uint8_t imm) {
    bytes2(0xA8, imm);
}

void shlRegImm(Reg r, uint8_t count) {
    bytes3(0xC1, uint8_t(0xE0 | r), count);
}
void shrRegImm(Reg r, uint8_t count) {
    bytes3(0xC1, uint8_t(0xE8 | r), count);
}
void sarRegImm(Reg r, uint8_t count) {
    bytes3(0xC1, uint8_t(0xF8 | r), count);
}
void shlEaxCl() {
    bytes2(0xD3, 0xE0);
}
void shrEaxCl() {
    bytes2(0xD3, 0xE8);
}
void sarEaxCl() {
    bytes2(0xD3, 0xF8);
}

void imulEbx() {
    bytes2(0xF7, 0xEB);
}
void mulEbx() {
    bytes2(0xF7, 0xE3);
}

void movEaxPtrRax() {
    bytes2(0x8B, 0x00);
}
void movsxEaxBytePtrRax() {
    bytes3(0x0F, 0xBE, 0x00);
}
void movsxEaxWordPtrRax() {
    bytes3(0x0F, 0xBF, 0x00);
}
void movzxEaxBytePtrRax() {
    bytes3(0x0F, 0xB6, 0x00);
}
void movzxEaxWordPtrRax() {
    bytes3(0x0F, 0xB7, 0x00);
}
void movPtrRaxEcx() {
    bytes2(0x89, 0x08);
}
void movPtrRaxCx() {
    bytes3(0x66, 0x89, 0x08);
}
void movPtrRaxCl() {
    bytes2(0x88, 0x08);
}
void movRcxRax() {
    bytes3(0x48, 0x8B, 0xC8);
}
void movRaxRcx() {
    bytes3(0x48, 0x8B, 0xC1);
}
void addRaxImm8(int8_t imm) {
    if (uint8_t* p = reserve(4)) {
        p[0] = 0x48;
        p[1] = 0x83;
        p[2] = 0xC0;
        p[3] = uint8_t(imm);
    }
}

void leaRcxAbs(const void* abs) {
    if (uint8_t* p = reserve(7)) {
        p[0] = 0x48;
        p[1] = 0x8D;
        p[2] = 0x0D;
        put32(p + 3, ripDisplacement(p, 7, abs));
    }
}
void addRdxRcx() {
    bytes3(0x48, 0x01, 0xCA);
}
void movRegPtrRdx(Reg dst, int8_t disp) {
    bytes3(0x8B, uint8_t(0x42 | (dst << 3)), uint8_t(disp));
}
void movPtrRdxReg(int8_t disp, Reg src) {
    bytes3(0x89, uint8_t(0x42 | (src << 3)), uint8_t(disp));
}

void fldDword(const void* abs) {
    absForm(0xD9, 0, abs, 0, 0);
}
void fldQword(const void* abs) {
    absForm(0xDD, 0, abs, 0, 0);
}
void fildDword(const void* abs) {
    absForm(0xDB, 0, abs, 0, 0);
}
void fstpDword(const void* abs) {
    absForm(0xD9, 3, abs, 0, 0);
}
void fstpQword(const void* abs) {
    absForm(0xDD, 3, abs, 0, 0);
}
void fistpDword(const void* abs) {
    absForm(0xDB, 3, abs, 0, 0);
}
void fisttpDword(const void* abs) {
    absForm(0xDB, 1, abs, 0, 0);
}
void x87ArithDword(X87Op op, const void* abs) {
    absForm(0xD8, op, abs, 0, 0);
}
void x87ArithQword(X87Op op, const void* abs) {
    absForm(0xDC, op, abs, 0, 0);
}
void fcompDword(const void* abs) {
    absForm(0xD8, 3, abs, 0, 0);
}
void fcompQword(const void* abs) {
    absForm(0xDC, 3, abs, 0, 0);
}
void fsqrtTop() {
    bytes2(0xD9, 0xFA);
}
void fabsTop() {
    bytes2(0xD9, 0xE1);
}
void fchsTop() {
    bytes2(0xD9, 0xE0);
}
void fnstswAx() {
    bytes2(0xDF, 0xE0);
}
void testAhImm8(uint8_t imm) {
    bytes3(0xF6, 0xC4, imm);
}

uint8_t* jccShort(Cond cond, uint8_t displacement) {
    uint8_t* p = reserve(2);
    if (!p) return nullptr;
    p[0] = uint8_t(0x70 | cond);
    p[1] = displacement;
    return p + 1;
}

uint8_t* jmpShort(uint8_t displacement) {
    uint8_t* p = reserve(2);
    if (!p) return nullptr;
    p[0] = 0xEB;
    p[1] = displacement;
    return p + 1;
}

void patchShortJumpHere(uint8_t* displacementByte) {
    if (!displacementByte || outOfRoom()) return;
    const long distance = cs().emitPtr - (displacementByte + 1);
    if (distance < 0 || distance > 127) {
        markOutOfRoom();
        return;
    }
    *displacementByte = uint8_t(distance);
}

void callRel32(const void* target) {
    uint8_t* p = reserve(5);
    if (!p) return;
    p[0] = 0xE8;
    put32(p + 1, ripDisplacement(p, 5, target));
}

void ret() {
    bytes1(0xC3);
}
void pushRbx() {
    bytes1(0x53);
}
void popRbx() {
    bytes1(0x5B);
}
void nop() {
    bytes1(0x90);
}

void emitBytes(std::initializer_list<uint8_t> bytes) {
    uint8_t* p = reserve(unsigned(bytes.size()));
    if (!p) return;
    for (uint8_t b : bytes)
        *p++ = b;
}

void emitRipForm(std::initializer_list<uint8_t> opcode, uint8_t regField, const void* abs) {
    const unsigned length = unsigned(opcode.size()) + 5;
    uint8_t* start = reserve(length);
    if (!start) return;
    uint8_t* p = start;
    for (uint8_t b : opcode)
        *p++ = b;
    *p++ = uint8_t(0x05 | (regField << 3));
    put32(p, ripDisplacement(start, length, abs));
}

} // namespace x86
