// The complete machine's moves between the FPU registers and the general
// registers, memory and the control registers, each register where
// Status.FR puts it when the block is translated; and MTC0, which ends its
// block so that a change of FR holds from the next instruction on (the run
// loop then discards the code translated for the other FR).
#include "core/cpu_state.h"
#include "core/memory_map.h"
#include "cpu/block_analysis.h"
#include "cpu/fpu_control.h"
#include "cpu/fpu_register_file.h"
#include "cpu/recompiler/code_pages.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/complete_fpu_translators.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"
#include "cpu/x64/sse_emitter.h"

using namespace x86;

namespace {

CompileState& cs() {
    return compileState;
}

// RAX = the host pointer of gpr[rs].lo + simm through memRead or memWriteTracked.
void emitHostPointer(uint8_t* (*translate)(uint32_t)) {
    emitEffectiveAddress();
    movRegReg(EDI, EAX);
    callRel32(reinterpret_cast<const void*>(translate));
}

} // namespace

void translateCompleteMfc1() {
    if (cs().rt == 0) return;
    movRegAbs(EAX, fpuWordSlot(cs().rd));
    emitStoreEaxSignExtended(cs().rt);
}

void translateCompleteDmfc1() {
    if (cs().rt == 0) return;
    movRaxAbs(fpuDoublewordSlot(cs().rd));
    movAbsRax(gprLo(cs().rt));
}

void translateCompleteMtc1() {
    movRegAbs(EAX, gprLo(cs().rt));
    movAbsReg(fpuWordSlot(cs().rd), EAX);
}

void translateCompleteDmtc1() {
    movRaxAbs(gprLo(cs().rt));
    movAbsRax(fpuDoublewordSlot(cs().rd));
}

void translateCompleteCfc1() {
    const unsigned n = cs().rd;
    if (n == 0 || n == 31) {
        if (cs().rt == 0) return;
        movRegAbs(EAX, n == 0 ? &theCpu.fcr0 : &theCpu.fcr31);
        emitStoreEaxSignExtended(cs().rt);
    } else {
        emitStoreConstant(cs().rt, 0, 0);
    }
}

void translateCompleteCtc1() {
    if (cs().rd != 31) return;
    movRegAbs(EDI, gprLo(cs().rt));
    callRel32(reinterpret_cast<const void*>(&fpuWriteControl));
}

void translateCompleteLwc1() {
    emitHostPointer(memRead);
    movEaxPtrRax();
    movAbsReg(fpuWordSlot(cs().rt), EAX);
}

void translateCompleteLdc1() {
    // The word at the address is the high half.
    uint32_t* slot = fpuDoublewordSlot(cs().rt);
    emitHostPointer(memRead);
    movRcxRax();
    movEaxPtrRaxPlus(4);
    movAbsReg(slot, EAX);
    movRaxRcx();
    movEaxPtrRax();
    movAbsReg(slot + 1, EAX);
}

void translateCompleteSwc1() {
    emitHostPointer(memWriteTracked);
    movRegAbs(ECX, fpuWordSlot(cs().rt));
    movPtrRaxEcx();
}

void translateCompleteSdc1() {
    const uint32_t* slot = fpuDoublewordSlot(cs().rt);
    emitHostPointer(memWriteTracked);
    movRegAbs(ECX, slot + 1);
    movPtrRaxEcx();
    addRaxImm8(4);
    movRegAbs(ECX, slot);
    movPtrRaxEcx();
}

void translateCompleteMtc0() {
    translateMtc0();
    if ((cs().stepFlags & STEP_DELAY_SLOT) == 0) movAbsImm(&theCpu.pc, cs().compilePc + 4);
}
