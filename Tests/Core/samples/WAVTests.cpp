// SPDX-License-Identifier: MIT
#include "ClickoryCore/samples/WAV.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

namespace clickory {
namespace {

std::int16_t sampleAt(const std::vector<std::uint8_t>& wav, std::size_t index)
{
    std::size_t offset = 44 + 2 * index;
    return static_cast<std::int16_t>(wav.at(offset) | (wav.at(offset + 1) << 8));
}

std::vector<std::int16_t> samplesOf(const std::vector<float>& input)
{
    auto wav = WAV::data(input, 44100);
    std::vector<std::int16_t> out;
    for (std::size_t i = 0; i < input.size(); ++i) {
        out.push_back(sampleAt(wav, i));
    }
    return out;
}

TEST(WAV, NoSamplesIsExactlyTheHeader)
{
    const std::vector<std::uint8_t> expected = {
        'R', 'I', 'F',  'F',  36, 0, 0,    0,    'W',  'A', 'V', 'E', 'f', 'm', 't', ' ', 16,  0,   0, 0, 1, 0,
        1,   0,   0x44, 0xAC, 0,  0, 0x88, 0x58, 0x01, 0,   2,   0,   16,  0,   'd', 'a', 't', 'a', 0, 0, 0, 0,
    };
    EXPECT_EQ(WAV::data({}, 44100), expected);
}

TEST(WAV, AFewSamplesWithTheirSizesAndRate)
{
    const std::vector<std::uint8_t> expected = {
        'R',  'I',  'F', 'F', 42,  0,   0,   0,   'W',  'A',  'V', 'E', 'f',  'm',  't',  ' ',
        16,   0,    0,   0,   1,   0,   1,   0,   0x80, 0xBB, 0,   0,   0x00, 0x77, 0x01, 0,
        2,    0,    16,  0,   'd', 'a', 't', 'a', 6,    0,    0,   0,   0x00, 0x00, // 0
        0xFF, 0x7F,                                                                 // 1.0 -> 32767
        0x01, 0x80,                                                                 // -1.0 -> -32767
    };
    EXPECT_EQ(WAV::data({0.0f, 1.0f, -1.0f}, 48000), expected);
}

TEST(WAV, ClampsToPlusMinusOne)
{
    EXPECT_EQ(samplesOf({1.5f, -1.5f, 1000.0f, -std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::infinity()}),
              (std::vector<std::int16_t>{32767, -32767, 32767, -32767, 32767}));
}

TEST(WAV, RoundsToNearestWithHalvesAwayFromZero)
{
    // Floats whose product with 32767 (in float) is exactly n + 0.5; even n tells rounding away
    // from zero apart from rounding to even, and 0.5 tells it apart from truncation.
    const float twoAndAHalf = std::bit_cast<float>(0x38a00140u);
    const float fourAndAHalf = std::bit_cast<float>(0x39100120u);
    const float nearTop = std::bit_cast<float>(0x3f7fff00u);
    ASSERT_EQ(twoAndAHalf * 32767.0f, 2.5f);
    ASSERT_EQ(fourAndAHalf * 32767.0f, 4.5f);
    ASSERT_EQ(nearTop * 32767.0f, 32766.5f);
    EXPECT_EQ(samplesOf({0.5f, -0.5f, twoAndAHalf, -twoAndAHalf, fourAndAHalf, -fourAndAHalf, nearTop}),
              (std::vector<std::int16_t>{16384, -16384, 3, -3, 5, -5, 32767}));
    // Not halves: 0.25 * 32767 = 8191.75, 0.1 * 32767 = 3276.7...
    EXPECT_EQ(samplesOf({0.25f, -0.25f, 0.1f, 1.0f / 32767.0f * 0.4f}),
              (std::vector<std::int16_t>{8192, -8192, 3277, 0}));
}

TEST(WAV, ANaNSampleIsSilence)
{
    EXPECT_EQ(samplesOf({std::numeric_limits<float>::quiet_NaN(), 0.5f}), (std::vector<std::int16_t>{0, 16384}));
}

TEST(WAV, ARateWhoseByteRateCannotBeWrittenGivesNoFile)
{
    EXPECT_TRUE(WAV::data({0.0f}, WAV::maxSampleRate + 1).empty());
    auto top = WAV::data({}, WAV::maxSampleRate);
    ASSERT_EQ(top.size(), 44u);
    EXPECT_EQ(top[31], 0xFF); // byte rate 0xFFFFFFFE
    EXPECT_EQ(top[28], 0xFE);
}

} // namespace
} // namespace clickory
