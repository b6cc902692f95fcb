// Interrupt raises of the console's devices and the general exception entry.
// Every raise runs on the emulation thread between two blocks or from a block's
// register effects. The device layer raises through these (the vertical
// interrupt in hw/vi.h, the AI interrupt in hw/sound_events.h).
#pragma once

#include <cstdint>

// Cause and Status bits used by the interrupt logic.
constexpr uint32_t STATUS_IE = 0x00000001;
constexpr uint32_t STATUS_EXL = 0x00000002;
constexpr uint32_t STATUS_ERL = 0x00000004;
constexpr uint32_t STATUS_IM2 = 0x00000400;
constexpr uint32_t STATUS_IM7 = 0x00008000;
constexpr uint32_t STATUS_BEV = 0x00400000;
constexpr uint32_t CAUSE_EXCCODE = 0x0000007C;
constexpr uint32_t CAUSE_IP2 = 0x00000400;
constexpr uint32_t CAUSE_IP7 = 0x00008000;
constexpr uint32_t CAUSE_BD = 0x80000000;
constexpr uint32_t SI_STATUS_INTERRUPT = 0x00001000;
constexpr uint32_t GENERAL_EXCEPTION_VECTOR = 0x80000180;
constexpr uint32_t BOOTSTRAP_EXCEPTION_VECTOR = 0xBFC00380;

// Sets the device's bit in MI_INTR_REG; when MI_INTR_MASK_REG enables it, sets
// Cause IP2 and, if Status lets line 2 through and no exception is in
// progress, enters the exception handler. A masked or blocked raise is not
// delivered later.
void deliverMiInterrupt(uint32_t miBit);

void raiseSpInterrupt();
// Also sets the interrupt bit of SI_STATUS_REG.
void raiseSiInterrupt();
void raisePiInterrupt();
void raiseDpInterrupt();
// The timer: sets Cause IP7 and takes the exception when Status allows.
void raiseCompareInterrupt();
// Enters the guest's exception handler with the given exception code: the
// code goes into Cause (BD cleared), EPC takes pc, Status gets EXL and pc
// the handler's address. With Status BEV set the emulation halts instead.
void raiseException(uint32_t code);
