// The complete machine's FPU control and status register (fcr31) and the
// results both cores define for it: the rounding modes, the cause, enable
// and flag fields, the default NaNs and the compare conditions.
//
// fcr31: bits 1-0 rounding mode, 6-2 flags, 11-7 enables, 17-12 causes,
// 23 condition, 24 flush. The fields use the bit order of
// the CAUSE_ constants (the causes have the extra unimplemented-operation bit).
//
// The FPU runs on the host's SSE unit: its MXCSR holds the four rounding
// modes and sticky flags that map one to one onto fcr31's causes, and it
// rounds straight to single or double precision. The x87 would round to its
// extended precision first (double rounding, a wider exponent range hiding
// overflow and underflow), and it is what the design machine's FPU uses.
#pragma once

#include <cstdint>

// The causes, each a bit of the cause field (and, but for the last, of the
// flag and enable fields).
constexpr uint32_t CAUSE_INEXACT = 1;
constexpr uint32_t CAUSE_UNDERFLOW = 2;
constexpr uint32_t CAUSE_OVERFLOW = 4;
constexpr uint32_t CAUSE_DIVIDE_BY_ZERO = 8;
constexpr uint32_t CAUSE_INVALID = 16;
constexpr uint32_t CAUSE_UNIMPLEMENTED = 32;

constexpr uint32_t FCR31_ROUNDING_MODE = 3;
constexpr unsigned FCR31_FLAG_SHIFT = 2;
constexpr unsigned FCR31_ENABLE_SHIFT = 7;
constexpr unsigned FCR31_CAUSE_SHIFT = 12;
constexpr uint32_t FCR31_CAUSES = 0x3Fu << FCR31_CAUSE_SHIFT;
// The bits of fcr31 that exist; the others read as 0.
constexpr uint32_t FCR31_WRITABLE = 0x0183FFFF;

// fcr31's rounding modes.
enum FpuRounding : uint32_t { ROUND_NEAREST = 0, ROUND_ZERO = 1, ROUND_UP = 2, ROUND_DOWN = 3 };

// The quiet NaNs of the guest's encoding (the top fraction bit clear) that
// every arithmetic result which is a NaN becomes, whatever the operands.
constexpr uint32_t DEFAULT_NAN_SINGLE = 0x7FBFFFFF;
constexpr uint64_t DEFAULT_NAN_DOUBLE = 0x7FF7FFFFFFFFFFFF;

// MXCSR images by rounding mode: every host exception masked, flags clear.
extern const uint32_t fpuMxcsrImages[4];
// What the host code runs with: to nearest, every exception masked.
constexpr uint32_t HOST_MXCSR = 0x1F80;

// The causes of the host's MXCSR flags (invalid, divide by zero, overflow,
// underflow, inexact; the denormal flag has no cause).
uint32_t causesOfMxcsr(uint32_t mxcsr);

// Ends an FPU operation: the cause field becomes `causes`, the flags gain
// them, and the enabled ones (the unimplemented operation always is) are
// logged: they are not taken as exceptions.
void fpuRaise(uint32_t causes);

// C.cond: whether the condition (funct & 15) holds for the relation of the
// operands; `invalid` is set for a signalling condition (8-15) on unordered
// operands.
bool fpuConditionHolds(unsigned cond, bool unordered, bool equal, bool less, bool& invalid);

// CTC1 to fcr31: its bits that exist take the value; causes written with
// their enable set are logged like those of an operation.
void fpuWriteControl(uint32_t value);

// Each run logs its own first enabled causes, so that a run's log does not
// depend on the runs before it in the same process.
void resetFpuExceptionLog();
