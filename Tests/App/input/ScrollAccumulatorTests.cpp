// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/ScrollAccumulator.h"

#include <gtest/gtest.h>

#include <limits>

namespace clickory {
namespace {

TEST(ScrollAccumulator, HighResolutionStepsSumToWholeNotches)
{
    ScrollAccumulator wheel;
    EXPECT_EQ(wheel.add(40, 120), 0.0);
    EXPECT_EQ(wheel.add(40, 120), 0.0);
    EXPECT_EQ(wheel.add(40, 120), 1.0);
    EXPECT_EQ(wheel.add(-120, 120), -1.0);
    EXPECT_EQ(wheel.add(-360, 120), -3.0);
    EXPECT_EQ(wheel.add(180, 120), 1.0);  // half a notch waits
    EXPECT_EQ(wheel.add(60, 120), 1.0);
}

TEST(ScrollAccumulator, AChangeOfDirectionStartsAfresh)
{
    ScrollAccumulator wheel;
    EXPECT_EQ(wheel.add(100, 120), 0.0);
    EXPECT_EQ(wheel.add(-30, 120), 0.0);  // not 70 left over
    EXPECT_EQ(wheel.add(-90, 120), -1.0);
    wheel.add(100, 120);
    wheel.reset();
    EXPECT_EQ(wheel.add(30, 120), 0.0);
}

TEST(ScrollAccumulator, IgnoresBadSteps)
{
    ScrollAccumulator wheel;
    EXPECT_EQ(wheel.add(120, 0), 0.0);
    EXPECT_EQ(wheel.add(120, -120), 0.0);
    EXPECT_EQ(wheel.add(std::numeric_limits<double>::quiet_NaN(), 120), 0.0);
    EXPECT_EQ(wheel.add(std::numeric_limits<double>::infinity(), 120), 0.0);
    EXPECT_EQ(wheel.add(120, 120), 1.0);  // and is unharmed by them
}

} // namespace
} // namespace clickory
