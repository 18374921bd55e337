// SPDX-License-Identifier: MIT
// Voices are rendered when sound banks are built: nine takes per role at the output's sample rate.
// These measure one typical key press take, a role's nine takes, and the buffer measures.
#include "ClickoryCore/synth/Synth.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

using namespace clickory;

constexpr double sampleRate = 48000.0;

// A 48 ms key press with every component: click, body, two rings, thud and spring.
Voice keyVoice()
{
    return Voice{48.0, 0.8f,
                 0.6f, 3200.0f, 1.4f, 2.5f,
                 0.7f, 180.0f, 0.6f, 12.0f,
                 {0.25f, 0.15f}, {2100.0f, 3400.0f}, {9.0f, 6.0f},
                 0.4f, 350.0f, 10.0f,
                 0.1f, 900.0f, 20.0f};
}

void renderKeyVoice(benchmark::State& state)
{
    const Voice voice = keyVoice();
    std::uint64_t seed = 17;
    std::size_t samples = 0;
    for (auto _ : state)
    {
        std::vector<float> take = Synth::render(voice, Variation{1.0f, seed++}, sampleRate);
        samples = take.size();
        benchmark::DoNotOptimize(take.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * samples));
}
BENCHMARK(renderKeyVoice)->Unit(benchmark::kMicrosecond);

void renderNineTakes(benchmark::State& state)
{
    const Voice voice = keyVoice();
    for (auto _ : state)
    {
        for (int i = 0; i < 9; ++i)
        {
            std::vector<float> take =
                Synth::render(voice, Variation::semitones(-0.8 + 0.2 * i, 17 + 7919 * static_cast<std::uint64_t>(i)),
                              sampleRate);
            benchmark::DoNotOptimize(take.data());
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(renderNineTakes)->Unit(benchmark::kMicrosecond);

void measurePeakAndRms(benchmark::State& state)
{
    const std::vector<float> take = Synth::render(keyVoice(), Variation{}, sampleRate);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(Synth::peak(take));
        benchmark::DoNotOptimize(Synth::rms(take));
    }
}
BENCHMARK(measurePeakAndRms)->Unit(benchmark::kMicrosecond);

void measureCentroid(benchmark::State& state)
{
    const std::vector<float> take = Synth::render(keyVoice(), Variation{}, sampleRate);
    const int window = static_cast<int>(state.range(0));
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(Synth::centroid(take, sampleRate, window));
    }
}
BENCHMARK(measureCentroid)->Arg(512)->Arg(2048)->Unit(benchmark::kMicrosecond);

} // namespace
