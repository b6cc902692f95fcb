// Display lists drawn on the headless OpenGL context, checked by reading the
// swapped frames back.
#include <gtest/gtest.h>

#include <thread>

#include "core/hw_registers.h"
#include "host/recording_frame_presenter.h"
#include "rsp/display_list_state.h"
#include "support/gl_task_support.h"
#include "video/frame_buffer_display.h"
#include "video/gl_context.h"
#include "video/rate_counter.h"

namespace {

constexpr uint32_t LIST = 0x1000;
constexpr uint32_t MATRICES = 0x8000;
constexpr uint32_t VERTICES = 0x9000;

constexpr double IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
// Guest coordinates -100 to 100 onto the whole view.
constexpr double SCALE[16] = {0.01, 0, 0, 0, 0, 0.01, 0, 0, 0, 0, 0.01, 0, 0, 0, 0, 1};

uint32_t matrixCommand(uint32_t p) {
    return 0x01000040 | p << 16;
}
uint32_t vertexCommand(uint32_t start, uint32_t bytes) {
    return 0x04000000 | start << 16 | bytes;
}
uint32_t callList() {
    return 0x06000000;
}
uint32_t translation(double x, double y, uint32_t at) {
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, 0, 1};
    writeMatrix(at, m);
    return at;
}

uint32_t fakeTicks = 0;
uint32_t fakeTickCount() {
    return fakeTicks;
}

using DisplayListTest = GlTaskTest;

} // namespace

TEST_F(DisplayListTest, FillRectanglesInTheFillColourAndFullSyncEndsAFrame) {
    setTickSource(fakeTickCount);
    gfxRate.reset();
    fakeTicks = 1000;
    RecordingFramePresenter presenter; // a 5-6-5 screen
    ASSERT_TRUE(initFrameBufferDisplay(&presenter));
    SP_STATUS_REG = 0x40; // interrupt on break
    writeList(LIST)(setColourImage(319))(SET_FILL_COLOUR, 0xFFFF)(fillRectangle(320, 240), 0)(
        SET_FILL_COLOUR, 0xF801)(fillRectangle(160, 240), 0)(SET_FILL_COLOUR, 0x0843)(
        fillRectangle(320, 240), fillUpperLeft(300, 220))(FULL_SYNC)(END_DL);
    runGraphicsTask(LIST);
    EXPECT_EQ(theDisplayList.colourImageHeight, 240.0f);
    EXPECT_EQ(pixel(80, 120), (Rgb{254, 0, 0}));
    EXPECT_EQ(pixel(240, 120), (Rgb{254, 254, 254}));
    EXPECT_EQ(pixel(310, 230), (Rgb{8, 8, 8}));
    EXPECT_FALSE(theFrameBufferDisplay.frameBufferDisplayEnabled);
    ASSERT_EQ(presenter.framesPresented(), 1u);
    EXPECT_EQ(presenter.lastFrame().pixel(80, 120), 0xF800u) << "in the screen's format";
    releaseFrameBufferDisplay();
    EXPECT_EQ(theDisplayList.gfxFrames.load(), 1u);
    EXPECT_EQ(MI_INTR_REG & (MI_INTR_DP | MI_INTR_SP), MI_INTR_DP | MI_INTR_SP);
    EXPECT_EQ(SP_STATUS_REG, 0x243u);

    // A second frame a second later gives the GFX figure; the context is not
    // made again (its frame count goes on) and the surface keeps its pixels.
    fakeTicks = 2000;
    writeList(LIST)(FULL_SYNC)(END_DL);
    runGraphicsTask(LIST);
    EXPECT_EQ(theGlContext.framesSwapped.load(), 2u);
    EXPECT_FLOAT_EQ(gfxRate.rate.load(), 1.0f);
    EXPECT_EQ(pixel(80, 120), (Rgb{254, 0, 0}));
    setTickSource(nullptr);
    gfxRate.reset();
}

TEST_F(DisplayListTest, TriangleCornersAndTheMatrixStack) {
    writeMatrix(MATRICES, SCALE);
    writeMatrix(MATRICES + 0x40, IDENTITY);
    writeVertices(VERTICES, {{-90, -90, 0}, {90, -90, 0}, {0, 90, 0}});
    writeVertices(VERTICES + 0x100, {{-10, -10, 0}, {10, -10, 0}, {0, 10, 0}});
    writeList(LIST)(matrixCommand(3), MATRICES)(matrixCommand(2), MATRICES + 0x40)(
        vertexCommand(0, 48), VERTICES)(0xBF000000, 0x00000A14)(FULL_SYNC)(END_DL);
    runGraphicsTask(LIST);
    const Rgb nearRed = pixel(26, 224), nearGreen = pixel(294, 224), nearBlue = pixel(160, 24);
    EXPECT_GT(nearRed.r, 200) << nearRed;
    EXPECT_GT(nearGreen.g, 200) << nearGreen;
    EXPECT_GT(nearBlue.b, 200) << nearBlue;
    EXPECT_EQ(pixel(5, 5), (Rgb{0, 0, 0}));

    // Pushed and multiplied: the small triangle 50 to the right; popped and
    // multiplied: 50 up from the unmoved matrix.
    writeList(LIST)(matrixCommand(2), MATRICES + 0x40)(vertexCommand(0, 48), VERTICES + 0x100)(
        matrixCommand(4), translation(50, 0, MATRICES + 0x80))(0xBF000000, 0x00000A14)(0xBD000000)(
        matrixCommand(0), translation(0, 50, MATRICES + 0xC0))(0xBF000000,
                                                               0x00000A14)(FULL_SYNC)(END_DL);
    writeList(0x2000)(setColourImage(319))(SET_FILL_COLOUR, 0)(fillRectangle(320, 240),
                                                               0)(FULL_SYNC)(END_DL);
    runGraphicsTask(0x2000);
    runGraphicsTask(LIST);
    EXPECT_NE(pixel(240, 120), (Rgb{0, 0, 0}));
    EXPECT_NE(pixel(160, 60), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixel(160, 120), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixel(240, 60), (Rgb{0, 0, 0}));
}

TEST_F(DisplayListTest, NineNestedCallsTheTenthSkippedAndTheEndAtLevelZero) {
    constexpr uint32_t BASE = 0x2000;
    auto level = [](uint32_t k) { return BASE + k * 0x100; };
    writeList(level(0))(setColourImage(319))(callList(), level(1))(SET_FILL_COLOUR, 0x07C1)(
        fillRectangle(320, 240), fillUpperLeft(160, 0))(FULL_SYNC)(END_DL)(SET_FILL_COLOUR, 0x003F)(
        fillRectangle(320, 240), 0)(FULL_SYNC)(END_DL);
    for (uint32_t k = 1; k <= 8; ++k)
        writeList(level(k))(callList(), level(k + 1))(END_DL);
    writeList(level(9))(callList(), level(10))(SET_FILL_COLOUR, 0xF801)(fillRectangle(160, 240),
                                                                        0)(END_DL);
    writeList(level(10))(SET_FILL_COLOUR, 0x003F)(fillRectangle(320, 240), 0)(END_DL);
    runGraphicsTask(level(0));
    EXPECT_EQ(pixel(80, 120), (Rgb{254, 0, 0}));
    EXPECT_EQ(pixel(240, 120), (Rgb{0, 254, 0}));
    EXPECT_EQ(theDisplayList.gfxFrames.load(), 1u);
    EXPECT_EQ(theDisplayList.displayListDepth, 0u);
    EXPECT_EQ(DPC_CURRENT_REG, level(0) + 6 * 8);
    EXPECT_EQ(SP_STATUS_REG & 0x203, 0x203u);
    EXPECT_EQ(MI_INTR_REG & MI_INTR_SP, 0u) << "no interrupt without interrupt-on-break";
}

TEST_F(DisplayListTest, TextureRectangleMarkerConsumesTheCommandAfterIt) {
    const uint32_t lower = 800u << 12 | 640u, upper = 400u << 12 | 320u; // (200,160), (100,80)
    writeList(LIST)(setColourImage(319))(SET_FILL_COLOUR, 0x07C1)(0xE4000000 | lower, upper)(
        fillRectangle(320, 240), 0)(SET_FILL_COLOUR, 0x003F)(fillRectangle(20, 20),
                                                             0)(FULL_SYNC)(END_DL);
    runGraphicsTask(LIST);
    EXPECT_EQ(theDisplayList.rectangleWord0, 0xE4000000 | lower);
    EXPECT_EQ(theDisplayList.rectangleWord1, upper);
    EXPECT_EQ(pixel(150, 120), (Rgb{255, 255, 255})) << "flat: the first corner's colour";
    EXPECT_EQ(pixel(250, 200), (Rgb{0, 0, 0})) << "the consumed rectangle drew nothing";
    EXPECT_EQ(pixel(10, 10), (Rgb{0, 0, 254}));
}

TEST_F(DisplayListTest, BoundsOfAddressesBuffersAndCommands) {
    // 2D commands before any colour image draw nothing; the vertex load is
    // clipped to the buffer; a triangle past the buffer is skipped; a
    // segment past the table is ignored; then a call outside RDRAM ends it.
    writeVertices(VERTICES, {{1, 2, 3}, {4, 5, 6}});
    writeList(LIST)(SET_FILL_COLOUR, 0xFFFF)(fillRectangle(320, 240), 0)(0xE4000000 | 800u << 12,
                                                                         0)(0)(0x09000000, 0)(
        vertexCommand(15, 32), VERTICES)(0xBF000000, 0x00A00A14)(0xBC004006, 0x123456)(
        FULL_SYNC)(callList(), 0x00900000)(SET_FILL_COLOUR, 0)(END_DL);
    runGraphicsTask(LIST);
    EXPECT_EQ(pixel(160, 120), (Rgb{0, 0, 0}));
    EXPECT_EQ(theDisplayList.vertexBuffer[15 * 16 + 2], 1) << "vertex 15 loaded";
    EXPECT_EQ(theDisplayList.fillRed, 254) << "the list ended before the last fill colour";
    EXPECT_EQ(SP_STATUS_REG & 0x203, 0x203u);
    const std::string log = openLogText();
    for (const char* line :
         {"G_FILLRECT before any G_SETCIMG draws nothing",
          "G_TEXRECT before any G_SETCIMG draws nothing",
          "G_SPRITE2D_BASE before any G_SETCIMG draws nothing",
          "G_VTX of 32 bytes from vertex 15 runs past the 16 vertices; 16 bytes are loaded",
          "G_TRI1 00A00A14 names a vertex past the 16 of the buffer; skipped",
          "G_MW_SEGMENT offset 0x40 names no segment; ignored",
          "The display-list command at 0x00900000 lies outside RDRAM; the display list ends"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    for (uint32_t s : theDisplayList.segmentTable)
        EXPECT_EQ(s, 0u);

    // A list that would run on for long is stopped after 2^20 commands.
    ListWriter outer(0x10000);
    for (int i = 0; i < 600; ++i)
        outer(callList(), 0x20000);
    outer(END_DL);
    ListWriter inner(0x20000);
    for (int i = 0; i < 2000; ++i)
        inner(0);
    inner(END_DL);
    runGraphicsTask(0x10000);
    EXPECT_NE(openLogText().find("ran 1048576 commands without ending; it was stopped"),
              std::string::npos);
    EXPECT_TRUE(theDisplayList.taskDone);
}

TEST_F(DisplayListTest, AViewportSetFromAnotherThreadIsAppliedBeforeTheNextCommand) {
    writeList(LIST)(setColourImage(319))(SET_FILL_COLOUR, 0xF801)(fillRectangle(320, 240),
                                                                  0)(FULL_SYNC)(END_DL);
    runGraphicsTask(LIST);
    std::thread([] { setGlViewport(160, 120); }).join();
    EXPECT_TRUE(theGlContext.viewportPending);
    EXPECT_EQ(surface.width(), 320u) << "not on the window's thread";
    runGraphicsTask(LIST);
    EXPECT_FALSE(theGlContext.viewportPending);
    EXPECT_EQ(theGlContext.frameWidth, 160u);
    EXPECT_EQ(theGlContext.frameHeight, 120u);
    EXPECT_EQ(pixel(80, 60), (Rgb{254, 0, 0}));
}
