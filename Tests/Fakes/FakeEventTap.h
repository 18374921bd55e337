// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/pipeline/EventTap.h"

namespace clickory {

// A scriptable tap: whether permission is there, whether a tap exists and is enabled, whether
// enable() and start() succeed; counts the repairs.
class FakeEventTap final : public EventTap
{
public:
    void setHandler(Handler h) override { handler = std::move(h); }
    bool hasPermission() const override { return permission; }
    bool hasTap() const override { return tap; }
    bool isEnabled() const override { return tap && enabled; }
    void enable() override
    {
        ++enables;
        if (enableWorks)
            enabled = true;
    }
    bool start() override
    {
        ++startCalls;
        if (!startWorks)
            return false;
        tap = true;
        enabled = true;
        return true;
    }
    void stop() override
    {
        ++stops;
        tap = false;
        enabled = false;
    }

    // Delivers an event as the real tap would.
    void emit(const InputEvent& event)
    {
        if (handler)
            handler(event);
    }

    Handler handler;
    bool permission = true;
    bool tap = false;
    bool enabled = false;
    bool enableWorks = true;
    bool startWorks = true;
    int enables = 0;
    int startCalls = 0;
    int stops = 0;
};

} // namespace clickory
