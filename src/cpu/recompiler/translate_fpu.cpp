// The floating-point unit on the host's x87, at its default control state
// (round to nearest) whatever rounding mode the guest asks for; only the
// condition flag of fcr31 is used. Field names: fs = rd, ft = rt, fd = sa,
// the format is rs (S single, D double, W word, L long).
//
// A double occupies fpr[n] (low word) and fpr[n + 1]. Register 31 has no
// upper half: a double operand or result there makes the instruction do
// nothing, and a single or word result into f31 leaves the register file's
// neighbours alone (no "clear fd + 1"), so nothing outside fpr is touched.
#include "core/cpu_state.h"
#include "cpu/fpu_formats.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/fpu_fields.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"

using namespace x86;

namespace {

CompileState& cs() {
    return compileState;
}

uint32_t* fpr(unsigned n) {
    return &theCpu.fpr[n & 31];
}
// fcr0 for control register 0, fcr31 for every other number.
uint32_t* controlRegister(unsigned n) {
    return n == 0 ? &theCpu.fcr0 : &theCpu.fcr31;
}

using namespace fpu_fields;

// Single and word results clear the odd half of their register pair.
void emitClearUpper(unsigned n) {
    if (hasUpperHalf(n)) movAbsImm(fpr(n + 1), 0);
}

void emitArithmetic(X87Op op) {
    if (fmt() == FMT_S) {
        fldDword(fpr(fs()));
        x87ArithDword(op, fpr(ft()));
        fstpDword(fpr(fd()));
        emitClearUpper(fd());
    } else if (fmt() == FMT_D && doublesFit({fs(), ft(), fd()})) {
        fldQword(fpr(fs()));
        x87ArithQword(op, fpr(ft()));
        fstpQword(fpr(fd()));
    }
}

// ABS and NEG: load, the operation on the top of the stack, store.
void emitSignOperation(void (*operation)()) {
    if (fmt() == FMT_S) {
        fldDword(fpr(fs()));
        operation();
        fstpDword(fpr(fd()));
        emitClearUpper(fd());
    } else if (fmt() == FMT_D && doublesFit({fs(), fd()})) {
        fldQword(fpr(fs()));
        operation();
        fstpQword(fpr(fd()));
    }
}

// Two-way and likely branches on the condition flag.
void emitFlagTest() {
    movRegAbs(EAX, &theCpu.fcr31);
    andRegImm(EAX, FCR31_CONDITION);
}

} // namespace

void translateMfc1() {
    if (cs().rt == 0) return;
    movRegAbs(EAX, fpr(fs()));
    emitStoreEaxSignExtended(cs().rt);
}

void translateCfc1() {
    if (cs().rt == 0) return;
    movRegAbs(EAX, controlRegister(fs()));
    emitStoreEaxSignExtended(cs().rt);
}

void translateMtc1() {
    movRegAbs(EAX, gprLo(cs().rt));
    movAbsReg(fpr(fs()), EAX);
}

void translateCtc1() {
    movRegAbs(EAX, gprLo(cs().rt));
    movAbsReg(controlRegister(fs()), EAX);
}

void translateBc1f() {
    emitFlagTest();
    emitTwoWay(JNE, cs().branchTarget(), cs().compilePc + 8);
}
void translateBc1t() {
    emitFlagTest();
    emitTwoWay(JE, cs().branchTarget(), cs().compilePc + 8);
}
void translateBc1fl() {
    emitFlagTest();
    emitLikely(JE);
}
void translateBc1tl() {
    emitFlagTest();
    emitLikely(JNE);
}

void translateFpuAdd() {
    emitArithmetic(FADD);
}
void translateFpuSub() {
    emitArithmetic(FSUB);
}
void translateFpuMul() {
    emitArithmetic(FMUL);
}
void translateFpuDiv() {
    emitArithmetic(FDIV);
}

void translateFpuSqrt() {
    if (fmt() == FMT_S) {
        fldDword(fpr(fs()));
        fsqrtTop();
        fstpDword(fpr(fd()));
        emitClearUpper(fd());
    }
    // The double format is reported when the block is compiled; no code.
}

void translateFpuAbs() {
    emitSignOperation(fabsTop);
}
void translateFpuNeg() {
    emitSignOperation(fchsTop);
}

void translateFpuMov() {
    // A plain copy of the bits: NaNs pass unchanged.
    if (fmt() == FMT_S) {
        movRegAbs(EAX, fpr(fs()));
        movAbsReg(fpr(fd()), EAX);
        emitClearUpper(fd());
    } else if (fmt() == FMT_D && doublesFit({fs(), fd()})) {
        movRegAbs(EAX, fpr(fs()));
        movRegAbs(EDX, fpr(fs() + 1));
        movAbsReg(fpr(fd()), EAX);
        movAbsReg(fpr(fd() + 1), EDX);
    }
}

// TRUNC.W and CVT.W: the value of fs to a word in fd.
static void emitToWord(bool truncate) {
    if (fmt() == FMT_S) {
        fldDword(fpr(fs()));
    } else if (fmt() == FMT_D && doublesFit({fs()})) {
        fldQword(fpr(fs()));
    } else {
        return;
    }
    if (truncate)
        fisttpDword(fpr(fd())); // toward zero whatever the x87 rounding mode
    else
        fistpDword(fpr(fd())); // the host's rounding: to nearest, ties to even
    emitClearUpper(fd());
}

void translateFpuTruncW() {
    emitToWord(true);
}

void translateFpuCvtS() {
    if (fmt() == FMT_D && doublesFit({fs()})) {
        fldQword(fpr(fs()));
    } else if (fmt() == FMT_W) {
        fildDword(fpr(fs()));
    } else {
        return; // the long format is reported when the block is compiled
    }
    fstpDword(fpr(fd()));
    emitClearUpper(fd());
}

void translateFpuCvtD() {
    if (!doublesFit({fd()})) return;
    if (fmt() == FMT_S)
        fldDword(fpr(fs()));
    else if (fmt() == FMT_W)
        fildDword(fpr(fs()));
    else
        return;
    fstpQword(fpr(fd()));
}

void translateFpuCvtW() {
    emitToWord(false);
}

void translateFpuCompare() {
    const unsigned cond = cs().funct & 15;
    if (fmt() != FMT_S && fmt() != FMT_D) return;
    const uint8_t testBits = compareTestBits(cond);
    if (testBits == 0) return; // reported when the block is compiled
    if (fmt() == FMT_D && !doublesFit({fs(), ft()})) return;
    // The flag is set when the x87 status shows the relation, and also for
    // unordered operands (a NaN sets every condition bit tested).
    andAbsImm(&theCpu.fcr31, ~FCR31_CONDITION);
    if (fmt() == FMT_S) {
        fldDword(fpr(fs()));
        fcompDword(fpr(ft()));
    } else {
        fldQword(fpr(fs()));
        fcompQword(fpr(ft()));
    }
    fnstswAx();
    testAhImm8(testBits);
    uint8_t* notSet = jccShort(JE, 0);
    orAbsImm(&theCpu.fcr31, FCR31_CONDITION);
    patchShortJumpHere(notSet);
}
