#include "rsp/display_list_state.h"

#include <cstring>

#include "base/log.h"
#include "base/state_stream.h"
#include "core/memory.h"

DisplayListState theDisplayList;

void resetDisplayLists() {
    DisplayListState& s = theDisplayList;
    s.glContextPending = true;
    s.taskDone = true;
    s.displayListDepth = 0;
    s.gfxFrames = 0;
    std::memset(s.segmentTable, 0, sizeof s.segmentTable);
}

uint32_t resolveSegmentedAddress(uint32_t address) {
    return theDisplayList.segmentTable[(address >> 24) & 0xF] + (address & 0xFFFFFF);
}

bool insideRdram(uint32_t offset, uint32_t bytes) {
    return theMemory.rdram && offset <= RDRAM_SIZE && bytes <= RDRAM_SIZE - offset;
}

uint32_t rdramWord(uint32_t offset) {
    uint32_t word;
    std::memcpy(&word, theMemory.rdram + offset, sizeof word);
    return word;
}

void endListOutsideRdram(const char* what, uint32_t offset) {
    logLine("%s at 0x%08X lies outside RDRAM; the display list ends", what, offset);
    theDisplayList.taskDone = true;
}

namespace {

// The fields saved, in one record so that they are written and read alike.
struct SavedDisplayList {
    uint32_t taskRecord[TASK_RECORD_WORDS];
    uint32_t displayListAddress;
    uint32_t displayListStack[DISPLAY_LIST_LEVELS];
    uint8_t displayListDepth;
    bool taskDone;
    uint32_t commandWord0;
    uint32_t commandWord1;
    uint32_t rectangleWord0;
    uint32_t rectangleWord1;
    uint32_t segmentTable[SEGMENT_COUNT];
    float colourImageWidth;
    float colourImageHeight;
    uint8_t fillRed;
    uint8_t fillGreen;
    uint8_t fillBlue;
    uint64_t gfxFrames;
    uint8_t vertexBuffer[VERTEX_COUNT * VERTEX_BYTES];
};

} // namespace

void writeDisplayListState(StateWriter& out) {
    const DisplayListState& s = theDisplayList;
    SavedDisplayList d{};
    std::memcpy(d.taskRecord, s.taskRecord, sizeof d.taskRecord);
    d.displayListAddress = s.displayListAddress;
    std::memcpy(d.displayListStack, s.displayListStack, sizeof d.displayListStack);
    d.displayListDepth = s.displayListDepth;
    d.taskDone = s.taskDone;
    d.commandWord0 = s.commandWord0;
    d.commandWord1 = s.commandWord1;
    d.rectangleWord0 = s.rectangleWord0;
    d.rectangleWord1 = s.rectangleWord1;
    std::memcpy(d.segmentTable, s.segmentTable, sizeof d.segmentTable);
    d.colourImageWidth = s.colourImageWidth;
    d.colourImageHeight = s.colourImageHeight;
    d.fillRed = s.fillRed;
    d.fillGreen = s.fillGreen;
    d.fillBlue = s.fillBlue;
    d.gfxFrames = s.gfxFrames.load();
    std::memcpy(d.vertexBuffer, s.vertexBuffer, sizeof d.vertexBuffer);
    out.beginPart("DLST");
    out.putRecord(d);
    out.endPart();
}

bool readDisplayListState(StateReader& in) {
    SavedDisplayList d{};
    in.beginPart("DLST");
    in.getRecord(d);
    if (in.ok() && d.displayListDepth >= DISPLAY_LIST_LEVELS)
        in.fail("a display-list level beyond the last");
    if (!in.endPart()) return false;
    if (!in.applying()) return true;
    DisplayListState& s = theDisplayList;
    std::memcpy(s.taskRecord, d.taskRecord, sizeof d.taskRecord);
    s.displayListAddress = d.displayListAddress;
    std::memcpy(s.displayListStack, d.displayListStack, sizeof d.displayListStack);
    s.displayListDepth = d.displayListDepth;
    s.taskDone = d.taskDone;
    s.commandWord0 = d.commandWord0;
    s.commandWord1 = d.commandWord1;
    s.rectangleWord0 = d.rectangleWord0;
    s.rectangleWord1 = d.rectangleWord1;
    std::memcpy(s.segmentTable, d.segmentTable, sizeof d.segmentTable);
    s.colourImageWidth = d.colourImageWidth;
    s.colourImageHeight = d.colourImageHeight;
    s.fillRed = d.fillRed;
    s.fillGreen = d.fillGreen;
    s.fillBlue = d.fillBlue;
    s.gfxFrames = d.gfxFrames;
    std::memcpy(s.vertexBuffer, d.vertexBuffer, sizeof d.vertexBuffer);
    return true;
}
