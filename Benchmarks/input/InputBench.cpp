// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/EventMonitor.h"
#include "ClickoryApp/platform/linux/PollMainQueue.h"
#include "ClickoryApp/platform/x11/X11InputSource.h"
#include "ClickoryApp/platform/x11/X11RawEventConverter.h"
#include "ClickoryApp/platform/x11/XTestInputInjector.h"
#include "Platform/XvfbServer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace clickory {
namespace {

using Clock = std::chrono::steady_clock;

double percentile(std::vector<double> samples, double fraction)
{
    if (samples.empty())
    {
        return 0.0;
    }
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[std::min(index, samples.size() - 1)];
}

// Time from posting an event through XTest (and flushing it to the server) until the monitor's
// handler runs on the main queue, under a private Xvfb. `post(down)` posts a press or a release;
// they alternate.
template <typename Post>
void measurePostToHandler(benchmark::State& state, Post post)
{
    XvfbServer server;
    if (!server.start())
    {
        state.SkipWithError(server.error().c_str());
        return;
    }
    PollMainQueue queue;
    X11InputSource source(queue, server.displayName());
    EventMonitor monitor(source);
    XTestInputInjector injector(server.displayName());
    std::size_t received = 0;
    Clock::time_point handled;
    monitor.handler = [&](const InputEvent&) {
        handled = Clock::now();
        ++received;
    };
    if (!injector.isOpen() || !monitor.start())
    {
        state.SkipWithError("could not open the X11 source or injector");
        return;
    }
    std::vector<double> micros;
    micros.reserve(static_cast<std::size_t>(state.max_iterations));
    bool down = true;
    for (auto _ : state)
    {
        const std::size_t before = received;
        const Clock::time_point posted = Clock::now();
        post(injector, down);
        injector.flush();
        if (!queue.runUntil([&] { return received > before; }, 2.0))
        {
            state.SkipWithError("an event did not arrive within 2 s");
            break;
        }
        const double seconds = std::chrono::duration<double>(handled - posted).count();
        state.SetIterationTime(seconds);
        micros.push_back(seconds * 1e6);
        down = !down;
    }
    if (!down)
    {
        post(injector, false);
        injector.flush();
    }
    state.counters["median_us"] = percentile(micros, 0.5);
    state.counters["p99_us"] = percentile(micros, 0.99);
    state.counters["events"] = static_cast<double>(micros.size());
}

// Key presses and releases of A.
void BM_XTestKeyToHandler(benchmark::State& state)
{
    measurePostToHandler(state, [](XTestInputInjector& injector, bool down) { injector.key(0, down); });
}
BENCHMARK(BM_XTestKeyToHandler)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMicrosecond);

// Left-button presses and releases where the pointer is: includes the pointer and monitor queries
// that place the click.
void BM_XTestClickToHandler(benchmark::State& state)
{
    measurePostToHandler(state, [](XTestInputInjector& injector, bool down) { injector.button(1, down); });
}
BENCHMARK(BM_XTestClickToHandler)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMicrosecond);

// Converting one raw key event (press or release) into an InputEvent: translation, keyboard state,
// flags.
void BM_ConvertRawKeyEvent(benchmark::State& state)
{
    X11RawEventConverter converter([] { return Point{1, 2}; }, [](int) { return X11ScrollAxis{}; });
    X11RawInput raw;
    raw.detail = 30 + 8;  // A
    bool down = true;
    for (auto _ : state)
    {
        raw.type = down ? X11RawInput::Type::keyPress : X11RawInput::Type::keyRelease;
        benchmark::DoNotOptimize(converter.convert(raw));
        down = !down;
    }
}
BENCHMARK(BM_ConvertRawKeyEvent);

// Converting one smooth-scroll motion event of a touchpad (valuator 3 of 4) into a scroll event;
// the pointer query is stubbed, as its round trip is part of the post-to-handler figure.
void BM_ConvertRawTouchpadScroll(benchmark::State& state)
{
    X11RawEventConverter converter([] { return Point{1, 2}; }, [](int) { return X11ScrollAxis{3, 15.0, true}; });
    const unsigned char mask[4] = {0x0f, 0, 0, 0};
    const double values[4] = {1.0, 2.0, 0.0, -6.5};
    X11RawInput raw;
    raw.type = X11RawInput::Type::motion;
    raw.valuatorMask = mask;
    raw.valuatorMaskLength = 4;
    raw.valuatorValues = values;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(converter.convert(raw));
    }
}
BENCHMARK(BM_ConvertRawTouchpadScroll);

} // namespace
} // namespace clickory
