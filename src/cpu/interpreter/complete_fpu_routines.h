// The reference interpreter's routines of the complete machine's FPU.
#pragma once

#include "cpu/interpreter/interpreter_internal.h"

namespace interp {

// Arithmetic, conversions and compares.
void interpretCompleteFpuAdd(const Instruction&, BlockRun&);
void interpretCompleteFpuSub(const Instruction&, BlockRun&);
void interpretCompleteFpuMul(const Instruction&, BlockRun&);
void interpretCompleteFpuDiv(const Instruction&, BlockRun&);
void interpretCompleteFpuSqrt(const Instruction&, BlockRun&);
void interpretCompleteFpuAbs(const Instruction&, BlockRun&);
void interpretCompleteFpuNeg(const Instruction&, BlockRun&);
void interpretCompleteFpuMov(const Instruction&, BlockRun&);
void interpretCompleteFpuRoundL(const Instruction&, BlockRun&);
void interpretCompleteFpuTruncL(const Instruction&, BlockRun&);
void interpretCompleteFpuCeilL(const Instruction&, BlockRun&);
void interpretCompleteFpuFloorL(const Instruction&, BlockRun&);
void interpretCompleteFpuRoundW(const Instruction&, BlockRun&);
void interpretCompleteFpuTruncW(const Instruction&, BlockRun&);
void interpretCompleteFpuCeilW(const Instruction&, BlockRun&);
void interpretCompleteFpuFloorW(const Instruction&, BlockRun&);
void interpretCompleteFpuCvtS(const Instruction&, BlockRun&);
void interpretCompleteFpuCvtD(const Instruction&, BlockRun&);
void interpretCompleteFpuCvtW(const Instruction&, BlockRun&);
void interpretCompleteFpuCvtL(const Instruction&, BlockRun&);
void interpretCompleteFpuCompare(const Instruction&, BlockRun&);

// Moves, loads and stores of FPU registers, and MTC0 (Status.FR).
void interpretCompleteMfc1(const Instruction&, BlockRun&);
void interpretCompleteDmfc1(const Instruction&, BlockRun&);
void interpretCompleteCfc1(const Instruction&, BlockRun&);
void interpretCompleteMtc1(const Instruction&, BlockRun&);
void interpretCompleteDmtc1(const Instruction&, BlockRun&);
void interpretCompleteCtc1(const Instruction&, BlockRun&);
void interpretCompleteLwc1(const Instruction&, BlockRun&);
void interpretCompleteLdc1(const Instruction&, BlockRun&);
void interpretCompleteSwc1(const Instruction&, BlockRun&);
void interpretCompleteSdc1(const Instruction&, BlockRun&);
void interpretCompleteMtc0(const Instruction&, BlockRun&);

} // namespace interp
