// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/synth/Variation.h"
#include "ClickoryCore/synth/Voice.h"

#include <vector>

namespace clickory {

// Renders voices into mono sample buffers and measures buffers. Stateless: every function is
// static, and render() takes all its randomness from a SplitMix64 seeded by the variation, so the
// same voice, variation and sample rate always give bit-for-bit the same samples.
struct Synth
{
    // The voice rendered at sampleRate samples per second: at least 16 samples, peaking at
    // voice.level before a short tail fade that ends in an exact 0. A non-finite or non-positive
    // sample rate, or a non-finite duration, yields an empty buffer.
    static std::vector<float> render(const Voice& voice, const Variation& variation, double sampleRate);

    // The largest absolute sample value; 0 for an empty buffer.
    static float peak(const std::vector<float>& samples);

    // The root mean square of the samples; 0 for an empty buffer.
    static float rms(const std::vector<float>& samples);

    // A spectral centroid estimate in hertz over the first min(size, window) samples (Hann window,
    // odd bins only, power-weighted); 0 when fewer than 32 samples are analysed.
    static float centroid(const std::vector<float>& samples, double sampleRate, int window);
};

} // namespace clickory
