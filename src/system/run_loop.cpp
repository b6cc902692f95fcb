#include "system/run_loop.h"

#include "base/log.h"
#include "core/cpu_state.h"
#include "core/machine.h"
#include "core/machine_mode.h"
#include "core/memory.h"
#include "core/tlb.h"
#include "cpu/cpu_core.h"
#include "cpu/guest_exceptions.h"
#include "cpu/interpreter/interpreter.h"
#include "cpu/interrupts.h"
#include "cpu/recompiler/code_cache.h"
#include "cpu/recompiler/code_pages.h"
#include "cpu/recompiler/compile_block.h"
#include "cpu/recompiler/complete_fpu_translators.h"
#include "hw/sound_events.h"
#include "hw/vi.h"
#include "system/run_control.h"
#include "system/state_requests.h"

namespace {

BlockSource rdramSource(uint32_t physical) {
    const uint32_t offset = physical & (RDRAM_SIZE - 1);
    return {(physical >> 2) & 0x1FFFFF, theMemory.rdram + offset, (RDRAM_SIZE - offset) / 4};
}

// The block record for pc, translated now when the block map has none.
uint8_t* findOrCompile(uint32_t pc, const BlockSource& where) {
    matchCodeToFpuRegisters();
    if (pc == EXCEPTION_VECTOR_PC) {
        // Compiled afresh every time, so that the guest may rewrite its
        // handler; neither the block map nor usedBytes changes.
        const uint32_t saved = usedBytes;
        const bool ok = compileBlock(pc, where.source, where.wordsAvailable, exceptionVectorBuffer,
                                     exceptionVectorBuffer + EXCEPTION_VECTOR_BUFFER_SIZE);
        usedBytes = saved;
        return ok ? exceptionVectorBuffer : nullptr;
    }
    const uint32_t entry = blockMap[where.mapIndex];
    if (entry != BLOCK_NOT_COMPILED) return codeCache + entry;

    if (CODE_CACHE_SIZE - usedBytes < CODE_CACHE_LOW_WATER) flushCodeCache();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const uint32_t at = usedBytes;
        if (compileBlock(pc, where.source, where.wordsAvailable, codeCache + at,
                         codeCache + CODE_CACHE_SIZE)) {
            blockMap[where.mapIndex] = at;
            // The complete machine discards the block when its words change.
            if (completeMachine())
                markCodePages(where.mapIndex, readBlockHeader(codeCache + at).instructionCount);
            return codeCache + at;
        }
        flushCodeCache();
    }
    return nullptr;
}

} // namespace

bool findBlockSource(uint32_t pc, BlockSource& out) {
    if (pc - 0x80000000u < RDRAM_SIZE) {
        out = rdramSource(pc);
        return true;
    }
    if (pc - 0xA4000000u < SP_DMEM_SIZE) {
        const uint32_t offset = pc & (SP_DMEM_SIZE - 1);
        out = {BLOCK_MAP_DMEM_BASE + (offset >> 2), theMemory.hwRegs + offset,
               (SP_DMEM_SIZE - offset) / 4};
        return true;
    }
    uint32_t physical;
    if (!tlbTranslate(pc, physical)) return false;
    out = rdramSource(physical);
    return true;
}

TimerEvent advanceCount(uint32_t instructionCount) {
    uint32_t& count = theCpu.cop0[COP0_COUNT];
    count += instructionCount;
    if (int32_t(count - nextViCount) >= 0) return TimerEvent::ViInterrupt;
    const uint32_t compare = theCpu.cop0[COP0_COMPARE];
    if (compare != 0 && count >= compare && count - instructionCount <= compare)
        return TimerEvent::CompareInterrupt;
    return TimerEvent::None;
}

namespace {

// Runs a translated block record: pc is set to the block's last instruction
// before it runs (a branch's template overwrites it).
uint32_t runTranslatedBlock(const uint8_t* record) {
    const BlockHeader header = readBlockHeader(record);
    theCpu.pc = header.endPc;
    reinterpret_cast<void (*)()>(record + BLOCK_HEADER_SIZE)();
    return header.instructionCount;
}

// Every block but a translated one already in the block map: the address is
// checked and resolved, the block interpreted or translated. Returns false,
// the emulation halted, when it cannot run.
bool runBlockFound(uint32_t pc, uint32_t& instructionCount) {
    if (pc & 3) {
        // The fetch would fall between two instruction words. The complete
        // machine raises the address error; the design machine halts.
        if (completeMachine()) {
            enterFetchAddressError(pc);
            instructionCount = 0;
            return !isEmulationHalted();
        }
        logLine("Instruction fetch from an unaligned address (0x%08X)", pc);
        haltEmulation();
        return false;
    }
    BlockSource where;
    if (!findBlockSource(pc, where)) {
        haltEmulation();
        showMessage(0, "TLB mapped address not found.. (0x%08X)", pc);
        dumpTlb();
        return false;
    }
    if (selectedCpuCore == CpuCore::Interpreter) {
        instructionCount = interpretBlock(pc, where.source, where.wordsAvailable);
        return true;
    }
    if (!blockMap) {
        logLine("No code cache: the recompiler cannot run.");
        haltEmulation();
        return false;
    }
    const uint8_t* record = findOrCompile(pc, where);
    if (!record) {
        logLine("The block at 0x%08X does not fit in the code cache.", pc);
        haltEmulation();
        return false;
    }
    instructionCount = runTranslatedBlock(record);
    return true;
}

// The record of a block at pc in cached RDRAM that is translated already, or
// null: the common case of the recompiler, decided in a few instructions.
// The exception vector is compiled afresh every time, so it never is one.
const uint8_t* translatedRdramBlock(uint32_t pc) {
    if (selectedCpuCore != CpuCore::Recompiler || !blockMap) return nullptr;
    if (pc - 0x80000000u >= RDRAM_SIZE || (pc & 3) || pc == EXCEPTION_VECTOR_PC) return nullptr;
    // A change of Status.FR empties the block map first.
    matchCodeToFpuRegisters();
    const uint32_t entry = blockMap[(pc >> 2) & 0x1FFFFF];
    return entry != BLOCK_NOT_COMPILED ? codeCache + entry : nullptr;
}

} // namespace

bool runBlock() {
    const uint32_t pc = theCpu.pc;
    uint32_t instructionCount = 0;
    if (const uint8_t* record = translatedRdramBlock(pc)) {
        instructionCount = runTranslatedBlock(record);
    } else if (!runBlockFound(pc, instructionCount)) {
        return false;
    }

    countBlockInstructions(instructionCount);
    bool withinLimits = true;
    switch (advanceCount(instructionCount)) {
    case TimerEvent::ViInterrupt:
        raiseViInterrupt();
        withinLimits = checkRunLimitsAfterTimerEvent(true);
        break;
    case TimerEvent::CompareInterrupt:
        raiseCompareInterrupt();
        withinLimits = checkRunLimitsAfterTimerEvent(false);
        break;
    case TimerEvent::None:
        break;
    }
    // What the sound thread did since the last block (AI register updates and
    // the AI interrupt) takes effect here, in its order.
    if (soundEventsPending()) applyPendingSoundEvents();
    // The safe point of saved states: every effect of the block is done, so
    // a run loaded from the state goes on exactly as this one. A save due at
    // the vertical interrupt that ends the run is made too.
    if (stateRequestsPending()) serviceStateRequests();
    return withinLimits && !isEmulationHalted();
}

uint32_t cpuThread(void* /*parameter*/) {
    if (!isEmulationHalted()) {
        while (runBlock()) {
        }
    }
    // A stop on request or at a limit is no halt of the guest.
    if (cpuStopReason() != CpuStopReason::None) return 0;
    showMessage(16, "Emulation halted..\nPlease refer to the .log files for this ROM.");
    statusMessage("Halted emulation!");
    return 0;
}
