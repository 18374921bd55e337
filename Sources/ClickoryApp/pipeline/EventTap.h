// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/input/InputEvent.h"

#include <functional>

namespace clickory {

// The global input listener as the controller sees it: it delivers events to one handler, and the
// controller's health check and wake recovery repair it. `MonitorEventTap` adapts `EventMonitor`.
//
// A tap exists once started; the system may disable an existing tap (on Linux a source that fails
// stops instead, so an existing tap is always enabled there).
//
// Thread: main.
class EventTap
{
public:
    using Handler = std::function<void(const InputEvent&)>;

    virtual ~EventTap() = default;

    // Receives every event on the main thread. An empty handler drops events.
    virtual void setHandler(Handler handler) = 0;
    // Whether input may be read at all (Input Monitoring).
    virtual bool hasPermission() const = 0;
    virtual bool hasTap() const = 0;
    virtual bool isEnabled() const = 0;
    // Enables an existing, disabled tap.
    virtual void enable() = 0;
    // True when the tap runs afterwards.
    virtual bool start() = 0;
    virtual void stop() = 0;
};

} // namespace clickory
