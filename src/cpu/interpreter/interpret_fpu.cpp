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
uint64_t doubleBits(uint32_t n) {
    return uint64_t(theCpu.fpr[n]) | (uint64_t(theCpu.fpr[n + 1]) << 32);
}
Extended loadDouble(uint32_t n) {
    const uint64_t bits = doubleBits(n);
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

bool isNanSingle(uint32_t bits) {
    return (bits & 0x7FFFFFFFu) > 0x7F800000u;
}
bool isSignallingSingle(uint32_t bits) {
    return isNanSingle(bits) && !(bits & 0x00400000u);
}
bool isNanDouble(uint64_t bits) {
    return (bits & 0x7FFFFFFFFFFFFFFFull) > 0x7FF0000000000000ull;
}
bool isSignallingDouble(uint64_t bits) {
    return isNanDouble(bits) && !(bits & 0x0008000000000000ull);
}

// The translated code loads fs onto the x87 stack, which quiets a signalling
// NaN, and takes ft as the operation's memory operand. An x87 operation on a
// quiet NaN and a signalling NaN returns the quiet one whatever the
// significands, so a NaN in fs wins over a signalling NaN in ft. Widened here,
// both operands are quiet already and the larger significand would win: the
// case is decided before the operation.
template <Arith op> void arithmetic(const Instruction& in) {
    const uint32_t format = fmtOf(in.word);
    if (format == FMT_S) {
        const uint32_t a = theCpu.fpr[fs(in)], b = theCpu.fpr[ft(in)];
        const Extended x = loadSingle(fs(in));
        storeSingle(fd(in),
                    isNanSingle(a) && isSignallingSingle(b) ? x : apply(op, x, loadSingle(ft(in))));
    } else if (format == FMT_D && doublesFit({fs(in), ft(in), fd(in)})) {
        const uint64_t a = doubleBits(fs(in)), b = doubleBits(ft(in));
        const Extended x = loadDouble(fs(in));
        storeDouble(fd(in),
                    isNanDouble(a) && isSignallingDouble(b) ? x : apply(op, x, loadDouble(ft(in))));
    }
}

template <bool negate> void signOperation(const Instruction& in) {
    const uint32_t format = fmtOf(in.word);
    auto operation = [](Extended x) { return negate ? -x : std::fabs(x); };
    if (format == FMT_S) {
        storeSingle(fd(in), operation(loadSingle(fs(in))));
    } else if (format == FMT_D && doublesFit({fs(in), fd(in)})) {
        storeDouble(fd(in), operation(loadDouble(fs(in))));
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

// fcr0 for control register 0, fcr31 for every other number.
uint32_t& controlRegister(uint32_t n) {
    return n == 0 ? theCpu.fcr0 : theCpu.fcr31;
}

bool conditionFlag() {
    return (theCpu.fcr31 & FCR31_CONDITION) != 0;
}

template <bool onTrue> void branchOnFlag(const Instruction& in) {
    theCpu.pc = conditionFlag() == onTrue ? in.branchTarget() : in.pc + 8;
}

template <bool onTrue> void branchOnFlagLikely(const Instruction& in, BlockRun& run) {
    if (conditionFlag() == onTrue) {
        theCpu.pc = in.branchTarget();
    } else {
        theCpu.pc = in.pc + 8;
        run.leftEarly = true;
    }
}

} // namespace

void interpretFpuSqrt(const Instruction& in, BlockRun&) {
    if (fmtOf(in.word) == FMT_S) storeSingle(fd(in), squareRoot(loadSingle(fs(in))));
}

void interpretFpuMov(const Instruction& in, BlockRun&) {
    const uint32_t format = fmtOf(in.word);
    if (format == FMT_S) {
        storeWord(fd(in), theCpu.fpr[fs(in)]);
    } else if (format == FMT_D && doublesFit({fs(in), fd(in)})) {
        const uint32_t lo = theCpu.fpr[fs(in)], hi = theCpu.fpr[fs(in) + 1];
        theCpu.fpr[fd(in)] = lo;
        theCpu.fpr[fd(in) + 1] = hi;
    }
}

void interpretFpuTruncW(const Instruction& in, BlockRun&) {
    Extended value;
    if (loadFloatingOperand(in, value)) storeWord(fd(in), toWord(std::trunc(value)));
}

void interpretFpuCvtW(const Instruction& in, BlockRun&) {
    // The host's rounding mode: to nearest, ties to even.
    Extended value;
    if (loadFloatingOperand(in, value)) storeWord(fd(in), toWord(std::nearbyint(value)));
}

void interpretFpuCvtS(const Instruction& in, BlockRun&) {
    const uint32_t format = fmtOf(in.word);
    if (format == FMT_D && doublesFit({fs(in)}))
        storeSingle(fd(in), loadDouble(fs(in)));
    else if (format == FMT_W)
        storeSingle(fd(in), loadWord(fs(in)));
}

void interpretFpuCvtD(const Instruction& in, BlockRun&) {
    const uint32_t format = fmtOf(in.word);
    if (!doublesFit({fd(in)})) return;
    if (format == FMT_S)
        storeDouble(fd(in), loadSingle(fs(in)));
    else if (format == FMT_W)
        storeDouble(fd(in), loadWord(fs(in)));
}

void interpretFpuCompare(const Instruction& in, BlockRun&) {
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

void interpretBc1f(const Instruction& in, BlockRun&) {
    branchOnFlag<false>(in);
}
void interpretBc1t(const Instruction& in, BlockRun&) {
    branchOnFlag<true>(in);
}
void interpretBc1fl(const Instruction& in, BlockRun& run) {
    branchOnFlagLikely<false>(in, run);
}
void interpretBc1tl(const Instruction& in, BlockRun& run) {
    branchOnFlagLikely<true>(in, run);
}

void interpretFpuAdd(const Instruction& in, BlockRun&) {
    arithmetic<Arith::Add>(in);
}
void interpretFpuSub(const Instruction& in, BlockRun&) {
    arithmetic<Arith::Sub>(in);
}
void interpretFpuMul(const Instruction& in, BlockRun&) {
    arithmetic<Arith::Mul>(in);
}
void interpretFpuDiv(const Instruction& in, BlockRun&) {
    arithmetic<Arith::Div>(in);
}
void interpretFpuAbs(const Instruction& in, BlockRun&) {
    signOperation<false>(in);
}
void interpretFpuNeg(const Instruction& in, BlockRun&) {
    signOperation<true>(in);
}

} // namespace interp
