// The emulation run's start and stop: the order of their steps across the
// host back ends, the devices that fail to come up, and a stop while the CPU
// thread waits in a message box.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/log.h"
#include "base/md5.h"
#include "core/machine.h"
#include "core/rom_file.h"
#include "host/output_window_host.h"
#include "host/recording_frame_presenter.h"
#include "hw/audio_output.h"
#include "plugins/controller_plugin.h"
#include "romkit/mips_encode.h"
#include "support/test_machine.h"
#include "support/test_sound_backend.h"
#include "system/emulation_session.h"
#include "system/run_control.h"
#include "system/settings_values.h"
#include "system/state_requests.h"
#include "video/frame_buffer_display.h"
#include "video/gl_context.h"

namespace {

// Every back end writes what is done to it into one journal.
std::mutex journalMutex;
std::vector<std::string> journal;
void note(const std::string& event) {
    std::lock_guard lock(journalMutex);
    journal.push_back(event);
}
std::vector<std::string> journalCopy() {
    std::lock_guard lock(journalMutex);
    return journal;
}
size_t indexOf(const std::vector<std::string>& events, const std::string& event) {
    return std::find(events.begin(), events.end(), event) - events.begin();
}
size_t countOf(const std::vector<std::string>& events, const std::string& event) {
    return std::count(events.begin(), events.end(), event);
}

class JournalWindow : public OutputWindowHost {
  public:
    void acquireDeviceContext() override { note("acquire device context"); }
    void releaseDeviceContext() override { note("release device context"); }
    bool screenPosition(int32_t& left, int32_t& top) override {
        note("window position");
        left = 123;
        top = 45;
        return true;
    }
};

class JournalTimer : public IntervalTimer {
  public:
    bool start(uint32_t periodMs, std::function<void()> tick) override {
        note("timer start " + std::to_string(periodMs));
        tick_ = std::move(tick);
        return true;
    }
    void stop() override { note("timer stop"); }
    std::function<void()> tick_;
};

class JournalSurface : public GlSurface {
  public:
    bool createContext() override { return true; }
    void destroyContext() override { note("gl destroy"); }
};

uint8_t initPlugin1(const OrvexOutputWindow* window, void*) {
    note(window && window->keys && window->size == sizeof(OrvexOutputWindow) ? "init 1"
                                                                             : "init 1 bad");
    return 1;
}
void freePlugin1() {
    note("free 1");
}
uint8_t initPlugin2(const OrvexOutputWindow*, void*) {
    note("init 2");
    return 0;
}
void freePlugin2() {
    note("free 2");
}

// Keeps every status text, not only the latest of each part.
class HistorySink : public RecordingUiSink {
  public:
    void setStatusPart(int part, const std::string& text) override {
        RecordingUiSink::setStatusPart(part, text);
        std::lock_guard lock(mutex_);
        history_.push_back(text);
    }
    bool shown(const std::string& text) const {
        std::lock_guard lock(mutex_);
        for (const std::string& h : history_)
            if (h.find(text) != std::string::npos) return true;
        for (const RecordedMessage& m : messages())
            if (m.text.find(text) != std::string::npos) return true;
        return false;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> history_;
};

class EmulationSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        {
            std::lock_guard lock(journalMutex);
            journal.clear();
        }
        resetControllerSlots();
        logDir = makeTempDir("session");
        // A guest that waits in an idle loop for good.
        bootMachineWithProgram({mips::j(0x80001000), mips::nop()});
        host.userInterface = sink;
        host.window = &window;
        host.framePresenter = &presenter;
        host.glSurface = &surface;
        host.sound = &sound;
        host.speedTimer = &timer;
        settings.title = "SESSION TEST";
        settings.logDirectory = logDir;
    }
    void TearDown() override {
        resetControllerSlots();
        clearRunLimits();
    }

    void enableSlot(int number, OrvexInitPluginFn init, OrvexFreePluginFn free) {
        CControllerPlugin& slot = controllerSlots[number - 1];
        slot.enabled = 1;
        slot.initPlugin = init;
        slot.freePlugin = free;
    }

    HistorySink history, *sink = &history;
    JournalWindow window;
    RecordingFramePresenter presenter;
    JournalSurface surface;
    TestSoundBackend sound;
    JournalTimer timer;
    EmulationHost host;
    EmulationSettings settings;
    std::string logDir;
};

TEST_F(EmulationSessionTest, StartAndStopRunTheirStepsInOrder) {
    enableSlot(1, initPlugin1, freePlugin1);
    settings.viLimit = 3;
    EmulationSession session(host, settings);
    ASSERT_TRUE(session.startEmulation());
    note("started");
    EXPECT_TRUE(theFrameBufferDisplay.frameBufferDisplayEnabled);
    EXPECT_TRUE(theSoundOutput.soundEnabled);
    EXPECT_TRUE(sound.isOpen());
    EXPECT_EQ(outputGlSurface, &surface);
    EXPECT_TRUE(theLog.isOpen());
    EXPECT_NE(std::string(theLog.path()).find("SESSION TEST.main.log"), std::string::npos);
    // A second start leaves the run alone.
    EXPECT_FALSE(session.startEmulation());
    ASSERT_TRUE(session.waitForCpuThreadEnd(std::chrono::seconds(60)));
    EXPECT_EQ(runCounters.viInterrupts.load(), 3u);
    // The speed display writes the figures.
    timer.tick_();
    EXPECT_EQ(sink->statusPart(1), "GFX: N/A");

    // Stand-in for the stop's destruction of the context: one was created.
    createGlContext(outputGlSurface);
    session.stopEmulation();

    const std::vector<std::string> events = journalCopy();
    const std::vector<std::string> expected = {"acquire device context",
                                               "init 1",
                                               "timer start 1000",
                                               "started",
                                               "timer stop",
                                               "gl destroy",
                                               "free 1",
                                               "window position",
                                               "release device context"};
    EXPECT_EQ(events, expected);

    EXPECT_EQ(sink->statusPart(0), "CPU: N/A");
    EXPECT_EQ(sink->statusPart(1), "GFX: N/A");
    EXPECT_TRUE(isEmulationHalted());
    EXPECT_EQ(theRom.romImage, nullptr);
    EXPECT_FALSE(theLog.isOpen());
    EXPECT_FALSE(sound.isOpen());
    EXPECT_FALSE(theFrameBufferDisplay.setUp);
    EXPECT_EQ(outputGlSurface, nullptr);
    const WindowPosition position = readOutputWindowPosition();
    EXPECT_EQ(position.left, 123);
    EXPECT_EQ(position.top, 45);
    // A stop on request is no halt of the guest: no halt box.
    for (const RecordedMessage& m : sink->messages())
        EXPECT_EQ(m.text.find("Emulation halted"), std::string::npos) << m.text;
    // The run's log has its first line.
    const std::string log = readTextFile(logDir + "/SESSION TEST.main.log");
    EXPECT_EQ(log.rfind("Emulating ROM loaded from file \"", 0), 0u) << log;
    // The lines after it identify the image.
    EXPECT_NE(log.find("\"!\nImage size: "), std::string::npos) << log;
    EXPECT_NE(log.find("\nMD5: " + md5Text(theRom.fileMd5) + "\nCountry: "), std::string::npos);
}

TEST_F(EmulationSessionTest, StateRequestsAreCarriedOutByTheCpuThreadWithoutWindowOrControllers) {
    host.window = nullptr;
    controllerSlots[0].initPlugin = initPlugin1; // present but not enabled
    controllerSlots[0].freePlugin = freePlugin1;
    writeOutputWindowPosition({7, 8});
    EmulationSession session(host, settings);
    ASSERT_TRUE(session.startEmulation());
    EXPECT_EQ(session.pluginWindow().nativeWindow, nullptr);
    const std::string path = logDir + "/slot.state";
    auto waitFor = [](uint64_t StateRequestTally::*field) {
        for (int i = 0; i < 1000 && stateRequestTally().*field == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return stateRequestTally().*field != 0;
    };
    ASSERT_TRUE(session.requestStateSave(path, "slot 1"));
    ASSERT_TRUE(waitFor(&StateRequestTally::saved));
    EXPECT_TRUE(sink->shown("State saved to slot 1 (" + path + ")"));
    ASSERT_TRUE(session.requestStateLoad(path, "slot 1"));
    ASSERT_TRUE(waitFor(&StateRequestTally::loaded));
    EXPECT_TRUE(sink->shown("State loaded from slot 1 (" + path + ")"));
    ASSERT_TRUE(session.requestStateLoad(logDir + "/none.state", "slot 2"));
    ASSERT_TRUE(waitFor(&StateRequestTally::failed));
    EXPECT_TRUE(
        sink->shown("State not loaded from slot 2 (" + logDir + "/none.state): it does not exist"));
    session.stopEmulation();
    EXPECT_FALSE(session.requestStateSave(path, "slot 1"));
    // Nothing of the window or the controllers was called.
    EXPECT_EQ(journalCopy(), (std::vector<std::string>{"timer start 1000", "timer stop"}));
    EXPECT_EQ(readOutputWindowPosition().left, 7);
}

TEST_F(EmulationSessionTest, DevicesThatFailAreReportedAndTheRunGoesOn) {
    RecordingFramePresenter noScreen(ScreenFormat{}, false);
    host.framePresenter = &noScreen;
    sound.failOpen = true;
    enableSlot(1, initPlugin1, freePlugin1);
    enableSlot(2, initPlugin2, freePlugin2);
    settings.viLimit = 2;
    EmulationSession session(host, settings);
    ASSERT_TRUE(session.startEmulation());
    EXPECT_TRUE(sink->shown(
        "Error Initializing DirectDraw! There will be no framebuffer graphics emulation!"));
    EXPECT_TRUE(sink->shown("Error Initializing DirectSound! There will be no sound emulation!"));
    EXPECT_TRUE(sink->shown("Error Initializing Plugin For Controller #2!"));
    EXPECT_FALSE(theFrameBufferDisplay.frameBufferDisplayEnabled);
    EXPECT_FALSE(theSoundOutput.soundEnabled);
    EXPECT_EQ(controllerSlots[1].enabled, 0);
    EXPECT_EQ(controllerSlots[0].enabled, 1);

    // The guest runs regardless.
    ASSERT_TRUE(session.waitForCpuThreadEnd(std::chrono::seconds(60)));
    EXPECT_EQ(runCounters.viInterrupts.load(), 2u);
    EXPECT_EQ(cpuStopReason(), CpuStopReason::FrameLimit);
    session.stopEmulation();

    // The refused plug-in is freed once, at the start, and not called again.
    const std::vector<std::string> events = journalCopy();
    EXPECT_EQ(countOf(events, "init 2"), 1u);
    EXPECT_EQ(countOf(events, "free 2"), 1u);
    EXPECT_LT(indexOf(events, "free 2"), indexOf(events, "timer start 1000"));
    EXPECT_EQ(countOf(events, "free 1"), 1u);
    EXPECT_GT(indexOf(events, "free 1"), indexOf(events, "timer stop"));
}

} // namespace
