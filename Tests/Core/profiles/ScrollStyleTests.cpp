// SPDX-License-Identifier: MIT
#include "ClickoryCore/profiles/ScrollStyle.h"

#include <gtest/gtest.h>

#include <cmath>

namespace clickory {
namespace {

struct Row
{
    ScrollStyle style;
    std::string_view raw;
    std::string_view label;
    std::optional<std::string_view> set;
    double spacing;
};

TEST(ScrollStyleTests, rawValuesLabelsSetsAndSpacingsInOrder)
{
    const std::vector<Row> table = {
        {ScrollStyle::off, "off", "Off", std::nullopt, INFINITY},
        {ScrollStyle::softTick, "softTick", "Soft tick", std::nullopt, 28},
        {ScrollStyle::detent, "detent", "Detent", std::nullopt, 38},
        {ScrollStyle::ratchet, "ratchet", "Ratchet", std::nullopt, 22},
        {ScrollStyle::rubber, "rubber", "Rubber wheel", std::nullopt, 34},
        {ScrollStyle::pebble, "pebble", "Pebble", std::nullopt, 30},
        {ScrollStyle::brush, "brush", "Soft brush", "brush", 18},
        {ScrollStyle::pencil, "pencil", "Pencil on paper", "pencil", 20},
        {ScrollStyle::sand, "sand", "Salt", "sand", 16},
        {ScrollStyle::rice, "rice", "Rice", "rice", 22},
    };
    ASSERT_EQ(table.size(), allScrollStyles().size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        const Row& row = table[i];
        EXPECT_EQ(allScrollStyles()[i], row.style);
        EXPECT_EQ(rawValue(row.style), row.raw);
        EXPECT_EQ(scrollStyleFromRaw(row.raw), row.style);
        EXPECT_EQ(label(row.style), row.label);
        EXPECT_EQ(recordedSetID(row.style), row.set) << row.raw;
        EXPECT_EQ(trackpadSpacing(row.style), row.spacing) << row.raw;
    }
}

TEST(ScrollStyleTests, labelsAreNotRawValues)
{
    EXPECT_EQ(scrollStyleFromRaw("sand"), ScrollStyle::sand);
    EXPECT_FALSE(scrollStyleFromRaw("Salt").has_value());
    EXPECT_FALSE(scrollStyleFromRaw("Soft tick").has_value());
    EXPECT_FALSE(scrollStyleFromRaw("").has_value());
    EXPECT_FALSE(scrollStyleFromRaw("SAND").has_value());
}

TEST(ScrollStyleTests, offHasNoVoiceAndNeverTicks)
{
    EXPECT_FALSE(voice(ScrollStyle::off).has_value());
    EXPECT_TRUE(std::isinf(trackpadSpacing(ScrollStyle::off)));
    EXPECT_GT(trackpadSpacing(ScrollStyle::off), 0.0);
}

TEST(ScrollStyleTests, recordedStylesFallBackToTheSoftTickVoice)
{
    const std::optional<Voice> soft = voice(ScrollStyle::softTick);
    ASSERT_TRUE(soft.has_value());
    for (ScrollStyle style : {ScrollStyle::brush, ScrollStyle::pencil, ScrollStyle::sand, ScrollStyle::rice}) {
        EXPECT_EQ(voice(style), soft) << rawValue(style);
    }
    // The synthesized styles each have a voice of their own.
    for (ScrollStyle a : {ScrollStyle::softTick, ScrollStyle::detent, ScrollStyle::ratchet, ScrollStyle::rubber,
                          ScrollStyle::pebble}) {
        for (ScrollStyle b : {ScrollStyle::softTick, ScrollStyle::detent, ScrollStyle::ratchet, ScrollStyle::rubber,
                              ScrollStyle::pebble}) {
            EXPECT_EQ(a == b, voice(a) == voice(b)) << rawValue(a) << " " << rawValue(b);
        }
    }
}

TEST(ScrollStyleTests, spotChecksOfTheTickVoices)
{
    const Voice soft = *voice(ScrollStyle::softTick);
    EXPECT_EQ(soft.durationMs, 30.0);
    EXPECT_EQ(soft.level, 0.35f);
    EXPECT_EQ(soft.clickFreq, 2600.0f);
    EXPECT_EQ(soft.bodyDropRatio, 0.1f);
    EXPECT_TRUE(soft.ringGains.empty());

    const Voice detent = *voice(ScrollStyle::detent);
    EXPECT_EQ(detent.ringGains, (std::vector<float>{0.3f}));
    EXPECT_EQ(detent.ringFreqs, (std::vector<float>{1800}));
    EXPECT_EQ(detent.ringDecaysMs, (std::vector<float>{10}));
    EXPECT_EQ(detent.bodyDropRatio, 0.15f);

    const Voice ratchet = *voice(ScrollStyle::ratchet);
    EXPECT_EQ(ratchet.clickQ, 2.5f);
    EXPECT_EQ(ratchet.springGain, 0.6f);
    EXPECT_EQ(ratchet.springFreq, 6200.0f);
    EXPECT_EQ(ratchet.springDecayMs, 12.0f);

    const Voice rubber = *voice(ScrollStyle::rubber);
    EXPECT_EQ(rubber.thudGain, 0.7f);
    EXPECT_EQ(rubber.thudCutoff, 600.0f);
    EXPECT_EQ(rubber.bodyFreq, 280.0f);

    const Voice pebble = *voice(ScrollStyle::pebble);
    EXPECT_EQ(pebble.bodyFreq, 950.0f);
    EXPECT_EQ(pebble.bodyDropRatio, 0.05f);
    EXPECT_EQ(pebble.ringFreqs, (std::vector<float>{2100}));
}

} // namespace
} // namespace clickory
