// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/linux/LogindWakeWatch.h"

#include <systemd/sd-bus.h>

#include <cstring>

namespace clickory {

namespace {

int prepareForSleep(sd_bus_message* message, void* self, sd_bus_error*)
{
    int goingToSleep = 1;
    if (sd_bus_message_read(message, "b", &goingToSleep) >= 0)
        static_cast<LogindWakeWatch*>(self)->sleepSignal(goingToSleep != 0);
    return 0;
}

} // namespace

LogindWakeWatch::~LogindWakeWatch()
{
    stop();
}

bool LogindWakeWatch::start(std::function<void()> onWake)
{
    stop();
    m_onWake = std::move(onWake);
    m_lastError.clear();
    int result = sd_bus_open_system(&m_bus);
    if (result < 0)
    {
        m_lastError = std::string("could not connect to the system bus: ") + std::strerror(-result);
        m_bus = nullptr;
        return false;
    }
    // Asynchronous, so that a slow bus never holds up the main thread.
    result = sd_bus_match_signal_async(m_bus, &m_slot, "org.freedesktop.login1", "/org/freedesktop/login1",
                                       "org.freedesktop.login1.Manager", "PrepareForSleep",
                                       &prepareForSleep, nullptr, this);
    const int fd = sd_bus_get_fd(m_bus);
    if (result < 0 || fd < 0)
    {
        m_lastError = std::string("could not listen for logind's sleep signal: ") + std::strerror(-(result < 0 ? result : fd));
        stop();
        return false;
    }
    m_watch = m_queue.watchReadable(fd, [this] { process(); });
    // Let the connection's handshake and the match request go out.
    m_firstRun = m_queue.postAfter(0.0, [this] {
        m_firstRun = 0;
        process();
    });
    return true;
}

void LogindWakeWatch::stop()
{
    if (m_watch)
        m_queue.cancel(m_watch);
    if (m_firstRun)
        m_queue.cancel(m_firstRun);
    m_watch = m_firstRun = 0;
    if (m_slot)
        sd_bus_slot_unref(m_slot);
    m_slot = nullptr;
    if (m_bus)
        sd_bus_flush_close_unref(m_bus);
    m_bus = nullptr;
}

void LogindWakeWatch::process()
{
    if (!m_bus)
        return;
    for (int i = 0; i < 64; ++i)
    {
        const int result = sd_bus_process(m_bus, nullptr);
        if (result < 0)
        {
            m_lastError = std::string("the system bus connection failed: ") + std::strerror(-result);
            // Cancel from inside the watch's own callback is allowed by the queue.
            stop();
            return;
        }
        if (result == 0)
            return;
    }
    // More work is pending: continue soon without starving the queue.
    if (!m_firstRun)
        m_firstRun = m_queue.postAfter(0.0, [this] {
            m_firstRun = 0;
            process();
        });
}

void LogindWakeWatch::sleepSignal(bool goingToSleep)
{
    // Reported outside sd-bus's dispatch, in case the handler stops this watch.
    if (!goingToSleep && m_onWake)
        m_queue.post([onWake = m_onWake] { onWake(); });
}

} // namespace clickory
