// SPDX-License-Identifier: MIT
#include "ClickoryCore/feel/ScrollPacer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace clickory {
namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

// Feeds `count` deltas `step` seconds apart from time 0 and returns the 1-based numbers of the
// feeds that ticked.
std::vector<int> tickingFeeds(ScrollPacer& pacer, double delta, double step, int count)
{
    std::vector<int> ticks;
    for (int i = 0; i < count; ++i) {
        if (pacer.feed(delta, step * i)) {
            ticks.push_back(i + 1);
        }
    }
    return ticks;
}

TEST(ScrollPacer, OffStyleNeverTicksAndKeepsItsState)
{
    for (double spacing : {infinity, 0.0, -5.0, std::numeric_limits<double>::quiet_NaN()}) {
        ScrollPacer pacer(spacing, 20);
        EXPECT_TRUE(tickingFeeds(pacer, 500.0, 0.016, 50).empty()) << spacing;
        EXPECT_EQ(pacer.accumulated, 0.0);
        EXPECT_EQ(pacer.lastDirection, 0);
        EXPECT_EQ(pacer.lastTime, -infinity);
        EXPECT_EQ(pacer.lastTickTime, -infinity);
        EXPECT_EQ(pacer.smoothedSpeed(), 0.0);
    }
}

TEST(ScrollPacer, FirstDeltaSetsNoSpeed)
{
    ScrollPacer pacer(28, 20);
    EXPECT_FALSE(pacer.feed(10, 0.0));
    EXPECT_EQ(pacer.smoothedSpeed(), 0.0);
    EXPECT_EQ(pacer.accumulated, 10.0);
    EXPECT_EQ(pacer.lastDirection, 1);
}

TEST(ScrollPacer, SteadyScrollRaisesTheThresholdAboveTheSpacing)
{
    // Deltas of 10 every 16 ms: 625 per second, so each tick needs 31.25 rather than 28.
    ScrollPacer pacer(28, 20);
    const std::vector<bool> expected{false, false, false, true, false, false, true, false, false, true};
    const std::vector<double> leftAfterTick{8.75, 7.5, 6.25};
    std::size_t tick = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const double now = 0.016 * static_cast<double>(i);
        EXPECT_EQ(pacer.feed(10, now), expected[i]);
        if (i >= 1) {
            EXPECT_NEAR(pacer.smoothedSpeed(), 625.0, 1e-6);
        }
        if (expected[i]) {
            EXPECT_NEAR(pacer.accumulated, leftAfterTick[tick++], 1e-6);
            EXPECT_EQ(pacer.lastTickTime, now);
        }
    }
}

TEST(ScrollPacer, SlowScrollTicksEverySpacing)
{
    // 10 every 50 ms is 200 per second: the threshold stays at the spacing of 28.
    ScrollPacer pacer(28, 20);
    EXPECT_EQ(tickingFeeds(pacer, 10, 0.05, 9), (std::vector<int>{3, 6, 9}));
    EXPECT_NEAR(pacer.accumulated, 6.0, 1e-9);  // remainders 2, 4, 6 carry into the next tick
}

TEST(ScrollPacer, PauseLongerThan180MsStartsAFreshGesture)
{
    ScrollPacer pacer(28, 20);
    pacer.feed(10, 0.0);
    pacer.feed(10, 0.016);
    ASSERT_GT(pacer.smoothedSpeed(), 0.0);
    EXPECT_FALSE(pacer.feed(10, 0.216));
    EXPECT_EQ(pacer.accumulated, 10.0);
    // Speed restarts from this delta alone: 10 over a dt clamped to 0.1 s.
    EXPECT_DOUBLE_EQ(pacer.smoothedSpeed(), 100.0);
}

TEST(ScrollPacer, PauseOfExactly180MsContinuesTheGesture)
{
    ScrollPacer pacer(28, 20);
    pacer.feed(10, 0.0);
    pacer.feed(10, 0.125);  // exactly representable times: dt 0.125 < 0.18
    EXPECT_EQ(pacer.accumulated, 20.0);
}

TEST(ScrollPacer, ReversalDiscardsTheDistanceOfTheOldDirection)
{
    ScrollPacer pacer(28, 20);
    pacer.feed(10, 0.0);
    pacer.feed(10, 0.016);
    pacer.feed(10, 0.032);
    EXPECT_FALSE(pacer.feed(-5, 0.048));
    EXPECT_EQ(pacer.accumulated, 5.0);
    EXPECT_EQ(pacer.lastDirection, -1);
    EXPECT_DOUBLE_EQ(pacer.smoothedSpeed(), 5.0 / (0.048 - 0.032));
}

TEST(ScrollPacer, LargeDeltaGivesOneTickAndKeepsTheRemainder)
{
    ScrollPacer pacer(28, 20);
    EXPECT_TRUE(pacer.feed(100, 1.0));
    EXPECT_DOUBLE_EQ(pacer.accumulated, 100.0 - 3 * 28.0);
}

TEST(ScrollPacer, TicksAreNeverCloserThanNinetyPercentOfTheRateInterval)
{
    // Deltas of 10 every millisecond: the speed estimate clamps dt to 4 ms, so distance alone
    // would tick every 12.5 ms; the minimum gap of 0.9 / 20 = 45 ms holds them back.
    ScrollPacer pacer(28, 20);
    std::vector<double> tickTimes;
    for (int i = 0; i < 500; ++i) {
        const double now = 0.001 * i;
        if (pacer.feed(10, now)) {
            tickTimes.push_back(now);
        }
    }
    ASSERT_GE(tickTimes.size(), 5u);
    for (std::size_t i = 1; i < tickTimes.size(); ++i) {
        const double gap = tickTimes[i] - tickTimes[i - 1];
        EXPECT_GE(gap, 0.045 - 1e-9);
        EXPECT_LE(gap, 0.046 + 1e-9);
    }
}

TEST(ScrollPacer, TwoDeltasAtTheSameInstantKeepTheSpeed)
{
    ScrollPacer pacer(28, 20);
    pacer.feed(10, 0.0);
    pacer.feed(10, 0.016);
    pacer.feed(4, 0.016);
    EXPECT_NEAR(pacer.smoothedSpeed(), 625.0, 1e-9);
    EXPECT_EQ(pacer.accumulated, 24.0);
}

TEST(ScrollPacer, IgnoresZeroAndNonFiniteInput)
{
    ScrollPacer pacer(28, 20);
    pacer.feed(10, 0.0);
    const ScrollPacer before = pacer;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(pacer.feed(0.0, 0.01));
    EXPECT_FALSE(pacer.feed(nan, 0.01));
    EXPECT_FALSE(pacer.feed(infinity, 0.01));
    EXPECT_FALSE(pacer.feed(10, nan));
    EXPECT_EQ(pacer.accumulated, before.accumulated);
    EXPECT_EQ(pacer.lastTime, before.lastTime);
    EXPECT_EQ(pacer.lastDirection, before.lastDirection);
    EXPECT_EQ(pacer.smoothedSpeed(), before.smoothedSpeed());
}

TEST(ScrollPacer, ResetForgetsTheGestureButKeepsItsSettings)
{
    ScrollPacer pacer(28, 20);
    tickingFeeds(pacer, 10, 0.016, 10);
    pacer.spacing = 38;
    pacer.reset();
    EXPECT_EQ(pacer.spacing, 38.0);
    EXPECT_EQ(pacer.maxTicksPerSecond, 20.0);
    EXPECT_EQ(pacer.accumulated, 0.0);
    EXPECT_EQ(pacer.lastDirection, 0);
    EXPECT_EQ(pacer.lastTime, -infinity);
    EXPECT_EQ(pacer.lastTickTime, -infinity);
    EXPECT_EQ(pacer.smoothedSpeed(), 0.0);
}

} // namespace
} // namespace clickory
