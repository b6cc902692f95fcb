#include <QSignalSpy>
#include <atomic>
#include <thread>

#include "gui/frame_image.h"
#include "gui_test_support.h"

namespace {

using QtUiSinkTest = GuiTest;

TEST_F(QtUiSinkTest, ABoxOfAnotherThreadIsShownByTheMainThreadWhileThatThreadWaits) {
    answerBoxes(QMessageBox::Yes);
    std::atomic<int> result{0};
    std::thread cpu([&] { result = uiSink().messageBox(0x34, "Orvex says:", "Go on?"); });
    ASSERT_TRUE(waitFor([&] { return result != 0; }));
    cpu.join();
    EXPECT_EQ(result, MESSAGE_YES);
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].title, "Orvex says:");
    EXPECT_EQ(answered[0].text, "Go on?");
    EXPECT_EQ(answered[0].icon, QMessageBox::Warning);
}

TEST_F(QtUiSinkTest, CancellingAnswersOpenAndLaterBoxesUntilResumed) {
    std::atomic<int> result{0};
    std::thread cpu([&] { result = uiSink().messageBox(0x34, "Orvex says:", "Stop?"); });
    // The box is up and nobody answers it.
    ASSERT_TRUE(waitFor([] { return openBox(); }));
    uiSink().cancelMessageBoxes();
    cpu.join();
    EXPECT_EQ(result, MESSAGE_NO);
    EXPECT_TRUE(waitFor([] { return !openBox(); }));

    // Raised while cancelled: answered at once, never shown.
    std::thread late([&] { result = uiSink().messageBox(0x30, "Orvex says:", "Late"); });
    late.join();
    EXPECT_EQ(result, MESSAGE_OK);
    uiSink().resumeMessageBoxes();
    answerBoxes(QMessageBox::Ok);
    std::thread again([&] { result = uiSink().messageBox(0x30, "Orvex says:", "Again"); });
    ASSERT_TRUE(waitFor([&] { return !answered.empty(); }));
    again.join();
    EXPECT_EQ(answered.back().text, "Again");
}

TEST_F(QtUiSinkTest, StatusTextsArriveInTheOrderTheyWereSetWhateverTheThread) {
    QSignalSpy spy(sink.get(), &QtUiSink::statusTextChanged);
    std::thread cpu([] { uiSink().setStatusPart(0, "CPU: 60.0"); });
    cpu.join();
    // The stop's text, set after the CPU thread's, must stay.
    uiSink().setStatusPart(0, "CPU: N/A");
    ASSERT_TRUE(waitFor([&] { return spy.count() == 2; }));
    EXPECT_EQ(spy.at(0).at(1).toString(), "CPU: 60.0");
    EXPECT_EQ(spy.at(1).at(1).toString(), "CPU: N/A");
}

TEST(FrameImageTest, FramesBecomeImagesAndFitTheWindowKeepingTheirAspect) {
    // 32-bit X8R8G8B8 with a padded pitch, and 16-bit 5-6-5.
    const uint32_t pixels32[2 * 4] = {0x00FF0000, 0x0000FF00, 0, 0, 0x000000FF, 0x00FFFFFF, 0, 0};
    FrameView frame{reinterpret_cast<const uint8_t*>(pixels32), 2, 2, 16, {32, 0}};
    QImage image = frameToImage(frame);
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.pixel(1, 0) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(image.pixel(0, 1) & 0xFFFFFF, 0x0000FFu);
    const uint16_t pixels16[2] = {0xF800, 0x001F};
    image = frameToImage({reinterpret_cast<const uint8_t*>(pixels16), 2, 1, 4, {16, 0x07E0}});
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(1, 0) & 0xFFFFFF, 0x0000FFu);
    // A pitch shorter than a row is refused, never read past.
    EXPECT_TRUE(
        frameToImage({reinterpret_cast<const uint8_t*>(pixels16), 2, 1, 2, {16, 0x07E0}}).isNull());

    EXPECT_EQ(aspectFitRect({320, 240}, {400, 400}), QRect(0, 50, 400, 300));
    EXPECT_EQ(aspectFitRect({320, 240}, {800, 300}), QRect(200, 0, 400, 300));
    EXPECT_TRUE(aspectFitRect({320, 240}, {0, 300}).isEmpty());
}

} // namespace
