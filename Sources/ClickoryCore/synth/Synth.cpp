// SPDX-License-Identifier: MIT
#include "ClickoryCore/synth/Synth.h"

#include "ClickoryCore/synth/SplitMix64.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>

namespace clickory {

namespace {

constexpr float twoPi = 6.283185f;
constexpr float pi = 3.1415925f;

// The shortest sound render() produces, and the longest it agrees to allocate (2^24 samples, about
// 350 s at 48 kHz, far beyond any click; it also keeps every sample index exact as a float).
constexpr std::size_t minimumCount = 16;
constexpr double maximumCount = 16777216.0;

float largestMagnitude(const std::vector<float>& samples)
{
    float largest = 0.0f;
    for (float sample : samples)
    {
        largest = std::max(largest, std::fabs(sample));
    }
    return largest;
}

// Scales a component to a peak of 1 unless it is (near) silent.
void normalise(std::vector<float>& samples)
{
    const float largest = largestMagnitude(samples);
    if (largest > 1e-9f)
    {
        for (float& sample : samples)
        {
            sample = sample / largest;
        }
    }
}

float decayTime(float decayMs, float floorSeconds)
{
    return std::max(decayMs / 1000.0f, floorSeconds);
}

// Band-passed white noise (constant 0 dB peak gain biquad) under an exponential envelope.
void addClick(std::vector<float>& out, const Voice& voice, float p, float sr, SplitMix64& rng)
{
    const std::size_t count = out.size();
    const float f = std::min(std::max(p * voice.clickFreq, 20.0f), 0.45f * sr);
    const float omega = twoPi * f / sr;
    const float q = std::max(voice.clickQ, 0.1f);
    const float alpha = std::sin(omega) / (2.0f * q);
    const float a0 = 1.0f + alpha;
    const float b0 = alpha / a0;
    const float b1 = 0.0f / a0;
    const float b2 = -alpha / a0;
    const float a1 = -2.0f * std::cos(omega) / a0;
    const float a2 = (1.0f - alpha) / a0;
    const float tau = decayTime(voice.clickDecayMs, 0.0003f);

    std::vector<float> click(count);
    float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
    for (std::size_t i = 0; i < count; ++i)
    {
        const float t = static_cast<float>(i) / sr;
        const float x = rng.signedUnit();
        const float y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        click[i] = std::exp(-t / tau) * y;
    }
    normalise(click);
    for (std::size_t i = 0; i < count; ++i)
    {
        out[i] += voice.clickGain * click[i];
    }
}

// A sine gliding down from (1 + drop) * f to f with a 12 ms time constant, with a 0.4 ms attack.
void addBody(std::vector<float>& out, const Voice& voice, float p, float sr)
{
    const std::size_t count = out.size();
    const float f = p * voice.bodyFreq;
    const float drop = voice.bodyDropRatio;
    const float tau = decayTime(voice.bodyDecayMs, 0.002f);

    std::vector<float> body(count);
    float phase = 0.0f;
    for (std::size_t i = 0; i < count; ++i)
    {
        const float t = static_cast<float>(i) / sr;
        phase += f * (drop * std::exp(t / -0.012f) + 1.0f) * twoPi / sr;
        body[i] = std::min(t / 0.0004f, 1.0f) * std::exp(-t / tau) * std::sin(phase);
    }
    normalise(body);
    for (std::size_t i = 0; i < count; ++i)
    {
        out[i] += voice.bodyGain * body[i];
    }
}

// Decaying partials with random start phases, one draw per ring even when its gain is 0.
void addRings(std::vector<float>& out, const Voice& voice, float p, float sr, SplitMix64& rng)
{
    const std::size_t count = out.size();
    const std::size_t rings =
        std::min({voice.ringGains.size(), voice.ringFreqs.size(), voice.ringDecaysMs.size()});
    for (std::size_t k = 0; k < rings; ++k)
    {
        const float f = p * voice.ringFreqs[k];
        const float tau = decayTime(voice.ringDecaysMs[k], 0.002f);
        const float g = voice.ringGains[k];
        const float phase = 2.0f * rng.unit() * pi;
        const float step = twoPi * f;
        for (std::size_t i = 0; i < count; ++i)
        {
            const float t = static_cast<float>(i) / sr;
            out[i] += g * (std::exp(-t / tau) * std::sin(phase + step * t)) * 0.35f;
        }
    }
}

// One-pole low-passed white noise under an exponential envelope.
void addThud(std::vector<float>& out, const Voice& voice, float p, float sr, SplitMix64& rng)
{
    const std::size_t count = out.size();
    const float a = std::exp(p * (voice.thudCutoff * -twoPi) / sr);
    const float c = 1.0f - a;
    const float tau = decayTime(voice.thudDecayMs, 0.002f);

    std::vector<float> thud(count);
    float y = 0.0f;
    for (std::size_t i = 0; i < count; ++i)
    {
        const float t = static_cast<float>(i) / sr;
        const float x = rng.signedUnit();
        y += c * (x - y);
        thud[i] = std::exp(-t / tau) * y;
    }
    normalise(thud);
    for (std::size_t i = 0; i < count; ++i)
    {
        out[i] += voice.thudGain * thud[i];
    }
}

// A decaying sine with a 95 Hz tremolo of depth 0.5; no random draws.
void addSpring(std::vector<float>& out, const Voice& voice, float p, float sr)
{
    const std::size_t count = out.size();
    const float f = p * voice.springFreq;
    const float tau = decayTime(voice.springDecayMs, 0.002f);
    const float step = twoPi * f;
    for (std::size_t i = 0; i < count; ++i)
    {
        const float t = static_cast<float>(i) / sr;
        const float s = std::sin(step * t) * std::exp(-t / tau);
        const float m = std::sin(t * 596.9026f); // 2 pi * 95 Hz
        out[i] += voice.springGain * (s * (m * 0.5f + 1.0f)) * 0.25f;
    }
}

} // namespace

std::vector<float> Synth::render(const Voice& voice, const Variation& variation, double sampleRate)
{
    // The caller owes a finite duration and a sensible rate. A length that is not a finite,
    // representable number of samples is refused with an empty buffer, rather than allocated
    // without bound or rendered as NaN.
    if (!std::isfinite(voice.durationMs) || !std::isfinite(sampleRate) || !(sampleRate > 0.0) ||
        sampleRate > static_cast<double>(std::numeric_limits<float>::max()))
    {
        return {};
    }
    const float sr = static_cast<float>(sampleRate);
    const double n = voice.durationMs / 1000.0 * sampleRate;
    if (!(sr > 0.0f) || !(n <= maximumCount))
    {
        return {};
    }
    const std::size_t count = n > static_cast<double>(minimumCount) ? static_cast<std::size_t>(n) : minimumCount;

    SplitMix64 rng(variation.seed);
    const float p = std::max(variation.pitch, 0.25f);
    std::vector<float> out(count, 0.0f);

    // The mixing order is fixed, and with it the order of the random draws: click noise, one
    // phase per ring, thud noise. Skipped components draw nothing.
    if (voice.clickGain > 0.0f)
    {
        addClick(out, voice, p, sr, rng);
    }
    if (voice.bodyGain > 0.0f)
    {
        addBody(out, voice, p, sr);
    }
    addRings(out, voice, p, sr, rng);
    if (voice.thudGain > 0.0f)
    {
        addThud(out, voice, p, sr, rng);
    }
    if (voice.springGain > 0.0f)
    {
        addSpring(out, voice, p, sr);
    }

    for (float& sample : out)
    {
        sample = std::tanh(1.2f * sample);
    }

    const float largest = largestMagnitude(out);
    if (largest > 1e-9f)
    {
        const float scale = voice.level / largest;
        for (float& sample : out)
        {
            sample *= scale;
        }
    }

    // A 3 ms fade to an exact 0 at the end, never longer than a quarter of the sound.
    const double fadeLength = std::min(static_cast<double>(count / 4), std::trunc(sampleRate * 0.003));
    const std::size_t fade = fadeLength >= 1.0 ? static_cast<std::size_t>(fadeLength) : 0;
    for (std::size_t j = 0; j < fade; ++j)
    {
        out[count - 1 - j] *= static_cast<float>(j) / static_cast<float>(fade);
    }
    return out;
}

float Synth::peak(const std::vector<float>& samples)
{
    return largestMagnitude(samples);
}

float Synth::rms(const std::vector<float>& samples)
{
    if (samples.empty())
    {
        return 0.0f;
    }
    double sum = 0.0;
    for (float sample : samples)
    {
        sum += static_cast<double>(sample) * static_cast<double>(sample);
    }
    return static_cast<float>(std::sqrt(sum / static_cast<double>(samples.size())));
}

float Synth::centroid(const std::vector<float>& samples, double sampleRate, int window)
{
    const long long size = static_cast<long long>(samples.size());
    const long long n = std::min(size, static_cast<long long>(window));
    if (n < 32)
    {
        return 0.0f;
    }
    constexpr double twoPi64 = 2.0 * std::numbers::pi;
    const double length = static_cast<double>(n);

    std::vector<double> weighted(static_cast<std::size_t>(n));
    for (long long j = 0; j < n; ++j)
    {
        const double w = 0.5 - 0.5 * std::cos(twoPi64 * static_cast<double>(j) / (length - 1.0));
        weighted[static_cast<std::size_t>(j)] = w * static_cast<double>(samples[static_cast<std::size_t>(j)]);
    }

    double weightedSum = 0.0;
    double powerSum = 0.0;
    for (long long k = 1; k == 1 || k < n / 2; k += 2)
    {
        double re = 0.0;
        double im = 0.0;
        for (long long j = 0; j < n; ++j)
        {
            const double angle = twoPi64 * static_cast<double>(k) * static_cast<double>(j) / length;
            re += weighted[static_cast<std::size_t>(j)] * std::cos(angle);
            im -= weighted[static_cast<std::size_t>(j)] * std::sin(angle);
        }
        const double power = re * re + im * im;
        const double frequency = static_cast<double>(k) * sampleRate / length;
        weightedSum += frequency * power;
        powerSum += power;
    }
    return powerSum > 0.0 ? static_cast<float>(weightedSum / powerSum) : 0.0f;
}

} // namespace clickory
