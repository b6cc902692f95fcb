// The player's side of the output window: the command line, the command keys
// kept from the controllers, pause, reset, screenshots, full screen and the
// speed limiter's menu item.
#include <QAction>
#include <QSignalSpy>

#include "core/machine.h"
#include "gui/command_keys.h"
#include "gui/gui_ids.h"
#include "gui/output_window.h"
#include "gui/program_options.h"
#include "gui/screenshot.h"
#include "gui_test_support.h"
#include "system/run_control.h"
#include "system/run_pacing.h"
#include "system/settings_values.h"

namespace fs = std::filesystem;

namespace {

TEST(ProgramOptions, RomFullScreenMachineAndTheirMistakes) {
    struct Row {
        std::vector<std::string> args;
        ProgramCommand command;
        std::string rom;
        bool fullScreen;
        std::optional<MachineMode> machine;
    };
    const Row rows[] = {
        {{}, ProgramCommand::Run, "", false, std::nullopt},
        {{"game.z64", "--fullscreen"}, ProgramCommand::Run, "game.z64", true, std::nullopt},
        {{"--machine", "complete", "a.v64"},
         ProgramCommand::Run,
         "a.v64",
         false,
         MachineMode::Complete},
        {{"--machine", "design"}, ProgramCommand::Run, "", false, MachineMode::Design},
        {{"--", "-odd name.z64"}, ProgramCommand::Run, "-odd name.z64", false, std::nullopt},
        {{"x.z64", "--help"}, ProgramCommand::Help, "x.z64", false, std::nullopt},
        {{"--version"}, ProgramCommand::Version, "", false, std::nullopt},
        {{"--machine"}, ProgramCommand::Invalid, "", false, std::nullopt},
        {{"--machine", "64bit"}, ProgramCommand::Invalid, "", false, std::nullopt},
        {{"--full"}, ProgramCommand::Invalid, "", false, std::nullopt},
        {{"a.z64", "b.z64"}, ProgramCommand::Invalid, "a.z64", false, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.args));
        ProgramOptions options;
        std::string error;
        EXPECT_EQ(parseProgramOptions(row.args, options, error), row.command);
        EXPECT_EQ(options.romPath, row.rom);
        EXPECT_EQ(options.fullScreen, row.fullScreen);
        EXPECT_EQ(options.machineMode, row.machine);
        EXPECT_EQ(error.empty(), row.command != ProgramCommand::Invalid) << error;
    }
}

TEST(Screenshot, NamedAfterTheRomAndTimeAndNeverOverwritten) {
    const QDateTime time(QDate(2026, 3, 4), QTime(5, 6, 7));
    EXPECT_EQ(screenshotFileName("Super Game", time), "Super Game 2026-03-04 05-06-07.png");
    EXPECT_EQ(screenshotFileName("a/b\\c:d", time), "a_b_c_d 2026-03-04 05-06-07.png");
    EXPECT_EQ(screenshotFileName("..", time), "Orvex.. 2026-03-04 05-06-07.png");

    testApplication();
    const QString folder = QString::fromStdString(makeTempDir("shots")) + "/Orvex";
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QString error;
    const QString first = saveScreenshot(image, folder, "Game", time, error);
    const QString second = saveScreenshot(image, folder, "Game", time, error);
    EXPECT_TRUE(first.endsWith("/Game 2026-03-04 05-06-07.png")) << first.toStdString();
    EXPECT_TRUE(second.endsWith("/Game 2026-03-04 05-06-07 (2).png")) << second.toStdString();
    EXPECT_EQ(QImage(second).size(), QSize(8, 4));
    EXPECT_TRUE(saveScreenshot(QImage(), folder, "Game", time, error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

using PlayerTest = OrvexTest;

TEST_F(PlayerTest, TheCommandLineRomRunsAndTheWindowKeysAreCommandsNotButtons) {
    // No orvex.ini and no section: the image runs under its internal name.
    fs::copy_file(ORVEX_DEMO_ROM, dir + "/demo.z64");
    writeOutputWindowPosition({120, 90});
    window = startOrvex(*sink, nullptr, "orvex", true);
    ASSERT_TRUE(window);
    EXPECT_TRUE(answered.empty()) << "no box about the missing orvex.ini";
    ASSERT_TRUE(window->openRomFile(dir + "/demo.z64"));
    OutputWindow* output = window->outputWindow();
    ASSERT_TRUE(output);
    EXPECT_EQ(output->windowTitle(), "ORVEX DEMO");
    ASSERT_TRUE(waitFor([&] { return !output->lastFrame().isNull(); }));
    EXPECT_TRUE(output->speedLimiter().enabled());
    EXPECT_EQ(output->speedLimiter().rate(), NTSC_VI_RATE);

    // Enter is Start; Alt+Enter, F11 and Esc are the full screen's.
    QTest::keyPress(output, Qt::Key_Return);
    EXPECT_EQ(output->keys()[0x28], 1);
    QTest::keyRelease(output, Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(output->keys()[0x28], 0) << "released with Alt held, Start is let go";
    QTest::keyPress(output, Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(output->keys()[0x28], 0);
    EXPECT_TRUE(output->isFullScreen());
    QTest::keyPress(output, Qt::Key_Escape);
    EXPECT_FALSE(output->isFullScreen());
    EXPECT_EQ(output->keys()[0x29], 0);
    QTest::keyPress(output, Qt::Key_Escape);
    EXPECT_EQ(output->keys()[0x29], 1) << "Esc is a controller key outside full screen";
    QTest::keyRelease(output, Qt::Key_Escape);
    EXPECT_EQ(output->keys()[0x29], 0);
    QTest::keyPress(output, Qt::Key_F11);
    EXPECT_TRUE(output->isFullScreen());
    QTest::keyPress(output, Qt::Key_F11);
    EXPECT_FALSE(output->isFullScreen());

    // The save-state keys are handed on, and Tab fast-forwards while held.
    QSignalSpy states(output, &OutputWindow::stateCommand);
    QTest::keyPress(output, Qt::Key_F5);
    QTest::keyPress(output, Qt::Key_F6);
    QTest::keyPress(output, Qt::Key_F6, Qt::ShiftModifier);
    QTest::keyPress(output, Qt::Key_F7);
    ASSERT_EQ(states.count(), 4);
    EXPECT_EQ(states[2][0].value<WindowCommand>(), WindowCommand::PreviousStateSlot);
    QTest::keyPress(output, Qt::Key_Tab);
    EXPECT_TRUE(output->speedLimiter().fastForward());
    QTest::keyRelease(output, Qt::Key_Tab);
    EXPECT_FALSE(output->speedLimiter().fastForward());
    for (const int usage : {0x3E, 0x3F, 0x40, 0x44, 0x45, 0x2B, 0x13})
        EXPECT_EQ(output->keys()[usage], 0) << usage;
    EXPECT_EQ(windowCommandOfKey(Qt::Key_Escape, {}, false), WindowCommand::None);

    // Pause holds the CPU thread at a vertical interrupt until resumed.
    QTest::keyPress(output, Qt::Key_P);
    EXPECT_TRUE(window->action(gui_id::PAUSE)->isChecked());
    ASSERT_TRUE(waitFor([] { return isCpuPaused(); }));
    const uint64_t pausedAt = runCounters.viInterrupts.load();
    QTest::qWait(100);
    EXPECT_EQ(runCounters.viInterrupts.load(), pausedAt);
    window->action(gui_id::PAUSE)->trigger();
    EXPECT_FALSE(window->action(gui_id::PAUSE)->isChecked());
    EXPECT_TRUE(waitFor([&] { return runCounters.viInterrupts.load() > pausedAt + 2; }));

    // F12: the frame shown, as a PNG, and the status bar says where.
    const QString shots = QString::fromStdString(dir) + "/pictures/Orvex";
    output->setScreenshotFolder(shots);
    QTest::keyPress(output, Qt::Key_F12);
    const QStringList files = QDir(shots).entryList({"ORVEX DEMO *.png"});
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(QImage(shots + "/" + files[0]).size(), output->lastFrame().size());
    EXPECT_TRUE(waitFor([&] { return window->statusText(2).contains(files[0]); }))
        << window->statusText(2).toStdString();

    // The menu's speed option reaches the running limiter.
    window->action(gui_id::LIMIT_SPEED)->trigger();
    EXPECT_FALSE(limitSpeed);
    EXPECT_FALSE(output->speedLimiter().enabled());

    // Reset starts the run of the same image afresh in the same window.
    ASSERT_TRUE(waitFor([&] { return runCounters.viInterrupts.load() > 30; }));
    window->action(gui_id::RESET)->trigger();
    EXPECT_EQ(window->outputWindow(), output);
    EXPECT_LT(runCounters.viInterrupts.load(), 30u);
    EXPECT_FALSE(isEmulationHalted());
    // Closed in full screen, the window keeps the position stored before.
    output->setFullScreenMode(true);
    output->close();
    EXPECT_EQ(readOutputWindowPosition().left, 120);
    EXPECT_FALSE(window->outputWindow());
    EXPECT_FALSE(window->action(gui_id::RESET)->isEnabled());
}

} // namespace
