// The state of the signal-processor task dispatch and of the display-list
// walk: the task record, the walker's position and call stack, the current
// command and the segment table, and the display-processor settings the 2D
// commands use.
#pragma once

#include <atomic>
#include <cstdint>

// The task record lies in the last 64 bytes of SP DMEM.
constexpr uint32_t TASK_RECORD_OFFSET = 0xFC0;
constexpr uint32_t TASK_RECORD_WORDS = 16;
// Word indices of the fields read.
constexpr uint32_t TASK_TYPE = 0x00 / 4;
constexpr uint32_t TASK_DATA_POINTER = 0x30 / 4;
constexpr uint32_t TASK_DATA_SIZE = 0x34 / 4;

constexpr uint32_t TASK_TYPE_GRAPHICS = 1;
constexpr uint32_t TASK_TYPE_AUDIO = 2;
constexpr uint32_t TASK_TYPE_VIDEO = 3;

// Call levels 0 to 9.
constexpr uint32_t DISPLAY_LIST_LEVELS = 10;
constexpr uint32_t SEGMENT_COUNT = 16;
constexpr uint32_t VERTEX_COUNT = 16;
constexpr uint32_t VERTEX_BYTES = 16;
// Commands one task may run; a list that runs on past this many (it has no
// end-of-list command and walks through memory) is stopped.
constexpr uint32_t MAX_TASK_COMMANDS = 1u << 20;

struct DisplayListState {
    uint32_t taskRecord[TASK_RECORD_WORDS] = {};
    // RDRAM offset of the command being executed.
    uint32_t displayListAddress = 0;
    // Per call level, the address of the command being executed there.
    uint32_t displayListStack[DISPLAY_LIST_LEVELS] = {};
    uint8_t displayListDepth = 0;
    // Ends the walk; true between tasks.
    bool taskDone = true;
    uint32_t commandWord0 = 0;
    uint32_t commandWord1 = 0;
    // The two words of the last texture-rectangle command.
    uint32_t rectangleWord0 = 0;
    uint32_t rectangleWord1 = 0;
    uint32_t segmentTable[SEGMENT_COUNT] = {};
    // The OpenGL context has not been created since the last reset.
    bool glContextPending = true;

    // Set by G_SETCIMG; 0 until the first. Kept across tasks and runs.
    float colourImageWidth = 0.0f;
    float colourImageHeight = 0.0f;
    uint8_t fillRed = 0;
    uint8_t fillGreen = 0;
    uint8_t fillBlue = 0;

    // Frames finished (full syncs) since the machine reset; read by other
    // threads.
    std::atomic<uint64_t> gfxFrames{0};

    // The vertex buffer, raw copies of the guest's vertex records.
    uint8_t vertexBuffer[VERTEX_COUNT * VERTEX_BYTES] = {};
};

extern DisplayListState theDisplayList;

// Brings the dispatch back to its start state after a machine reset: the
// context is to be created again, no task is running, the walk is at level 0
// and every segment base is 0.
void resetDisplayLists();

class StateWriter;
class StateReader;
// The dispatch's part of a saved state: the walk, the segment table, the
// display-processor settings, the vertex buffer and the frame count. Whether
// the OpenGL context still has to be made belongs to this run and is kept.
void writeDisplayListState(StateWriter& out);
bool readDisplayListState(StateReader& in);

// The RDRAM offset of a segmented address.
uint32_t resolveSegmentedAddress(uint32_t address);
// True when `bytes` bytes from RDRAM offset `offset` lie inside RDRAM.
bool insideRdram(uint32_t offset, uint32_t bytes);
// The host-order word at an RDRAM offset that insideRdram has accepted.
uint32_t rdramWord(uint32_t offset);
// Ends the list because `what` at `offset` does not lie inside RDRAM, with a
// log line.
void endListOutsideRdram(const char* what, uint32_t offset);
