// SPDX-License-Identifier: MIT
// The cost of the event pipeline on the calling (main) thread, with the real sound engine on its
// real work queue behind it and the real mute and context monitors in front (their platform facts
// come from fakes). Also counts the allocations made on the calling thread per event.
#include "ClickoryApp/engine/SoundEngine.h"
#include "ClickoryApp/pipeline/EngineSoundPlayer.h"
#include "ClickoryApp/platform/OfflineAudioOutput.h"
#include "ClickoryApp/platform/ThreadWorkQueue.h"
#include "App/controller/ControllerRig.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>

namespace {
thread_local std::int64_t allocations = 0;
}

void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace clickory {
namespace {

class NoFiles final : public SoundFileReader
{
public:
    std::optional<std::vector<float>> read(const std::filesystem::path&, double, double) override
    {
        return std::nullopt;
    }
};

// A started controller over the real engine.
struct Bench
{
    Bench()
    {
        engine.start();
        controller = std::make_unique<Controller>(Controller::Parts{*rig.store, player, rig.tap, rig.haptics,
                                                                    rig.ripple, rig.mute, rig.context, rig.pasteboard,
                                                                    rig.workspace, rig.queue, rig.clock},
                                                  [](const std::string&) {});
        rig.workspace.frontmostID = "org.gnome.Terminal";
        rig.workspace.frontmostPID = 10;
        rig.workspace.screenFrames = {{0, 0, 1920, 1080}, {1920, 0, 2560, 1440}};
        rig.store->update([](FeelSettings& s) {
            s.mutedBundleIDs = {"us.zoom.Zoom", "com.obsproject.Studio"};
            s.silentInFullScreen = true;
            s.hapticsOnScroll = true;
        });
        controller->start();
        rig.queue.runPosted();
        work.sync([] {});
    }

    // Runs `event(i)` through handle() and reports time and calling-thread allocations per event.
    template <typename MakeEvent>
    void run(benchmark::State& state, MakeEvent makeEvent)
    {
        std::int64_t i = 0;
        std::int64_t allocated = 0;
        for (auto _ : state)
        {
            const InputEvent event = makeEvent(i);
            const std::int64_t before = allocations;
            controller->handle(event);
            allocated += allocations - before;
            if (++i % 64 == 0)
            {
                state.PauseTiming();
                work.sync([] {}); // let the engine catch up, as it does between real key presses
                rig.queue.advance(0.02);
                state.ResumeTiming();
            }
        }
        state.counters["allocs/event"] = benchmark::Counter(static_cast<double>(allocated) / static_cast<double>(i));
    }

    ControllerRig rig;
    OfflineAudioOutput output;
    ThreadWorkQueue work;
    NoFiles reader;
    SoundEngine engine{output, work, reader, std::nullopt};
    EngineSoundPlayer player{engine};
    std::unique_ptr<Controller> controller;
};

void handleKeyPress(benchmark::State& state)
{
    Bench bench;
    bench.run(state, [](std::int64_t i) -> InputEvent { return KeyEvent{(i % 2) ? 0 : 1, (i % 2) == 0, false, 0}; });
}
BENCHMARK(handleKeyPress);

void handleModifier(benchmark::State& state)
{
    Bench bench;
    bench.run(state, [](std::int64_t i) -> InputEvent { return ModifierEvent{56, (i % 2) == 0}; });
}
BENCHMARK(handleModifier);

void handleClick(benchmark::State& state)
{
    Bench bench;
    bench.run(state, [](std::int64_t i) -> InputEvent { return MouseEvent{0, (i % 2) == 0, {2400.0, 300.0}}; });
}
BENCHMARK(handleClick);

// Wheel lines: every event is a tick (one line is one spacing).
void handleScroll(benchmark::State& state)
{
    Bench bench;
    bench.run(state, [&](std::int64_t) -> InputEvent {
        bench.rig.queue.advance(0.05);
        return ScrollEvent{1.0, false, false, {400.0, 300.0}};
    });
}
BENCHMARK(handleScroll);

// A settings change that reloads nothing (a volume slider step).
void applyVolumeChange(benchmark::State& state)
{
    Bench bench;
    FeelSettings settings = bench.rig.store->settings();
    std::int64_t i = 0;
    for (auto _ : state)
    {
        settings.masterVolume = (i++ % 2) ? 0.5 : 0.6;
        bench.controller->apply(settings);
        if (i % 64 == 0)
        {
            state.PauseTiming();
            bench.work.sync([] {});
            state.ResumeTiming();
        }
    }
}
BENCHMARK(applyVolumeChange);

} // namespace
} // namespace clickory
