// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/input/EventMonitor.h"
#include "ClickoryApp/pipeline/EventTap.h"

namespace clickory {

// The controller's view of the `EventMonitor`: a running monitor is an enabled tap; a monitor that
// stopped (by stop() or because its source failed) has no tap, so the health check starts it again.
// The monitor must outlive this object.
class MonitorEventTap final : public EventTap
{
public:
    explicit MonitorEventTap(EventMonitor& monitor) : m_monitor(monitor) {}

    void setHandler(Handler handler) override { m_monitor.handler = std::move(handler); }
    bool hasPermission() const override { return m_monitor.hasPermission(); }
    bool hasTap() const override { return m_monitor.isRunning(); }
    bool isEnabled() const override { return m_monitor.isRunning(); }
    void enable() override {}
    bool start() override { return m_monitor.start(); }
    void stop() override { m_monitor.stop(); }

private:
    EventMonitor& m_monitor;
};

} // namespace clickory
