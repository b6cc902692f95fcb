#include "rsp/display_list_state.h"

#include <cstring>

#include "base/log.h"
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
