// The floating-point unit with the x87's results: operands are widened to
// long double (the x87's extended format, so a signalling NaN is quieted on
// load as fld does), computed there, and rounded on store to single or double
// exactly as fstp rounds. Conversions to a word give the x87's integer
// indefinite 0x80000000 for a NaN or an out-of-range value.
//
// Registers, formats and the handling of f31 are those of the translated
// code: a double occupies fpr[n] (low word) and fpr[n + 1]; a double at f31
// makes the instruction do nothing, a single or word result into f31 does not
// clear a neighbour.
#include <cmath>
#include <cstring>

#include "base/log.h"
#include "core/machine.h"
#include "cpu/fpu_formats.h"
#include "cpu/interpreter/interpreter_internal.h"

namespace interp {

namespace {

using Extended = long double;

uint32_t fmtOf(uint32_t word) {
    return (word >> 21) & 31;
}
uint32_t fs(const Instruction& in) {
    return in.rd();
}
uint32_t ft(const Instruction& in) {
    return in.rt();
}
uint32_t fd(const Instruction& in) {
    return in.sa();
}

// The loaded value is pinned in an x87 register: otherwise the optimizer may
// narrow an operation on two widened floats back to an SSE float operation,
// whose NaN results differ from the x87's.
Extended onX87(Extended x) {
#if defined(__x86_64__) || defined(__i386__)
    asm("" : "+t"(x));
#endif
    return x;
}

Extended loadSingle(uint32_t n) {
    float f;
    std::memcpy(&f, &theCpu.fpr[n], 4);
    return onX87(f);
}
Extended loadDouble(uint32_t n) {
    const uint64_t bits = uint64_t(theCpu.fpr[n]) | (uint64_t(theCpu.fpr[n + 1]) << 32);
    double d;
    std::memcpy(&d, &bits, 8);
    return onX87(d);
}
Extended loadWord(uint32_t n) {
    return Extended(int32_t(theCpu.fpr[n]));
}

// Single and word results clear the odd half of their register pair.
void clearUpper(uint32_t n) {
    if (hasUpperHalf(n)) theCpu.fpr[n + 1] = 0;
}
void storeSingle(uint32_t n, Extended value) {
    const float f = float(value);
    std::memcpy(&theCpu.fpr[n], &f, 4);
    clearUpper(n);
}
void storeDouble(uint32_t n, Extended value) {
    const double d = double(value);
    uint64_t bits;
    std::memcpy(&bits, &d, 8);
    theCpu.fpr[n] = uint32_t(bits);
    theCpu.fpr[n + 1] = uint32_t(bits >> 32);
}
void storeWord(uint32_t n, uint32_t value) {
    theCpu.fpr[n] = value;
    clearUpper(n);
}

// fistp and fisttp: an integral value within the word's range, otherwise the
// integer indefinite.
uint32_t toWord(Extended integral) {
    if (std::isnan(integral) || integral < -2147483648.0L || integral > 2147483647.0L)
        return 0x80000000u;
    return uint32_t(int32_t(integral));
}

Extended squareRoot(Extended x) {
#if defined(__x86_64__) || defined(__i386__)
    // fsqrt itself, so that negative operands give the x87's default NaN.
    asm("fsqrt" : "+t"(x));
    return x;
#else
    return std::sqrt(x);
#endif
}

enum class Arith { Add, Sub, Mul, Div };

Extended apply(Arith op, Extended a, Extended b) {
    switch (op) {
    case Arith::Add:
        return a + b;
    case Arith::Sub:
        return a - b;
    case Arith::Mul:
        return a * b;
    case Arith::Div:
        return a / b;
    }
    return a;
}

template <Arith op> void interpretArithmetic(const Instruction& in, BlockRun&) {
    const uint32_t format = fmtOf(in.word);
    if (format == FMT_S) {
        storeSingle(fd(in), apply(op, loadSingle(fs(in)), loadSingle(ft(in))));
    } else if (format == FMT_D && doublesFit({fs(in), ft(in), fd(in)})) {
        storeDouble(fd(in), apply(op, loadDouble(fs(in)), loadDouble(ft(in))));
    }
}

template <bool negate> void interpretSign(const Instruction& in, BlockRun&) {
    const uint32_t format = fmtOf(in.word);
    auto operation = [](Extended x) { return negate ? -x : std::fabs(x); };
    if (format == FMT_S) {
        storeSingle(fd(in), operation(loadSingle(fs(in))));
    } else if (format == FMT_D && doublesFit({fs(in), fd(in)})) {
        storeDouble(fd(in), operation(loadDouble(fs(in))));
    }
}

void interpretSqrt(const Instruction& in, BlockRun&) {
    if (fmtOf(in.word) == FMT_S) storeSingle(fd(in), squareRoot(loadSingle(fs(in))));
}

void interpretMov(const Instruction& in, BlockRun&) {
    const uint32_t format = fmtOf(in.word);
    if (format == FMT_S) {
        storeWord(fd(in), theCpu.fpr[fs(in)]);
    } else if (format == FMT_D && doublesFit({fs(in), fd(in)})) {
        const uint32_t lo = theCpu.fpr[fs(in)], hi = theCpu.fpr[fs(in) + 1];
        theCpu.fpr[fd(in)] = lo;
        theCpu.fpr[fd(in) + 1] = hi;
    }
}

// The operand of a conversion from S or D; false for other formats and for a
// double at f31.
bool loadFloatingOperand(const Instruction& in, Extended& value) {
    const uint32_t format = fmtOf(in.word);
    if (format == FMT_S) {
        value = loadSingle(fs(in));
        return true;
    }
    if (format == FMT_D && doublesFit({fs(in)})) {
        value = loadDouble(fs(in));
        return true;
    }
    return false;
}

void interpretTruncW(const Instruction& in, BlockRun&) {
    Extended value;
    if (loadFloatingOperand(in, value)) storeWord(fd(in), toWord(std::trunc(value)));
}

void interpretCvtW(const Instruction& in, BlockRun&) {
    // The host's rounding mode: to nearest, ties to even.
    Extended value;
    if (loadFloatingOperand(in, value)) storeWord(fd(in), toWord(std::nearbyint(value)));
}

void interpretCvtS(const Instruction& in, BlockRun&) {
    const uint32_t format = fmtOf(in.word);
    if (format == FMT_D && doublesFit({fs(in)}))
        storeSingle(fd(in), loadDouble(fs(in)));
    else if (format == FMT_W)
        storeSingle(fd(in), loadWord(fs(in)));
}

void interpretCvtD(const Instruction& in, BlockRun&) {
    const uint32_t format = fmtOf(in.word);
    if (!doublesFit({fd(in)})) return;
    if (format == FMT_S)
        storeDouble(fd(in), loadSingle(fs(in)));
    else if (format == FMT_W)
        storeDouble(fd(in), loadWord(fs(in)));
}

void interpretCompare(const Instruction& in, BlockRun&) {
    const uint32_t format = fmtOf(in.word);
    const uint8_t tested = compareTestBits(in.funct() & 15);
    if (tested == 0) return;
    Extended a, b;
    if (format == FMT_S) {
        a = loadSingle(fs(in));
        b = loadSingle(ft(in));
    } else if (format == FMT_D && doublesFit({fs(in), ft(in)})) {
        a = loadDouble(fs(in));
        b = loadDouble(ft(in));
    } else {
        return;
    }
    // The x87's condition bits: C3 for equal, C0 for less, both (and C2) for
    // unordered operands.
    const bool unordered = std::isunordered(a, b);
    const uint8_t status = unordered ? 0x41 : a == b ? 0x40 : a < b ? 0x01 : 0;
    theCpu.fcr31 &= ~FCR31_CONDITION;
    if (status & tested) theCpu.fcr31 |= FCR31_CONDITION;
}

// --- Messages of the unsupported forms, shown when the block is compiled. ---

void reportFormat(const char* text) {
    showMessage(0, "%s", text);
    haltEmulation();
}

void reportSqrt(uint32_t word) {
    if (fmtOf(word) == FMT_D) reportFormat(FPU_MESSAGE_SQRT_D);
}
void reportCvtS(uint32_t word) {
    if (fmtOf(word) == FMT_L) reportFormat(FPU_MESSAGE_CVT_S_L);
}
void reportCvtD(uint32_t word) {
    if (fmtOf(word) == FMT_L) reportFormat(FPU_MESSAGE_CVT_D_L);
}
void reportCompare(uint32_t word) {
    const uint32_t format = fmtOf(word);
    const uint32_t cond = word & 15;
    if ((format != FMT_S && format != FMT_D) || compareTestBits(cond) != 0) return;
    showMessage(0,
                format == FMT_S ? "COND_%s needed in DynaRec for C.cond.S!"
                                : "COND_%s needed in DynaRec for C.cond.D!",
                compareConditionName(cond));
    haltEmulation();
}

// --- Moves and branches. ---

uint32_t& controlRegister(uint32_t n) {
    return n == 0 ? theCpu.fcr0 : theCpu.fcr31;
}

void interpretMfc1(const Instruction& in, BlockRun&) {
    setGprSigned(in.rt(), theCpu.fpr[fs(in)]);
}
void interpretCfc1(const Instruction& in, BlockRun&) {
    setGprSigned(in.rt(), controlRegister(fs(in)));
}
void interpretMtc1(const Instruction& in, BlockRun&) {
    theCpu.fpr[fs(in)] = theCpu.gpr[in.rt()].lo;
}
void interpretCtc1(const Instruction& in, BlockRun&) {
    controlRegister(fs(in)) = theCpu.gpr[in.rt()].lo;
}

bool conditionFlag() {
    return (theCpu.fcr31 & FCR31_CONDITION) != 0;
}

template <bool onTrue> void interpretBc1(const Instruction& in, BlockRun&) {
    theCpu.pc = conditionFlag() == onTrue ? in.branchTarget() : in.pc + 8;
}

template <bool onTrue> void interpretBc1Likely(const Instruction& in, BlockRun& run) {
    if (conditionFlag() == onTrue) {
        theCpu.pc = in.branchTarget();
    } else {
        theCpu.pc = in.pc + 8;
        run.leftEarly = true;
    }
}

} // namespace

void installFpu(InterpretTables& t) {
    t.cop1[0x00] = {interpretMfc1, BlockEffect::None};
    t.cop1[0x02] = {interpretCfc1, BlockEffect::None};
    t.cop1[0x04] = {interpretMtc1, BlockEffect::None};
    t.cop1[0x06] = {interpretCtc1, BlockEffect::None};
    t.bc1[0] = {interpretBc1<false>, BlockEffect::Branch};
    t.bc1[1] = {interpretBc1<true>, BlockEffect::Branch};
    t.bc1[2] = {interpretBc1Likely<false>, BlockEffect::LikelyBranch};
    t.bc1[3] = {interpretBc1Likely<true>, BlockEffect::LikelyBranch};

    t.fpu[0x00] = {interpretArithmetic<Arith::Add>, BlockEffect::None};
    t.fpu[0x01] = {interpretArithmetic<Arith::Sub>, BlockEffect::None};
    t.fpu[0x02] = {interpretArithmetic<Arith::Mul>, BlockEffect::None};
    t.fpu[0x03] = {interpretArithmetic<Arith::Div>, BlockEffect::None};
    t.fpu[0x04] = {interpretSqrt, BlockEffect::None, reportSqrt};
    t.fpu[0x05] = {interpretSign<false>, BlockEffect::None};
    t.fpu[0x06] = {interpretMov, BlockEffect::None};
    t.fpu[0x07] = {interpretSign<true>, BlockEffect::None};
    t.fpu[0x0D] = {interpretTruncW, BlockEffect::None};
    t.fpu[0x20] = {interpretCvtS, BlockEffect::None, reportCvtS};
    t.fpu[0x21] = {interpretCvtD, BlockEffect::None, reportCvtD};
    t.fpu[0x24] = {interpretCvtW, BlockEffect::None};
    for (unsigned f = 0x30; f < 0x40; ++f)
        t.fpu[f] = {interpretCompare, BlockEffect::None, reportCompare};
}

} // namespace interp
