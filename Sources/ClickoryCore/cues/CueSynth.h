// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/cues/CueStyle.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace clickory {

// Offline synthesis of the shortcut cues and of the dud (the thump played when a Copy or Cut left
// the clipboard unchanged). Rendering is deterministic: noise comes from a SplitMix64 with a fixed
// seed, created afresh for every render. Called when sound banks are built, never per event.
namespace CueSynth {

// One struck note of a tonal cue.
struct Note
{
    float freq;                                    // Hz
    float start;                                   // seconds from the cue's start
    float decay;                                   // seconds, exponential time constant
    std::vector<std::pair<float, float>> partials; // (frequency ratio, amplitude)
    float gain;

    friend bool operator==(const Note&, const Note&) = default;
};

// Highest sample rate the renderers accept; far above any audio device, low enough that a
// mistaken rate cannot ask for gigabytes.
inline constexpr double maxSampleRate = 1'000'000.0;

// True when sampleRate is finite, above 0 and at most maxSampleRate.
bool isValidSampleRate(double sampleRate);

// The mono cue of a style: trunc(cueLength(style) * sampleRate) samples (in 32-bit floats), peaking
// at 0.8, with a 10 ms fade to 0 at the end. Returns an empty buffer when the sample rate is not
// valid (see isValidSampleRate).
std::vector<float> render(CueStyle style, double sampleRate);

// The mono dud: a 120 ms low thump, neither saturated nor normalised, with the same 10 ms tail
// fade. Returns an empty buffer when the sample rate is not valid.
std::vector<float> dud(double sampleRate);

// The tail fade shared by the cues and the dud: the last m = min(n / 4, trunc(sampleRate * 0.01))
// samples are multiplied by j / m for j counted back from the end, so the last sample becomes 0.
// Nothing is faded when m is 0.
void fadeTail(std::vector<float>& samples, double sampleRate);

} // namespace CueSynth

} // namespace clickory
