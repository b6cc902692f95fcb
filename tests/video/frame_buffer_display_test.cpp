#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "core/memory.h"
#include "host/recording_frame_presenter.h"
#include "support/test_machine.h"
#include "video/frame_buffer_display.h"

namespace {

FrameBufferDisplay& fb = theFrameBufferDisplay;

class FrameBufferDisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetBareMachine();
        releaseFrameBufferDisplay();
    }
    void TearDown() override { releaseFrameBufferDisplay(); }

    // Sets up on a screen of the given format with a frame `width` wide whose
    // source is at RDRAM offset `source`.
    void start(ScreenFormat format, uint32_t width, uint32_t source = 0x2000,
               uint32_t formatCode = FRAME_FORMAT_16) {
        presenter = std::make_unique<RecordingFramePresenter>(format);
        ASSERT_TRUE(initFrameBufferDisplay(presenter.get()));
        ASSERT_TRUE(setFrameMode(formatCode, width));
        fb.frameSource = theMemory.rdram + source;
    }
    RecordingFramePresenter::Frame shown() {
        presentFrame();
        return presenter->lastFrame();
    }

    ScopedRecordingSink sink;
    std::unique_ptr<RecordingFramePresenter> presenter;
};

const ScreenFormat screen565{16, GREEN_MASK_565};
const ScreenFormat screen555{16, GREEN_MASK_555};
const ScreenFormat screen32{32, 0x0000FF00};

TEST_F(FrameBufferDisplayTest, UnsupportedScreensAreRefused) {
    for (uint32_t bits : {8, 24}) {
        RecordingFramePresenter unsupported(ScreenFormat{bits, 0});
        EXPECT_FALSE(initFrameBufferDisplay(&unsupported));
    }
    const auto messages = sink->messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "8-Bit Screenmodes not supported!");
    EXPECT_EQ(messages[1].text, "24-Bit screenmodes not supported!");

    RecordingFramePresenter noScreen(screen565, false);
    EXPECT_FALSE(initFrameBufferDisplay(&noScreen));
    EXPECT_FALSE(initFrameBufferDisplay(nullptr));
    EXPECT_FALSE(fb.setUp);
    // Without a set-up no surface is made and nothing is shown.
    EXPECT_FALSE(setFrameMode(FRAME_FORMAT_16, 320));
    EXPECT_EQ(fb.frameWidth.load(), 0);
    presentFrame();
    EXPECT_EQ(noScreen.framesPresented(), 0u);
}

TEST_F(FrameBufferDisplayTest, ColourTablesFollowTheScreen) {
    struct Case {
        ScreenFormat screen;
        uint32_t white, red, green, blue;
    };
    for (const Case& c : {Case{screen565, 0xFFDF, 0xF800, 0x07C0, 0x001F},
                          Case{screen555, 0x7FFF, 0x7C00, 0x03E0, 0x001F},
                          Case{screen32, 0xF8F8F8, 0xF80000, 0x00F800, 0x0000F8}}) {
        SCOPED_TRACE(c.screen.bitsPerPixel * 1000 + c.screen.greenMask);
        start(c.screen, 8);
        // Guest 5-5-5-1: white without alpha, red, green and blue with alpha.
        setGuestWord(0x2000, 0xFFFE'F801);
        setGuestWord(0x2004, 0x07C1'003F);
        copyFrameNice();
        const auto frame = shown();
        EXPECT_EQ(frame.pixel(0, 0), c.white);
        EXPECT_EQ(frame.pixel(1, 0), c.red);
        EXPECT_EQ(frame.pixel(2, 0), c.green);
        EXPECT_EQ(frame.pixel(3, 0), c.blue);
    }
}

TEST_F(FrameBufferDisplayTest, FrameModeSizesSurfaceAndWindow) {
    presenter = std::make_unique<RecordingFramePresenter>(screen565);
    presenter->setClientOrigin(100, 50);
    ASSERT_TRUE(initFrameBufferDisplay(presenter.get()));
    ASSERT_TRUE(setFrameMode(FRAME_FORMAT_16, 320));
    EXPECT_EQ(fb.frameWidth.load(), 320);
    EXPECT_EQ(fb.frameHeight.load(), 240);
    uint32_t w = 0, h = 0;
    presenter->clientSize(w, h);
    EXPECT_EQ(w, 320u);
    EXPECT_EQ(h, 240u);
    fb.frameSource = theMemory.rdram;
    const auto frame = shown();
    EXPECT_EQ(frame.width, 320u);
    EXPECT_EQ(frame.height, 240u);
    EXPECT_EQ(frame.dest.left, 100);
    EXPECT_EQ(frame.dest.top, 50);
    EXPECT_EQ(frame.dest.right, 420);
    EXPECT_EQ(frame.dest.bottom, 290);

    // The same width again, a zero width, an unknown format code or an
    // absurd width change nothing.
    presenter->fitClientArea(1, 1);
    EXPECT_TRUE(setFrameMode(FRAME_FORMAT_16, 320));
    EXPECT_TRUE(setFrameMode(FRAME_FORMAT_16, 0));
    EXPECT_TRUE(setFrameMode(0x24, 640));
    EXPECT_FALSE(setFrameMode(FRAME_FORMAT_16, 0xFFFFFFFF));
    presenter->clientSize(w, h);
    EXPECT_EQ(w, 1u);
    EXPECT_EQ(fb.frameWidth.load(), 320);
    EXPECT_EQ(fb.frameSurface.width, 320u);

    ASSERT_TRUE(setFrameMode(FRAME_FORMAT_16, 640));
    EXPECT_EQ(fb.frameHeight.load(), 480);
    presenter->clientSize(w, h);
    EXPECT_EQ(h, 480u);

    releaseFrameBufferDisplay();
    EXPECT_EQ(fb.frameWidth.load(), 0);
    EXPECT_EQ(fb.frameSource, nullptr);
}

TEST_F(FrameBufferDisplayTest, CopiesHonourTheSurfacePitch) {
    // 20 pixels of 16 bits are 40 bytes; the rows are 64 bytes apart.
    start(screen565, 20);
    ASSERT_EQ(fb.frameSurface.pitch, 64u);
    for (uint32_t i = 0; i < 20 * 15 / 2; ++i)
        setGuestWord(0x2000 + 4 * i, ((2 * i) << 17) | ((2 * i + 1) << 1));

    copyFrameNice();
    auto frame = shown();
    EXPECT_EQ(frame.pitch, 64u);
    for (uint32_t y : {0u, 1u, 14u})
        for (uint32_t x : {0u, 1u, 19u})
            EXPECT_EQ(frame.pixel(x, y), fb.colourTable16[(y * 20 + x) << 1]) << x << "," << y;

    // The raw copy moves the host words unchanged, row by row.
    copyFrameFast();
    frame = shown();
    EXPECT_EQ(frame.pixel(0, 1), 21u << 1);
    EXPECT_EQ(frame.pixel(1, 1), 20u << 1);
    EXPECT_EQ(std::memcmp(frame.pixels.data() + 64, theMemory.rdram + 0x2000 + 40, 40), 0);
}

TEST_F(FrameBufferDisplayTest, ThirtyTwoBitGuestPixels) {
    // RGBA 8-8-8-8 guest pixels: red, green, blue, grey.
    const uint32_t pixels[4] = {0xFF0000FF, 0x00FF00FF, 0x0000FFFF, 0x808080FF};
    for (uint32_t i = 0; i < 4; ++i)
        setGuestWord(0x2000 + 4 * i, pixels[i]);

    start(screen565, 8, 0x2000, FRAME_FORMAT_32);
    copyFrameNice();
    auto frame = shown();
    EXPECT_EQ(frame.pixel(0, 0), 0xF800u);
    EXPECT_EQ(frame.pixel(1, 0), 0x07C0u);
    EXPECT_EQ(frame.pixel(2, 0), 0x001Fu);
    EXPECT_EQ(frame.pixel(3, 0), 0x8410u);
    EXPECT_EQ(frame.pixel(4, 0), 0u);
    // The raw copy stays raw.
    copyFrameFast();
    EXPECT_EQ(std::memcmp(shown().pixels.data(), theMemory.rdram + 0x2000, 16), 0);

    // On a 32-bit screen both copies give X8R8G8B8.
    start(screen32, 8, 0x2000, FRAME_FORMAT_32);
    for (void (*copy)() : {copyFrameNice, copyFrameFast}) {
        copy();
        frame = shown();
        EXPECT_EQ(frame.pixel(0, 0), 0xFF0000u);
        EXPECT_EQ(frame.pixel(1, 0), 0x00FF00u);
        EXPECT_EQ(frame.pixel(3, 0), 0x808080u);
    }

    // A change of pixel type alone is followed.
    EXPECT_TRUE(setFrameMode(FRAME_FORMAT_16, 8));
    setGuestWord(0x2000, 0xF801'07C1);
    copyFrameFast();
    frame = shown();
    EXPECT_EQ(frame.pixel(0, 0), 0xF80000u);
    EXPECT_EQ(frame.pixel(1, 0), 0x00F800u);
}

TEST_F(FrameBufferDisplayTest, FrameIsClippedAtTheEndOfRdramAndNeedsASource) {
    // Nothing is copied without a source, or from one outside RDRAM.
    start(screen565, 8);
    setGuestWord(0x2000, 0xFFFF'FFFF);
    fb.frameSource = nullptr;
    copyFrameFast();
    copyFrameNice();
    presentFrame();
    EXPECT_EQ(presenter->framesPresented(), 0u);
    fb.frameSource = theMemory.rdram + RDRAM_SIZE;
    copyFrameNice();
    fb.frameSource = theMemory.rdram + 0x2000;
    EXPECT_EQ(shown().pixel(0, 0), 0u);

    for (const ScreenFormat& screen : {screen565, screen32}) {
        SCOPED_TRACE(screen.bitsPerPixel);
        // Fill the surface first so that clearing is visible.
        start(screen, 8, 0x3000);
        for (uint32_t i = 0; i < 8 * 6 / 2; ++i)
            setGuestWord(0x3000 + 4 * i, 0xFFFF'FFFF);
        copyFrameNice();
        ASSERT_NE(shown().pixel(7, 5), 0u);

        // Three pixels remain before the end; the rest of the frame is black.
        setGuestWord(RDRAM_SIZE - 8, 0x0002'F800);
        setGuestWord(RDRAM_SIZE - 4, 0x07C0'003E);
        fb.frameSource = theMemory.rdram + RDRAM_SIZE - 6;
        for (void (*copy)() : {copyFrameNice, copyFrameFast}) {
            copy();
            const auto frame = shown();
            EXPECT_NE(frame.pixel(0, 0), 0u);
            EXPECT_NE(frame.pixel(2, 0), 0u);
            EXPECT_EQ(frame.pixel(3, 0), 0u);
            EXPECT_EQ(frame.pixel(7, 5), 0u);
        }
        copyFrameNice();
        const auto frame = shown();
        EXPECT_EQ(frame.pixel(0, 0), screen.bitsPerPixel == 32 ? 0xF80000u : 0xF800u);
        EXPECT_EQ(frame.pixel(2, 0), screen.bitsPerPixel == 32 ? 0x0000F8u : 0x001Fu);
    }
}

TEST_F(FrameBufferDisplayTest, WindowMovesWhileFramesAreShown) {
    // The main thread follows window moves while the emulation thread changes
    // the frame mode and shows frames; every frame lands at a consistent place.
    start(screen565, 16);
    std::atomic<bool> stop{false};
    std::thread mainThread([&] {
        for (int32_t i = 0; !stop.load(); ++i) {
            presenter->setClientOrigin(i % 7, i % 5);
            updatePlacement();
        }
    });
    bool consistent = true;
    for (uint32_t i = 0; i < 2000; ++i) {
        ASSERT_TRUE(setFrameMode(FRAME_FORMAT_16, i % 2 ? 16 : 32));
        fb.frameSource = theMemory.rdram;
        copyFrameNice();
        const auto frame = shown();
        const int32_t w = frame.dest.right - frame.dest.left;
        if (w != 16 && w != 32) consistent = false;
        if (frame.dest.bottom - frame.dest.top != (w >> 2) * 3) consistent = false;
    }
    stop = true;
    mainThread.join();
    EXPECT_TRUE(consistent);
}

} // namespace
