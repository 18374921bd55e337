// SPDX-License-Identifier: MIT
#include "ClickoryCore/synth/Synth.h"

#include "ClickoryCore/synth/SplitMix64.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

using clickory::SplitMix64;
using clickory::Synth;
using clickory::Variation;
using clickory::Voice;

namespace {

constexpr double rate = 48000.0;

// A voice with every component switched off; tests switch on what they need.
Voice silentVoice(double durationMs)
{
    return Voice{durationMs, 0.8f,
                 0.0f, 3200.0f, 1.4f, 2.5f,
                 0.0f, 180.0f, 0.6f, 12.0f,
                 {}, {}, {},
                 0.0f, 350.0f, 10.0f,
                 0.0f, 900.0f, 20.0f};
}

// A typical key press: every component present, two rings.
Voice keyVoice()
{
    Voice voice = silentVoice(45.0);
    voice.clickGain = 0.6f;
    voice.bodyGain = 0.7f;
    voice.ringGains = {0.25f, 0.15f};
    voice.ringFreqs = {2100.0f, 3400.0f};
    voice.ringDecaysMs = {9.0f, 6.0f};
    voice.thudGain = 0.4f;
    voice.springGain = 0.1f;
    return voice;
}

// Body, rings and spring: the same samples at the front whatever the length, because nothing in
// it draws noise and its peak is early.
Voice tonalVoice(double durationMs)
{
    Voice voice = silentVoice(durationMs);
    voice.bodyGain = 0.7f;
    voice.ringGains = {0.25f, 0.15f};
    voice.ringFreqs = {2100.0f, 3400.0f};
    voice.ringDecaysMs = {9.0f, 6.0f};
    voice.springGain = 0.3f;
    return voice;
}

// A 3 kHz spring that fades in 1 ms: its peak lies in the first few samples.
Voice shortSpring(double durationMs)
{
    Voice voice = silentVoice(durationMs);
    voice.springGain = 1.0f;
    voice.springFreq = 3000.0f;
    voice.springDecayMs = 1.0f;
    return voice;
}

Voice only(void (*enable)(Voice&))
{
    Voice voice = silentVoice(40.0);
    enable(voice);
    return voice;
}

void withClick(Voice& v) { v.clickGain = 0.6f; }
void withBody(Voice& v) { v.bodyGain = 0.7f; }
void withRing(Voice& v)
{
    v.ringGains = {0.4f};
    v.ringFreqs = {2300.0f};
    v.ringDecaysMs = {8.0f};
}
void withThud(Voice& v) { v.thudGain = 0.4f; }
void withSpring(Voice& v) { v.springGain = 0.3f; }

std::vector<float> render(const Voice& voice, std::uint64_t seed = 1, float pitch = 1.0f)
{
    return Synth::render(voice, Variation{pitch, seed}, rate);
}

bool withinOneUlp(float actual, float expected)
{
    return actual == expected || std::nextafter(expected, actual) == actual;
}

float peakBefore(const std::vector<float>& samples, std::size_t end)
{
    return Synth::peak(std::vector<float>(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(end)));
}

// The shorter render equals the longer one up to the fade, and inside the fade it is the longer
// one's sample times j / fade, counting j from 0 at the last sample.
void expectTailFade(const std::vector<float>& faded, const std::vector<float>& longer, std::size_t fade)
{
    const std::size_t count = faded.size();
    ASSERT_GE(longer.size(), count + fade);
    for (std::size_t i = 0; i + fade < count; ++i)
    {
        ASSERT_EQ(faded[i], longer[i]) << "sample " << i;
    }
    EXPECT_NE(longer[count - 1 - fade], 0.0f);
    for (std::size_t j = 0; j < fade; ++j)
    {
        const std::size_t i = count - 1 - j;
        ASSERT_EQ(faded[i], longer[i] * (static_cast<float>(j) / static_cast<float>(fade))) << "sample " << i;
    }
    EXPECT_EQ(faded.back(), 0.0f);
}


// The rendering recipe computed again in doubles, straight from its formulas, for comparison with
// the float renderer (up to the tail fade, which other tests check exactly).
std::vector<double> reference(const Voice& voice, const Variation& variation, double sr)
{
    const double twoPi = 2.0 * std::numbers::pi;
    const auto count = static_cast<std::size_t>(std::max(std::trunc(voice.durationMs / 1000.0 * sr), 16.0));
    SplitMix64 rng(variation.seed);
    const double p = std::max(static_cast<double>(variation.pitch), 0.25);
    std::vector<double> out(count, 0.0);
    auto time = [&](std::size_t i) { return static_cast<double>(i) / sr; };
    auto addNormalised = [&](std::vector<double> part, double gain) {
        double largest = 0.0;
        for (double x : part)
        {
            largest = std::max(largest, std::fabs(x));
        }
        for (std::size_t i = 0; i < count; ++i)
        {
            out[i] += gain * (largest > 1e-9 ? part[i] / largest : part[i]);
        }
    };

    if (voice.clickGain > 0)
    {
        const double f = std::min(std::max(p * voice.clickFreq, 20.0), 0.45 * sr);
        const double w = twoPi * f / sr;
        const double alpha = std::sin(w) / (2.0 * std::max(static_cast<double>(voice.clickQ), 0.1));
        const double a0 = 1.0 + alpha;
        const double tau = std::max(voice.clickDecayMs / 1000.0, 0.0003);
        std::vector<double> click(count);
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (std::size_t i = 0; i < count; ++i)
        {
            const double x = rng.signedUnit();
            const double y = (alpha * x - alpha * x2 + 2.0 * std::cos(w) * y1 - (1.0 - alpha) * y2) / a0;
            x2 = x1, x1 = x, y2 = y1, y1 = y;
            click[i] = std::exp(-time(i) / tau) * y;
        }
        addNormalised(click, voice.clickGain);
    }
    if (voice.bodyGain > 0)
    {
        const double f = p * voice.bodyFreq;
        const double tau = std::max(voice.bodyDecayMs / 1000.0, 0.002);
        std::vector<double> body(count);
        double phase = 0;
        for (std::size_t i = 0; i < count; ++i)
        {
            const double t = time(i);
            phase += twoPi * f * (1.0 + voice.bodyDropRatio * std::exp(-t / 0.012)) / sr;
            body[i] = std::min(t / 0.0004, 1.0) * std::exp(-t / tau) * std::sin(phase);
        }
        addNormalised(body, voice.bodyGain);
    }
    const std::size_t rings = std::min({voice.ringGains.size(), voice.ringFreqs.size(), voice.ringDecaysMs.size()});
    for (std::size_t k = 0; k < rings; ++k)
    {
        const double f = p * voice.ringFreqs[k];
        const double tau = std::max(voice.ringDecaysMs[k] / 1000.0, 0.002);
        const double start = twoPi * rng.unit();
        for (std::size_t i = 0; i < count; ++i)
        {
            out[i] += 0.35 * voice.ringGains[k] * std::exp(-time(i) / tau) * std::sin(start + twoPi * f * time(i));
        }
    }
    if (voice.thudGain > 0)
    {
        const double c = 1.0 - std::exp(-twoPi * p * voice.thudCutoff / sr);
        const double tau = std::max(voice.thudDecayMs / 1000.0, 0.002);
        std::vector<double> thud(count);
        double y = 0;
        for (std::size_t i = 0; i < count; ++i)
        {
            y += c * (rng.signedUnit() - y);
            thud[i] = std::exp(-time(i) / tau) * y;
        }
        addNormalised(thud, voice.thudGain);
    }
    if (voice.springGain > 0)
    {
        const double f = p * voice.springFreq;
        const double tau = std::max(voice.springDecayMs / 1000.0, 0.002);
        for (std::size_t i = 0; i < count; ++i)
        {
            const double t = time(i);
            const double tremolo = 1.0 + 0.5 * std::sin(twoPi * 95.0 * t);
            out[i] += 0.25 * voice.springGain * std::sin(twoPi * f * t) * std::exp(-t / tau) * tremolo;
        }
    }
    double largest = 0.0;
    for (double& x : out)
    {
        x = std::tanh(1.2 * x);
        largest = std::max(largest, std::fabs(x));
    }
    for (double& x : out)
    {
        x = largest > 1e-9 ? x * voice.level / largest : x;
    }
    return out;
}

} // namespace

TEST(SynthRender, MatchesTheRecipeComputedInDoubles)
{
    Voice extremes = keyVoice(); // every floor and clamp in play
    extremes.clickFreq = 40000.0f;
    extremes.clickQ = 0.0f;
    extremes.clickDecayMs = 0.0f;
    extremes.bodyDecayMs = 0.5f;
    extremes.ringDecaysMs = {1.0f, -3.0f};
    extremes.thudDecayMs = 0.0f;
    extremes.springDecayMs = 1.0f;
    Voice lowClick = keyVoice();
    lowClick.clickFreq = 5.0f;

    const std::vector<Voice> voices = {keyVoice(), tonalVoice(60.0), extremes, lowClick, only(withClick),
                                       only(withBody), only(withRing), only(withThud), only(withSpring)};
    for (std::size_t v = 0; v < voices.size(); ++v)
    {
        for (const Variation variation : {Variation{1.0f, 1}, Variation{1.7f, 99}, Variation{0.6f, 12345},
                                          Variation{0.1f, 7}})
        {
            const auto samples = Synth::render(voices[v], variation, rate);
            const auto expected = reference(voices[v], variation, rate);
            ASSERT_EQ(samples.size(), expected.size());
            const std::size_t fade = std::min(samples.size() / 4, std::size_t{144});
            double worst = 0.0;
            for (std::size_t i = 0; i + fade < samples.size(); ++i)
            {
                worst = std::max(worst, std::fabs(samples[i] - expected[i]));
            }
            EXPECT_LT(worst, 1e-3) << "voice " << v << " pitch " << variation.pitch;
        }
    }
}

TEST(SynthRender, LengthIsTheTruncatedSampleCountAndAtLeastSixteen)
{
    EXPECT_EQ(render(shortSpring(0.0)).size(), 16u);
    EXPECT_EQ(render(shortSpring(-5.0)).size(), 16u);
    EXPECT_EQ(render(tonalVoice(50.0)).size(), 2400u);
    // 36 / 1000 * 48000 is 1727.9999999999998 in doubles.
    EXPECT_EQ(render(tonalVoice(36.0)).size(), 1727u);
    EXPECT_EQ(Synth::render(tonalVoice(45.0), Variation{}, 44100.0).size(), 1984u);
    EXPECT_EQ(Synth::render(tonalVoice(1.0), Variation{}, 8000.0).size(), 16u);
}

TEST(SynthRender, TailFadeCoversThreeMillisecondsOrAQuarterOfTheSound)
{
    // 16 samples: a quarter, 4 samples.
    expectTailFade(render(shortSpring(0.0)), render(shortSpring(1.0)), 4);
    // 2400 samples: 3 ms, 144 samples.
    expectTailFade(render(tonalVoice(50.0)), render(tonalVoice(60.0)), 144);
    expectTailFade(render(tonalVoice(36.0)), render(tonalVoice(60.0)), 144);
    // 400 samples at 8 kHz: 3 ms is 24 samples.
    expectTailFade(Synth::render(tonalVoice(50.0), Variation{}, 8000.0),
                   Synth::render(tonalVoice(60.0), Variation{}, 8000.0), 24);
}

TEST(SynthRender, PeaksAtLevelBeforeTheFadeAndEndsInZero)
{
    const std::vector<Voice> voices = {keyVoice(),          tonalVoice(50.0),   shortSpring(0.0),
                                       only(withClick),     only(withBody),     only(withRing),
                                       only(withThud),      only(withSpring)};
    for (float level : {0.8f, 0.33f, 1.0f, 0.61f})
    {
        for (std::size_t v = 0; v < voices.size(); ++v)
        {
            Voice voice = voices[v];
            voice.level = level;
            for (std::uint64_t seed : {1u, 2u, 77u})
            {
                const auto samples = render(voice, seed);
                const std::size_t fade =
                    std::min(samples.size() / 4, static_cast<std::size_t>(std::trunc(rate * 0.003)));
                const float peak = peakBefore(samples, samples.size() - fade);
                EXPECT_TRUE(withinOneUlp(peak, level)) << "voice " << v << " level " << level << " peak " << peak;
                EXPECT_EQ(samples.back(), 0.0f);
                EXPECT_LE(Synth::peak(samples), peak);
            }
        }
    }
}

TEST(SynthRender, SilentVoicesRenderZeros)
{
    EXPECT_EQ(render(silentVoice(10.0)), std::vector<float>(480, 0.0f));
    Voice negative = silentVoice(10.0);
    negative.clickGain = -0.5f;
    negative.bodyGain = -1.0f;
    negative.thudGain = -0.1f;
    negative.springGain = -0.3f;
    EXPECT_EQ(render(negative), std::vector<float>(480, 0.0f));
    // Rings are summed as they are: a ring of gain 0 is silent but still present.
    Voice mutedRing = silentVoice(10.0);
    mutedRing.ringGains = {0.0f};
    mutedRing.ringFreqs = {1000.0f};
    mutedRing.ringDecaysMs = {5.0f};
    EXPECT_EQ(render(mutedRing), std::vector<float>(480, 0.0f));
}

TEST(SynthRender, SameInputsGiveTheSameSamplesAndTheSeedMovesOnlyTheNoisyParts)
{
    EXPECT_EQ(render(keyVoice(), 5), render(keyVoice(), 5));
    EXPECT_NE(render(keyVoice(), 5), render(keyVoice(), 6));

    Voice bodyAndSpring = silentVoice(40.0);
    withBody(bodyAndSpring);
    withSpring(bodyAndSpring);
    EXPECT_EQ(render(bodyAndSpring, 5), render(bodyAndSpring, 6));

    EXPECT_NE(render(only(withClick), 5), render(only(withClick), 6));
    EXPECT_NE(render(only(withRing), 5), render(only(withRing), 6));
    EXPECT_NE(render(only(withThud), 5), render(only(withThud), 6));
}

TEST(SynthRender, DrawsComeInOrderAndSkippedComponentsDrawNothing)
{
    constexpr std::uint64_t seed = 1234;
    constexpr std::uint64_t oneStep = SplitMix64::gamma; // a seed one draw further along

    // A skipped click (gain 0 or below) leaves the thud noise where it was.
    Voice thud = only(withThud);
    for (float clickGain : {0.0f, -0.4f})
    {
        Voice skippedClick = thud;
        skippedClick.clickGain = clickGain;
        EXPECT_EQ(render(skippedClick, seed), render(thud, seed));
    }

    // A muted ring still draws its phase: ring 2 of two sounds like ring 1 of one, one draw later.
    Voice oneRing = only(withRing);
    Voice mutedFirst = oneRing;
    mutedFirst.ringGains.insert(mutedFirst.ringGains.begin(), 0.0f);
    mutedFirst.ringFreqs.insert(mutedFirst.ringFreqs.begin(), 700.0f);
    mutedFirst.ringDecaysMs.insert(mutedFirst.ringDecaysMs.begin(), 4.0f);
    EXPECT_EQ(render(mutedFirst, seed), render(oneRing, seed + oneStep));
    EXPECT_NE(render(mutedFirst, seed), render(oneRing, seed));

    // The thud noise comes after the ring phases.
    Voice mutedRingThenThud = thud;
    mutedRingThenThud.ringGains = {0.0f, 0.0f};
    mutedRingThenThud.ringFreqs = {700.0f, 900.0f};
    mutedRingThenThud.ringDecaysMs = {4.0f, 4.0f};
    EXPECT_EQ(render(mutedRingThenThud, seed), render(thud, seed + 2 * oneStep));

    // Only as many rings sound as the shortest list has entries; the extras draw nothing.
    Voice ragged = mutedRingThenThud;
    ragged.ringGains = {0.0f, 0.0f, 0.0f};
    ragged.ringDecaysMs = {4.0f, 4.0f, 4.0f, 4.0f};
    EXPECT_EQ(render(ragged, seed), render(mutedRingThenThud, seed));
}

TEST(SynthRender, PitchScalesEveryFrequencyAndIsFlooredAtAQuarter)
{
    Voice low = keyVoice();
    Voice high = keyVoice();
    high.clickFreq *= 2.0f;
    high.bodyFreq *= 2.0f;
    for (float& f : high.ringFreqs)
    {
        f *= 2.0f;
    }
    high.thudCutoff *= 2.0f;
    high.springFreq *= 2.0f;
    EXPECT_EQ(render(low, 3, 2.0f), render(high, 3, 1.0f));
    EXPECT_NE(render(low, 3, 2.0f), render(low, 3, 1.0f));

    EXPECT_EQ(render(keyVoice(), 3, 0.1f), render(keyVoice(), 3, 0.25f));
    EXPECT_EQ(render(keyVoice(), 3, -2.0f), render(keyVoice(), 3, 0.25f));
    EXPECT_NE(render(keyVoice(), 3, 0.3f), render(keyVoice(), 3, 0.25f));
}

TEST(SynthRender, ClickNoiseIsCentredOnTheClickFrequency)
{
    for (float freq : {1500.0f, 6000.0f})
    {
        Voice click = silentVoice(100.0);
        click.clickGain = 1.0f;
        click.clickFreq = freq;
        click.clickQ = 6.0f;
        click.clickDecayMs = 40.0f;
        const float centre = Synth::centroid(render(click), rate, 4096);
        EXPECT_GT(centre, freq * 0.8f) << freq;
        EXPECT_LT(centre, freq * 1.25f) << freq;
    }
}

TEST(SynthRender, UnrenderableLengthsGiveAnEmptyBuffer)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(render(tonalVoice(nan)).empty());
    EXPECT_TRUE(render(tonalVoice(inf)).empty());
    EXPECT_TRUE(render(tonalVoice(-inf)).empty());
    EXPECT_TRUE(render(tonalVoice(1e12)).empty());
    for (double badRate : {nan, inf, -inf, 0.0, -48000.0, 1e-300, 1e300})
    {
        EXPECT_TRUE(Synth::render(tonalVoice(40.0), Variation{}, badRate).empty()) << badRate;
    }
}

TEST(SynthMeasure, PeakAndRms)
{
    EXPECT_EQ(Synth::peak({}), 0.0f);
    EXPECT_EQ(Synth::rms({}), 0.0f);
    EXPECT_EQ(Synth::peak({0.3f, -0.7f, 0.5f}), 0.7f);
    EXPECT_EQ(Synth::rms({-0.5f, 0.5f, -0.5f, 0.5f}), 0.5f);
    EXPECT_FLOAT_EQ(Synth::rms({3.0f, 4.0f}), 3.5355339f);

    std::vector<float> sine(4800);
    for (std::size_t i = 0; i < sine.size(); ++i)
    {
        sine[i] = static_cast<float>(std::sin(2.0 * std::numbers::pi * 100.0 * static_cast<double>(i) / rate));
    }
    EXPECT_NEAR(Synth::rms(sine), 1.0 / std::sqrt(2.0), 1e-6);
}

TEST(SynthMeasure, CentroidWeighsOddBinsByPower)
{
    constexpr int n = 1024;
    const double binWidth = rate / n; // 46.875 Hz
    auto bins = [&](double amplitude1, int bin1, double amplitude2, int bin2, std::size_t length) {
        std::vector<float> samples(length);
        for (std::size_t j = 0; j < length; ++j)
        {
            const double phase = 2.0 * std::numbers::pi * static_cast<double>(j) / n;
            samples[j] = static_cast<float>(amplitude1 * std::sin(phase * bin1) + amplitude2 * std::sin(phase * bin2));
        }
        return samples;
    };

    EXPECT_NEAR(Synth::centroid(bins(1.0, 21, 0.0, 1, n), rate, n), 21 * binWidth, 0.01 * 21 * binWidth);
    // Amplitudes 1 and 2 weigh 1 : 4 by power, so the centroid is bin 27, not bin 24.3.
    EXPECT_NEAR(Synth::centroid(bins(1.0, 11, 2.0, 31, n), rate, n), 27 * binWidth, 0.01 * 27 * binWidth);

    // Only the first `window` samples are analysed.
    const auto longer = bins(1.0, 11, 2.0, 31, 3 * n);
    std::vector<float> tail(longer.begin() + n, longer.end());
    for (float& s : tail)
    {
        s = -s * 0.25f + 0.1f;
    }
    std::vector<float> mixed(longer.begin(), longer.begin() + n);
    mixed.insert(mixed.end(), tail.begin(), tail.end());
    EXPECT_EQ(Synth::centroid(mixed, rate, n), Synth::centroid(bins(1.0, 11, 2.0, 31, n), rate, 1 << 20));
}

TEST(SynthMeasure, CentroidOfTooLittleOrSilenceIsZero)
{
    const std::vector<float> noise = render(only(withClick));
    EXPECT_EQ(Synth::centroid(std::vector<float>(noise.begin(), noise.begin() + 31), rate, 4096), 0.0f);
    EXPECT_EQ(Synth::centroid(noise, rate, 31), 0.0f);
    EXPECT_EQ(Synth::centroid(noise, rate, -5), 0.0f);
    EXPECT_EQ(Synth::centroid(std::vector<float>(512, 0.0f), rate, 512), 0.0f);
    EXPECT_GT(Synth::centroid(std::vector<float>(noise.begin(), noise.begin() + 32), rate, 4096), 0.0f);
}
