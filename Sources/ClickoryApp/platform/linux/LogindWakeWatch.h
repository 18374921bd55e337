// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/MainQueue.h"

#include <functional>
#include <string>

struct sd_bus;
struct sd_bus_slot;
struct sd_bus_message;

namespace clickory {

// Tells when the system woke from sleep: logind's PrepareForSleep(false) signal on the system
// D-Bus, read through sd-bus on the main queue. Without a system bus (containers, some CI machines)
// start() fails with the reason and no wake is ever reported; nothing here blocks.
//
// Thread: main. The queue must outlive the watch.
class LogindWakeWatch
{
public:
    explicit LogindWakeWatch(MainQueue& queue) : m_queue(queue) {}
    ~LogindWakeWatch();
    LogindWakeWatch(const LogindWakeWatch&) = delete;
    LogindWakeWatch& operator=(const LogindWakeWatch&) = delete;

    // Connects and subscribes; `onWake` runs on the main thread after each wake-up.
    bool start(std::function<void()> onWake);
    void stop();
    bool isRunning() const { return m_bus != nullptr; }
    const std::string& lastError() const { return m_lastError; }

    // What the PrepareForSleep signal reports: true before sleep, false after waking. A wake is
    // passed to the handler through the main queue.
    void sleepSignal(bool goingToSleep);

private:
    void process();

    MainQueue& m_queue;
    std::function<void()> m_onWake;
    sd_bus* m_bus = nullptr;
    sd_bus_slot* m_slot = nullptr;
    MainQueue::Token m_watch = 0;
    MainQueue::Token m_firstRun = 0;
    std::string m_lastError;
};

} // namespace clickory
