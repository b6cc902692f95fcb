// Saved states through orvex-run on both CPU cores: a run loaded from a state
// taken at VI N reaches, at VI N + M, the same machine, frame and audio as the
// run that took it; and what the runner refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cpu/both_cores_fixture.h"
#include "romkit/romkit.h"
#include "runner.h"
#include "support/captured_output.h"
#include "support/test_machine.h"

namespace {

std::vector<uint8_t> fileBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    romkit::readFile(path, bytes);
    return bytes;
}

// The samples of a WAV file written by the runner (after its 44-byte header).
std::vector<uint8_t> wavData(const std::string& path) {
    std::vector<uint8_t> bytes = fileBytes(path);
    return bytes.size() > 44 ? std::vector<uint8_t>(bytes.begin() + 44, bytes.end())
                             : std::vector<uint8_t>{};
}

class RunnerStates : public ::testing::TestWithParam<CpuCore> {
  protected:
    RunnerOptions options(const std::string& rom, uint64_t frames) {
        RunnerOptions o;
        o.romPath = rom;
        o.cpuCore = GetParam();
        o.frames = frames;
        o.logDirectory = makeTempDir("state-log");
        return o;
    }
    RunReport run(const RunnerOptions& o, std::string* text = nullptr) {
        CapturedOutput out;
        const RunReport r = runEmulation(o, out.file);
        if (text) *text = out.text();
        return r;
    }

    // Run A takes a state at VI n and goes on to n + m; run B starts from it
    // and saves at n + m; run C runs from the start and saves at n + m.
    void expectDeterministic(const std::string& rom, uint64_t n, uint64_t m) {
        const std::string dir = makeTempDir("states");
        std::string text;
        RunnerOptions a = options(rom, n + m);
        a.saveStatePath = dir + "/at-n.state";
        a.saveAtVi = n;
        a.screenshotPath = dir + "/a.png";
        a.wavPath = dir + "/a.wav";
        ASSERT_EQ(run(a, &text).exitStatus, EXIT_LIMIT_REACHED) << text;
        EXPECT_NE(text.find("Saved state: " + a.saveStatePath), std::string::npos) << text;

        RunnerOptions b = options(rom, n + m);
        b.loadStatePath = a.saveStatePath;
        b.saveStatePath = dir + "/b.state";
        b.saveAtVi = n + m;
        b.screenshotPath = dir + "/b.png";
        b.wavPath = dir + "/b.wav";
        const RunReport rb = run(b, &text);
        ASSERT_EQ(rb.exitStatus, EXIT_LIMIT_REACHED) << text;
        EXPECT_EQ(rb.viInterrupts, n + m);

        RunnerOptions c = options(rom, n + m);
        c.saveStatePath = dir + "/c.state";
        c.saveAtVi = n + m;
        ASSERT_EQ(run(c, &text).exitStatus, EXIT_LIMIT_REACHED) << text;

        const std::vector<uint8_t> stateB = fileBytes(b.saveStatePath);
        ASSERT_FALSE(stateB.empty());
        EXPECT_TRUE(stateB == fileBytes(c.saveStatePath)) << "machines differ at VI " << n + m;
        const std::vector<uint8_t> pngA = fileBytes(a.screenshotPath);
        ASSERT_FALSE(pngA.empty());
        EXPECT_TRUE(pngA == fileBytes(b.screenshotPath)) << "frames differ";
        // What the loaded run played is what the first one played after n.
        const std::vector<uint8_t> wavA = wavData(a.wavPath), wavB = wavData(b.wavPath);
        ASSERT_FALSE(wavB.empty());
        ASSERT_LT(wavB.size(), wavA.size());
        EXPECT_TRUE(std::equal(wavB.begin(), wavB.end(), wavA.end() - wavB.size()))
            << "audio differs";
    }
};

TEST_P(RunnerStates, TheDemoGoesOnFromAStateAsFromItsOwnRun) {
    expectDeterministic("", 90, 45);
}

TEST_P(RunnerStates, RefusesStatesOfAnotherRomAndSavesItCannotMake) {
    const std::string dir = makeTempDir("state-refusals");
    const std::string rom = dir + "/idle.z64";
    ASSERT_TRUE(romkit::writeFile(rom, romkit::buildRomFromWords({0x08000400, 0})));
    // A state of the demo does not start another ROM (the damaged states the
    // loader refuses are the saved-state tests'); a save before the state's VI
    // is refused.
    RunnerOptions demo = options("", 5);
    demo.saveStatePath = dir + "/demo.state";
    demo.saveAtVi = 5;
    ASSERT_EQ(run(demo).exitStatus, EXIT_LIMIT_REACHED);
    struct Case {
        std::string rom, state;
        uint64_t at;
        const char* says;
    };
    for (const Case& c : {Case{rom, demo.saveStatePath, 0, "another ROM"},
                          Case{"", dir + "/missing.state", 0, "does not exist"},
                          Case{"", demo.saveStatePath, 3, "lies before"}}) {
        RunnerOptions o = options(c.rom, 10);
        o.loadStatePath = c.state;
        if (c.at) {
            o.saveStatePath = dir + "/never.state";
            o.saveAtVi = c.at;
        }
        std::string text;
        EXPECT_EQ(run(o, &text).exitStatus, EXIT_BAD_USAGE) << c.says;
        EXPECT_NE(text.find(c.says), std::string::npos) << text;
        EXPECT_EQ(text.find("Vertical interrupts:"), std::string::npos) << "it ran: " << text;
    }
    // A save the run never reaches fails the run.
    RunnerOptions late = options("", 3);
    late.saveStatePath = dir + "/late.state";
    late.saveAtVi = 10;
    std::string text;
    EXPECT_EQ(run(late, &text).exitStatus, EXIT_BAD_USAGE);
    EXPECT_NE(text.find("no state was written"), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(BothCores, RunnerStates, bothCores, coreName);

} // namespace
