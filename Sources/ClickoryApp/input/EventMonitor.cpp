// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/EventMonitor.h"

namespace clickory {

EventMonitor::EventMonitor(InputSource& source) : m_source(source) {}

EventMonitor::~EventMonitor()
{
    m_source.stop();
}

bool EventMonitor::start()
{
    if (m_source.isRunning())
    {
        return true;
    }
    m_stoppedReason.clear();
    return m_source.start(*this);
}

void EventMonitor::stop()
{
    m_source.stop();
}

bool EventMonitor::isRunning() const
{
    return m_source.isRunning();
}

bool EventMonitor::hasPermission() const
{
    return m_source.canReadInput();
}

std::string EventMonitor::lastError() const
{
    return m_stoppedReason.empty() ? m_source.lastError() : m_stoppedReason;
}

void EventMonitor::receive(const InputEvent& event)
{
    if (handler)
    {
        handler(event);
    }
}

void EventMonitor::sourceStopped(const std::string& reason)
{
    m_stoppedReason = reason;
    if (onStopped)
    {
        onStopped(reason);
    }
}

} // namespace clickory
