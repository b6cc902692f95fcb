// orvex-run end to end: its command line, its limits and a graphics task's
// frame, on both CPU cores. (The demo's picture moved by a pad script and its
// tone, and the shared test ROMs' pictures and ends, are the regression runs'
// baselines, tests/cinema/baselines.txt, which run through orvex-run's session
// on both cores and hash its screenshot and WAV file.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/cpu_state.h"
#include "cpu/both_cores_fixture.h"
#include "romkit/romkit.h"
#include "runner.h"
#include "support/captured_output.h"
#include "support/guest_program.h"
#include "support/test_machine.h"
#include "system/run_control.h"
#include "video/gl_context.h"

namespace {

CommandLine parse(std::vector<std::string> args, RunnerOptions& options) {
    std::string error;
    const CommandLine result = parseCommandLine(args, options, error);
    if (result == CommandLine::Invalid) {
        EXPECT_FALSE(error.empty());
    }
    return result;
}

TEST(RunnerCommandLine, ReadsEveryOptionAndRefusesBadUsage) {
    RunnerOptions o;
    ASSERT_EQ(
        parse({"--frames",     "600",       "--seconds", "2.5",     "--screenshot", "a.png",
               "--wav",        "a.wav",     "--log-dir", "logs",    "--hle",        "--nice-fb",
               "--input",      "pad.txt",   "--answer",  "no",      "--cpu",        "interpreter",
               "--until-idle", "--machine", "design",    "--limit", "rom.z64"},
              o),
        CommandLine::Run);
    EXPECT_EQ(o.frames, 600u);
    EXPECT_DOUBLE_EQ(o.seconds, 2.5);
    EXPECT_EQ(o.screenshotPath, "a.png");
    EXPECT_EQ(o.wavPath, "a.wav");
    EXPECT_EQ(o.logDirectory, "logs");
    EXPECT_TRUE(o.hle && o.niceFrameBuffer && o.untilIdle && o.limitSpeed);
    EXPECT_EQ(o.inputScript, "pad.txt");
    EXPECT_FALSE(o.answerYes);
    EXPECT_EQ(o.cpuCore, CpuCore::Interpreter);
    EXPECT_EQ(o.romPath, "rom.z64");
    EXPECT_EQ(o.machineMode, MachineMode::Design);
    RunnerOptions states;
    ASSERT_EQ(parse({"--save-state", "s", "--at", "60", "--load-state", "l"}, states),
              CommandLine::Run);
    EXPECT_EQ(states.saveStatePath, "s");
    EXPECT_EQ(states.saveAtVi, 60u);
    EXPECT_EQ(states.loadStatePath, "l");

    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--frames"},
                                               {"--frames", "ten"},
                                               {"--frames", "-3"},
                                               {"--frames", "0"},
                                               {"--seconds", "0"},
                                               {"--cpu", "fast"},
                                               {"--machine", "full"},
                                               {"--answer", "maybe"},
                                               {"--bogus"},
                                               {"a.z64", "b.z64"},
                                               {"--save-state", "s"}, // a save needs its VI
                                               {"--at", "5"},
                                               {"--save-state", "s", "--at", "0"},
                                               {"--load-state"}}) {
        RunnerOptions ignored;
        EXPECT_EQ(parse(bad, ignored), CommandLine::Invalid) << bad[0];
    }
    RunnerOptions h;
    EXPECT_EQ(parse({"rom", "--help"}, h), CommandLine::Help);
    EXPECT_EQ(parse({"--version"}, h), CommandLine::Version);
}

class RunnerCores : public ::testing::TestWithParam<CpuCore> {
  protected:
    RunnerOptions options() {
        RunnerOptions o;
        o.cpuCore = GetParam();
        o.logDirectory = makeTempDir("runner-log");
        o.padLibrary = ORVEX_SCRIPTED_PAD;
        return o;
    }
};

TEST_P(RunnerCores, UntilIdleEndsAtTheFirstIdleLoop) {
    RunnerOptions o = options();
    o.untilIdle = true;
    o.frames = 600;
    CapturedOutput out;
    const RunReport r = runEmulation(o, out.file);
    EXPECT_EQ(r.exitStatus, EXIT_LIMIT_REACHED);
    EXPECT_TRUE(r.wentIdle);
    // The demo sets up its picture and sound, then waits for its first frame;
    // the skip brings that frame's interrupt, and the run ends there.
    EXPECT_EQ(r.viInterrupts, 1u);
    EXPECT_GT(r.instructions, 100000u);
    EXPECT_NE(out.text().find("went idle"), std::string::npos);
}

TEST_P(RunnerCores, ALimitedRunTakesAtLeastItsGuestTime) {
    // The demo is an NTSC image: of 21 interrupts the first sets the pace and
    // the last ends the run, so 19 periods pass between them. Without the
    // limit they take a few milliseconds.
    RunnerOptions o = options();
    o.frames = 21;
    o.limitSpeed = true;
    CapturedOutput out;
    const RunReport r = runEmulation(o, out.file);
    EXPECT_TRUE(r.frameLimit) << out.text();
    EXPECT_GE(r.seconds, 19 / 60.0 - 0.002);
}

TEST_P(RunnerCores, AWallTimeLimitEndsTheRunWithoutHalting) {
    RunnerOptions o = options();
    o.seconds = 0.3;
    CapturedOutput out;
    const RunReport r = runEmulation(o, out.file);
    EXPECT_EQ(r.exitStatus, EXIT_LIMIT_REACHED) << out.text();
    EXPECT_TRUE(r.timeLimit);
    EXPECT_FALSE(r.halted);
    EXPECT_GT(r.seconds, 0.0);
    EXPECT_NE(out.text().find("time limit reached"), std::string::npos);
}

// A graphics task that fills the view blue, started by releasing the halt,
// then a loop.
const std::string GRAPHICS_PROGRAM = guestProgramSource("graphics.s");

TEST_P(RunnerCores, ScreenshotShowsTheFrameOfAGraphicsTask) {
    GuestProgram program;
    ASSEMBLE_GUEST_PROGRAM_OR_SKIP(GRAPHICS_PROGRAM, program);
    const std::string dir = makeTempDir("gl-runner");
    RunnerOptions o = options();
    o.romPath = writeGuestRom(program, dir, "fill", romkit::RomOptions{});
    o.frames = 3;
    o.screenshotPath = dir + "/fill.png";
    CapturedOutput out;
    const RunReport r = runEmulation(o, out.file);
    EXPECT_TRUE(r.frameLimit) << out.text();
    EXPECT_EQ(r.gfxFrames, 1u);
    EXPECT_NE(out.text().find("GFX frames:             1\n"), std::string::npos) << out.text();
    EXPECT_NE(out.text().find("(320x240, OpenGL frame)"), std::string::npos) << out.text();
    ASSERT_EQ(theGlContext.frame.size(), 320u * 240u);
    EXPECT_EQ(theGlContext.frame[120 * 320 + 160] & 0xFFFFFF, 0x0000FEu);
}

INSTANTIATE_TEST_SUITE_P(BothCores, RunnerCores, bothCores, coreName);

} // namespace
