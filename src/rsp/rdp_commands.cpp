// The display-processor commands of the display list: the colour image size,
// the fill colour, filled and texture rectangles (the latter as an untextured
// marker quad) and the full sync that ends a frame.
#include "rsp/rdp_commands.h"

#include "base/log.h"
#include "cpu/interrupts.h"
#include "gfx/gl_api.h"
#include "rsp/display_list_state.h"
#include "video/gl_context.h"
#include "video/rate_counter.h"

namespace {

DisplayListState& s = theDisplayList;

// A 5-bit channel as an 8-bit one: times the float nearest 1/31, times 255,
// truncated (31 gives 254). Worked out in double: a float product would round
// 31 / 31 up to exactly 1 and give 255.
uint8_t channel(uint32_t fiveBits) {
    constexpr double ONE_31ST = double(0.032258063554763794f);
    return uint8_t(double(fiveBits) * ONE_31ST * 255.0);
}

// The 2D commands map the colour image onto the view; before its size is
// known they would divide by 0, so they draw nothing.
bool colourImageKnown(const char* command) {
    if (s.colourImageWidth != 0.0f) return true;
    logLine("%s before any G_SETCIMG draws nothing", command);
    return false;
}

void pushFlatView(double right, double bottom) {
    theGl.MatrixMode(GL_PROJECTION);
    theGl.PushMatrix();
    theGl.LoadIdentity();
    theGl.Ortho(0, right, bottom, 0, -1, 1);
    theGl.MatrixMode(GL_MODELVIEW);
    theGl.PushMatrix();
    theGl.LoadIdentity();
}

void popFlatView() {
    theGl.PopMatrix();
    theGl.MatrixMode(GL_PROJECTION);
    theGl.PopMatrix();
}

} // namespace

void commandSetColourImage() {
    s.colourImageWidth = float((s.commandWord0 & 0xFFF) + 1);
    s.colourImageHeight = s.colourImageWidth * 0.25f * 3.0f;
}

void commandSetFillColour() {
    const uint32_t p = s.commandWord1 & 0xFFFF;
    s.fillRed = channel((p >> 11) & 31);
    s.fillGreen = channel((p >> 6) & 31);
    s.fillBlue = channel((p >> 1) & 31);
}

void commandFillRectangle() {
    if (!colourImageKnown("G_FILLRECT")) return;
    const GLint lrx = (s.commandWord0 >> 14) & 0x3FF, lry = (s.commandWord0 >> 2) & 0x3FF;
    const GLint ulx = (s.commandWord1 >> 14) & 0x3FF, uly = (s.commandWord1 >> 2) & 0x3FF;
    pushFlatView(s.colourImageWidth, s.colourImageHeight);
    theGl.Begin(GL_POLYGON);
    theGl.Color3ub(s.fillRed, s.fillGreen, s.fillBlue);
    theGl.Vertex2i(ulx, uly);
    theGl.Vertex2i(ulx, lry);
    theGl.Vertex2i(lrx, lry);
    theGl.Vertex2i(lrx, uly);
    theGl.End();
    popFlatView();
}

void commandTextureRectangle() {
    if (!colourImageKnown("G_TEXRECT")) return;
    const float w = s.colourImageWidth, h = s.colourImageHeight;
    const float lrx = float((s.rectangleWord0 >> 12) & 0xFFF) * 0.25f / w;
    const float lry = float(s.rectangleWord0 & 0xFFF) * 0.25f / h;
    const float ulx = float((s.rectangleWord1 >> 12) & 0xFFF) * 0.25f / w;
    const float uly = float(s.rectangleWord1 & 0xFFF) * 0.25f / h;
    theGl.ShadeModel(GL_FLAT);
    pushFlatView(1, 1);
    theGl.Begin(GL_POLYGON);
    theGl.Color3ub(255, 255, 255);
    theGl.Vertex2f(ulx, uly);
    theGl.Color3ub(0, 255, 255);
    theGl.Vertex2f(ulx, lry);
    theGl.Color3ub(0, 0, 255);
    theGl.Vertex2f(lrx, lry);
    theGl.Color3ub(255, 0, 0);
    theGl.Vertex2f(lrx, uly);
    theGl.End();
    popFlatView();
}

void commandFullSync() {
    swapGlBuffers();
    gfxRate.countEvent();
    s.gfxFrames.fetch_add(1, std::memory_order_relaxed);
    raiseDpInterrupt();
}
