// The complete machine's FPU arithmetic, conversions and compares, computed
// in C++ float and double under the guest's rounding mode (set through
// <cfenv>), the causes read from the host's exception flags. Results that are
// NaNs become the default NaN and raise Invalid; conversions to an integer
// of a NaN or an out-of-range value give the smallest integer and raise
// Unimplemented Operation. A format the instruction does not take raises
// Unimplemented Operation and leaves fd alone.
#include <cfenv>
#include <cmath>
#include <cstring>
#include <limits>

#include "cpu/fpu_control.h"
#include "cpu/fpu_formats.h"
#include "cpu/fpu_register_file.h"
#include "cpu/interpreter/complete_fpu_routines.h"

namespace interp {

namespace {

uint32_t fmtOf(const Instruction& in) {
    return in.rs();
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

// Keeps a value in a register at this point of the program, so that the
// compiler moves no floating-point operation across a change of the
// rounding mode or a reading of the exception flags.
template <class T> T pinned(T x) {
    if constexpr (std::is_floating_point_v<T>)
        asm volatile("" : "+x"(x));
    else
        asm volatile("" : "+r"(x));
    return x;
}

template <class T> T readRegister(uint32_t n) {
    T value;
    std::memcpy(&value, sizeof(T) == 4 ? fpuWordSlot(n) : fpuDoublewordSlot(n), sizeof(T));
    return value;
}
template <class T> void writeRegister(uint32_t n, T value) {
    std::memcpy(sizeof(T) == 4 ? fpuWordSlot(n) : fpuDoublewordSlot(n), &value, sizeof(T));
}

// The host computes under `mode` with clear exception flags until leave().
void enter(uint32_t mode) {
    static const int hostModes[4] = {FE_TONEAREST, FE_TOWARDZERO, FE_UPWARD, FE_DOWNWARD};
    std::fesetround(hostModes[mode & 3]);
    std::feclearexcept(FE_ALL_EXCEPT);
}
uint32_t leave() {
    const int raised = std::fetestexcept(FE_ALL_EXCEPT);
    std::fesetround(FE_TONEAREST);
    uint32_t causes = 0;
    if (raised & FE_INVALID) causes |= CAUSE_INVALID;
    if (raised & FE_DIVBYZERO) causes |= CAUSE_DIVIDE_BY_ZERO;
    if (raised & FE_OVERFLOW) causes |= CAUSE_OVERFLOW;
    if (raised & FE_UNDERFLOW) causes |= CAUSE_UNDERFLOW;
    if (raised & FE_INEXACT) causes |= CAUSE_INEXACT;
    return causes;
}
uint32_t guestMode() {
    return theCpu.fcr31 & FCR31_ROUNDING_MODE;
}

// Stores a floating-point result with its causes.
template <class T> void settle(uint32_t n, T result, uint32_t causes) {
    if (std::isnan(result)) {
        if constexpr (sizeof(T) == 4)
            std::memcpy(&result, &DEFAULT_NAN_SINGLE, 4);
        else
            std::memcpy(&result, &DEFAULT_NAN_DOUBLE, 8);
        causes |= CAUSE_INVALID;
    }
    fpuRaise(causes);
    writeRegister(n, result);
}

enum class Op { Add, Sub, Mul, Div, Sqrt, Abs, Neg };

template <Op op, class T> T compute(T a, T b) {
    switch (op) {
    case Op::Add:
        return a + b;
    case Op::Sub:
        return a - b;
    case Op::Mul:
        return a * b;
    case Op::Div:
        return a / b;
    case Op::Sqrt:
        return std::sqrt(a);
    case Op::Abs:
        return std::fabs(a);
    case Op::Neg:
        return -a;
    }
    return a;
}

template <Op op, class T> void arithmeticIn(const Instruction& in) {
    const T a = readRegister<T>(fs(in)), b = readRegister<T>(ft(in));
    enter(guestMode());
    const T result = pinned(compute<op>(pinned(a), pinned(b)));
    settle(fd(in), result, leave());
}

template <Op op> void arithmetic(const Instruction& in) {
    if (fmtOf(in) == FMT_S)
        arithmeticIn<op, float>(in);
    else if (fmtOf(in) == FMT_D)
        arithmeticIn<op, double>(in);
    else
        fpuRaise(CAUSE_UNIMPLEMENTED);
}

// The value of fs rounded to an integer by `mode`, or the smallest integer
// with Unimplemented Operation when it is a NaN or out of range.
template <class Int, class T> void toIntegerFrom(const Instruction& in, uint32_t mode) {
    const T value = readRegister<T>(fs(in));
    enter(mode);
    const T rounded = pinned(std::nearbyint(pinned(value)));
    leave();
    const T limit = std::ldexp(T(1), std::numeric_limits<Int>::digits);
    Int result = std::numeric_limits<Int>::min();
    uint32_t causes = CAUSE_UNIMPLEMENTED;
    if (!std::isnan(value) && rounded < limit && rounded >= -limit) {
        result = Int(rounded);
        causes = rounded != value ? CAUSE_INEXACT : 0;
    }
    fpuRaise(causes);
    writeRegister(fd(in), result);
}

template <class Int> void toInteger(const Instruction& in, uint32_t mode) {
    if (fmtOf(in) == FMT_S)
        toIntegerFrom<Int, float>(in, mode);
    else if (fmtOf(in) == FMT_D)
        toIntegerFrom<Int, double>(in, mode);
    else
        fpuRaise(CAUSE_UNIMPLEMENTED);
}

// CVT.S and CVT.D: To from the formats other than To itself.
template <class To> void convert(const Instruction& in) {
    const uint32_t format = fmtOf(in);
    const uint32_t own = sizeof(To) == 4 ? FMT_S : FMT_D;
    if (format == own ||
        (format != FMT_S && format != FMT_D && format != FMT_W && format != FMT_L)) {
        fpuRaise(CAUSE_UNIMPLEMENTED);
        return;
    }
    To result;
    enter(guestMode());
    if (format == FMT_S)
        result = pinned(To(pinned(readRegister<float>(fs(in)))));
    else if (format == FMT_D)
        result = pinned(To(pinned(readRegister<double>(fs(in)))));
    else if (format == FMT_W)
        result = pinned(To(pinned(readRegister<int32_t>(fs(in)))));
    else
        result = pinned(To(pinned(readRegister<int64_t>(fs(in)))));
    settle(fd(in), result, leave());
}

template <class T> void compareIn(const Instruction& in) {
    const T a = readRegister<T>(fs(in)), b = readRegister<T>(ft(in));
    const bool unordered = std::isunordered(a, b);
    bool invalid;
    const bool holds = fpuConditionHolds(in.funct() & 15, unordered, !unordered && a == b,
                                         !unordered && a < b, invalid);
    fpuRaise(invalid ? CAUSE_INVALID : 0);
    if (holds)
        theCpu.fcr31 |= FCR31_CONDITION;
    else
        theCpu.fcr31 &= ~FCR31_CONDITION;
}

} // namespace

void interpretCompleteFpuAdd(const Instruction& in, BlockRun&) {
    arithmetic<Op::Add>(in);
}
void interpretCompleteFpuSub(const Instruction& in, BlockRun&) {
    arithmetic<Op::Sub>(in);
}
void interpretCompleteFpuMul(const Instruction& in, BlockRun&) {
    arithmetic<Op::Mul>(in);
}
void interpretCompleteFpuDiv(const Instruction& in, BlockRun&) {
    arithmetic<Op::Div>(in);
}
void interpretCompleteFpuSqrt(const Instruction& in, BlockRun&) {
    arithmetic<Op::Sqrt>(in);
}
void interpretCompleteFpuAbs(const Instruction& in, BlockRun&) {
    arithmetic<Op::Abs>(in);
}
void interpretCompleteFpuNeg(const Instruction& in, BlockRun&) {
    arithmetic<Op::Neg>(in);
}

void interpretCompleteFpuMov(const Instruction& in, BlockRun&) {
    // A copy of the bits: NaNs pass unchanged and nothing is raised.
    if (fmtOf(in) == FMT_S)
        writeRegister(fd(in), readRegister<uint32_t>(fs(in)));
    else if (fmtOf(in) == FMT_D)
        writeRegister(fd(in), readRegister<uint64_t>(fs(in)));
    else
        fpuRaise(CAUSE_UNIMPLEMENTED);
}

void interpretCompleteFpuRoundL(const Instruction& in, BlockRun&) {
    toInteger<int64_t>(in, ROUND_NEAREST);
}
void interpretCompleteFpuTruncL(const Instruction& in, BlockRun&) {
    toInteger<int64_t>(in, ROUND_ZERO);
}
void interpretCompleteFpuCeilL(const Instruction& in, BlockRun&) {
    toInteger<int64_t>(in, ROUND_UP);
}
void interpretCompleteFpuFloorL(const Instruction& in, BlockRun&) {
    toInteger<int64_t>(in, ROUND_DOWN);
}
void interpretCompleteFpuRoundW(const Instruction& in, BlockRun&) {
    toInteger<int32_t>(in, ROUND_NEAREST);
}
void interpretCompleteFpuTruncW(const Instruction& in, BlockRun&) {
    toInteger<int32_t>(in, ROUND_ZERO);
}
void interpretCompleteFpuCeilW(const Instruction& in, BlockRun&) {
    toInteger<int32_t>(in, ROUND_UP);
}
void interpretCompleteFpuFloorW(const Instruction& in, BlockRun&) {
    toInteger<int32_t>(in, ROUND_DOWN);
}
void interpretCompleteFpuCvtW(const Instruction& in, BlockRun&) {
    toInteger<int32_t>(in, guestMode());
}
void interpretCompleteFpuCvtL(const Instruction& in, BlockRun&) {
    toInteger<int64_t>(in, guestMode());
}
void interpretCompleteFpuCvtS(const Instruction& in, BlockRun&) {
    convert<float>(in);
}
void interpretCompleteFpuCvtD(const Instruction& in, BlockRun&) {
    convert<double>(in);
}

void interpretCompleteFpuCompare(const Instruction& in, BlockRun&) {
    if (fmtOf(in) == FMT_S)
        compareIn<float>(in);
    else if (fmtOf(in) == FMT_D)
        compareIn<double>(in);
    else
        fpuRaise(CAUSE_UNIMPLEMENTED);
}

} // namespace interp
