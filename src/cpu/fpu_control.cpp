#include "cpu/fpu_control.h"

#include "base/log.h"
#include "core/cpu_state.h"

const uint32_t fpuMxcsrImages[4] = {
    0x1F80, // to nearest
    0x7F80, // toward zero
    0x5F80, // toward +infinity
    0x3F80, // toward -infinity
};

uint32_t causesOfMxcsr(uint32_t mxcsr) {
    uint32_t causes = 0;
    if (mxcsr & 0x01) causes |= CAUSE_INVALID;
    if (mxcsr & 0x04) causes |= CAUSE_DIVIDE_BY_ZERO;
    if (mxcsr & 0x08) causes |= CAUSE_OVERFLOW;
    if (mxcsr & 0x10) causes |= CAUSE_UNDERFLOW;
    if (mxcsr & 0x20) causes |= CAUSE_INEXACT;
    return causes;
}

namespace {

// A guest that leaves an exception enabled may raise it in every
// iteration of a loop: only the first ones are logged.
constexpr unsigned LOGGED_EXCEPTIONS = 32;
unsigned loggedExceptions = 0;

// The causes whose enable is set (Unimplemented Operation always is) would
// trap; they are logged instead.
void logEnabledCauses(uint32_t causes, uint32_t fcr31) {
    const uint32_t enabled = ((fcr31 >> FCR31_ENABLE_SHIFT) & 0x1F) | CAUSE_UNIMPLEMENTED;
    if ((causes & enabled) != 0 && loggedExceptions < LOGGED_EXCEPTIONS) {
        ++loggedExceptions;
        logLineWithPc("FPU exception not taken: causes 0x%02X, fcr31 0x%08X%s", unsigned(causes),
                      unsigned(fcr31),
                      loggedExceptions == LOGGED_EXCEPTIONS ? " (further ones are not logged)"
                                                            : "");
    }
}

} // namespace

void fpuRaise(uint32_t causes) {
    uint32_t fcr31 = theCpu.fcr31 & ~FCR31_CAUSES;
    fcr31 |= causes << FCR31_CAUSE_SHIFT;
    fcr31 |= (causes & 0x1F) << FCR31_FLAG_SHIFT;
    theCpu.fcr31 = fcr31;
    logEnabledCauses(causes, fcr31);
}

bool fpuConditionHolds(unsigned cond, bool unordered, bool equal, bool less, bool& invalid) {
    invalid = unordered && (cond & 8) != 0;
    if (unordered) return (cond & 1) != 0;
    return ((cond & 2) && equal) || ((cond & 4) && less);
}

void fpuWriteControl(uint32_t value) {
    theCpu.fcr31 = value & FCR31_WRITABLE;
    logEnabledCauses((theCpu.fcr31 & FCR31_CAUSES) >> FCR31_CAUSE_SHIFT, theCpu.fcr31);
}

void resetFpuExceptionLog() {
    loggedExceptions = 0;
}
