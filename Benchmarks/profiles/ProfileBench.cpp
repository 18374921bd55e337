// SPDX-License-Identifier: MIT
// Cost of building every buffer a synthesized profile needs when its banks are loaded: 11 roles x 9
// pitch rows plus 9 scroll-tick rows, rendered at 48 kHz with the same pitch grid and seeds as the
// bank loader.
#include "ClickoryCore/profiles/Profiles.h"
#include "ClickoryCore/profiles/ScrollStyle.h"
#include "ClickoryCore/synth/Synth.h"
#include "ClickoryCore/synth/Variation.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

namespace {

using namespace clickory;

constexpr double sampleRate = 48000.0;
constexpr std::array<double, 9> synthGrid = {-1.4, -1.05, -0.7, -0.35, 0, 0.35, 0.7, 1.05, 1.4};

std::size_t renderProfile(const SoundProfile& profile, ScrollStyle scroll)
{
    std::size_t frames = 0;
    for (SoundRole role : allSoundRoles()) {
        if (role == SoundRole::scrollTick) {
            continue;
        }
        const Voice voice = profile.voice(role);
        const std::uint64_t roleHash = std::hash<std::string_view>{}(rawValue(role));
        for (std::size_t i = 0; i < synthGrid.size(); ++i) {
            const std::uint64_t seed = 17u + 31u * roleHash + 7919u * i;
            const Variation variation = Variation::semitones(synthGrid[i], seed);
            const std::vector<float> samples = Synth::render(voice, variation, sampleRate);
            frames += samples.size();
            benchmark::DoNotOptimize(samples.data());
        }
    }
    if (const std::optional<Voice> tick = voice(scroll)) {
        for (std::size_t i = 0; i < synthGrid.size(); ++i) {
            const std::vector<float> samples = Synth::render(*tick, Variation::semitones(synthGrid[i], 900 + i),
                                                             sampleRate);
            frames += samples.size();
            benchmark::DoNotOptimize(samples.data());
        }
    }
    return frames;
}

void buildProfileBanks(benchmark::State& state, std::string_view id)
{
    const SoundProfile profile = Profiles::profile(id);
    std::size_t frames = 0;
    for (auto _ : state) {
        frames = renderProfile(profile, ScrollStyle::softTick);
    }
    state.counters["renders"] = 11 * 9 + 9;
    state.counters["frames"] = static_cast<double>(frames);
}

} // namespace

// A typical key voice (50 ms) and the longest one (typewriter, whose Enter bell lasts 520 ms).
BENCHMARK_CAPTURE(buildProfileBanks, brownBump, "brown-bump")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(buildProfileBanks, typewriter, "typewriter")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(buildProfileBanks, glassTap, "glass-tap")->Unit(benchmark::kMillisecond);
