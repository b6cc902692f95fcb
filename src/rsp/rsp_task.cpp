#include "rsp/rsp_task.h"

#include <cstring>

#include "base/log.h"
#include "core/hw_registers.h"
#include "core/memory.h"
#include "cpu/interrupts.h"
#include "rsp/display_list_commands.h"
#include "rsp/display_list_state.h"
#include "video/frame_buffer_display.h"
#include "video/gl_context.h"

namespace {

constexpr uint32_t COMMAND_TEXRECT = 0xE4;
constexpr uint32_t COMMAND_TEXRECTFLIP = 0xE5;
// Halt, broke and signal 2: the guest reads signal 2 as "task done".
constexpr uint32_t SP_STATUS_TASK_DONE = 0x203;
constexpr uint32_t SP_STATUS_INTERRUPT_ON_BREAK = 0x040;

// Puts the walk at the start of the task's list.
void startWalk() {
    DisplayListState& s = theDisplayList;
    const uint32_t start = s.taskRecord[TASK_DATA_POINTER];
    s.displayListDepth = 0;
    s.displayListAddress = start;
    DPC_START_REG = start;
    DPC_CURRENT_REG = start;
    s.displayListStack[0] = start;
    DPC_END_REG = start + s.taskRecord[TASK_DATA_SIZE];
    s.taskDone = false;
}

void advanceWalk() {
    DisplayListState& s = theDisplayList;
    s.displayListAddress += 8;
    s.displayListStack[s.displayListDepth] = s.displayListAddress;
    DPC_CURRENT_REG = s.displayListAddress;
}

void completeTask() {
    SP_STATUS_REG |= SP_STATUS_TASK_DONE;
    if (SP_STATUS_REG & SP_STATUS_INTERRUPT_ON_BREAK) raiseSpInterrupt();
    flushLog();
}

} // namespace

int readRspTask() {
    DisplayListState& s = theDisplayList;
    std::memcpy(s.taskRecord, theMemory.hwRegs + TASK_RECORD_OFFSET, sizeof s.taskRecord);
    const uint32_t type = s.taskRecord[TASK_TYPE];
    const uint32_t start = s.taskRecord[TASK_DATA_POINTER];
    const uint32_t end = start + s.taskRecord[TASK_DATA_SIZE];
    switch (type) {
    case TASK_TYPE_GRAPHICS:
        logLine("New DisplayList from 0x%08X to 0x%08X!", start, end);
        return 1;
    case TASK_TYPE_AUDIO:
        logLine("New AudioList from 0x%08X to 0x%08X!", start, end);
        startWalk();
        return 2;
    case TASK_TYPE_VIDEO:
        showMessage(0, "A Video task!!!");
        s.taskDone = true;
        return 0;
    default:
        statusMessage("Invalid task in DP init.. %X", type);
        logLine("Invalid task in DP init.. %X", type);
        s.taskDone = true;
        return 0;
    }
}

void runDisplayList() {
    DisplayListState& s = theDisplayList;
    if (s.glContextPending) {
        theFrameBufferDisplay.frameBufferDisplayEnabled = false;
        createGlContext(outputGlSurface);
        setGlViewport(320, 240);
        s.glContextPending = false;
    }
    startWalk();
    uint32_t commands = 0;
    while (!s.taskDone) {
        if (commands++ == MAX_TASK_COMMANDS) {
            logLine("The display list from 0x%08X ran %u commands without ending; it was stopped",
                    s.taskRecord[TASK_DATA_POINTER], MAX_TASK_COMMANDS);
            break;
        }
        if (!insideRdram(s.displayListAddress, 8)) {
            endListOutsideRdram("The display-list command", s.displayListAddress);
            break;
        }
        s.commandWord0 = rdramWord(s.displayListAddress);
        s.commandWord1 = rdramWord(s.displayListAddress + 4);
        const uint32_t command = s.commandWord0 >> 24;
        // A texture rectangle takes the command after it as well.
        if (command == COMMAND_TEXRECT || command == COMMAND_TEXRECTFLIP) {
            s.rectangleWord0 = s.commandWord0;
            s.rectangleWord1 = s.commandWord1;
            s.displayListAddress += 8;
        }
        applyPendingGlViewport();
        displayListCommands[command]();
        advanceWalk();
    }
    s.taskDone = true;
    completeTask();
}

void skipAudioList() {
    DisplayListState& s = theDisplayList;
    if (!s.taskDone) {
        const uint32_t size = s.taskRecord[TASK_DATA_SIZE];
        if (size == 0 || size % 8 != 0) {
            // Counted down by 8, such a size would never meet 0.
            logLine("The audio list at 0x%08X has a size of %u bytes, not a positive multiple of "
                    "8; it ends at once",
                    s.taskRecord[TASK_DATA_POINTER], size);
        } else {
            // Every command is stepped over; the walk ends after the last.
            s.taskRecord[TASK_DATA_SIZE] = 0;
            s.displayListAddress += size - 8;
            advanceWalk();
        }
        s.taskDone = true;
    }
    completeTask();
}

void runRspTask() {
    switch (readRspTask()) {
    case 1:
        runDisplayList();
        break;
    case 2:
        skipAudioList();
        break;
    default:
        break;
    }
}
