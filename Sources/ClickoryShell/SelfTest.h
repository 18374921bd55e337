// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/InputInjector.h"
#include "ClickoryApp/settings/SettingsStore.h"
#include "ClickoryShell/SystemRuntime.h"

#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace clickory {

// "--selftest": starts the whole system, posts real input into the session (keys A, Space, Return
// and Q, a left and a right click at (300, 300), six scroll steps), then reports what the pipeline
// received and what the engine played, and ends with status 0. Guarded by the caller
// (CLICKORY_ALLOW_INJECTION=1). CLICKORY_PROFILE and CLICKORY_SCROLL choose the sound.
//
// Thread: main; delays on the main queue.
class SelfTest : public QObject
{
    Q_OBJECT

public:
    static constexpr double postAfter = 1.0;
    static constexpr double reportAfter = 2.5;
    static constexpr unsigned pauseMicroseconds = 30000;

    SelfTest(SystemRuntime& runtime, SettingsStore& store, MainQueue& queue, std::unique_ptr<InputInjector> injector,
             std::string injectorError, std::function<void(const std::string&)> output,
             std::function<void(int)> exit);
    ~SelfTest() override;

    void run();

    // "received: " and the counts by name in ascending order, "name=count" joined by spaces.
    static std::string receivedLine(const std::map<std::string, int>& counts);

private:
    void postEvents();
    void report();

    SystemRuntime& m_runtime;
    SettingsStore& m_store;
    MainQueue& m_queue;
    std::unique_ptr<InputInjector> m_injector;
    std::string m_injectorError;
    std::function<void(const std::string&)> m_output;
    std::function<void(int)> m_exit;
    std::map<std::string, int> m_counts;
    std::shared_ptr<SelfTest*> m_self = std::make_shared<SelfTest*>(this);
};

// "--bench": feeds synthetic events straight into the pipeline for 12 s after a 2 s warm-up, then
// idles for 12 s, and prints the processor load and footprint of both phases and how long the
// engine took to resume after idling.
class Bench : public QObject
{
    Q_OBJECT

public:
    static constexpr double tick = 0.02;
    static constexpr double warmup = 2.0;
    static constexpr double active = 12.0;
    static constexpr double idle = 12.0;

    Bench(SystemRuntime& runtime, MainQueue& queue, std::function<void(const std::string&)> output,
          std::function<void(int)> exit);
    ~Bench() override;

    void run();

    // "%-8s cpu %.2f%% of one core   footprint %.1f MB".
    static std::string phaseLine(const std::string& phase, double cpuPercent, double footprintMB);

private:
    void onTick();
    void reportPhase(const std::string& phase);

    SystemRuntime& m_runtime;
    MainQueue& m_queue;
    std::function<void(const std::string&)> m_output;
    std::function<void(int)> m_exit;
    std::string m_phase = "warmup";
    double m_wallStart = 0.0;
    double m_cpuStart = 0.0;
    long m_ticks = 0;
    MainQueue::Token m_timer = 0;
    std::shared_ptr<Bench*> m_self = std::make_shared<Bench*>(this);
};

} // namespace clickory
