// SPDX-License-Identifier: MIT
// Cue rendering runs when sound banks are built: every enabled cue and the dud, at the output's
// sample rate. These measure one style at a time, the whole set, and the dud, at 48 kHz.
#include "ClickoryCore/cues/CueSynth.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace clickory;

constexpr double sampleRate = 48000.0;

void renderStyle(benchmark::State& state)
{
    const CueStyle style = allCueStyles()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(std::string(rawValue(style)));
    std::size_t samples = 0;
    for (auto _ : state) {
        std::vector<float> cue = CueSynth::render(style, sampleRate);
        samples = cue.size();
        benchmark::DoNotOptimize(cue.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * samples));
}
BENCHMARK(renderStyle)->DenseRange(0, static_cast<int>(cueStyleCount) - 1)->Unit(benchmark::kMicrosecond);

void renderAllStylesAndDud(benchmark::State& state)
{
    for (auto _ : state) {
        for (CueStyle style : allCueStyles()) {
            std::vector<float> cue = CueSynth::render(style, sampleRate);
            benchmark::DoNotOptimize(cue.data());
        }
        std::vector<float> dud = CueSynth::dud(sampleRate);
        benchmark::DoNotOptimize(dud.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(renderAllStylesAndDud)->Unit(benchmark::kMillisecond);

void renderDud(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<float> dud = CueSynth::dud(sampleRate);
        benchmark::DoNotOptimize(dud.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(renderDud)->Unit(benchmark::kMicrosecond);

} // namespace
