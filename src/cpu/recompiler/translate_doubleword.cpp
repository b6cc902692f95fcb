// The complete machine's integer arithmetic, logic, shifts and
// multiply/divide. Additions, subtractions and XOR work on the two words of
// each register (with carry and borrow between them); shifts take the whole
// register into RAX; the doubleword multiplications and the signed division
// call native routines, as DMULTU and DDIVU do.
#include "cpu/recompiler/translate_doubleword.h"

#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/native_doubleword.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"
#include "cpu/x64/emitter_wide.h"

using namespace x86;

namespace {

CompileState& cs() {
    return compileState;
}

// RAX = gpr[rt] shifted by the low six bits of gpr[rs].
void emitVariableShift(void (*shift)()) {
    movRegAbs(ECX, gprLo(cs().rs));
    loadRax(gprLo(cs().rt));
    shift();
    emitStoreRax(cs().rd);
}

// Native call with rs and rt as two 64-bit values, low words first.
void emitDoublewordCall(void (*routine)(uint32_t, uint32_t, uint32_t, uint32_t)) {
    movRegAbs(EDI, gprLo(cs().rs));
    movRegAbs(ESI, gprHi(cs().rs));
    movRegAbs(EDX, gprLo(cs().rt));
    movRegAbs(ECX, gprHi(cs().rt));
    callRel32(reinterpret_cast<const void*>(routine));
}

} // namespace

void emitStoreRax(unsigned rd) {
    if (rd != 0) movAbs64Rax(gpr64(rd));
}

// EAX:EDX = gpr[n] as its two words.
void emitLoadPair(unsigned n) {
    movRegAbs(EAX, gprLo(n));
    movRegAbs(EDX, gprHi(n));
}

void translateDadd() {
    emitLoadPair(cs().rs);
    addRegAbs(EAX, gprLo(cs().rt));
    adcRegAbs(EDX, gprHi(cs().rt));
    emitStoreEaxEdx(cs().rd);
}

void translateDsub() {
    emitLoadPair(cs().rs);
    subRegAbs(EAX, gprLo(cs().rt));
    sbbRegAbs(EDX, gprHi(cs().rt));
    emitStoreEaxEdx(cs().rd);
}

void translateDaddi() {
    const uint32_t simm = cs().simm();
    emitLoadPair(cs().rs);
    addEaxImm(simm);
    adcRegImm(EDX, (simm & 0x80000000) ? 0xFFFFFFFF : 0);
    emitStoreEaxEdx(cs().rt);
}

void translateXorWide() {
    emitLoadPair(cs().rs);
    xorRegAbs(EAX, gprLo(cs().rt));
    xorRegAbs(EDX, gprHi(cs().rt));
    emitStoreEaxEdx(cs().rd);
}

void translateXoriWide() {
    emitLoadPair(cs().rs);
    xorEaxImm(cs().imm16);
    emitStoreEaxEdx(cs().rt);
}

// SRA and SRAV: the whole register shifted, its low word sign-extended.
// The low word of the whole register shifted right: bits sa to sa + 31 of
// EDX:EAX, which SHRD gives without building RAX.
void translateSraWide() {
    movRegAbs(EAX, gprLo(cs().rt));
    movRegAbs(EDX, gprHi(cs().rt));
    shrdEaxEdxImm(uint8_t(cs().sa));
    emitStoreEaxSignExtended(cs().rd);
}

void translateSravWide() {
    movRegAbs(ECX, gprLo(cs().rs));
    andRegImm(ECX, 31);
    loadRax(gprLo(cs().rt));
    sarRaxCl();
    emitStoreEaxSignExtended(cs().rd);
}

void translateDsra() {
    loadRax(gprLo(cs().rt));
    sarRaxImm(uint8_t(cs().sa));
    emitStoreRax(cs().rd);
}

void translateDsllv() {
    emitVariableShift(shlRaxCl);
}
void translateDsrlv() {
    emitVariableShift(shrRaxCl);
}
void translateDsrav() {
    emitVariableShift(sarRaxCl);
}

void translateDmult() {
    emitDoublewordCall(multiplyDoublewordSigned);
}
void translateDmultuWide() {
    emitDoublewordCall(multiplyDoublewordUnsignedWhole);
}
void translateDdiv() {
    emitDoublewordCall(divideDoublewordSigned);
}

void translateMfc0Wide() {
    movRegAbs(EAX, &theCpu.cop0[cs().rd]);
    emitStoreEaxSignExtended(cs().rt);
}
