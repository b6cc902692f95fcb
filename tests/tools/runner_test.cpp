// orvex-run end to end: its command line, the demo ROM's picture, input and
// tone at known frames, its limits and a graphics task's frame, on both CPU
// cores. (The shared test ROMs' pictures and ends are the regression runs'
// baselines, tests/cinema/baselines.txt.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/cpu_state.h"
#include "romkit/romkit.h"
#include "runner.h"
#include "support/captured_output.h"
#include "support/guest_program.h"
#include "support/test_machine.h"
#include "system/run_control.h"
#include "video/gl_context.h"

namespace {

using Output = CapturedOutput;

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
    EXPECT_EQ(RunnerOptions{}.machineMode, MachineMode::Complete);

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
                                               {"a.z64", "b.z64"}}) {
        RunnerOptions ignored;
        EXPECT_EQ(parse(bad, ignored), CommandLine::Invalid) << bad[0];
    }
    RunnerOptions h;
    EXPECT_EQ(parse({"rom", "--help"}, h), CommandLine::Help);
    EXPECT_EQ(parse({"--version"}, h), CommandLine::Version);
}

// A 16-bit pixel of the guest frame at 0x00100000, 320 pixels wide.
uint32_t framePixel(uint32_t x, uint32_t y) {
    const uint32_t offset = 0x00100000 + (y * 320 + x) * 2;
    const uint32_t word = guestWord(offset & ~3u);
    return (offset & 2) ? word & 0xFFFF : word >> 16;
}

// The demo's colours, as its program computes them.
uint32_t tri(uint32_t a) {
    a &= 63;
    return a < 32 ? a : 63 - a;
}
uint32_t paletteColour(uint32_t i) {
    return (tri(i) << 11) | (tri(i + 21) << 6) | (tri(i + 42) << 1) | 1;
}
uint32_t backgroundColour(uint32_t y) {
    return ((y >> 3) << 11) | (8 << 6) | ((31 - (y >> 3)) << 1) | 1;
}
constexpr uint32_t YELLOW = 0xFFC1;
constexpr uint32_t WHITE = 0xFFFF;

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

TEST_P(RunnerCores, DemoDrawsItsPictureAndMovesTheSpriteWithTheScriptedPad) {
    const std::string dir = makeTempDir("demo");
    {
        std::ofstream script(dir + "/pad.txt");
        script << "# d-pad right for 30 polls, then nothing\n0100 0 0 30\n0000 0 0\n";
    }
    for (const uint64_t frames : {20u, 60u}) {
        RunnerOptions o = options();
        o.frames = frames;
        o.inputScript = dir + "/pad.txt";
        o.screenshotPath = dir + "/demo.png";
        Output out;
        const RunReport r = runEmulation(o, out.file);
        ASSERT_EQ(r.exitStatus, EXIT_LIMIT_REACHED) << out.text();
        EXPECT_TRUE(r.frameLimit);
        EXPECT_EQ(r.viInterrupts, frames);
        EXPECT_TRUE(r.messages.empty()) << r.messages[0];
        EXPECT_NE(out.text().find("Name:       \"ORVEX DEMO"), std::string::npos);

        // Frames 1 to N-1 have been drawn, each after one poll of the pad.
        const uint32_t polls = uint32_t(frames - 1);
        const uint32_t x = 152 + 2 * std::min<uint32_t>(polls, 30);
        const uint32_t y = 104;
        EXPECT_EQ(framePixel(x + 1, y + 8), YELLOW) << "sprite at " << x;
        EXPECT_EQ(framePixel(x + 8, y + 8), backgroundColour(y + 8)); // its hole
        EXPECT_EQ(framePixel(x + 5, y), YELLOW);
        EXPECT_EQ(framePixel(x + 4, y), backgroundColour(y));
        // Where it started it has been erased.
        EXPECT_EQ(framePixel(152 + 1, y + 8), backgroundColour(y + 8));
        // The band of the last frame drawn, and the title's first letter.
        const uint32_t phase = 2 * polls;
        for (const auto& [px, py] : {std::pair{0u, 200u}, {17u, 205u}, {319u, 231u}})
            EXPECT_EQ(framePixel(px, py), paletteColour(px / 2 + (py - 200) + phase))
                << px << "," << py;
        EXPECT_EQ(framePixel(84, 16), WHITE);
        EXPECT_EQ(framePixel(80, 16), backgroundColour(16));
        EXPECT_EQ(framePixel(10, 120), backgroundColour(120));

        std::vector<uint8_t> png;
        ASSERT_TRUE(romkit::readFile(o.screenshotPath, png));
        EXPECT_GT(png.size(), 320u * 240 * 3);
    }
}

int16_t sampleAt(const std::vector<uint8_t>& wav, size_t index) {
    return int16_t(wav[44 + 2 * index] | (wav[45 + 2 * index] << 8));
}

TEST_P(RunnerCores, DemoPlaysASineToneOf64StepsAtTheAudioRate) {
    RunnerOptions o = options();
    o.frames = 120;
    o.wavPath = makeTempDir("demo-wav") + "/demo.wav";
    Output out;
    ASSERT_EQ(runEmulation(o, out.file).exitStatus, EXIT_LIMIT_REACHED) << out.text();
    std::vector<uint8_t> wav;
    ASSERT_TRUE(romkit::readFile(o.wavPath, wav));
    ASSERT_GT(wav.size(), 44u);
    const uint32_t rate = wav[24] | (wav[25] << 8) | (wav[26] << 16) | (wav[27] << 24);
    EXPECT_NEAR(double(rate), 48681812.0 / 2207, 12.0);
    const size_t frames = (wav.size() - 44) / 4;
    // Two seconds of guest time hold about two seconds of buffers of 2048
    // frames each, played one after the other.
    EXPECT_EQ(frames % 2048, 0u);
    EXPECT_GE(frames, size_t(rate));
    EXPECT_LE(frames, size_t(2.2 * rate));
    for (size_t i = 0; i < frames; ++i) {
        const int16_t left = sampleAt(wav, 2 * i), right = sampleAt(wav, 2 * i + 1);
        ASSERT_EQ(left, right) << i;
        const double expected = 8000.0 * std::sin(2.0 * M_PI * double(i % 64) / 64.0);
        ASSERT_NEAR(left, expected, 4.0) << "frame " << i;
    }
}

TEST_P(RunnerCores, UntilIdleEndsAtTheFirstIdleLoop) {
    RunnerOptions o = options();
    o.untilIdle = true;
    o.frames = 600;
    Output out;
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
    Output out;
    const RunReport r = runEmulation(o, out.file);
    EXPECT_TRUE(r.frameLimit) << out.text();
    EXPECT_GE(r.seconds, 19 / 60.0 - 0.002);
}

TEST_P(RunnerCores, AWallTimeLimitEndsTheRunWithoutHalting) {
    RunnerOptions o = options();
    o.seconds = 0.3;
    Output out;
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
    Output out;
    const RunReport r = runEmulation(o, out.file);
    EXPECT_TRUE(r.frameLimit) << out.text();
    EXPECT_EQ(r.gfxFrames, 1u);
    EXPECT_NE(out.text().find("GFX frames:             1\n"), std::string::npos) << out.text();
    EXPECT_NE(out.text().find("(320x240, OpenGL frame)"), std::string::npos) << out.text();
    ASSERT_EQ(theGlContext.frame.size(), 320u * 240u);
    EXPECT_EQ(theGlContext.frame[120 * 320 + 160] & 0xFFFFFF, 0x0000FEu);
}

INSTANTIATE_TEST_SUITE_P(BothCores, RunnerCores,
                         ::testing::Values(CpuCore::Recompiler, CpuCore::Interpreter),
                         [](const auto& info) {
                             return info.param == CpuCore::Recompiler ? "Recompiler"
                                                                      : "Interpreter";
                         });

} // namespace
