// The complete machine's moves between the FPU registers and the general
// registers, memory and the control registers, each register where
// Status.FR puts it; and MTC0, which ends its block so that a change of FR
// holds from the next instruction on.
#include "core/memory_map.h"
#include "cpu/fpu_control.h"
#include "cpu/fpu_register_file.h"
#include "cpu/interpreter/complete_fpu_routines.h"

namespace interp {

namespace {

uint32_t address(const Instruction& in) {
    return theCpu.gpr[in.rs()].lo + in.simm();
}

} // namespace

void interpretCompleteMfc1(const Instruction& in, BlockRun&) {
    setGprSigned(in.rt(), *fpuWordSlot(in.rd()));
}
void interpretCompleteDmfc1(const Instruction& in, BlockRun&) {
    const uint32_t* slot = fpuDoublewordSlot(in.rd());
    setGprWords(in.rt(), slot[0], slot[1]);
}
void interpretCompleteMtc1(const Instruction& in, BlockRun&) {
    *fpuWordSlot(in.rd()) = theCpu.gpr[in.rt()].lo;
}
void interpretCompleteDmtc1(const Instruction& in, BlockRun&) {
    uint32_t* slot = fpuDoublewordSlot(in.rd());
    slot[0] = theCpu.gpr[in.rt()].lo;
    slot[1] = theCpu.gpr[in.rt()].hi;
}

void interpretCompleteCfc1(const Instruction& in, BlockRun&) {
    const uint32_t n = in.rd();
    setGprSigned(in.rt(), n == 0 ? theCpu.fcr0 : n == 31 ? theCpu.fcr31 : 0);
}
void interpretCompleteCtc1(const Instruction& in, BlockRun&) {
    if (in.rd() == 31) fpuWriteControl(theCpu.gpr[in.rt()].lo);
}

void interpretCompleteLwc1(const Instruction& in, BlockRun&) {
    *fpuWordSlot(in.rt()) = hostRead32(memRead(address(in)));
}
void interpretCompleteLdc1(const Instruction& in, BlockRun&) {
    const uint8_t* p = memRead(address(in));
    uint32_t* slot = fpuDoublewordSlot(in.rt());
    slot[0] = hostRead32(p + 4);
    slot[1] = hostRead32(p);
}
void interpretCompleteSwc1(const Instruction& in, BlockRun&) {
    uint8_t* p = memWrite(address(in));
    hostWrite32(p, *fpuWordSlot(in.rt()));
}
void interpretCompleteSdc1(const Instruction& in, BlockRun&) {
    uint8_t* p = memWrite(address(in));
    const uint32_t* slot = fpuDoublewordSlot(in.rt());
    hostWrite32(p, slot[1]);
    hostWrite32(p + 4, slot[0]);
}

void interpretCompleteMtc0(const Instruction& in, BlockRun&) {
    theCpu.cop0[in.rd()] = theCpu.gpr[in.rt()].lo;
    if ((in.flags & STEP_DELAY_SLOT) == 0) theCpu.pc = in.pc + 4;
}

} // namespace interp
