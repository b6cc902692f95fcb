// Saved states through orvex-run on both CPU cores: a run loaded from a state
// taken at VI N reaches, at VI N + M, the same machine, frame and audio as the
// run that took it; and what the runner refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "romkit/romkit.h"
#include "runner.h"
#include "support/captured_output.h"
#include "support/guest_program.h"
#include "support/test_machine.h"

namespace {

// Draws into a 320x240 16-bit frame forever: each pixel comes from an FPU
// product, a routine and a word reached through a TLB mapping, and the counts
// of timer and vertical interrupts its handler has served.
const char* const PROGRAM = R"(
        .set noreorder
        .set noat
        .text
        .globl start
start:  lui   $s0, 0x8010
        lui   $s2, 0x8018
        la    $t0, handler
        la    $t1, handler_end
        lui   $t2, 0x8000
        ori   $t2, $t2, 0x0180
copy:   lw    $t3, 0($t0)
        sw    $t3, 0($t2)
        addiu $t0, $t0, 4
        bne   $t0, $t1, copy
        addiu $t2, $t2, 4

        # TLB entry 1: virtual 0x00400000 onto physical 0x00200000.
        addiu $t0, $zero, 1
        mtc0  $t0, $0
        mtc0  $zero, $5
        lui   $t0, 0x0040
        mtc0  $t0, $10
        li    $t0, 0x8007
        mtc0  $t0, $2
        li    $t0, 1
        mtc0  $t0, $3
        tlbwi
        la    $t0, mapped
        la    $t1, mapped_end
        lui   $t2, 0x8020
copy2:  lw    $t3, 0($t0)
        sw    $t3, 0($t2)
        addiu $t0, $t0, 4
        bne   $t0, $t1, copy2
        addiu $t2, $t2, 4

        # The frame: 16-bit pixels, 320 wide, at 0x00100000.
        lui   $t1, 0xA440
        li    $t0, 2
        sw    $t0, 0($t1)
        lui   $t0, 0x0010
        sw    $t0, 4($t1)
        li    $t0, 320
        sw    $t0, 8($t1)

        # The VI line opened in the MI, the timer, interrupts on.
        li    $t0, 0x0080
        lui   $t1, 0xA430
        sw    $t0, 0x0C($t1)
        mfc0  $t0, $9
        addiu $t0, $t0, 2000
        mtc0  $t0, $11
        li    $t0, 0x8401
        mtc0  $t0, $12

        lui   $t0, 0x3F80
        mtc1  $t0, $f2
        mtc1  $t0, $f8
        lui   $t0, 0x3F81
        mtc1  $t0, $f4
        lui   $t0, 0x447A
        mtc1  $t0, $f6
        move  $s1, $zero
        li    $s3, 76800
loop:   mul.s $f2, $f2, $f4
        c.lt.s $f6, $f2
        bc1tl wrap
        mov.s $f2, $f8
wrap:   trunc.w.s $f10, $f2
        mfc1  $a0, $f10
        lui   $t9, 0x0040
        jalr  $t9
        nop
        lw    $t1, 0($s2)
        lw    $t2, 4($s2)
        sll   $t1, $t1, 5
        sll   $t2, $t2, 10
        xor   $v0, $v0, $t1
        xor   $v0, $v0, $t2
        sll   $t3, $s1, 1
        addu  $t3, $t3, $s0
        sh    $v0, 0($t3)
        addiu $s1, $s1, 1
        bne   $s1, $s3, loop
        nop
        b     loop
        move  $s1, $zero

mapped: lui   $t0, 0x0040
        lw    $t1, 0x800($t0)
        addiu $t1, $t1, 3
        sw    $t1, 0x800($t0)
        jr    $ra
        addu  $v0, $t1, $a0
mapped_end:

handler:
        mfc0  $k0, $13
        andi  $k1, $k0, 0x8000
        beq   $k1, $zero, not_timer
        nop
        lw    $k1, 0($s2)
        addiu $k1, $k1, 1
        sw    $k1, 0($s2)
        mfc0  $k1, $9
        addiu $k1, $k1, 30000
        mtc0  $k1, $11
not_timer:
        andi  $k1, $k0, 0x0400
        beq   $k1, $zero, done
        nop
        lui   $k0, 0xA430
        lw    $k1, 8($k0)
        andi  $k1, $k1, 0x08
        beq   $k1, $zero, done
        nop
        lui   $k0, 0xA440
        sw    $zero, 0x10($k0)
        lw    $k1, 4($s2)
        addiu $k1, $k1, 1
        sw    $k1, 4($s2)
done:   eret
handler_end:
)";

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
    void expectDeterministic(const std::string& rom, uint64_t n, uint64_t m, bool audio) {
        const std::string dir = makeTempDir("states");
        std::string text;
        RunnerOptions a = options(rom, n + m);
        a.saveStatePath = dir + "/at-n.state";
        a.saveAtVi = n;
        a.screenshotPath = dir + "/a.png";
        if (audio) a.wavPath = dir + "/a.wav";
        ASSERT_EQ(run(a, &text).exitStatus, EXIT_LIMIT_REACHED) << text;
        EXPECT_NE(text.find("Saved state: " + a.saveStatePath), std::string::npos) << text;

        RunnerOptions b = options(rom, n + m);
        b.loadStatePath = a.saveStatePath;
        b.saveStatePath = dir + "/b.state";
        b.saveAtVi = n + m;
        b.screenshotPath = dir + "/b.png";
        if (audio) b.wavPath = dir + "/b.wav";
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
        if (audio) {
            // What the loaded run played is what the first one played after n.
            const std::vector<uint8_t> wavA = wavData(a.wavPath), wavB = wavData(b.wavPath);
            ASSERT_FALSE(wavB.empty());
            ASSERT_LT(wavB.size(), wavA.size());
            EXPECT_TRUE(std::equal(wavB.begin(), wavB.end(), wavA.end() - wavB.size()))
                << "audio differs";
        }
    }
};

TEST(RunnerStateOptions, SaveNeedsItsViAndLoadItsFile) {
    RunnerOptions o;
    std::string error;
    ASSERT_EQ(parseCommandLine({"--save-state", "s", "--at", "60", "--load-state", "l"}, o, error),
              CommandLine::Run);
    EXPECT_EQ(o.saveStatePath, "s");
    EXPECT_EQ(o.saveAtVi, 60u);
    EXPECT_EQ(o.loadStatePath, "l");
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--save-state", "s"},
                                               {"--at", "5"},
                                               {"--save-state", "s", "--at", "0"},
                                               {"--load-state"}}) {
        RunnerOptions ignored;
        EXPECT_EQ(parseCommandLine(bad, ignored, error), CommandLine::Invalid) << bad[0];
    }
}

TEST_P(RunnerStates, TheDemoGoesOnFromAStateAsFromItsOwnRun) {
    expectDeterministic("", 90, 45, true);
}

TEST_P(RunnerStates, AProgramOfFpuTlbAndInterruptsGoesOnFromAState) {
    GuestProgram program;
    ASSEMBLE_GUEST_PROGRAM_OR_SKIP(PROGRAM, program);
    const std::string rom = writeGuestRom(program, makeTempDir("state-rom"), "system", {});
    ASSERT_FALSE(rom.empty());
    expectDeterministic(rom, 20, 15, false);

    // A state of the demo does not start this ROM (the damaged states the
    // loader refuses are the saved-state tests'); a save before the state's VI
    // is refused.
    const std::string dir = makeTempDir("state-refusals");
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

INSTANTIATE_TEST_SUITE_P(BothCores, RunnerStates,
                         ::testing::Values(CpuCore::Recompiler, CpuCore::Interpreter),
                         [](const auto& info) { return std::string(cpuCoreName(info.param)); });

} // namespace
