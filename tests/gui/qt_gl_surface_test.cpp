// A graphics task drawn through the window program's OpenGL surface on a
// thread of its own, as the CPU thread draws, and shown by the output window.
#include <thread>

#include "gui/output_window.h"
#include "gui/qt_gl_surface.h"
#include "gui_test_support.h"
#include "rsp/display_list_state.h"
#include "rsp/rsp_task.h"
#include "support/gl_task_support.h"
#include "system/run_control.h"
#include "video/frame_buffer_display.h"
#include "video/gl_context.h"

namespace {

constexpr uint32_t LIST = 0x1000;

class QtGlSurfaceTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        resetGraphicsMachine();
    }
    void TearDown() override {
        releaseFrameBufferDisplay();
        outputGlSurface = nullptr;
        GuiTest::TearDown();
    }
    static QRgb pixelOf(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
};

TEST_F(QtGlSurfaceTest, FramesDrawnOnTheCpuThreadReachTheWindowAtItsRequestedSize) {
    QtGlSurface surface;
    {
        std::string failure;
        std::thread probe([&] {
            if (!surface.createContext()) failure = surface.failure();
            surface.releaseCurrent();
        });
        probe.join();
        surface.destroyContext();
        if (!failure.empty()) GTEST_SKIP() << "no Qt OpenGL context here: " << failure;
    }
    OutputWindow window("GL", OutputDevices{});
    surface.setOutputWindow(&window);
    outputGlSurface = &surface;
    ASSERT_TRUE(initFrameBufferDisplay(&window));

    // The window is shown and given a new client size before the run; the
    // drawing thread takes that size at the first frame's end, so the first
    // frame has the run's size and the frames after it the window's.
    window.show();
    window.resize(200, 150);
    QApplication::processEvents();

    QImage first, last;
    std::thread cpu([&] {
        // White, a red left half and a dark corner at the bottom right: the
        // rows come out top first.
        writeList(LIST)(setColourImage(319))(SET_FILL_COLOUR, 0xFFFF)(fillRectangle(320, 240), 0)(
            SET_FILL_COLOUR, 0xF801)(fillRectangle(160, 240), 0)(SET_FILL_COLOUR, 0x0843)(
            fillRectangle(320, 240), fillUpperLeft(300, 220))(FULL_SYNC)(END_DL);
        writeTaskRecord(TASK_TYPE_GRAPHICS, LIST, 8);
        runRspTask();
        first = window.lastFrame();
        writeList(LIST)(SET_FILL_COLOUR, 0xF801)(fillRectangle(320, 240), 0)(FULL_SYNC)(END_DL);
        writeTaskRecord(TASK_TYPE_GRAPHICS, LIST, 8);
        runRspTask();
        last = window.lastFrame();
        releaseGlContextFromThread();
    });
    cpu.join();
    ASSERT_TRUE(theGlContext.renderContext);
    ASSERT_EQ(first.size(), QSize(320, 240));
    EXPECT_EQ(pixelOf(first, 80, 120), 0xFE0000u);
    EXPECT_EQ(pixelOf(first, 240, 120), 0xFEFEFEu);
    EXPECT_EQ(pixelOf(first, 310, 230), 0x080808u);
    EXPECT_EQ(pixelOf(first, 310, 10), 0xFEFEFEu);
    EXPECT_EQ(last.size(), QSize(200, 150));
    EXPECT_EQ(pixelOf(last, 5, 5), 0xFE0000u);

    // The context was let go by the drawing thread; this thread frees it.
    destroyGlContext();
    EXPECT_FALSE(theGlContext.renderContext);
}

} // namespace
