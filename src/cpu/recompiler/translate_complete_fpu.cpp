// The complete machine's FPU arithmetic, conversions and compares on the
// host's SSE unit. A template loads the MXCSR image of the rounding mode
// (fcr31's, or the fixed one of ROUND, TRUNC, CEIL and FLOOR), does the
// operation on XMM0 and calls a settle routine, which turns MXCSR's flags
// into fcr31's causes, puts the host's MXCSR back and gives the result that
// the template stores. Registers are addressed where Status.FR puts them
// when the block is translated (a change of FR discards the code).
//
// SSE rather than the x87: MXCSR carries the four rounding modes and the
// exception flags that fcr31 needs, and SSE rounds straight to single or
// double precision, as the reference interpreter's C++ float and double do,
// so both cores give the same bits.
#include "core/cpu_state.h"
#include "cpu/fpu_control.h"
#include "cpu/fpu_formats.h"
#include "cpu/fpu_register_file.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/complete_fpu_translators.h"
#include "cpu/recompiler/fpu_fields.h"
#include "cpu/x64/emitter.h"
#include "cpu/x64/sse_emitter.h"

using namespace x86;

namespace {

CompileState& cs() {
    return compileState;
}

using namespace fpu_fields;
bool floatingFormat() {
    return fmt() == FMT_S || fmt() == FMT_D;
}
// The register as a value of the given width.
uint32_t* slot(unsigned n, bool doubleword) {
    return doubleword ? fpuDoublewordSlot(n) : fpuWordSlot(n);
}

const void* native(const void* f) {
    return f;
}

void emitUnimplemented() {
    callRel32(native(reinterpret_cast<const void*>(&fpuUnimplemented)));
}

// MXCSR = the image of fcr31's rounding mode.
void emitGuestRounding() {
    movRegAbs(EAX, &theCpu.fcr31);
    andRegImm(EAX, FCR31_ROUNDING_MODE);
    leaRcxAbs(fpuMxcsrImages);
    ldmxcsrRcxRax4();
}

// The settle routine of a floating-point result in XMM0, then its store.
void emitSettleAndStore(bool isDouble) {
    callRel32(isDouble ? reinterpret_cast<const void*>(&fpuSettleDouble)
                       : reinterpret_cast<const void*>(&fpuSettleSingle));
    movAbsXmm0(isDouble, slot(fd(), isDouble));
}

void emitArithmetic(SseOp op) {
    if (!floatingFormat()) return emitUnimplemented();
    const bool isDouble = fmt() == FMT_D;
    emitGuestRounding();
    if (op == SSE_SQRT) {
        sseOpXmm0Abs(op, isDouble, slot(fs(), isDouble));
    } else {
        movXmm0Abs(isDouble, slot(fs(), isDouble));
        sseOpXmm0Abs(op, isDouble, slot(ft(), isDouble));
    }
    emitSettleAndStore(isDouble);
}

// ABS and NEG on the sign bit; the settle routine still makes a NaN the
// default NaN.
void emitSignOperation(bool negate) {
    if (!floatingFormat()) return emitUnimplemented();
    const bool isDouble = fmt() == FMT_D;
    ldmxcsrAbs(&fpuMxcsrImages[ROUND_NEAREST]);
    if (isDouble) {
        movRaxAbs(slot(fs(), true));
        negate ? btcRax63() : btrRax63();
        movqXmm0Rax();
    } else {
        movRegAbs(EAX, slot(fs(), false));
        if (negate)
            xorEaxImm(0x80000000);
        else
            andRegImm(EAX, 0x7FFFFFFF);
        movdXmm0Eax();
    }
    emitSettleAndStore(isDouble);
}

// fs converted to a word or a long by `mode` (-1: fcr31's mode).
void emitToInteger(bool toLong, int mode) {
    if (!floatingFormat()) return emitUnimplemented();
    const bool isDouble = fmt() == FMT_D;
    if (mode < 0)
        emitGuestRounding();
    else
        ldmxcsrAbs(&fpuMxcsrImages[mode]);
    cvtToIntegerAbs(isDouble, toLong, slot(fs(), isDouble));
    movRdiRax();
    callRel32(reinterpret_cast<const void*>(&fpuSettleInteger));
    if (toLong)
        movAbsRax(slot(fd(), true));
    else
        movAbsReg(slot(fd(), false), EAX);
}

// CVT.S (toDouble false) and CVT.D from the other formats.
void emitConvert(bool toDouble) {
    const unsigned own = toDouble ? FMT_D : FMT_S;
    if (fmt() == own) return emitUnimplemented();
    emitGuestRounding();
    if (fmt() == FMT_S || fmt() == FMT_D)
        cvtFloatXmm0Abs(fmt() == FMT_D, slot(fs(), fmt() == FMT_D));
    else if (fmt() == FMT_W || fmt() == FMT_L)
        cvtIntegerXmm0Abs(toDouble, fmt() == FMT_L, slot(fs(), fmt() == FMT_L));
    else
        return emitUnimplemented();
    emitSettleAndStore(toDouble);
}

} // namespace

void translateCompleteFpuAdd() {
    emitArithmetic(SSE_ADD);
}
void translateCompleteFpuSub() {
    emitArithmetic(SSE_SUB);
}
void translateCompleteFpuMul() {
    emitArithmetic(SSE_MUL);
}
void translateCompleteFpuDiv() {
    emitArithmetic(SSE_DIV);
}
void translateCompleteFpuSqrt() {
    emitArithmetic(SSE_SQRT);
}
void translateCompleteFpuAbs() {
    emitSignOperation(false);
}
void translateCompleteFpuNeg() {
    emitSignOperation(true);
}

void translateCompleteFpuMov() {
    // A copy of the bits: NaNs pass unchanged and nothing is raised.
    if (fmt() == FMT_S) {
        movRegAbs(EAX, slot(fs(), false));
        movAbsReg(slot(fd(), false), EAX);
    } else if (fmt() == FMT_D) {
        movRaxAbs(slot(fs(), true));
        movAbsRax(slot(fd(), true));
    } else {
        emitUnimplemented();
    }
}

void translateCompleteFpuRoundL() {
    emitToInteger(true, ROUND_NEAREST);
}
void translateCompleteFpuTruncL() {
    emitToInteger(true, ROUND_ZERO);
}
void translateCompleteFpuCeilL() {
    emitToInteger(true, ROUND_UP);
}
void translateCompleteFpuFloorL() {
    emitToInteger(true, ROUND_DOWN);
}
void translateCompleteFpuRoundW() {
    emitToInteger(false, ROUND_NEAREST);
}
void translateCompleteFpuTruncW() {
    emitToInteger(false, ROUND_ZERO);
}
void translateCompleteFpuCeilW() {
    emitToInteger(false, ROUND_UP);
}
void translateCompleteFpuFloorW() {
    emitToInteger(false, ROUND_DOWN);
}
void translateCompleteFpuCvtW() {
    emitToInteger(false, -1);
}
void translateCompleteFpuCvtL() {
    emitToInteger(true, -1);
}
void translateCompleteFpuCvtS() {
    emitConvert(false);
}
void translateCompleteFpuCvtD() {
    emitConvert(true);
}

void translateCompleteFpuCompare() {
    if (!floatingFormat()) return emitUnimplemented();
    const bool isDouble = fmt() == FMT_D;
    movXmm0Abs(isDouble, slot(fs(), isDouble));
    ucomiXmm0Abs(isDouble, slot(ft(), isDouble));
    lahf();
    movRegReg(EDI, EAX);
    movRegImm(ESI, cs().funct & 15);
    callRel32(reinterpret_cast<const void*>(&fpuSettleCompare));
}
