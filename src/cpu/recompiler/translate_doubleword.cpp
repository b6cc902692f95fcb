// The complete machine's integer arithmetic, logic, shifts and
// multiply/divide. Whole registers are loaded into RAX, worked on there and
// stored back; the doubleword multiplications and the signed division call
// native routines, as DMULTU and DDIVU do.
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
    movRaxAbs64(gpr64(cs().rt));
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

void translateDadd() {
    movRaxAbs64(gpr64(cs().rs));
    addRaxAbs64(gpr64(cs().rt));
    emitStoreRax(cs().rd);
}

void translateDsub() {
    movRaxAbs64(gpr64(cs().rs));
    subRaxAbs64(gpr64(cs().rt));
    emitStoreRax(cs().rd);
}

void translateDaddi() {
    movRaxAbs64(gpr64(cs().rs));
    addRaxImm32(cs().simm());
    emitStoreRax(cs().rt);
}

void translateXorWide() {
    movRaxAbs64(gpr64(cs().rs));
    xorRaxAbs64(gpr64(cs().rt));
    emitStoreRax(cs().rd);
}

void translateXoriWide() {
    movRaxAbs64(gpr64(cs().rs));
    xorRaxImm32(cs().imm16); // below 0x8000_0000: its sign extension is 0
    emitStoreRax(cs().rt);
}

void translateSraWide() {
    movRaxAbs64(gpr64(cs().rt));
    sarRaxImm(uint8_t(cs().sa));
    movsxdRaxEax();
    emitStoreRax(cs().rd);
}

void translateSravWide() {
    movRegAbs(ECX, gprLo(cs().rs));
    andRegImm(ECX, 31);
    movRaxAbs64(gpr64(cs().rt));
    sarRaxCl();
    movsxdRaxEax();
    emitStoreRax(cs().rd);
}

void translateDsra() {
    movRaxAbs64(gpr64(cs().rt));
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
