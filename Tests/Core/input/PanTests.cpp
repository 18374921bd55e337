// SPDX-License-Identifier: MIT
#include "ClickoryCore/input/Pan.h"

#include <gtest/gtest.h>

#include <limits>

namespace clickory {
namespace {

TEST(Pan, HardestPanIsEightyFivePercentToEitherSide)
{
    EXPECT_FLOAT_EQ(Pan::value(0.0, 1.0), -0.85f);
    EXPECT_FLOAT_EQ(Pan::value(1.0, 1.0), 0.85f);
    EXPECT_FLOAT_EQ(Pan::value(0.5, 1.0), 0.0f);
}

TEST(Pan, ClampsPositionAndWidthBeforeScaling)
{
    EXPECT_FLOAT_EQ(Pan::value(1.7, 2.0), 0.85f);
    EXPECT_FLOAT_EQ(Pan::value(-3.0, 1.0), -0.85f);
    EXPECT_FLOAT_EQ(Pan::value(0.0, -1.0), 0.0f);
}

TEST(Pan, ScalesByWidth)
{
    EXPECT_FLOAT_EQ(Pan::value(0.25, 0.5), -0.2125f);
    EXPECT_EQ(Pan::value(0.0, 0.0), 0.0f);
    EXPECT_EQ(Pan::value(1.0, 0.0), 0.0f);
}

TEST(Pan, NanArgumentsPlayInTheCentre)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Pan::value(nan, 1.0), 0.0f);
    EXPECT_EQ(Pan::value(0.0, nan), 0.0f);
}

} // namespace
} // namespace clickory
