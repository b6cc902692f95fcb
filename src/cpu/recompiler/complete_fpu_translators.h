// The translation routines of the complete machine's FPU, and the native
// routines their templates call.
#pragma once

#include <cstdint>

#include "core/cpu_state.h"
#include "cpu/fpu_register_file.h"

// Arithmetic, conversions and compares.
void translateCompleteFpuAdd();
void translateCompleteFpuSub();
void translateCompleteFpuMul();
void translateCompleteFpuDiv();
void translateCompleteFpuSqrt();
void translateCompleteFpuAbs();
void translateCompleteFpuNeg();
void translateCompleteFpuMov();
void translateCompleteFpuRoundL();
void translateCompleteFpuTruncL();
void translateCompleteFpuCeilL();
void translateCompleteFpuFloorL();
void translateCompleteFpuRoundW();
void translateCompleteFpuTruncW();
void translateCompleteFpuCeilW();
void translateCompleteFpuFloorW();
void translateCompleteFpuCvtS();
void translateCompleteFpuCvtD();
void translateCompleteFpuCvtW();
void translateCompleteFpuCvtL();
void translateCompleteFpuCompare();

// Moves, loads and stores of FPU registers, and MTC0 (Status.FR).
void translateCompleteMfc1();
void translateCompleteDmfc1();
void translateCompleteCfc1();
void translateCompleteMtc1();
void translateCompleteDmtc1();
void translateCompleteCtc1();
void translateCompleteLwc1();
void translateCompleteLdc1();
void translateCompleteSwc1();
void translateCompleteSdc1();
void translateCompleteMtc0();

// The Status.FR of the code in the cache.
extern uint32_t fprModeOfCode;
// Notes a new Status.FR; on the complete machine every block is discarded.
void changeFprModeOfCode(uint32_t fr);

// Called before a block is found or translated: the FPU registers' places are
// fixed in translated code, so when Status.FR differs from that of the cached
// code (and the complete machine is in force) every block is discarded. Inline,
// as it runs before every block: the usual case is one compare.
inline void matchCodeToFpuRegisters() {
    const uint32_t fr = theCpu.cop0[COP0_STATUS] & STATUS_FR;
    if (fr != fprModeOfCode) changeFprModeOfCode(fr);
}

extern "C" {
// The end of an SSE operation's template, the result in XMM0 (or RDI for an
// integer): the causes from MXCSR's flags go into fcr31, the host's MXCSR is
// put back, a NaN result becomes the default NaN with Invalid; an invalid
// conversion to an integer raises Unimplemented Operation instead.
float fpuSettleSingle(float result);
double fpuSettleDouble(double result);
uint64_t fpuSettleInteger(uint64_t result);
// C.cond after ucomiss/ucomisd and lahf: the comparison's flags in bits
// 15-8 of `flagsInAh`.
void fpuSettleCompare(uint32_t flagsInAh, uint32_t cond);
// A format the instruction does not take: Unimplemented Operation.
void fpuUnimplemented();
}
