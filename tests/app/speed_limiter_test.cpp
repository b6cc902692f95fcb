// The speed limiter paced by a clock of the test's own, and the pause at a
// vertical interrupt.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "core/machine.h"
#include "system/run_control.h"
#include "system/run_pacing.h"
#include "system/speed_limiter.h"

namespace {

using namespace std::chrono_literals;
using Ns = std::chrono::nanoseconds;

// A wall clock that moves only when told: by the emulation's own work and by
// the limiter's sleeps, which are recorded.
struct FakeWall {
    Ns now{1s};
    std::vector<Ns> sleeps;
    SpeedLimiter limiter{[this] { return now; },
                         [this](Ns time) {
                             sleeps.push_back(time);
                             now += time;
                         }};
    // Runs `count` vertical interrupts that each take `work` to emulate.
    void run(int count, Ns work) {
        for (int i = 0; i < count; ++i) {
            now += work;
            limiter.paceVerticalInterrupt();
        }
    }
};

constexpr Ns NTSC_PERIOD{16666667};

TEST(SpeedLimiter, AFastRunIsHeldToTheConsoleRateBySleepsOfAtMostOnePeriod) {
    FakeWall wall;
    wall.run(1, 2ms); // the first interrupt sets the pace
    const Ns start = wall.now;
    wall.run(600, 2ms);
    // Ten seconds of guest time take ten seconds, give or take a period.
    EXPECT_NEAR(std::chrono::duration<double>(wall.now - start).count(), 10.0, 0.017);
    ASSERT_EQ(wall.sleeps.size(), 600u);
    for (const Ns sleep : wall.sleeps)
        EXPECT_LE(sleep, NTSC_PERIOD);

    // PAL cartridges run at 50 interrupts a second.
    FakeWall pal;
    pal.limiter.setRate(viRateOfCountry('P'));
    pal.run(101, 1ms);
    EXPECT_NEAR(std::chrono::duration<double>(pal.now - 1s).count(), 2.0 + 0.001, 0.021);
    EXPECT_EQ(viRateOfCountry('D'), PAL_VI_RATE);
    EXPECT_EQ(viRateOfCountry('E'), NTSC_VI_RATE);
    EXPECT_EQ(viRateOfCountry('J'), NTSC_VI_RATE);
}

TEST(SpeedLimiter, LostTimeIsNotMadeUpByRunningFast) {
    FakeWall wall;
    wall.run(10, 1ms);
    // A slow stretch: no sleeps.
    wall.sleeps.clear();
    wall.run(30, 40ms);
    EXPECT_TRUE(wall.sleeps.empty());
    // Fast again: paced at once from where the run stands, with no burst of
    // interrupts that would flood the sound output.
    wall.run(60, 1ms);
    EXPECT_GE(wall.sleeps.size(), 58u);
    for (size_t i = 2; i < wall.sleeps.size(); ++i)
        EXPECT_NEAR(double(wall.sleeps[i].count()), double((NTSC_PERIOD - 1ms).count()), 1e3);
}

TEST(SpeedLimiter, OffOrFastForwardRunsFreelyAndThePaceStartsAgainAfterwards) {
    FakeWall wall;
    wall.limiter.setEnabled(false);
    wall.run(100, 1ms);
    EXPECT_TRUE(wall.sleeps.empty());
    wall.limiter.setEnabled(true);
    wall.limiter.setFastForward(true);
    wall.run(100, 1ms);
    EXPECT_TRUE(wall.sleeps.empty());
    wall.limiter.setFastForward(false);
    const Ns released = wall.now;
    wall.run(61, 1ms);
    EXPECT_NEAR(std::chrono::duration<double>(wall.now - released).count(), 1.0 + 0.001, 0.018);
}

TEST(RunPacing, APauseHoldsTheCpuThreadUntilResumedOrStopped) {
    resetRunControl();
    emulationHalted = 0;
    for (const bool stop : {false, true}) {
        requestPause(true);
        std::thread cpu([] { paceAfterVerticalInterrupt(); });
        while (!isCpuPaused())
            std::this_thread::yield();
        if (stop)
            requestCpuStop(CpuStopReason::Requested);
        else
            requestPause(false);
        cpu.join();
        EXPECT_FALSE(isCpuPaused());
    }
    resetRunControl();
    EXPECT_FALSE(isPauseRequested());
    haltEmulation();
}

} // namespace
