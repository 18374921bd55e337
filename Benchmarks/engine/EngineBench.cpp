// SPDX-License-Identifier: MIT
#include "ClickoryApp/engine/SoundEngine.h"
#include "ClickoryApp/platform/OfflineAudioOutput.h"
#include "ClickoryApp/platform/ThreadWorkQueue.h"
#include "ClickoryCore/profiles/Profiles.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <vector>

namespace clickory {
namespace {

// Reads nothing: every profile plays by synthesis.
class NoFiles final : public SoundFileReader
{
public:
    std::optional<std::vector<float>> read(const std::filesystem::path&, double, double) override
    {
        return std::nullopt;
    }
};

// A serial queue that runs each task at once on the caller's thread.
class InlineQueue final : public WorkQueue
{
public:
    void async(Task task) override { task(); }
    void asyncAfter(double, Task) override {}
    void sync(Task task) override { task(); }
    double now() const override { return 0.0; }
};

// One 128-frame period with all eight players sounding long buffers.
void mixEightVoices(benchmark::State& state)
{
    Mixer mixer;
    PlayerPool pool(mixer);
    pool.build();
    const PcmBufferPtr buffer = PcmBuffer::make(std::vector<float>(48000 * 10, 0.25f));
    for (int i = 0; i < 8; ++i)
        pool.schedule(buffer, 0.5f, -0.8f + 0.2f * static_cast<float>(i));
    std::vector<float> out(128 * 2);
    std::size_t rendered = 0;
    for (auto _ : state)
    {
        mixer.render(out.data(), 128);
        benchmark::DoNotOptimize(out.data());
        rendered += 128;
        if (rendered > 48000 * 9) // keep all eight sounding
        {
            state.PauseTiming();
            for (int i = 0; i < 8; ++i)
                pool.schedule(buffer, 0.5f, 0.0f);
            rendered = 0;
            state.ResumeTiming();
        }
    }
}
BENCHMARK(mixEightVoices)->Unit(benchmark::kMicrosecond);

// The caller's cost of play(): capture the request and hand it to the real work queue.
void playOnTheCallingThread(benchmark::State& state)
{
    OfflineAudioOutput output;
    ThreadWorkQueue queue;
    NoFiles reader;
    SoundEngine engine(output, queue, reader, std::nullopt);
    engine.start();
    engine.load("tactile", ScrollStyle::off, std::nullopt);
    queue.sync([] {});
    std::int64_t n = 0;
    for (auto _ : state)
    {
        engine.play(SoundRole::keyDown, 0.0, 0.5f, 0.0f, std::nullopt);
        if (++n % 32 == 0)
        {
            state.PauseTiming();
            queue.sync([] {});
            output.pull(128); // let the mixer take the commands
            state.ResumeTiming();
        }
    }
}
BENCHMARK(playOnTheCallingThread)->Unit(benchmark::kMicrosecond);

// From play (run by the work queue) to the first sample of that sound in the mixed output, with
// the output pulled in 128-frame periods: the sound starts in the very next period.
void playToFirstSample(benchmark::State& state)
{
    OfflineAudioOutput output;
    InlineQueue queue;
    NoFiles reader;
    SoundEngine engine(output, queue, reader, std::nullopt);
    engine.start();
    engine.setMaster(1.0f);
    engine.load("tactile", ScrollStyle::off, std::nullopt);
    std::int64_t frames = 0;
    std::int64_t sounds = 0;
    for (auto _ : state)
    {
        // Silence first, so the onset is unambiguous.
        for (int i = 0; i < 40; ++i)
            output.pull(128);
        engine.play(SoundRole::keyDown, 0.0, 1.0f, 0.0f, std::nullopt);
        std::int64_t waited = 0;
        for (int period = 0; period < 8; ++period)
        {
            const std::vector<float> out = output.pull(128);
            std::int64_t onset = -1;
            for (std::size_t k = 0; k < 128 && onset < 0; ++k)
                if (out[2 * k] != 0.0f || out[2 * k + 1] != 0.0f)
                    onset = static_cast<std::int64_t>(k);
            if (onset >= 0)
            {
                waited += onset;
                break;
            }
            waited += 128;
        }
        frames += waited;
        ++sounds;
    }
    state.counters["framesToFirstSample"] = static_cast<double>(frames) / static_cast<double>(sounds);
}
BENCHMARK(playToFirstSample)->Unit(benchmark::kMicrosecond)->Iterations(200);

// Building every bank of a synthesized profile (11 roles x 9 renders plus 9 scroll renders), and
// the memory those banks take.
void buildSynthesizedProfile(benchmark::State& state)
{
    OfflineAudioOutput output;
    InlineQueue queue;
    NoFiles reader;
    SoundEngine engine(output, queue, reader, std::nullopt);
    engine.start();
    std::vector<std::string> ids;
    for (const SoundProfile& profile : Profiles::synthesized())
        if (ids.size() < 5)
            ids.push_back(profile.id);
    std::size_t bytes = 0;
    for (auto _ : state)
    {
        // Five profiles in turn, so the four-entry cache never answers.
        for (const std::string& id : ids)
        {
            engine.render(id, ScrollStyle::softTick, std::nullopt);
            bytes = 0;
            for (const auto& [role, bank] : engine.bank())
                bytes += bank.sampleBytes();
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(ids.size()));
    state.counters["bankKiB"] = static_cast<double>(bytes) / 1024.0;
}
BENCHMARK(buildSynthesizedProfile)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace clickory
