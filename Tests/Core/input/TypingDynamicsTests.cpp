// SPDX-License-Identifier: MIT
#include "ClickoryCore/input/TypingDynamics.h"

#include <gtest/gtest.h>

#include <limits>

namespace clickory {
namespace {

TEST(TypingDynamics, FirstPressAfterAPauseIsOnePressPerSecond)
{
    TypingDynamics dynamics(1.0);
    EXPECT_DOUBLE_EQ(dynamics.press(100.0), 1.0);
    EXPECT_DOUBLE_EQ(dynamics.press(102.0), 1.0);
}

TEST(TypingDynamics, StampExactlyOneWindowOldStillCounts)
{
    TypingDynamics dynamics(1.0);
    EXPECT_DOUBLE_EQ(dynamics.press(0.0), 1.0);
    EXPECT_DOUBLE_EQ(dynamics.press(0.5), 2.0);
    EXPECT_DOUBLE_EQ(dynamics.press(1.0), 3.0);
}

TEST(TypingDynamics, StampsOlderThanTheWindowAreDroppedInOrder)
{
    TypingDynamics dynamics(1.0);
    dynamics.press(0.0);
    dynamics.press(0.5);
    dynamics.press(1.0);
    EXPECT_DOUBLE_EQ(dynamics.press(1.01), 3.0);
    EXPECT_EQ(dynamics.stamps(), (std::vector<double>{0.5, 1.0, 1.01}));
}

TEST(TypingDynamics, RateIsPressesPerSecondOfTheWindow)
{
    TypingDynamics dynamics(2.0);
    dynamics.press(0.0);
    dynamics.press(1.0);
    EXPECT_DOUBLE_EQ(dynamics.press(2.0), 1.5);
}

TEST(TypingDynamics, DoesNotAllocatePerPressOnceWarm)
{
    TypingDynamics dynamics(1.0);
    double now = 0.0;
    for (int i = 0; i < 40; ++i) {
        dynamics.press(now += 0.05);
    }
    const auto capacity = dynamics.stamps().capacity();
    const double* storage = dynamics.stamps().data();
    for (int i = 0; i < 10000; ++i) {
        // Bursts of very fast typing (25 presses per second) and pauses.
        now += (i % 50 == 0) ? 3.0 : 0.04;
        dynamics.press(now);
    }
    EXPECT_EQ(dynamics.stamps().capacity(), capacity);
    EXPECT_EQ(dynamics.stamps().data(), storage);
    EXPECT_LE(dynamics.stamps().size(), 26u);
}

TEST(TypingDynamics, NonFiniteTimeIsNotRecorded)
{
    TypingDynamics dynamics(1.0);
    dynamics.press(5.0);
    EXPECT_DOUBLE_EQ(dynamics.press(std::numeric_limits<double>::quiet_NaN()), 1.0);
    EXPECT_EQ(dynamics.stamps().size(), 1u);
    EXPECT_DOUBLE_EQ(dynamics.press(5.5), 2.0);
}

TEST(TypingDynamics, GainIsUnchangedUpToFourPressesPerSecond)
{
    EXPECT_DOUBLE_EQ(TypingDynamics::gain(0.0, 1.0), 1.0);
    EXPECT_DOUBLE_EQ(TypingDynamics::gain(4.0, 1.0), 1.0);
}

TEST(TypingDynamics, GainEasesDownToFiftyFivePercentAtTwelvePressesPerSecond)
{
    EXPECT_DOUBLE_EQ(TypingDynamics::gain(8.0, 1.0), 0.775);
    EXPECT_DOUBLE_EQ(TypingDynamics::gain(12.0, 1.0), 0.55);
    EXPECT_DOUBLE_EQ(TypingDynamics::gain(30.0, 0.5), 0.775);
    // Smoothstep at a quarter of the way: t = 0.25, s = 0.15625.
    EXPECT_DOUBLE_EQ(TypingDynamics::gain(6.0, 1.0), 1.0 - 0.45 * 0.15625);
}

TEST(TypingDynamics, GainClampsTheAmount)
{
    EXPECT_DOUBLE_EQ(TypingDynamics::gain(20.0, -1.0), 1.0);
    EXPECT_DOUBLE_EQ(TypingDynamics::gain(20.0, 3.0), 0.55);
    EXPECT_DOUBLE_EQ(TypingDynamics::gain(20.0, std::numeric_limits<double>::quiet_NaN()), 1.0);
}

} // namespace
} // namespace clickory
