// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/input/InputEvent.h"
#include "ClickoryApp/platform/InputSource.h"

#include <functional>
#include <string>

namespace clickory {

// The only source of input for the pipeline: listens to the session's global input through an
// InputSource and hands every converted event to `handler`, on the main thread, in event order. It
// never changes, delays or swallows input.
//
// States: stopped -> started (start() true) -> stopped again by stop(), or by itself when its source
// fails (the X server goes away, the devices fail); the controller's health check then calls
// start() again. Thread: main. The source must outlive the monitor.
class EventMonitor : private InputSink
{
public:
    explicit EventMonitor(InputSource& source);
    ~EventMonitor() override;
    EventMonitor(const EventMonitor&) = delete;
    EventMonitor& operator=(const EventMonitor&) = delete;

    // Receives every converted event; set before start(). Events arriving without a handler are
    // dropped after conversion.
    std::function<void(const InputEvent&)> handler;

    // Called once when the source stopped by itself, with a plain-sentence reason (no key codes).
    std::function<void(const std::string& reason)> onStopped;

    // Starts listening. True if the monitor is running afterwards (already running: true at once);
    // false, keeping no state, when no source can be opened (reason in lastError()).
    bool start();

    // Stops listening; nothing reaches the handler afterwards.
    void stop();

    bool isRunning() const;

    // Whether input can be read in this session at all: the Input Monitoring permission.
    bool hasPermission() const;

    std::string lastError() const;

private:
    void receive(const InputEvent& event) override;
    void sourceStopped(const std::string& reason) override;

    InputSource& m_source;
    std::string m_stoppedReason;
};

} // namespace clickory
