// SPDX-License-Identifier: MIT
#include "ClickoryCore/feel/HapticGate.h"
#include "ClickoryCore/feel/HapticPattern.h"

#include <gtest/gtest.h>

#include <limits>

namespace clickory {
namespace {

TEST(HapticGate, SpacesTapsAtLeastTheMinimumIntervalApart)
{
    HapticGate gate(0.04);
    EXPECT_TRUE(gate.allow(0.0));
    EXPECT_FALSE(gate.allow(0.03));
    EXPECT_TRUE(gate.allow(0.04));
    EXPECT_EQ(gate.last, 0.04);
}

TEST(HapticGate, RefusedTapDoesNotPushTheWindowForward)
{
    HapticGate gate(0.04);
    gate.allow(1.0);
    EXPECT_FALSE(gate.allow(1.02));
    EXPECT_FALSE(gate.allow(1.035));
    EXPECT_EQ(gate.last, 1.0);
    EXPECT_TRUE(gate.allow(1.045));
}

TEST(HapticGate, FirstTapPassesAtAnyTime)
{
    HapticGate gate(0.04);
    EXPECT_EQ(gate.last, -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(gate.allow(-1000.0));
}

TEST(HapticGate, RefusesANanTime)
{
    HapticGate gate(0.04);
    EXPECT_FALSE(gate.allow(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_TRUE(gate.allow(0.0));
}

TEST(HapticPattern, CasesCarryRawValuesLabelsAndPlatformNumbers)
{
    const auto all = allHapticPatterns();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(rawValue(all[0]), "generic");
    EXPECT_EQ(rawValue(all[1]), "alignment");
    EXPECT_EQ(rawValue(all[2]), "levelChange");
    EXPECT_EQ(label(HapticPattern::generic), "Light");
    EXPECT_EQ(label(HapticPattern::alignment), "Snap");
    EXPECT_EQ(label(HapticPattern::levelChange), "Step");
    EXPECT_EQ(patternNumber(HapticPattern::generic), 0);
    EXPECT_EQ(patternNumber(HapticPattern::alignment), 1);
    EXPECT_EQ(patternNumber(HapticPattern::levelChange), 2);
}

TEST(HapticPattern, DecodesOnlyItsRawValues)
{
    for (HapticPattern pattern : allHapticPatterns()) {
        EXPECT_EQ(hapticPatternFromRaw(rawValue(pattern)), pattern);
    }
    EXPECT_EQ(hapticPatternFromRaw("Snap"), std::nullopt);
    EXPECT_EQ(hapticPatternFromRaw(""), std::nullopt);
    EXPECT_EQ(hapticPatternFromRaw("Generic"), std::nullopt);
}

} // namespace
} // namespace clickory
