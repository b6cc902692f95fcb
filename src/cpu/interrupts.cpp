#include "cpu/interrupts.h"

#include "base/log.h"
#include "core/cpu_state.h"
#include "core/hw_registers.h"
#include "core/machine.h"

namespace {
uint32_t& status() {
    return theCpu.cop0[COP0_STATUS];
}
uint32_t& cause() {
    return theCpu.cop0[COP0_CAUSE];
}
bool exceptionInProgress() {
    return (status() & (STATUS_EXL | STATUS_ERL)) != 0;
}
} // namespace

void deliverMiInterrupt(uint32_t miBit) {
    MI_INTR_REG |= miBit;
    if ((MI_INTR_MASK_REG & 0xFF & miBit) == 0) return;
    cause() |= CAUSE_IP2;
    if ((status() & (STATUS_IE | STATUS_IM2)) == (STATUS_IE | STATUS_IM2) && !exceptionInProgress())
        raiseException(0);
}

void raiseSpInterrupt() {
    deliverMiInterrupt(MI_INTR_SP);
}

void raiseSiInterrupt() {
    SI_STATUS_REG |= SI_STATUS_INTERRUPT;
    deliverMiInterrupt(MI_INTR_SI);
}

void raisePiInterrupt() {
    deliverMiInterrupt(MI_INTR_PI);
}
void raiseDpInterrupt() {
    deliverMiInterrupt(MI_INTR_DP);
}

void raiseCompareInterrupt() {
    cause() |= CAUSE_IP7;
    if ((status() & (STATUS_IE | STATUS_IM7)) == (STATUS_IE | STATUS_IM7) && !exceptionInProgress())
        raiseException(0);
}

void raiseException(uint32_t code) {
    // Exceptions are taken only between blocks and a block never ends inside
    // a delay slot, so BD is always clear; the guest resumes at pc after ERET.
    cause() = ((cause() & ~CAUSE_EXCCODE) | ((code & 0x1F) << 2)) & ~CAUSE_BD;
    theCpu.cop0[COP0_EPC] = theCpu.pc;
    status() |= STATUS_EXL;
    if ((status() & STATUS_BEV) == 0) {
        theCpu.pc = GENERAL_EXCEPTION_VECTOR;
        return;
    }
    theCpu.pc = BOOTSTRAP_EXCEPTION_VECTOR;
    showMessage(16, "BEV==1!!!\nShould reset emulation.. Instead, I'm bailing out..");
    haltEmulation();
}
