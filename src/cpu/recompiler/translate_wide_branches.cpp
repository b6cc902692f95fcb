// The complete machine's branches: the comparisons take whole registers as
// word pairs; the linking forms read rs before
// they write the sign-extended link.
// The stores of pc are the design's (emitTwoWay, emitLikely).
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/native_routines.h"
#include "cpu/recompiler/translate_doubleword.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"
#include "cpu/x64/emitter_wide.h"

using namespace x86;

namespace {

CompileState& cs() {
    return compileState;
}

uint32_t fallThrough() {
    return cs().compilePc + 8;
}

// ZF set when gpr[rs] equals gpr[rt]: the XOR of both word pairs is 0.
void emitCompareTwo() {
    movRegAbs(EAX, gprLo(cs().rs));
    movRegAbs(EDX, gprHi(cs().rs));
    xorRegAbs(EAX, gprLo(cs().rt));
    xorRegAbs(EDX, gprHi(cs().rt));
    orRegReg(EAX, EDX);
}

// Flags of 0 against the whole of gpr[rs] for BLEZ and BGTZ: 0 - rs over
// both words (CMP on the low word, SBB on the high one), so that JL means
// rs > 0 and JGE means rs <= 0.
void emitZeroAgainst() {
    xorRegReg(EAX, EAX);
    cmpRegAbs(EAX, gprLo(cs().rs));
    sbbRegAbs(EAX, gprHi(cs().rs));
}

// The sign tests (BLTZ, BGEZ and their forms) need only the high word.
void emitCompareSign() {
    movRegAbs(EAX, gprHi(cs().rs));
    cmpRegImm(EAX, 0);
}

// rs's high word into EAX, the link into r31, then the flags of rs's sign.
void emitLinkAndCompare() {
    movRegAbs(EAX, gprHi(cs().rs));
    const uint32_t link = fallThrough();
    emitStoreConstant(31, link, (link & 0x80000000) ? 0xFFFFFFFF : 0);
    cmpRegImm(EAX, 0);
}

void emitTwoWayOn(Cond taken) {
    emitTwoWay(taken, fallThrough(), cs().branchTarget());
}

} // namespace

void translateBeqWide() {
    emitCompareTwo();
    emitTwoWay(JNE, cs().branchTarget(), fallThrough());
}
void translateBneWide() {
    emitCompareTwo();
    emitTwoWay(JE, cs().branchTarget(), fallThrough());
}
void translateBlezWide() {
    emitZeroAgainst();
    emitTwoWayOn(JGE);
}
void translateBgtzWide() {
    emitZeroAgainst();
    emitTwoWayOn(JL);
}
void translateBltzWide() {
    emitCompareSign();
    emitTwoWayOn(JL);
}
void translateBgezWide() {
    emitCompareSign();
    emitTwoWayOn(JGE);
}
void translateBeqlWide() {
    emitCompareTwo();
    emitLikely(JE);
}
void translateBnelWide() {
    emitCompareTwo();
    emitLikely(JNE);
}
void translateBlezlWide() {
    emitZeroAgainst();
    emitLikely(JGE);
}
void translateBgtzlWide() {
    emitZeroAgainst();
    emitLikely(JL);
}
void translateBltzlWide() {
    emitCompareSign();
    emitLikely(JL);
}
void translateBgezlWide() {
    emitCompareSign();
    emitLikely(JGE);
}

void translateBltzal() {
    emitLinkAndCompare();
    emitTwoWayOn(JL);
}

void translateBgezalWide() {
    emitLinkAndCompare();
    const uint32_t pc = cs().compilePc, target = cs().branchTarget();
    // The boot code spins here when its checksum test fails.
    const bool checksumLoop =
        pc == 0x80000248 || (target == pc && (pc == 0x800001C8 || pc == 0x80000198));
    if (!checksumLoop) {
        emitTwoWayOn(JGE);
        return;
    }
    uint8_t* toTarget = jccShort(JGE, 0);
    movAbsImm(&theCpu.pc, fallThrough());
    uint8_t* over = jmpShort(0);
    patchShortJumpHere(toTarget);
    movAbsImm(&theCpu.pc, target);
    callRel32(reinterpret_cast<const void*>(&stuckInCrcLoop));
    patchShortJumpHere(over);
}

void translateBltzall() {
    emitLinkAndCompare();
    emitLikely(JL);
}
void translateBgezall() {
    emitLinkAndCompare();
    emitLikely(JGE);
}
