// SPDX-License-Identifier: MIT
#include "ClickoryCore/synth/Voice.h"

#include <gtest/gtest.h>

using clickory::Voice;

namespace {

// Every field distinct, so that a factor applied to the wrong field shows. The duration is not a
// round number, so that a float factor on it would be told apart from a double one.
Voice source()
{
    return Voice{
        47.3,                // durationMs
        0.61f,               // level
        0.72f,               // clickGain
        3100.0f,             // clickFreq
        1.7f,                // clickQ
        9.5f,                // clickDecayMs
        0.44f,               // bodyGain
        210.0f,              // bodyFreq
        0.37f,               // bodyDropRatio
        26.0f,               // bodyDecayMs
        {0.3f, 0.2f},        // ringGains
        {1800.0f, 2650.0f},  // ringFreqs
        {21.0f, 7.0f},       // ringDecaysMs
        0.33f,               // thudGain
        420.0f,              // thudCutoff
        15.0f,               // thudDecayMs
        0.12f,               // springGain
        530.0f,              // springFreq
        30.0f,               // springDecayMs
    };
}

void expectFields(const Voice& actual, const Voice& expected)
{
    EXPECT_EQ(actual.durationMs, expected.durationMs);
    EXPECT_EQ(actual.level, expected.level);
    EXPECT_EQ(actual.clickGain, expected.clickGain);
    EXPECT_EQ(actual.clickFreq, expected.clickFreq);
    EXPECT_EQ(actual.clickQ, expected.clickQ);
    EXPECT_EQ(actual.clickDecayMs, expected.clickDecayMs);
    EXPECT_EQ(actual.bodyGain, expected.bodyGain);
    EXPECT_EQ(actual.bodyFreq, expected.bodyFreq);
    EXPECT_EQ(actual.bodyDropRatio, expected.bodyDropRatio);
    EXPECT_EQ(actual.bodyDecayMs, expected.bodyDecayMs);
    EXPECT_EQ(actual.ringGains, expected.ringGains);
    EXPECT_EQ(actual.ringFreqs, expected.ringFreqs);
    EXPECT_EQ(actual.ringDecaysMs, expected.ringDecaysMs);
    EXPECT_EQ(actual.thudGain, expected.thudGain);
    EXPECT_EQ(actual.thudCutoff, expected.thudCutoff);
    EXPECT_EQ(actual.thudDecayMs, expected.thudDecayMs);
    EXPECT_EQ(actual.springGain, expected.springGain);
    EXPECT_EQ(actual.springFreq, expected.springFreq);
    EXPECT_EQ(actual.springDecayMs, expected.springDecayMs);
    EXPECT_EQ(actual, expected);
}

Voice withoutRings(Voice voice)
{
    voice.ringGains.clear();
    voice.ringFreqs.clear();
    voice.ringDecaysMs.clear();
    return voice;
}

} // namespace

TEST(VoiceDerivation, ScaledRepitchesEveryFrequencyAndScalesTheLevel)
{
    const Voice original = source();
    const Voice derived = original.scaled(1.25f, 0.8f);
    expectFields(derived, Voice{
        47.3, 0.61f * 0.8f,
        0.72f, 3100.0f * 1.25f, 1.7f, 9.5f,
        0.44f, 210.0f * 1.25f, 0.37f, 26.0f,
        {0.3f, 0.2f}, {1800.0f * 1.25f, 2650.0f * 1.25f}, {21.0f, 7.0f},
        0.33f, 420.0f * 1.25f, 15.0f,
        0.12f, 530.0f * 1.25f, 30.0f,
    });
    EXPECT_EQ(original, source());
}

TEST(VoiceDerivation, ReleasedIsBrighterShorterAndQuieterWithFloors)
{
    const Voice derived = source().released(0.7f);
    expectFields(derived, Voice{
        47.3 * 0.6, 0.61f * 0.7f,
        0.72f * 0.8f, 3100.0f * 1.18f, 1.7f, 9.5f * 0.7f,
        0.44f * 0.55f, 210.0f * 1.22f, 0.37f, 26.0f * 0.55f,
        {0.3f * 0.5f, 0.2f * 0.5f}, {1800.0f * 1.08f, 2650.0f * 1.08f}, {21.0f * 0.6f, 6.0f},
        0.33f * 0.5f, 420.0f, 15.0f * 0.6f,
        0.12f * 0.9f, 530.0f, 30.0f * 0.7f,
    });
    EXPECT_NE(derived.durationMs, 47.3 * static_cast<double>(0.6f));
}

TEST(VoiceDerivation, StabilizedIsLongerAndHeavier)
{
    const Voice derived = source().stabilized(0.9f, 1.35, 1.1f);
    expectFields(derived, Voice{
        47.3 * 1.35, 0.61f * 1.1f,
        0.72f, 3100.0f * 0.85f, 1.7f, 9.5f,
        0.44f, 210.0f * 0.9f, 0.37f, 30.0f,  // 26 * 1.3 is capped at 30
        {0.3f, 0.2f}, {1800.0f * 0.9f, 2650.0f * 0.9f}, {21.0f * 1.3f, 7.0f * 1.3f},
        0.33f * 1.3f, 420.0f * 0.8f, 15.0f,
        0.12f * 1.4f, 530.0f * 0.9f, 30.0f,
    });
}

TEST(VoiceDerivation, TickIsShortLightAndLosesTheSpring)
{
    const Voice derived = source().tick(1.5f, 0.4f);
    expectFields(derived, Voice{
        47.3 * 0.4, 0.61f * 0.4f,
        0.72f, 3100.0f * 1.5f, 1.7f, 9.5f,
        0.44f, 210.0f * 1.5f * 1.4f, 0.37f, 26.0f * 0.4f,
        {0.3f * 0.3f, 0.2f * 0.3f}, {1800.0f * 1.5f, 2650.0f * 1.5f}, {21.0f * 0.4f, 5.0f},
        0.33f * 0.4f, 420.0f, 15.0f,
        0.0f, 530.0f, 30.0f,
    });
    EXPECT_NE(derived.durationMs, 47.3 * static_cast<double>(0.4f));
}

TEST(VoiceDerivation, ClampsAndFloors)
{
    Voice loud = source();
    loud.level = 0.8f;
    EXPECT_EQ(loud.scaled(1.0f, 1.5f).level, 0.95f);
    EXPECT_EQ(loud.stabilized(1.0f, 1.0, 1.5f).level, 0.95f);
    EXPECT_EQ(loud.released(1.5f).level, 0.8f * 1.5f);
    EXPECT_EQ(loud.tick(1.0f, 1.5f).level, 0.8f * 1.5f);

    Voice brief = source();
    brief.durationMs = 30.0;
    brief.clickDecayMs = 1.0f;
    brief.bodyDecayMs = 10.0f;
    brief.thudDecayMs = 5.0f;
    brief.springDecayMs = 5.0f;
    const Voice released = brief.released(1.0f);
    EXPECT_EQ(released.durationMs, 25.0);
    EXPECT_EQ(released.clickDecayMs, 1.5f);
    EXPECT_EQ(released.bodyDecayMs, 8.0f);
    EXPECT_EQ(released.thudDecayMs, 6.0f);
    EXPECT_EQ(released.springDecayMs, 8.0f);

    EXPECT_EQ(brief.tick(1.0f, 1.0f).bodyDecayMs, 6.0f);
    Voice longVoice = source();
    longVoice.durationMs = 200.0;
    EXPECT_EQ(longVoice.tick(1.0f, 1.0f).durationMs, 45.0);
    // Stabilized ring decays are not clamped.
    longVoice.ringDecaysMs = {400.0f};
    EXPECT_EQ(longVoice.stabilized(1.0f, 1.0, 1.0f).ringDecaysMs, std::vector<float>{400.0f * 1.3f});

    Voice silentSpring = source();
    silentSpring.springGain = -0.2f;
    EXPECT_EQ(source().tick(1.0f, 1.0f).springGain, 0.0f);
    EXPECT_EQ(silentSpring.tick(1.0f, 1.0f).springGain, 0.0f);
}

TEST(VoiceDerivation, EmptyRingListsStayEmpty)
{
    const Voice bare = withoutRings(source());
    for (const Voice& derived : {bare.scaled(2.0f, 0.5f), bare.released(0.5f), bare.stabilized(0.8f, 1.2, 1.0f),
                                 bare.tick(1.3f, 0.5f)})
    {
        EXPECT_TRUE(derived.ringGains.empty());
        EXPECT_TRUE(derived.ringFreqs.empty());
        EXPECT_TRUE(derived.ringDecaysMs.empty());
    }
}
