#include "support/gl_task_support.h"

#include <cmath>
#include <cstring>
#include <ostream>

#include "base/log.h"
#include "core/memory.h"
#include "rsp/display_list_state.h"
#include "rsp/rsp_task.h"
#include "system/run_control.h"
#include "video/frame_buffer_display.h"
#include "video/gl_context.h"

ListWriter& ListWriter::operator()(uint32_t word0, uint32_t word1) {
    setGuestWord(at_, word0);
    setGuestWord(at_ + 4, word1);
    at_ += 8;
    return *this;
}

uint32_t setColourImage(uint32_t widthField) {
    return 0xFF000000 | widthField;
}
uint32_t fillRectangle(uint32_t lrx, uint32_t lry) {
    return 0xF6000000 | lrx << 14 | lry << 2;
}
uint32_t fillUpperLeft(uint32_t ulx, uint32_t uly) {
    return ulx << 14 | uly << 2;
}

void writeMatrix(uint32_t offset, const double (&elements)[16]) {
    uint16_t halves[32];
    for (int k = 0; k < 16; ++k) {
        const int32_t fixed = int32_t(std::lround(elements[k] * 65536.0));
        halves[k] = uint16_t(uint32_t(fixed) >> 16);
        halves[k + 16] = uint16_t(fixed);
    }
    for (int w = 0; w < 16; ++w)
        setGuestWord(offset + 4 * w, uint32_t(halves[2 * w]) << 16 | halves[2 * w + 1]);
}

void writeVertices(uint32_t offset, const std::vector<std::vector<int16_t>>& xyz) {
    for (const auto& v : xyz) {
        setGuestWord(offset, uint32_t(uint16_t(v[0])) << 16 | uint16_t(v[1]));
        setGuestWord(offset + 4, uint32_t(uint16_t(v[2])) << 16);
        setGuestWord(offset + 8, 0);
        setGuestWord(offset + 12, 0xFFFFFFFF);
        offset += 16;
    }
}

void writeTaskRecord(uint32_t type, uint32_t dataPointer, uint32_t dataSize) {
    uint32_t record[TASK_RECORD_WORDS] = {};
    record[TASK_TYPE] = type;
    record[TASK_DATA_POINTER] = dataPointer;
    record[TASK_DATA_SIZE] = dataSize;
    std::memcpy(theMemory.hwRegs + TASK_RECORD_OFFSET, record, sizeof record);
}

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

void resetGraphicsMachine() {
    resetBareMachine();
    resetDisplayLists();
    resetRunControl();
    theDisplayList.colourImageWidth = theDisplayList.colourImageHeight = 0.0f;
    theGlContext.frame.clear();
    theFrameBufferDisplay.frameBufferDisplayEnabled = true;
}

void GlTaskTest::SetUp() {
    resetGraphicsMachine();
    outputGlSurface = &surface;
    openLog(makeTempDir("gl").c_str(), "gl");
}

void GlTaskTest::TearDown() {
    closeLog();
    destroyGlContext();
    outputGlSurface = nullptr;
}

void GlTaskTest::runGraphicsTask(uint32_t start, uint32_t size) {
    writeTaskRecord(TASK_TYPE_GRAPHICS, start, size);
    runRspTask();
    ASSERT_TRUE(theGlContext.renderContext) << surface.failure();
}

Rgb GlTaskTest::pixel(uint32_t x, uint32_t y) const {
    const GlContext& gl = theGlContext;
    if (x >= gl.frameWidth || y >= gl.frameHeight || gl.frame.empty()) return {1, 2, 3};
    const uint32_t p = gl.frame[size_t(y) * gl.frameWidth + x];
    return {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)};
}
