// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/pulse/PulseConnection.h"

#include <chrono>
#include <thread>

namespace clickory {

PulseConnection::PulseConnection(std::string clientName) : m_name(std::move(clientName)) {}

PulseConnection::~PulseConnection()
{
    disconnect();
}

void PulseConnection::contextStateChanged(pa_context* context, void* opaque)
{
    auto* self = static_cast<PulseConnection*>(opaque);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_READY)
        self->m_wasReady = true;
    if ((state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) && self->m_wasReady &&
        !self->m_disconnecting && self->m_onFailure)
        self->m_onFailure();
    signal(self->m_loop);
}

bool PulseConnection::connect(double timeoutSeconds)
{
    disconnect();
    m_error.clear();
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop)
    {
        m_error = "could not create the PulseAudio main loop";
        return false;
    }
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, m_name.c_str());
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ID, "clickory");
    pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "event");
    m_context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(m_loop), m_name.c_str(), properties);
    pa_proplist_free(properties);
    if (!m_context)
    {
        m_error = "could not create a PulseAudio context";
        disconnect();
        return false;
    }
    m_wasReady = false;
    m_disconnecting = false;
    pa_context_set_state_callback(m_context, &PulseConnection::contextStateChanged, this);
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
    {
        m_error = std::string("could not connect to the sound server: ") + pa_strerror(pa_context_errno(m_context));
        disconnect();
        return false;
    }
    if (pa_threaded_mainloop_start(m_loop) < 0)
    {
        m_error = "could not start the PulseAudio main loop";
        disconnect();
        return false;
    }

    // Connecting can hang on a stuck server, so poll the state against a deadline instead of
    // waiting on the loop without limit.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    for (;;)
    {
        pa_threaded_mainloop_lock(m_loop);
        const pa_context_state_t state = pa_context_get_state(m_context);
        const int code = pa_context_errno(m_context);
        pa_threaded_mainloop_unlock(m_loop);
        if (state == PA_CONTEXT_READY)
            return true;
        if (!PA_CONTEXT_IS_GOOD(state))
        {
            m_error = std::string("could not connect to the sound server: ") + pa_strerror(code);
            disconnect();
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline)
        {
            m_error = "the sound server did not answer in time";
            disconnect();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void PulseConnection::disconnect()
{
    if (m_loop)
    {
        pa_threaded_mainloop_lock(m_loop);
        m_disconnecting = true;
        if (m_context)
        {
            pa_context_set_state_callback(m_context, nullptr, nullptr);
            pa_context_disconnect(m_context);
        }
        pa_threaded_mainloop_unlock(m_loop);
        pa_threaded_mainloop_stop(m_loop);
    }
    if (m_context)
        pa_context_unref(m_context);
    m_context = nullptr;
    if (m_loop)
        pa_threaded_mainloop_free(m_loop);
    m_loop = nullptr;
}

bool PulseConnection::isReady()
{
    if (!m_loop || !m_context)
        return false;
    pa_threaded_mainloop_lock(m_loop);
    const bool ready = pa_context_get_state(m_context) == PA_CONTEXT_READY;
    pa_threaded_mainloop_unlock(m_loop);
    return ready;
}

bool PulseConnection::waitLocked(pa_operation* operation)
{
    if (!operation)
        return false;
    while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING)
    {
        if (pa_context_get_state(m_context) != PA_CONTEXT_READY)
        {
            pa_operation_cancel(operation);
            break;
        }
        pa_threaded_mainloop_wait(m_loop);
    }
    const bool done = pa_operation_get_state(operation) == PA_OPERATION_DONE;
    pa_operation_unref(operation);
    return done;
}

namespace {

struct SinkQuery
{
    pa_threaded_mainloop* loop;
    std::optional<PulseSinkFacts> facts;
};

struct NameQuery
{
    pa_threaded_mainloop* loop;
    std::optional<std::string> name;
};

void serverInfoReceived(pa_context*, const pa_server_info* info, void* opaque)
{
    auto* query = static_cast<NameQuery*>(opaque);
    if (info && info->default_sink_name && *info->default_sink_name)
        query->name = info->default_sink_name;
    PulseConnection::signal(query->loop);
}

void sinkInfoReceived(pa_context*, const pa_sink_info* info, int eol, void* opaque)
{
    auto* query = static_cast<SinkQuery*>(opaque);
    if (eol == 0 && info && !query->facts)
    {
        query->facts = PulseSinkFacts::from(*info);
    }
    PulseConnection::signal(query->loop);
}

} // namespace

PulseSinkFacts PulseSinkFacts::from(const pa_sink_info& info)
{
    PulseSinkFacts facts;
    facts.name = info.name ? info.name : "";
    facts.rate = info.sample_spec.rate;
    if (const char* bus = pa_proplist_gets(info.proplist, PA_PROP_DEVICE_BUS))
        facts.bus = bus;
    if (const char* form = pa_proplist_gets(info.proplist, PA_PROP_DEVICE_FORM_FACTOR))
        facts.formFactor = form;
    if (info.active_port)
    {
        facts.portType = static_cast<pa_device_port_type_t>(info.active_port->type);
        facts.portName = info.active_port->name ? info.active_port->name : "";
    }
    facts.latencyUsec = info.latency;
    facts.configuredLatencyUsec = info.configured_latency;
    return facts;
}

std::optional<std::string> PulseConnection::defaultSinkName()
{
    if (!isReady())
        return std::nullopt;
    NameQuery query{m_loop, std::nullopt};
    pa_threaded_mainloop_lock(m_loop);
    waitLocked(pa_context_get_server_info(m_context, &serverInfoReceived, &query));
    pa_threaded_mainloop_unlock(m_loop);
    return query.name;
}

std::optional<PulseSinkFacts> PulseConnection::defaultSink()
{
    const std::optional<std::string> name = defaultSinkName();
    if (!name)
        return std::nullopt;
    SinkQuery query{m_loop, std::nullopt};
    pa_threaded_mainloop_lock(m_loop);
    waitLocked(pa_context_get_sink_info_by_name(m_context, name->c_str(), &sinkInfoReceived, &query));
    pa_threaded_mainloop_unlock(m_loop);
    return query.facts;
}

} // namespace clickory
