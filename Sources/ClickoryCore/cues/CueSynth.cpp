// SPDX-License-Identifier: MIT
#include "ClickoryCore/cues/CueSynth.h"

#include "ClickoryCore/synth/SplitMix64.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace clickory::CueSynth {

namespace {

// Single-precision constants of the formulas; the synthesis is fixed down to the sample, so these
// are not (float)M_PI, which differs by one unit in the last place.
constexpr float twoPi = 6.283185f;
constexpr float pi = 3.1415925f;

constexpr std::uint64_t noiseSeed = 77;

using Partials = std::vector<std::pair<float, float>>;

// Tonal styles: a glassy pair of partials, and a bell-like set.
const Partials& glassPartials()
{
    static const Partials partials = {{1.0f, 1.0f}, {2.4f, 0.18f}};
    return partials;
}

const Partials& bellPartials()
{
    static const Partials partials = {{1.0f, 1.0f}, {2.0f, 0.45f}, {2.76f, 0.3f}, {5.4f, 0.12f}};
    return partials;
}

const Partials& marimbaPartials()
{
    static const Partials partials = {{1.0f, 1.0f}, {3.9f, 0.22f}};
    return partials;
}

// The notes of a tonal style; empty for the styles that write their buffer directly.
std::vector<Note> notesOf(CueStyle style)
{
    switch (style) {
    case CueStyle::glass:
        return {{1568.0f, 0.0f, 0.16f, glassPartials(), 1.0f}, {2349.0f, 0.07f, 0.24f, glassPartials(), 1.0f}};
    case CueStyle::chime:
        return {{1319.0f, 0.0f, 0.2f, bellPartials(), 0.8f}, {1976.0f, 0.09f, 0.3f, bellPartials(), 1.0f}};
    case CueStyle::marimba:
        return {{880.0f, 0.0f, 0.11f, marimbaPartials(), 1.0f}, {660.0f, 0.075f, 0.15f, marimbaPartials(), 1.0f}};
    case CueStyle::bell:
        return {{784.0f, 0.0f, 0.55f, bellPartials(), 1.0f}};
    case CueStyle::sparkle:
        return {{1047.0f, 0.0f, 0.12f, glassPartials(), 0.8f},
                {1319.0f, 0.07f, 0.12f, glassPartials(), 0.9f},
                {1568.0f, 0.14f, 0.28f, glassPartials(), 1.0f}};
    default:
        return {};
    }
}

void addNote(std::vector<float>& out, const Note& note, float sr)
{
    const std::size_t n = out.size();
    const auto s0 = static_cast<std::size_t>(note.start * sr);
    if (s0 >= n) {
        return;
    }
    for (std::size_t s = s0; s < n; ++s) {
        const float t = static_cast<float>(s - s0) / sr;
        float sum = 0.0f;
        // Higher partials die faster.
        for (const auto& [r, a] : note.partials) {
            sum += a * std::sin((twoPi * note.freq * r) * t) * std::exp(((r * -t) * 0.6f / note.decay) * 0.3f);
        }
        out[s] += note.gain * (std::exp(-t / note.decay) * std::min(t / 0.002f, 1.0f) * sum) * 0.4f;
    }
}

// A blip that falls from 1020 Hz towards 320 Hz.
void writePop(std::vector<float>& out, float sr)
{
    float phase = 0.0f;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / sr;
        phase += (std::exp(t / -0.018f) * 700.0f + 320.0f) * twoPi / sr;
        out[i] = std::min(t / 0.001f, 1.0f) * std::exp(t / -0.035f) * std::sin(phase) * 0.8f;
    }
}

// White noise minus its low-passed self: a bright tick.
void writeTick(std::vector<float>& out, float sr, SplitMix64& random)
{
    float y = 0.0f;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / sr;
        const float a = random.signedUnit();
        const float b = random.signedUnit();
        y += (a - y) * 0.45f;
        out[i] = std::exp(t / -0.006f) * (b - y) * 0.6f;
    }
}

// Two noise clicks, 70 ms apart; the generator runs on from the first into the second.
void writeShutter(std::vector<float>& out, float sr, SplitMix64& random)
{
    const std::size_t n = out.size();
    const auto burstLength = static_cast<std::size_t>(sr * 0.05f);
    const std::size_t starts[] = {0, static_cast<std::size_t>(0.07f * sr)};
    for (std::size_t start : starts) {
        float y = 0.0f;
        for (std::size_t j = 0; j < burstLength && start + j < n; ++j) {
            const float a = random.signedUnit();
            const float b = random.signedUnit();
            y += (a - y) * 0.3f;
            out[start + j] += std::exp((static_cast<float>(j) / sr) / -0.008f) * (b * 0.5f + y) * 0.5f;
        }
    }
}

void writeGlide(std::vector<float>& out, float sr, float length, bool rising)
{
    float phase = 0.0f;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / sr;
        const float p = t / length;
        const float f = rising ? 500.0f + 800.0f * p : 1300.0f - 800.0f * p;
        phase += f * twoPi / sr;
        out[i] = std::sin(p * pi) * std::sin(phase) * 0.55f;
    }
}

// Noise through a low-pass that opens as the cue goes on.
void writeZip(std::vector<float>& out, float sr, float length, SplitMix64& random)
{
    float y = 0.0f;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / sr;
        const float p = t / length;
        const float x = random.signedUnit();
        y += (p * 0.6f + 0.15f) * (x - y);
        out[i] = std::sin(std::min(p * 1.15f, 1.0f) * pi) * y * 0.7f;
    }
}

} // namespace

bool isValidSampleRate(double sampleRate)
{
    return std::isfinite(sampleRate) && sampleRate > 0.0 && sampleRate <= maxSampleRate;
}

// The last 10 ms (at most a quarter of the buffer) fall linearly to 0, so a cue ends without a click.
void fadeTail(std::vector<float>& samples, double sampleRate)
{
    if (!isValidSampleRate(sampleRate)) {
        return;
    }
    const std::size_t n = samples.size();
    const std::size_t m = std::min(n / 4, static_cast<std::size_t>(sampleRate * 0.01));
    for (std::size_t j = 0; j < m; ++j) {
        samples[n - 1 - j] *= static_cast<float>(j) / static_cast<float>(m);
    }
}

std::vector<float> render(CueStyle style, double sampleRate)
{
    if (!isValidSampleRate(sampleRate)) {
        return {};
    }
    const auto sr = static_cast<float>(sampleRate);
    const float length = cueLength(style);
    std::vector<float> out(static_cast<std::size_t>(length * sr), 0.0f);

    SplitMix64 random(noiseSeed);
    switch (style) {
    case CueStyle::glass:
    case CueStyle::chime:
    case CueStyle::marimba:
    case CueStyle::bell:
    case CueStyle::sparkle:
        for (const Note& note : notesOf(style)) {
            addNote(out, note, sr);
        }
        break;
    case CueStyle::pop:
        writePop(out, sr);
        break;
    case CueStyle::tick:
        writeTick(out, sr, random);
        break;
    case CueStyle::shutter:
        writeShutter(out, sr, random);
        break;
    case CueStyle::glideUp:
        writeGlide(out, sr, length, true);
        break;
    case CueStyle::glideDown:
        writeGlide(out, sr, length, false);
        break;
    case CueStyle::zip:
        writeZip(out, sr, length, random);
        break;
    }

    float peak = 0.0f;
    for (float& sample : out) {
        sample = std::tanh(1.3f * sample);
        peak = std::max(peak, std::fabs(sample));
    }
    if (peak > 1e-6f) {
        const float scale = 0.8f / peak;
        for (float& sample : out) {
            sample *= scale;
        }
    }
    fadeTail(out, sampleRate);
    return out;
}

std::vector<float> dud(double sampleRate)
{
    if (!isValidSampleRate(sampleRate)) {
        return {};
    }
    const auto sr = static_cast<float>(sampleRate);
    std::vector<float> out(static_cast<std::size_t>(sr * 0.12f), 0.0f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / sr;
        // The frequency term falls from 150 Hz towards 110 Hz and multiplies t directly; it is not
        // integrated into a phase, which gives the thump its dull, slightly bent pitch.
        out[i] = std::min(t / 0.002f, 1.0f) * std::exp(t / -0.03f) *
                 std::sin(t * ((t * -40.0f / 0.12f + 150.0f) * twoPi)) * 0.5f;
    }
    fadeTail(out, sampleRate);
    return out;
}

} // namespace clickory::CueSynth
