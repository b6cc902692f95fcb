// The native routines at the end of the complete machine's FPU templates,
// and the discarding of translated code when Status.FR changes.
#include <immintrin.h>

#include <cstring>

#include "core/machine_mode.h"
#include "cpu/fpu_control.h"
#include "cpu/fpu_formats.h"
#include "cpu/fpu_register_file.h"
#include "cpu/recompiler/code_cache.h"
#include "cpu/recompiler/complete_fpu_translators.h"

namespace {

// The causes of the operation just done; the host's MXCSR is back.
uint32_t takeCauses() {
    const uint32_t mxcsr = _mm_getcsr();
    _mm_setcsr(HOST_MXCSR);
    return causesOfMxcsr(mxcsr);
}

} // namespace

uint32_t fprModeOfCode = 0;

extern "C" float fpuSettleSingle(float result) {
    uint32_t causes = takeCauses();
    uint32_t bits;
    std::memcpy(&bits, &result, 4);
    if ((bits & 0x7F800000) == 0x7F800000 && (bits & 0x007FFFFF) != 0) {
        std::memcpy(&result, &DEFAULT_NAN_SINGLE, 4);
        causes |= CAUSE_INVALID;
    }
    fpuRaise(causes);
    return result;
}

extern "C" double fpuSettleDouble(double result) {
    uint32_t causes = takeCauses();
    uint64_t bits;
    std::memcpy(&bits, &result, 8);
    if ((bits & 0x7FF0000000000000) == 0x7FF0000000000000 && (bits & 0x000FFFFFFFFFFFFF) != 0) {
        std::memcpy(&result, &DEFAULT_NAN_DOUBLE, 8);
        causes |= CAUSE_INVALID;
    }
    fpuRaise(causes);
    return result;
}

extern "C" uint64_t fpuSettleInteger(uint64_t result) {
    uint32_t causes = takeCauses();
    // A NaN or an out-of-range value: the host gave its integer indefinite.
    if (causes & CAUSE_INVALID) causes = CAUSE_UNIMPLEMENTED;
    fpuRaise(causes);
    return result;
}

extern "C" void fpuSettleCompare(uint32_t flagsInAh, uint32_t cond) {
    // ucomis: ZF, PF and CF all set for unordered operands, ZF for equal
    // ones, CF for less.
    const uint32_t ah = flagsInAh >> 8;
    const bool unordered = (ah & 0x04) != 0;
    bool invalid;
    const bool holds = fpuConditionHolds(cond, unordered, !unordered && (ah & 0x40),
                                         !unordered && (ah & 0x01), invalid);
    fpuRaise(invalid ? CAUSE_INVALID : 0);
    if (holds)
        theCpu.fcr31 |= FCR31_CONDITION;
    else
        theCpu.fcr31 &= ~FCR31_CONDITION;
}

extern "C" void fpuUnimplemented() {
    fpuRaise(CAUSE_UNIMPLEMENTED);
}

void changeFprModeOfCode(uint32_t fr) {
    fprModeOfCode = fr;
    if (completeMachine() && usedBytes != 0) flushCodeCache("Status.FR changed");
}
