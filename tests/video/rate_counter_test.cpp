#include <gtest/gtest.h>

#include <atomic>

#include "support/test_machine.h"
#include "video/rate_counter.h"

namespace {

std::atomic<uint32_t> now{0};
uint32_t fakeTicks() {
    return now.load();
}

class RateCounterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setTickSource(&fakeTicks);
        cpuRate.reset();
        gfxRate.reset();
    }
    void TearDown() override {
        setTickSource(nullptr);
        cpuRate.reset();
        gfxRate.reset();
    }
    ScopedRecordingSink sink;
};

TEST_F(RateCounterTest, WindowsCloseAtFiveHundredMilliseconds) {
    RateCounter counter;
    now = 10000;
    counter.countEvent(); // opens the first window, no figure
    EXPECT_EQ(counter.rate.load(), 0.0f);
    EXPECT_EQ(counter.windowStart, 10000u);

    now = 10499;
    counter.countEvent();
    EXPECT_EQ(counter.rate.load(), 0.0f);
    EXPECT_EQ(counter.windowCount, 1u);

    now = 10500; // closes the window: two events in half a second
    counter.countEvent();
    EXPECT_FLOAT_EQ(counter.rate.load(), 4.0f);
    EXPECT_EQ(counter.windowCount, 0u);
    EXPECT_EQ(counter.windowStart, 10500u);

    // Without events the figure stays.
    now = 20000;
    EXPECT_FLOAT_EQ(counter.rate.load(), 4.0f);

    // The tick count wraps around: one event in a second.
    now = 0xFFFFFF00;
    counter.countEvent();
    now = 0xFFFFFF00 + 1000; // wraps to 744
    counter.countEvent();
    EXPECT_FLOAT_EQ(counter.rate.load(), 1.0f);
}

TEST_F(RateCounterTest, EvenlySpreadEventsGiveTheirRate) {
    now = 5000;
    cpuRate.countEvent();
    updateSpeedDisplay();
    EXPECT_EQ(sink->statusPart(0), "CPU: N/A");
    EXPECT_EQ(sink->statusPart(1), "GFX: N/A");

    // 60 events over one second, the last one closing the window.
    for (int i = 1; i <= 60; ++i) {
        now = 5000 + uint32_t(i * 1000 / 60);
        cpuRate.countEvent();
    }
    updateSpeedDisplay();
    EXPECT_EQ(sink->statusPart(0), "CPU: 60.0");
    EXPECT_EQ(sink->statusPart(1), "GFX: N/A");
}

} // namespace
