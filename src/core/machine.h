// Machine-wide state shared by every part of the core, and the reset to the
// state in which the console's boot code starts.
#pragma once

#include <atomic>
#include <cstdint>

// The halt flag: 0 while the emulation may run. Any part of the core sets it on
// a condition it cannot handle; the run loop stops after the current block.
// Other threads set it too (the stop of an emulation run), hence atomic.
extern std::atomic<uint32_t> emulationHalted;

inline void haltEmulation() {
    emulationHalted.store(1, std::memory_order_relaxed);
}
inline bool isEmulationHalted() {
    return emulationHalted.load(std::memory_order_relaxed) != 0;
}

// Count value at which the next VI interrupt is due.
extern uint32_t nextViCount;

constexpr uint32_t VI_INTERRUPT_INTERVAL = 625000;
constexpr uint32_t BOOT_PC = 0xA4000040;

// Brings the whole machine to its boot state. Returns false, with a message
// shown, when the memory blocks cannot be allocated; the run must not start.
bool resetMachine();

class StateWriter;
class StateReader;
// The machine's part of a saved state: the register file, the TLB, the
// memory blocks and the VI timing (nextViCount). The halt flag is not saved.
void writeMachineState(StateWriter& out);
bool readMachineState(StateReader& in);
