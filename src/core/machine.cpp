#include "core/machine.h"

#include <cstring>

#include "base/log.h"
#include "base/state_stream.h"
#include "core/cpu_state.h"
#include "core/hw_registers.h"
#include "core/load_linked.h"
#include "core/memory.h"
#include "core/tlb.h"

std::atomic<uint32_t> emulationHalted{0};
uint32_t nextViCount = 0;

bool resetMachine() {
    if (!theMemory.initMemory()) {
        showMessage(0x10, "Not enough memory to start the emulation: the console's memory blocks "
                          "could not be allocated.");
        haltEmulation();
        return false;
    }
    // Whole entries, the derived page range included: an earlier run's
    // translation must not survive into this one.
    std::memset(tlb, 0, sizeof tlb);
    // Register effects an earlier run marked but never carried out (its last
    // store into a device register was not followed by an end check) would
    // act on this run's fresh registers at its first end check.
    mem_actions[0] = 0;
    mem_actions[1] = 0;
    std::memset(theCpu.fpr, 0, sizeof theCpu.fpr);
    std::memset(theCpu.fprOdd, 0, sizeof theCpu.fprOdd);
    std::memset(theCpu.cop0, 0, sizeof theCpu.cop0);
    std::memset(theCpu.gpr, 0, sizeof theCpu.gpr);
    theCpu.hi.set(0);
    theCpu.lo.set(0);
    theCpu.fcr31 = 0;
    loadLinkedBit = 0;

    theCpu.gpr[22].set(0x000000000000003F);
    theCpu.gpr[23].set(0x0000000000000006);
    theCpu.gpr[28].set(0xFFFFFFFF80000000);
    theCpu.gpr[29].set(0xFFFFFFFFA4001FF0);
    theCpu.gpr[31].set(0xFFFFFFFFFFFFFFFF);
    theCpu.cop0[COP0_STATUS] = 0x34000000;
    theCpu.cop0[COP0_CONFIG] = 0x0006E463;
    theCpu.cop0[COP0_RANDOM] = 31;
    theCpu.fcr0 = 0x00000511;
    MI_VERSION_REG = 0x01010101;
    nextViCount = VI_INTERRUPT_INTERVAL;
    theCpu.pc = BOOT_PC;

    // A register effect left pending by the previous run (a halt before the
    // end check that would have carried it out) must not act on this one.
    mem_actions[0] = 0;
    mem_actions[1] = 0;
    emulationHalted.store(0);
    return true;
}

void writeMachineState(StateWriter& out) {
    writeCpuState(out);
    writeTlbState(out);
    theMemory.writeState(out);
    out.beginPart("TIME");
    out.put(nextViCount);
    out.endPart();
}

bool readMachineState(StateReader& in) {
    readCpuState(in);
    readTlbState(in);
    theMemory.readState(in);
    uint32_t viCount = 0;
    in.beginPart("TIME");
    in.get(viCount);
    if (!in.endPart()) return false;
    if (in.applying()) nextViCount = viCount;
    return true;
}
