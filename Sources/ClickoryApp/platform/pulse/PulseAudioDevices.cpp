// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/pulse/PulseAudioDevices.h"

#include "ClickoryApp/platform/pulse/PulseConnection.h"
#include "ClickoryApp/platform/pulse/PulseOutputDevice.h"

#include <chrono>

namespace clickory {

PulseAudioDevices::PulseAudioDevices(MainQueue& queue, double connectTimeoutSeconds, double retrySeconds)
    : m_queue(queue)
    , m_timeout(connectTimeoutSeconds)
    , m_retry(retrySeconds)
{
}

PulseAudioDevices::~PulseAudioDevices()
{
    m_self.reset();
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void PulseAudioDevices::watch(std::function<void()> onChange)
{
    m_onChange = std::move(onChange);
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
}

void PulseAudioDevices::unwatch()
{
    m_onChange = nullptr;
}

void PulseAudioDevices::deliver()
{
    if (m_onChange)
        m_onChange();
}

void PulseAudioDevices::publish(bool inputRunning, OutputKind kind)
{
    const bool changedInput = m_inputRunning.exchange(inputRunning) != inputRunning;
    const bool changedKind = m_kind.exchange(static_cast<int>(kind)) != static_cast<int>(kind);
    if (!changedInput && !changedKind)
        return;
    std::weak_ptr<PulseAudioDevices*> weak = m_self;
    m_queue.post([weak] {
        if (const auto self = weak.lock())
            (*self)->deliver();
    });
}

void PulseAudioDevices::run()
{
    for (;;)
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_stop)
                return;
            m_failed = false;
        }
        PulseConnection connection("Clickory device monitor");
        connection.setFailureHandler([this] {
            {
                std::lock_guard lock(m_mutex);
                m_failed = true;
            }
            m_wake.notify_all();
        });
        if (connection.connect(m_timeout))
        {
            pa_threaded_mainloop_lock(connection.loop());
            pa_context_set_subscribe_callback(connection.context(), &PulseAudioDevices::subscriptionEvent, this);
            const auto mask = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SERVER | PA_SUBSCRIPTION_MASK_SINK |
                                                                  PA_SUBSCRIPTION_MASK_SOURCE | PA_SUBSCRIPTION_MASK_CARD);
            if (pa_operation* operation = pa_context_subscribe(connection.context(), mask, nullptr, nullptr))
                pa_operation_unref(operation);
            requestRefresh(connection.context());
            pa_threaded_mainloop_unlock(connection.loop());
            m_connected = true;

            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || m_failed; });
            lock.unlock();

            pa_threaded_mainloop_lock(connection.loop());
            pa_context_set_subscribe_callback(connection.context(), nullptr, nullptr);
            pa_threaded_mainloop_unlock(connection.loop());
            connection.disconnect();
            m_connected = false;
        }
        // No server: nothing is known.
        publish(false, OutputKind::unknown);
        std::unique_lock lock(m_mutex);
        m_wake.wait_for(lock, std::chrono::duration<double>(m_retry), [this] { return m_stop; });
    }
}

void PulseAudioDevices::requestRefresh(pa_context* context)
{
    if (pa_operation* operation = pa_context_get_server_info(context, &PulseAudioDevices::serverInfo, this))
        pa_operation_unref(operation);
}

void PulseAudioDevices::subscriptionEvent(pa_context* context, pa_subscription_event_type_t, std::uint32_t,
                                          void* self)
{
    // Any change of the server's defaults, a sink, a source or a card: read the facts again.
    static_cast<PulseAudioDevices*>(self)->requestRefresh(context);
}

void PulseAudioDevices::serverInfo(pa_context* context, const pa_server_info* info, void* opaque)
{
    auto* self = static_cast<PulseAudioDevices*>(opaque);
    const bool hasSource = info && info->default_source_name && *info->default_source_name;
    const bool hasSink = info && info->default_sink_name && *info->default_sink_name;
    if (!hasSource)
        self->publish(false, self->outputKind());
    else if (pa_operation* operation = pa_context_get_source_info_by_name(context, info->default_source_name,
                                                                          &PulseAudioDevices::sourceInfo, self))
        pa_operation_unref(operation);
    if (!hasSink)
        self->publish(self->defaultInputIsRunning(), OutputKind::unknown);
    else if (pa_operation* operation =
                 pa_context_get_sink_info_by_name(context, info->default_sink_name, &PulseAudioDevices::sinkInfo, self))
        pa_operation_unref(operation);
}

void PulseAudioDevices::sourceInfo(pa_context*, const pa_source_info* info, int eol, void* opaque)
{
    auto* self = static_cast<PulseAudioDevices*>(opaque);
    if (eol < 0)
        self->publish(false, self->outputKind()); // the source went away meanwhile
    if (eol != 0 || !info)
        return;
    self->publish(info->state == PA_SOURCE_RUNNING, self->outputKind());
}

void PulseAudioDevices::sinkInfo(pa_context*, const pa_sink_info* info, int eol, void* opaque)
{
    auto* self = static_cast<PulseAudioDevices*>(opaque);
    if (eol < 0)
        self->publish(self->defaultInputIsRunning(), OutputKind::unknown);
    if (eol != 0 || !info)
        return;
    self->publish(self->defaultInputIsRunning(), PulseOutputDevice::classify(PulseSinkFacts::from(*info)));
}

} // namespace clickory
