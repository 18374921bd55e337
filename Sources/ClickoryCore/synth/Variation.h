// SPDX-License-Identifier: MIT
#pragma once

#include <cmath>
#include <cstdint>

namespace clickory {

// The pitch factor and random seed of one rendered take of a voice.
struct Variation
{
    float pitch = 1.0f;
    std::uint64_t seed = 0;

    // pitch = 2^(semitones / 12), computed in double and stored as float.
    static Variation semitones(double semitones, std::uint64_t seed)
    {
        return Variation{static_cast<float>(std::pow(2.0, semitones / 12.0)), seed};
    }

    void setPitch(float value) { pitch = value; }
    void setSeed(std::uint64_t value) { seed = value; }

    friend bool operator==(const Variation&, const Variation&) = default;
};

} // namespace clickory
