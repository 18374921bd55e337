// SPDX-License-Identifier: MIT
#include "ClickoryShell/SelfTest.h"

#include "ClickoryCore/profiles/ScrollStyle.h"
#include "ClickoryCore/settings/OutputKind.h"
#include "ClickoryShell/ProcessStats.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace clickory {

namespace {

std::string format(const char* pattern, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

// A task that runs `body` only while `self` still points at a live object.
template <typename T>
std::function<void()> weakly(const std::shared_ptr<T*>& self, std::function<void(T&)> body)
{
    return [weak = std::weak_ptr<T*>(self), body = std::move(body)]() {
        if (auto strong = weak.lock())
            body(**strong);
    };
}

} // namespace

// ---- Self-test ----

SelfTest::SelfTest(SystemRuntime& runtime, SettingsStore& store, MainQueue& queue,
                   std::unique_ptr<InputInjector> injector, std::string injectorError,
                   std::function<void(const std::string&)> output, std::function<void(int)> exit)
    : m_runtime(runtime), m_store(store), m_queue(queue), m_injector(std::move(injector)),
      m_injectorError(std::move(injectorError)), m_output(std::move(output)), m_exit(std::move(exit))
{
}

SelfTest::~SelfTest()
{
    m_runtime.controller().onEvent = nullptr;
}

std::string SelfTest::receivedLine(const std::map<std::string, int>& counts)
{
    std::string line = "received:";
    for (const auto& [name, count] : counts)
        line += " " + name + "=" + std::to_string(count);
    return line;
}

void SelfTest::run()
{
    if (const char* profile = std::getenv("CLICKORY_PROFILE"); profile && *profile)
        m_store.update([&](FeelSettings& settings) { settings.profileID = profile; });
    if (const char* scroll = std::getenv("CLICKORY_SCROLL"))
    {
        if (const auto style = scrollStyleFromRaw(scroll))
            m_store.update([&](FeelSettings& settings) { settings.scrollStyle = *style; });
    }

    Controller& controller = m_runtime.controller();
    controller.start();
    const bool started = m_runtime.monitor().start();
    controller.onEvent = [this](const InputEvent& event) {
        std::string name;
        if (const auto* key = std::get_if<KeyEvent>(&event))
            name = key->down ? "keyDown" : "keyUp";
        else if (std::holds_alternative<ModifierEvent>(event))
            name = "modifier";
        else if (const auto* mouse = std::get_if<MouseEvent>(&event))
            name = mouse->down ? "mouseDown" : "mouseUp";
        else
            name = "scroll";
        ++m_counts[name];
    };

    const auto latency = m_runtime.outputDevice().estimatedLatencyMs(m_runtime.engine().sampleRate());
    m_output(std::string("monitorStarted=") + (started ? "true" : "false") +
             " inputMonitoring=" + (m_runtime.monitor().hasPermission() ? "true" : "false") +
             " latencyMs=" + (latency ? format("%.1f", *latency) : std::string("unknown")) +
             " output=" + std::string(rawValue(m_runtime.outputDevice().kind())));
    if (!started)
        m_output("monitor: " + m_runtime.monitor().lastError());

    m_queue.postAfter(postAfter, weakly<SelfTest>(m_self, [](SelfTest& test) { test.postEvents(); }));
    m_queue.postAfter(reportAfter, weakly<SelfTest>(m_self, [](SelfTest& test) { test.report(); }));
}

void SelfTest::postEvents()
{
    if (!m_injector)
    {
        m_output("inject: " + m_injectorError);
        return;
    }
    InputInjector& inject = *m_injector;
    const auto pause = [&] {
        inject.flush();
        ::usleep(pauseMicroseconds);
    };
    for (std::int64_t code : {0, 49, 36, 12})
    {
        inject.key(code, true);
        pause();
        inject.key(code, false);
        pause();
    }
    const Point at{300.0, 300.0};
    for (std::int64_t button : {0, 1})
    {
        inject.mouse(button, true, at);
        pause();
        inject.mouse(button, false, at);
        pause();
    }
    for (int i = 0; i < 6; ++i)
    {
        inject.scrollPixels(-14.0);
        pause();
    }
    if (const std::string error = inject.lastError(); !error.empty())
        m_output("inject: " + error);
}

void SelfTest::report()
{
    m_output(receivedLine(m_counts));
    SoundEngine& engine = m_runtime.engine();
    // debugSummary waits for the engine's queue, so the count read after it includes every sound
    // requested before.
    const std::string summary = engine.debugSummary();
    m_output("sound: " + summary + " played=" + std::to_string(engine.playedCount()));
    m_exit(0);
}

// ---- Bench ----

Bench::Bench(SystemRuntime& runtime, MainQueue& queue, std::function<void(const std::string&)> output,
             std::function<void(int)> exit)
    : m_runtime(runtime), m_queue(queue), m_output(std::move(output)), m_exit(std::move(exit))
{
}

Bench::~Bench()
{
    m_queue.cancel(m_timer);
}

std::string Bench::phaseLine(const std::string& phase, double cpuPercent, double footprintMB)
{
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "%-8s cpu %.2f%% of one core   footprint %.1f MB", phase.c_str(), cpuPercent,
                  footprintMB);
    return buffer;
}

void Bench::run()
{
    m_runtime.controller().start();
    m_output(format("start: footprint %.1f MB", ProcessStats::footprintMB()));
    m_phase = "warmup";
    m_wallStart = ProcessStats::wallSeconds();
    m_cpuStart = ProcessStats::processorSeconds();
    m_timer = m_queue.startTimer(tick, weakly<Bench>(m_self, [](Bench& bench) { bench.onTick(); }));
}

void Bench::reportPhase(const std::string& phase)
{
    const double wall = ProcessStats::wallSeconds() - m_wallStart;
    const double cpu = ProcessStats::processorSeconds() - m_cpuStart;
    m_output(phaseLine(phase, wall > 0.0 ? 100.0 * cpu / wall : 0.0, ProcessStats::footprintMB()));
}

void Bench::onTick()
{
    const double elapsed = ProcessStats::wallSeconds() - m_wallStart;
    if (m_phase == "warmup")
    {
        if (elapsed >= warmup)
        {
            m_phase = "active";
            m_wallStart = ProcessStats::wallSeconds();
            m_cpuStart = ProcessStats::processorSeconds();
        }
        return;
    }
    if (m_phase != "active")
        return;
    static constexpr std::array<std::int64_t, 8> keys{0, 1, 2, 49, 5, 4, 38, 40};
    Controller& controller = m_runtime.controller();
    ++m_ticks;
    const Point at{400.0, 400.0};
    if (m_ticks % 4 == 0)
    {
        const std::int64_t code = keys[static_cast<std::size_t>((m_ticks / 4) % 8)];
        controller.handle(KeyEvent{code, true, false, 0});
        controller.handle(KeyEvent{code, false, false, 0});
    }
    if (m_ticks % 25 == 0)
    {
        controller.handle(MouseEvent{0, true, at});
        controller.handle(MouseEvent{0, false, at});
    }
    controller.handle(ScrollEvent{-9.0, true, false, at});
    if (elapsed >= active)
    {
        reportPhase("active");
        m_phase = "idle";
        m_wallStart = ProcessStats::wallSeconds();
        m_cpuStart = ProcessStats::processorSeconds();
        m_queue.cancel(m_timer);
        m_timer = 0;
        m_queue.postAfter(idle, weakly<Bench>(m_self, [](Bench& bench) {
                              bench.reportPhase("idle");
                              bench.m_runtime.controller().handle(KeyEvent{0, true, false, 0});
                              bench.m_queue.postAfter(0.5, weakly<Bench>(bench.m_self, [](Bench& b) {
                                                          b.m_output(format(
                                                              "first sound after idle: engine resume took %.1f ms",
                                                              b.m_runtime.engine().lastResumeMs()));
                                                          b.m_exit(0);
                                                      }));
                          }));
    }
}

} // namespace clickory
