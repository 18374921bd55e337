// SPDX-License-Identifier: MIT
#include "ClickoryCore/settings/OutputKind.h"
#include "ClickoryCore/settings/OutputRule.h"
#include "ClickoryCore/settings/RippleStyle.h"

#include <gtest/gtest.h>

namespace clickory {
namespace {

TEST(OutputRule, HeadphonesOnlySilencesOnlyTheBuiltInSpeakers)
{
    struct Row
    {
        OutputKind kind;
        bool everywhere;
        bool headphonesOnly;
    };
    const Row table[] = {
        {OutputKind::builtInSpeakers, true, false},
        {OutputKind::headphones, true, true},
        {OutputKind::external, true, true},
        {OutputKind::unknown, true, true},
    };
    for (const Row& row : table) {
        EXPECT_EQ(allowsSound(row.kind, OutputRule::everywhere), row.everywhere) << rawValue(row.kind);
        EXPECT_EQ(allowsSound(row.kind, OutputRule::headphonesOnly), row.headphonesOnly) << rawValue(row.kind);
    }
}

TEST(OutputRule, RawValuesAndLabels)
{
    ASSERT_EQ(allOutputRules().size(), 2u);
    EXPECT_EQ(rawValue(OutputRule::everywhere), "everywhere");
    EXPECT_EQ(rawValue(OutputRule::headphonesOnly), "headphonesOnly");
    EXPECT_EQ(label(OutputRule::everywhere), "Everywhere");
    EXPECT_EQ(label(OutputRule::headphonesOnly), "Only on headphones and external audio");
    for (OutputRule rule : allOutputRules()) {
        EXPECT_EQ(outputRuleFromRaw(rawValue(rule)), rule);
    }
    EXPECT_FALSE(outputRuleFromRaw("HeadphonesOnly").has_value());
    EXPECT_FALSE(outputRuleFromRaw("").has_value());
}

TEST(OutputKind, RawValuesInOrder)
{
    const char* expected[] = {"builtInSpeakers", "headphones", "external", "unknown"};
    ASSERT_EQ(allOutputKinds().size(), 4u);
    for (std::size_t i = 0; i < allOutputKinds().size(); ++i) {
        EXPECT_EQ(rawValue(allOutputKinds()[i]), expected[i]);
        EXPECT_EQ(outputKindFromRaw(expected[i]), allOutputKinds()[i]);
    }
    EXPECT_FALSE(outputKindFromRaw("speakers").has_value());
}

TEST(RippleStyle, DoubleRingIsStoredAsDouble)
{
    const char* raw[] = {"ring", "double", "glow", "dot"};
    const char* labels[] = {"Ring", "Double ring", "Glow", "Dot"};
    ASSERT_EQ(allRippleStyles().size(), 4u);
    for (std::size_t i = 0; i < allRippleStyles().size(); ++i) {
        EXPECT_EQ(rawValue(allRippleStyles()[i]), raw[i]);
        EXPECT_EQ(label(allRippleStyles()[i]), labels[i]);
        EXPECT_EQ(rippleStyleFromRaw(raw[i]), allRippleStyles()[i]);
    }
    EXPECT_EQ(allRippleStyles()[1], RippleStyle::doubleRing);
    EXPECT_FALSE(rippleStyleFromRaw("doubleRing").has_value());
    EXPECT_FALSE(rippleStyleFromRaw("Ring").has_value());
}

} // namespace
} // namespace clickory
