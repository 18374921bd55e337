// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace clickory {

// The deterministic random generator behind all noise and jitter. Every call of next(), unit()
// or signedUnit() advances the state by exactly one step; arithmetic wraps modulo 2^64.
struct SplitMix64
{
    static constexpr std::uint64_t gamma = 0x9E3779B97F4A7C15ull;

    std::uint64_t state;

    // The constructor already adds one increment, so the first output of a generator built from
    // seed s mixes s + 2 * gamma.
    explicit constexpr SplitMix64(std::uint64_t seed) : state(seed + gamma) {}

    constexpr std::uint64_t next()
    {
        state += gamma;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // A value in [0, 1) with 24 bits of resolution.
    constexpr float unit() { return static_cast<float>(next() >> 40) * 5.9604645e-8f; }

    // A value in [-1, 1); -1 is reachable, +1 is not.
    constexpr float signedUnit() { return unit() * 2.0f - 1.0f; }

    friend constexpr bool operator==(const SplitMix64&, const SplitMix64&) = default;
};

} // namespace clickory
