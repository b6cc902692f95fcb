// Jumps and branches. Each writes the next block's address into pc for every
// outcome; the delay slot is translated after it into the same block, which
// then ends.
#include "core/cpu_state.h"
#include "core/machine.h"
#include "cpu/block_analysis.h"
#include "cpu/cpu_core.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/native_routines.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"

using namespace x86;

namespace {

CompileState& cs() {
    return compileState;
}

uint32_t jumpTarget() {
    return ((cs().compilePc + 4) & 0xF0000000) | (cs().target26 << 2);
}
uint32_t fallThrough() {
    return cs().compilePc + 8;
}
uint32_t signWord(uint32_t v) {
    return (v & 0x80000000) ? 0xFFFFFFFF : 0;
}

// The comparison of a branch: flags from gpr[rs].lo against gpr[rt].lo, or
// against 0 for the comparisons with zero.
void emitCompareTwo() {
    movRegAbs(EAX, gprLo(cs().rs));
    movRegAbs(EBX, gprLo(cs().rt));
    cmpRegReg(EBX, EAX);
}
void emitCompareZero() {
    movRegAbs(EAX, gprLo(cs().rs));
    cmpRegImm(EAX, 0);
}

// Branch taken on `taken`: the jump reaches the target store.
void emitZeroBranch(Cond taken) {
    emitCompareZero();
    emitTwoWay(taken, fallThrough(), cs().branchTarget());
}

// The addresses at which the boot code spins after a failed checksum.
bool isChecksumLoop(uint32_t pc, uint32_t target) {
    if (pc == 0x80000248) return true;
    return target == pc && (pc == 0x800001C8 || pc == 0x80000198);
}

} // namespace

void emitTwoWay(Cond skipFirst, uint32_t first, uint32_t second) {
    uint8_t* overFirst = jccShort(skipFirst, 0);
    movAbsImm(&theCpu.pc, first);
    uint8_t* overSecond = jmpShort(0);
    patchShortJumpHere(overFirst);
    movAbsImm(&theCpu.pc, second);
    patchShortJumpHere(overSecond);
}

void emitLikely(Cond taken) {
    uint8_t* toTarget = jccShort(taken, 0);
    movAbsImm(&theCpu.pc, fallThrough());
    emitBlockExit();
    patchShortJumpHere(toTarget);
    movAbsImm(&theCpu.pc, cs().branchTarget());
}

void translateJ() {
    movAbsImm(&theCpu.pc, jumpTarget());
    if (cs().stepFlags & STEP_IDLE_JUMP) {
        // A jump to itself with an empty delay slot waits for an interrupt:
        // the interpreter's routine moves Count to the next timer or VI event
        // at once and counts the skip.
        callRel32(reinterpret_cast<const void*>(&skipIdleTime));
    }
}

void translateJal() {
    // A replaced call: the native routine is called after the delay slot.
    if (cs().stepFlags & STEP_CALL_REPLACED) return;
    movAbsImm(&theCpu.pc, jumpTarget());
    const uint32_t link = fallThrough();
    emitStoreConstant(31, link, signWord(link));
}

void translateJr() {
    movRegAbs(EAX, gprLo(cs().rs));
    movAbsReg(&theCpu.pc, EAX);
}

void translateJalr() {
    const uint32_t link = fallThrough();
    emitStoreConstant(cs().rd, link, signWord(link));
    translateJr();
}

void translateBeq() {
    emitCompareTwo();
    emitTwoWay(JNE, cs().branchTarget(), fallThrough());
}

void translateBne() {
    emitCompareTwo();
    emitTwoWay(JE, cs().branchTarget(), fallThrough());
}

void translateBlez() {
    emitZeroBranch(JLE);
}
void translateBgtz() {
    emitZeroBranch(JG);
}
void translateBltz() {
    emitZeroBranch(JL);
}
void translateBgez() {
    emitZeroBranch(JGE);
}

void translateBgezal() {
    // Only the low word of the link register is written.
    movAbsImm(gprLo(31), fallThrough());
    emitCompareZero();
    uint8_t* toTarget = jccShort(JGE, 0);
    movAbsImm(&theCpu.pc, fallThrough());
    uint8_t* over = jmpShort(0);
    patchShortJumpHere(toTarget);
    movAbsImm(&theCpu.pc, cs().branchTarget());
    if (isChecksumLoop(cs().compilePc, cs().branchTarget())) {
        callRel32(reinterpret_cast<const void*>(&stuckInCrcLoop));
    } else {
        for (int i = 0; i < 5; ++i)
            nop();
    }
    patchShortJumpHere(over);
}

void translateBeql() {
    emitCompareTwo();
    emitLikely(JE);
}

void translateBnel() {
    emitCompareTwo();
    emitLikely(JNE);
}

void translateBlezl() {
    emitCompareZero();
    emitLikely(JLE);
}

void translateBgtzl() {
    emitCompareZero();
    emitLikely(JG);
}

void translateBltzl() {
    emitCompareZero();
    emitLikely(JL);
}

void translateBgezl() {
    emitCompareZero();
    emitLikely(JGE);
}
