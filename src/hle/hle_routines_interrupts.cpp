// Interrupt masking, the status register, FPU control and the routines whose
// guest work has no effect on the emulated machine.
#include "core/hw_registers.h"
#include "core/memory.h"
#include "hle/hle_guest.h"
#include "hle/hle_routines.h"

using namespace hle;

namespace {

constexpr uint32_t STATUS_IE = 0x00000001;

// SP_STATUS_REG bits: halt, single step, interrupt on break; signal 1.
constexpr uint32_t SP_STATUS_HALT = 0x01;
constexpr uint32_t SP_STATUS_SSTEP = 0x08;
constexpr uint32_t SP_STATUS_INTR_BREAK = 0x10;
constexpr uint32_t SP_STATUS_SIG1 = 0x40;

} // namespace

void hleOsSetSr() {
    theCpu.cop0[COP0_STATUS] = lowWord(A0);
}

void hleOsDisableInt() {
    uint32_t& status = theCpu.cop0[COP0_STATUS];
    setZeroExtended(V0, status & STATUS_IE);
    status &= ~STATUS_IE;
}

void hleOsRestoreInt() {
    theCpu.cop0[COP0_STATUS] |= lowWord(A0);
}

void hleOsSetFpcCsr() {
    setZeroExtended(V0, theCpu.fcr31);
    theCpu.fcr31 = lowWord(A0);
}

void hleOsEepStatus() {
    setZeroExtended(V0, 0);
}

// Releases the signal processor's halt as the guest routine's store would:
// the task in DMEM runs when the block ends.
void hleOsSpTaskStartGo() {
    if (SP_STATUS_REG & SP_STATUS_HALT) mem_actions[0] |= ACTION_SP_TASK;
    SP_STATUS_REG &= ~(SP_STATUS_HALT | SP_STATUS_SSTEP | SP_STATUS_INTR_BREAK);
    SP_STATUS_REG |= SP_STATUS_SIG1;
    setZeroExtended(V0, 0);
}

// The caches are not emulated.
void hleOsWritebackDCache() {}

// Translated code is kept: the guest's cache invalidation does not discard it.
void hleOsInvalICache() {}
