// The thread-based interval timer, and the sound back end that lets buffers
// end at the pace of a clock.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "host/interval_timer.h"
#include "host/paced_sound_backend.h"
#include "support/test_sound_backend.h"

namespace {

using namespace std::chrono_literals;

template <typename Predicate> bool eventually(Predicate predicate) {
    for (int i = 0; i < 6000; ++i) {
        if (predicate()) return true;
        std::this_thread::sleep_for(5ms);
    }
    return predicate();
}

TEST(ThreadIntervalTimer, TicksUntilStoppedAndNotAfterAndMayBeStoppedFromATick) {
    ThreadIntervalTimer timer;
    std::atomic<int> ticks{0};
    ASSERT_TRUE(timer.start(1, [&] { ++ticks; }));
    EXPECT_TRUE(eventually([&] { return ticks.load() >= 3; }));
    timer.stop();
    const int atStop = ticks.load();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(ticks.load(), atStop);
    EXPECT_FALSE(timer.start(0, [] {}));

    // A stop from inside a tick does not hang.
    std::atomic<bool> stoppedInside{false};
    ThreadIntervalTimer selfStopping;
    ASSERT_TRUE(selfStopping.start(1, [&] {
        selfStopping.stop();
        stoppedInside = true;
    }));
    EXPECT_TRUE(eventually([&] { return stoppedInside.load(); }));
}

// 16-bit stereo at 1000 Hz: 400 bytes play for 0.1 s.
SoundFormat slowFormat() {
    SoundFormat f;
    f.sampleRate = 1000;
    f.averageBytesPerSecond = 4000;
    return f;
}

struct PacedFixture : ::testing::Test {
    TestSoundBackend inner;
    std::atomic<double> now{0.0};
    PacedSoundBackend paced{inner, [this] { return now.load(); }};
};

TEST_F(PacedFixture, BuffersEndWhenTheClockHasPassedTheirDuration) {
    ASSERT_TRUE(paced.open());
    std::atomic<int> endsA{0}, endsB{0};
    auto a = paced.createBuffer(slowFormat(), 400);
    auto b = paced.createBuffer(slowFormat(), 400);
    ASSERT_TRUE(a && b);
    ASSERT_EQ(a->setEndNotification([&] { ++endsA; }), 0);
    ASSERT_TRUE(a->play());
    EXPECT_EQ(inner.buffers()[0].plays, 1); // written through at once
    now = 0.09;
    paced.pace();
    EXPECT_EQ(endsA.load(), 0);
    now = 0.1;
    paced.pace();
    EXPECT_EQ(endsA.load(), 1);

    // A buffer started a clock step late continues the one before it: it
    // ends 0.1 s after the first ended, not after its own start.
    now = 0.15;
    ASSERT_EQ(b->setEndNotification([&] { ++endsB; }), 0);
    ASSERT_TRUE(b->play());
    now = 0.2;
    paced.pace();
    EXPECT_EQ(endsB.load(), 1);
    EXPECT_EQ(endsA.load(), 1);

    // After a long silence a buffer starts anew; one that asks for its end
    // late is still told.
    now = 5.0;
    auto c = paced.createBuffer(slowFormat(), 400);
    ASSERT_TRUE(c->play());
    now = 5.05;
    paced.pace();
    std::atomic<int> endsC{0};
    c->setEndNotification([&] { ++endsC; });
    paced.pace();
    EXPECT_EQ(endsC.load(), 0);
    now = 5.1;
    paced.pace();
    EXPECT_EQ(endsC.load(), 1);
    paced.close();
    EXPECT_FALSE(inner.isOpen());
}

TEST_F(PacedFixture, AStoppedOrDestroyedBufferIsNeverToldAndFailuresPassThrough) {
    inner.failOpen = true;
    EXPECT_FALSE(paced.open());
    inner.failOpen = false;
    ASSERT_TRUE(paced.open());
    std::atomic<int> ends{0};
    auto a = paced.createBuffer(slowFormat(), 400);
    auto b = paced.createBuffer(slowFormat(), 400);
    a->setEndNotification([&] { ++ends; });
    b->setEndNotification([&] { ++ends; });
    ASSERT_TRUE(a->play());
    a->stop();
    ASSERT_TRUE(b->play());
    b.reset();
    now = 10.0;
    paced.pace();
    EXPECT_EQ(ends.load(), 0);
    inner.failCreate = true;
    EXPECT_EQ(paced.createBuffer(slowFormat(), 400), nullptr);
}

} // namespace
