// Shifts. The 32-bit forms shift the low word and store it sign-extended; the
// doubleword forms move bits between the two words of the 64-bit value.
#include "core/cpu_state.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"

using namespace x86;

namespace {

CompileState& cs() {
    return compileState;
}

using ShiftImm = void (*)(Reg, uint8_t);

void emitShiftImmediate(ShiftImm shift) {
    movRegAbs(EAX, gprLo(cs().rt));
    shift(EAX, uint8_t(cs().sa));
    emitStoreEaxSignExtended(cs().rd);
}

void emitShiftVariable(void (*shift)()) {
    movRegAbs(EAX, gprLo(cs().rt));
    movRegAbs(ECX, gprLo(cs().rs));
    andRegImm(ECX, 31);
    shift();
    emitStoreEaxSignExtended(cs().rd);
}

// A doubleword shift by 0 leaves the value as it is: rd receives rt.
void emitCopyRtToRd() {
    movRegAbs(EAX, gprLo(cs().rt));
    movRegAbs(EDX, gprHi(cs().rt));
    emitStoreEaxEdx(cs().rd);
}

} // namespace

void translateSll() {
    // The all-zero word, NOP, emits nothing at all.
    if (cs().instr == 0) return;
    emitShiftImmediate(shlRegImm);
}

void translateSrl() {
    emitShiftImmediate(shrRegImm);
}
void translateSra() {
    emitShiftImmediate(sarRegImm);
}
void translateSllv() {
    emitShiftVariable(shlEaxCl);
}
void translateSrlv() {
    emitShiftVariable(shrEaxCl);
}
void translateSrav() {
    emitShiftVariable(sarEaxCl);
}

void translateDsll() {
    const unsigned rt = cs().rt, rd = cs().rd;
    const uint8_t sa = uint8_t(cs().sa);
    if (sa == 0) {
        emitCopyRtToRd();
        return;
    }
    // High word first: it takes the bits shifted out of the low word.
    movRegAbs(EAX, gprHi(rt));
    shlRegImm(EAX, sa);
    movRegReg(EBX, EAX);
    movRegAbs(EAX, gprLo(rt));
    shrRegImm(EAX, uint8_t(32 - sa));
    orRegReg(EAX, EBX);
    if (rd != 0) movAbsReg(gprHi(rd), EAX);
    movRegAbs(EAX, gprLo(rt));
    shlRegImm(EAX, sa);
    if (rd != 0) movAbsReg(gprLo(rd), EAX);
}

void translateDsrl() {
    const unsigned rt = cs().rt, rd = cs().rd;
    const uint8_t sa = uint8_t(cs().sa);
    if (sa == 0) {
        emitCopyRtToRd();
        return;
    }
    // Low word first: it takes the bits shifted out of the high word.
    movRegAbs(EAX, gprLo(rt));
    shrRegImm(EAX, sa);
    movRegReg(EBX, EAX);
    movRegAbs(EAX, gprHi(rt));
    andRegImm(EAX, (1u << sa) - 1);
    shlRegImm(EAX, uint8_t(32 - sa));
    orRegReg(EAX, EBX);
    if (rd != 0) movAbsReg(gprLo(rd), EAX);
    movRegAbs(EAX, gprHi(rt));
    shrRegImm(EAX, sa);
    if (rd != 0) movAbsReg(gprHi(rd), EAX);
}

void translateDsll32() {
    movRegAbs(EAX, gprLo(cs().rt));
    shlRegImm(EAX, uint8_t(cs().sa));
    if (cs().rd == 0) return;
    movAbsImm(gprLo(cs().rd), 0);
    movAbsReg(gprHi(cs().rd), EAX);
}

void translateDsrl32() {
    movRegAbs(EAX, gprHi(cs().rt));
    shrRegImm(EAX, uint8_t(cs().sa));
    if (cs().rd == 0) return;
    movAbsReg(gprLo(cs().rd), EAX);
    movAbsImm(gprHi(cs().rd), 0);
}

void translateDsra32() {
    movRegAbs(EAX, gprHi(cs().rt));
    sarRegImm(EAX, uint8_t(cs().sa));
    emitStoreEaxSignExtended(cs().rd);
}
