// SPDX-License-Identifier: MIT
#include "ClickoryCore/cues/CueSynth.h"
#include "ClickoryCore/synth/SplitMix64.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace clickory {
namespace {

float peakOf(const std::vector<float>& samples)
{
    float peak = 0.0f;
    for (float s : samples) {
        peak = std::max(peak, std::fabs(s));
    }
    return peak;
}

// Within one unit in the last place of 0.8f: scaling by 0.8 / peak in float may land one ulp off.
void expectPeaksAtPointEight(const std::vector<float>& samples, const std::string& what)
{
    const float peak = peakOf(samples);
    EXPECT_GE(peak, std::nextafter(0.8f, 0.0f)) << what;
    EXPECT_LE(peak, std::nextafter(0.8f, 1.0f)) << what;
}

// Sign changes per second between two sample indices, halved: the frequency of a clean tone.
double frequencyBetween(const std::vector<float>& samples, double sampleRate, std::size_t from, std::size_t to)
{
    int crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        if ((samples[i - 1] < 0.0f) != (samples[i] < 0.0f)) {
            ++crossings;
        }
    }
    return crossings / 2.0 / (static_cast<double>(to - from) / sampleRate);
}

// Saturation, levelling to a 0.8 peak and the 10 ms tail fade, in doubles.
std::vector<double> finishReference(std::vector<double> out, double sampleRate)
{
    const std::size_t n = out.size();
    double peak = 0.0;
    for (double& s : out) {
        s = std::tanh(1.3 * s);
        peak = std::max(peak, std::fabs(s));
    }
    for (double& s : out) {
        s *= 0.8 / peak;
    }
    const std::size_t m = std::min(n / 4, static_cast<std::size_t>(sampleRate * 0.01));
    for (std::size_t j = 0; j < m; ++j) {
        out[n - 1 - j] *= static_cast<double>(j) / static_cast<double>(m);
    }
    return out;
}

// An independent double-precision rendering of a tonal cue from its published note table.
struct RefNote
{
    double freq, start, decay, gain;
    std::vector<std::pair<double, double>> partials;
};

std::vector<double> referenceTonal(const std::vector<RefNote>& notes, double length, double sampleRate)
{
    const auto n = static_cast<std::size_t>(static_cast<float>(length) * static_cast<float>(sampleRate));
    std::vector<double> out(n, 0.0);
    for (const RefNote& note : notes) {
        const auto s0 = static_cast<std::size_t>(static_cast<float>(note.start) * static_cast<float>(sampleRate));
        for (std::size_t s = s0; s < n; ++s) {
            const double t = static_cast<double>(s - s0) / sampleRate;
            double sum = 0.0;
            for (const auto& [r, a] : note.partials) {
                sum += a * std::sin(2.0 * M_PI * note.freq * r * t) * std::exp(-0.18 * r * t / note.decay);
            }
            out[s] += note.gain * std::exp(-t / note.decay) * std::min(t / 0.002, 1.0) * sum * 0.4;
        }
    }
    return finishReference(std::move(out), sampleRate);
}

// An independent double-precision rendering of the noise styles; the draws are the generator's.
std::vector<double> referenceNoise(CueStyle style, double sampleRate)
{
    const auto sr = static_cast<float>(sampleRate);
    SplitMix64 random(77);
    auto draw = [&random] { return static_cast<double>(random.signedUnit()); };
    std::vector<double> out;
    if (style == CueStyle::tick) {
        out.assign(static_cast<std::size_t>(0.05f * sr), 0.0);
        double y = 0.0;
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double a = draw();
            const double b = draw();
            y += (a - y) * 0.45;
            out[i] = std::exp(-(i / sampleRate) / 0.006) * (b - y) * 0.6;
        }
    } else if (style == CueStyle::shutter) {
        out.assign(static_cast<std::size_t>(0.16f * sr), 0.0);
        const auto burst = static_cast<std::size_t>(sr * 0.05f);
        for (std::size_t start : {std::size_t{0}, static_cast<std::size_t>(0.07f * sr)}) {
            double y = 0.0;
            for (std::size_t j = 0; j < burst && start + j < out.size(); ++j) {
                const double a = draw();
                const double b = draw();
                y += (a - y) * 0.3;
                out[start + j] += std::exp(-(j / sampleRate) / 0.008) * (b * 0.5 + y) * 0.5;
            }
        }
    } else if (style == CueStyle::zip) {
        out.assign(static_cast<std::size_t>(0.16f * sr), 0.0);
        double y = 0.0;
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double p = i / sampleRate / 0.16;
            y += (p * 0.6 + 0.15) * (draw() - y);
            out[i] = std::sin(std::min(p * 1.15, 1.0) * M_PI) * y * 0.7;
        }
    }
    return finishReference(std::move(out), sampleRate);
}

double maxDifference(const std::vector<float>& actual, const std::vector<double>& expected)
{
    double worst = std::numeric_limits<double>::infinity();
    if (actual.size() == expected.size()) {
        worst = 0.0;
        for (std::size_t i = 0; i < actual.size(); ++i) {
            worst = std::max(worst, std::fabs(static_cast<double>(actual[i]) - expected[i]));
        }
    }
    return worst;
}

TEST(CueSynth, SampleCountsAreTakenInSinglePrecision)
{
    // In doubles 0.7f * 48000 truncates to 33599 and 0.12f * 48000 to 5759; the 32-bit product
    // rounds to the whole number first.
    struct Row
    {
        CueStyle style;
        std::size_t at48k;
        std::size_t at44k;
    };
    const Row rows[] = {
        {CueStyle::glass, 24000, 22050},   {CueStyle::chime, 24000, 22050},   {CueStyle::marimba, 13440, 12348},
        {CueStyle::bell, 33600, 30870},    {CueStyle::sparkle, 24000, 22050}, {CueStyle::pop, 5760, 5292},
        {CueStyle::tick, 2400, 2205},      {CueStyle::shutter, 7680, 7056},   {CueStyle::glideUp, 9600, 8820},
        {CueStyle::glideDown, 9600, 8820}, {CueStyle::zip, 7680, 7056},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CueSynth::render(row.style, 48000).size(), row.at48k) << rawValue(row.style);
        EXPECT_EQ(CueSynth::render(row.style, 44100).size(), row.at44k) << rawValue(row.style);
    }
    EXPECT_EQ(CueSynth::dud(48000).size(), 5760u);
    EXPECT_EQ(CueSynth::dud(44100).size(), 5292u);
}

TEST(CueSynth, EveryCuePeaksAtPointEightAndEndsInSilence)
{
    for (double rate : {48000.0, 44100.0, 96000.0, 22050.0}) {
        for (CueStyle style : allCueStyles()) {
            const std::vector<float> cue = CueSynth::render(style, rate);
            const std::string what = std::string(rawValue(style)) + " at " + std::to_string(rate);
            ASSERT_FALSE(cue.empty()) << what;
            expectPeaksAtPointEight(cue, what);
            EXPECT_EQ(cue.back(), 0.0f) << what;
            for (float s : cue) {
                ASSERT_TRUE(std::isfinite(s)) << what;
            }
        }
    }
}

TEST(CueSynth, TailFadeCoversTenMillisecondsOrAQuarterOfTheBuffer)
{
    // A buffer as long as the tick at 48 kHz: the fade covers 480 samples.
    std::vector<float> ones(CueSynth::render(CueStyle::tick, 48000).size(), 1.0f);
    ASSERT_EQ(ones.size(), 2400u);
    CueSynth::fadeTail(ones, 48000);
    EXPECT_EQ(ones[2400 - 481], 1.0f);
    EXPECT_EQ(ones[2400 - 480], 479.0f / 480.0f);
    EXPECT_EQ(ones[2400 - 241], 240.0f / 480.0f);
    EXPECT_EQ(ones[2399], 0.0f);
    EXPECT_EQ(std::count(ones.begin(), ones.end(), 1.0f), 2400 - 480);

    // Short buffers fade only their last quarter.
    std::vector<float> shortBuffer(100, 1.0f);
    CueSynth::fadeTail(shortBuffer, 48000);
    EXPECT_EQ(shortBuffer[74], 1.0f);
    EXPECT_EQ(shortBuffer[75], 24.0f / 25.0f);
    EXPECT_EQ(shortBuffer[99], 0.0f);

    // Below 100 Hz there is no whole sample in 10 ms, so nothing fades.
    std::vector<float> slow(40, 1.0f);
    CueSynth::fadeTail(slow, 50);
    EXPECT_EQ(std::count(slow.begin(), slow.end(), 1.0f), 40);

    std::vector<float> empty;
    CueSynth::fadeTail(empty, 48000);
    EXPECT_TRUE(empty.empty());
}

TEST(CueSynth, TonalCuesMatchTheirNoteTables)
{
    const std::vector<std::pair<double, double>> glass = {{1, 1}, {2.4, 0.18}};
    const std::vector<std::pair<double, double>> bell = {{1, 1}, {2, 0.45}, {2.76, 0.3}, {5.4, 0.12}};
    const std::vector<std::pair<double, double>> marimba = {{1, 1}, {3.9, 0.22}};
    struct Row
    {
        CueStyle style;
        double length;
        std::vector<RefNote> notes;
    };
    const Row rows[] = {
        {CueStyle::glass, 0.5, {{1568, 0, 0.16, 1.0, glass}, {2349, 0.07, 0.24, 1.0, glass}}},
        {CueStyle::chime, 0.5, {{1319, 0, 0.2, 0.8, bell}, {1976, 0.09, 0.3, 1.0, bell}}},
        {CueStyle::marimba, 0.28, {{880, 0, 0.11, 1.0, marimba}, {660, 0.075, 0.15, 1.0, marimba}}},
        {CueStyle::bell, 0.7, {{784, 0, 0.55, 1.0, bell}}},
        {CueStyle::sparkle,
         0.5,
         {{1047, 0, 0.12, 0.8, glass}, {1319, 0.07, 0.12, 0.9, glass}, {1568, 0.14, 0.28, 1.0, glass}}},
    };
    for (const Row& row : rows) {
        for (double rate : {48000.0, 44100.0}) {
            const std::vector<double> expected = referenceTonal(row.notes, row.length, rate);
            // Single-precision phases of partials several kilohertz up drift by about a
            // thousandth; a wrong envelope, start or gain is off by far more.
            EXPECT_LT(maxDifference(CueSynth::render(row.style, rate), expected), 4e-3)
                << rawValue(row.style) << " at " << rate;
        }
    }
}

TEST(CueSynth, NoiseCuesFilterTheSeededNoiseAsDescribed)
{
    for (CueStyle style : {CueStyle::tick, CueStyle::shutter, CueStyle::zip}) {
        for (double rate : {48000.0, 44100.0}) {
            EXPECT_LT(maxDifference(CueSynth::render(style, rate), referenceNoise(style, rate)), 1e-4)
                << rawValue(style) << " at " << rate;
        }
    }
}

TEST(CueSynth, DudIsALowThumpWithoutNormalisation)
{
    const double rate = 48000;
    const std::vector<float> dud = CueSynth::dud(rate);
    ASSERT_EQ(dud.size(), 5760u);
    std::vector<double> expected(dud.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        // The frequency term multiplies t directly; it is not integrated into a phase.
        expected[i] = std::min(t / 0.002, 1.0) * std::exp(-t / 0.03) *
                      std::sin(t * (t * -40.0 / 0.12 + 150.0) * 2.0 * M_PI) * 0.5;
    }
    for (std::size_t j = 0; j < 480; ++j) {
        expected[expected.size() - 1 - j] *= static_cast<double>(j) / 480.0;
    }
    // Tight enough to see the 480-sample fade even where the thump has died to 1/50.
    EXPECT_LT(maxDifference(dud, expected), 2e-6);
    EXPECT_LT(peakOf(dud), 0.5f);
    EXPECT_GT(peakOf(dud), 0.3f);
    EXPECT_EQ(dud.back(), 0.0f);
}

TEST(CueSynth, SweepsMoveInTheirDirection)
{
    const double rate = 48000;
    const std::vector<float> up = CueSynth::render(CueStyle::glideUp, rate);
    const std::vector<float> down = CueSynth::render(CueStyle::glideDown, rate);
    // 40 ms windows at both ends of the 200 ms sweep: 500-660 Hz and 1140-1300 Hz.
    EXPECT_NEAR(frequencyBetween(up, rate, 0, 1920), 580, 40);
    EXPECT_NEAR(frequencyBetween(up, rate, 7680, 9600), 1220, 40);
    EXPECT_NEAR(frequencyBetween(down, rate, 0, 1920), 1220, 40);
    EXPECT_NEAR(frequencyBetween(down, rate, 7680, 9600), 580, 40);

    // The pop falls from 1020 Hz towards 320 Hz.
    const std::vector<float> pop = CueSynth::render(CueStyle::pop, rate);
    EXPECT_NEAR(frequencyBetween(pop, rate, 0, 240), 980, 120);
    EXPECT_NEAR(frequencyBetween(pop, rate, 3840, 5760), 325, 30);

    // The zip's low-pass opens, so the noise gets brighter towards the end.
    const std::vector<float> zip = CueSynth::render(CueStyle::zip, rate);
    EXPECT_GT(frequencyBetween(zip, rate, 5120, 7680), 1.5 * frequencyBetween(zip, rate, 0, 2560));
}

TEST(CueSynth, ShutterIsTwoSeparateBursts)
{
    const std::vector<float> shutter = CueSynth::render(CueStyle::shutter, 48000);
    ASSERT_EQ(shutter.size(), 7680u);
    auto silentBetween = [&](std::size_t from, std::size_t to) {
        return std::all_of(shutter.begin() + from, shutter.begin() + to, [](float s) { return s == 0.0f; });
    };
    // Bursts of 50 ms (2400 samples) at 0 and 70 ms (sample 3360).
    EXPECT_NE(shutter[0], 0.0f);
    EXPECT_NE(shutter[2399], 0.0f);
    EXPECT_TRUE(silentBetween(2400, 3360));
    EXPECT_NE(shutter[3360], 0.0f);
    EXPECT_NE(shutter[5759], 0.0f);
    EXPECT_TRUE(silentBetween(5760, 7680));
    // The generator runs on, so the second burst is not a copy of the first.
    EXPECT_NE(shutter[0], shutter[3360]);
}

TEST(CueSynth, RenderingIsDeterministicAndEveryStyleIsDistinct)
{
    std::vector<std::vector<float>> cues;
    for (CueStyle style : allCueStyles()) {
        cues.push_back(CueSynth::render(style, 48000));
        EXPECT_EQ(CueSynth::render(style, 48000), cues.back()) << rawValue(style);
    }
    for (std::size_t a = 0; a < cues.size(); ++a) {
        for (std::size_t b = a + 1; b < cues.size(); ++b) {
            EXPECT_NE(cues[a], cues[b]) << rawValue(allCueStyles()[a]) << " vs " << rawValue(allCueStyles()[b]);
        }
    }
    EXPECT_EQ(CueSynth::dud(48000), CueSynth::dud(48000));
}

TEST(CueSynth, UnusableSampleRatesGiveEmptyBuffers)
{
    for (double rate : {0.0, -48000.0, std::nan(""), std::numeric_limits<double>::infinity(), 2e6}) {
        EXPECT_FALSE(CueSynth::isValidSampleRate(rate)) << rate;
        EXPECT_TRUE(CueSynth::dud(rate).empty()) << rate;
        for (CueStyle style : allCueStyles()) {
            EXPECT_TRUE(CueSynth::render(style, rate).empty()) << rawValue(style) << " at " << rate;
        }
    }
    EXPECT_TRUE(CueSynth::isValidSampleRate(CueSynth::maxSampleRate));
}

TEST(CueSynth, VeryLowSampleRatesRenderWithoutFault)
{
    // 10 Hz leaves a tick of no samples and notes that start at the buffer's end.
    for (CueStyle style : allCueStyles()) {
        const std::vector<float> cue = CueSynth::render(style, 10);
        EXPECT_EQ(cue.size(), static_cast<std::size_t>(cueLength(style) * 10.0f)) << rawValue(style);
        for (float s : cue) {
            EXPECT_TRUE(std::isfinite(s)) << rawValue(style);
            EXPECT_LE(std::fabs(s), 0.80001f) << rawValue(style);
        }
    }
    EXPECT_EQ(CueSynth::dud(10).size(), 1u);
    EXPECT_TRUE(CueSynth::render(CueStyle::tick, 10).empty());
}

} // namespace
} // namespace clickory
