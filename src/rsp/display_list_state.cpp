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

namespace {

// The fields a saved state holds, copied either way between the live state
// and its saved record (the same names on both sides).
template <typename To, typename From> void copyDisplayListFields(To& to, const From& from) {
    std::memcpy(to.taskRecord, from.taskRecord, sizeof to.taskRecord);
    to.displayListAddress = from.displayListAddress;
    std::memcpy(to.displayListStack, from.displayListStack, sizeof to.displayListStack);
    to.displayListDepth = from.displayListDepth;
    to.taskDone = from.taskDone;
    to.commandWord0 = from.commandWord0;
    to.commandWord1 = from.commandWord1;
    to.rectangleWord0 = from.rectangleWord0;
    to.rectangleWord1 = from.rectangleWord1;
    std::memcpy(to.segmentTable, from.segmentTable, sizeof to.segmentTable);
    to.colourImageWidth = from.colourImageWidth;
    to.colourImageHeight = from.colourImageHeight;
    to.fillRed = from.fillRed;
    to.fillGreen = from.fillGreen;
    to.fillBlue = from.fillBlue;
    to.gfxFrames = uint64_t(from.gfxFrames);
    std::memcpy(to.vertexBuffer, from.vertexBuffer, sizeof to.vertexBuffer);
}

} // namespace

void writeDisplayListState(StateWriter& out) {
    SavedDisplayList d{};
    copyDisplayListFields(d, theDisplayList);
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
    copyDisplayListFields(theDisplayList, d);
    return true;
}
