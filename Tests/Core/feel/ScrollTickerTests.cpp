// SPDX-License-Identifier: MIT
#include "ClickoryCore/feel/ScrollTicker.h"

#include <gtest/gtest.h>

#include <limits>

namespace clickory {
namespace {

TEST(ScrollTicker, LimitCutsTicksButConsumesTheirDistance)
{
    ScrollTicker ticker(10);
    EXPECT_EQ(ticker.feed(35, 2), 2);
    EXPECT_DOUBLE_EQ(ticker.accumulated, 5.0);
}

TEST(ScrollTicker, ReversalStartsOverFromTheNewDelta)
{
    ScrollTicker ticker(10);
    ticker.feed(35, 2);
    EXPECT_EQ(ticker.feed(-3, 2), 0);
    EXPECT_DOUBLE_EQ(ticker.accumulated, 3.0);
    EXPECT_EQ(ticker.lastDirection, -1);
}

TEST(ScrollTicker, GathersSmallDeltasIntoWholeTicks)
{
    ScrollTicker ticker(10);
    EXPECT_EQ(ticker.feed(4, 5), 0);
    EXPECT_EQ(ticker.feed(4, 5), 0);
    EXPECT_EQ(ticker.feed(4, 5), 1);
    EXPECT_DOUBLE_EQ(ticker.accumulated, 2.0);
    EXPECT_EQ(ticker.feed(28, 5), 3);
    EXPECT_DOUBLE_EQ(ticker.accumulated, 0.0);
}

TEST(ScrollTicker, IgnoresZeroNonFiniteAndOffSpacing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    ScrollTicker ticker(10);
    ticker.feed(5, 3);
    EXPECT_EQ(ticker.feed(0, 3), 0);
    EXPECT_EQ(ticker.feed(nan, 3), 0);
    EXPECT_EQ(ticker.feed(-infinity, 3), 0);
    EXPECT_DOUBLE_EQ(ticker.accumulated, 5.0);
    EXPECT_EQ(ticker.lastDirection, 1);

    for (double spacing : {infinity, 0.0, -1.0, nan}) {
        ScrollTicker off(spacing);
        EXPECT_EQ(off.feed(1000, 3), 0);
        EXPECT_EQ(off.accumulated, 0.0);
    }
}

TEST(ScrollTicker, NegativeLimitPlaysNothingButStillConsumes)
{
    ScrollTicker ticker(10);
    EXPECT_EQ(ticker.feed(25, -1), 0);
    EXPECT_DOUBLE_EQ(ticker.accumulated, 5.0);
}

TEST(ScrollTicker, HugeDeltaDoesNotOverflowTheCount)
{
    ScrollTicker ticker(1e-300);
    EXPECT_EQ(ticker.feed(1e300, 4), 4);
    EXPECT_GE(ticker.accumulated, 0.0);
}

TEST(ScrollTicker, ResetForgetsDistanceAndDirection)
{
    ScrollTicker ticker(10);
    ticker.feed(-7, 1);
    ticker.reset();
    EXPECT_EQ(ticker.accumulated, 0.0);
    EXPECT_EQ(ticker.lastDirection, 0);
    EXPECT_EQ(ticker.spacing, 10.0);
}

} // namespace
} // namespace clickory
