// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/pulse/PulseAudioOutput.h"

#include <cstring>

namespace clickory {

namespace {

constexpr std::size_t frameBytes = 2 * sizeof(float);

struct SuccessWait
{
    pa_threaded_mainloop* loop;
    bool ok = false;
};

void succeeded(pa_stream*, int success, void* opaque)
{
    auto* wait = static_cast<SuccessWait*>(opaque);
    wait->ok = success != 0;
    PulseConnection::signal(wait->loop);
}

} // namespace

PulseAudioOutput::PulseAudioOutput(double connectTimeoutSeconds) : m_timeout(connectTimeoutSeconds)
{
    m_connection.setFailureHandler([this] { reportChange(); });
}

PulseAudioOutput::~PulseAudioOutput()
{
    stop();
}

pa_buffer_attr PulseAudioOutput::attributes(std::uint32_t frames) const
{
    pa_buffer_attr attr;
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(4 * frames * frameBytes);
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(frames * frameBytes);
    attr.fragsize = static_cast<std::uint32_t>(-1);
    return attr;
}

// Thread: audio (libpulse main loop). RT-safe apart from libpulse's own begin-write/write pair.
void PulseAudioOutput::writeRequested(pa_stream* stream, std::size_t bytes, void* opaque)
{
    auto* self = static_cast<PulseAudioOutput*>(opaque);
    // Nothing to play: leave the request unanswered. The server plays out what is queued, then the
    // stream runs dry and waits without asking again, so a silent stream costs no wakeups until
    // wake() refills it.
    if (self->m_renderer->isSilent())
    {
        self->m_drained = true;
        self->m_dryExpected = true;
        return;
    }
    self->m_drained = false;
    while (bytes >= frameBytes)
    {
        void* data = nullptr;
        std::size_t size = bytes;
        if (pa_stream_begin_write(stream, &data, &size) < 0 || data == nullptr || size < frameBytes)
            return;
        const std::size_t frames = size / frameBytes;
        self->m_renderer->render(static_cast<float*>(data), frames);
        if (pa_stream_write(stream, data, frames * frameBytes, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return;
        bytes -= frames * frameBytes;
    }
}

void PulseAudioOutput::underflowed(pa_stream*, void* opaque)
{
    auto* self = static_cast<PulseAudioOutput*>(opaque);
    // Running out after we held back on purpose is not a fault. The notice may come after wake()
    // refilled the stream, so the expectation lasts until playback starts again.
    if (!self->m_drained && !self->m_dryExpected)
        self->m_underruns.fetch_add(1, std::memory_order_relaxed);
}

void PulseAudioOutput::started(pa_stream*, void* opaque)
{
    static_cast<PulseAudioOutput*>(opaque)->m_dryExpected = false;
}

void PulseAudioOutput::wake()
{
    pa_threaded_mainloop* loop = m_connection.loop();
    if (!loop || !m_stream)
        return;
    pa_threaded_mainloop_lock(loop);
    // The stream waits for data only after a silent stretch; then fill it here at once (the first
    // sound after a quiet stretch plays behind nothing but the server's own latency) and make sure
    // it starts even if the server asked for less than its start threshold.
    if (m_drained && !m_corked && pa_stream_get_state(m_stream) == PA_STREAM_READY)
    {
        const std::size_t writable = pa_stream_writable_size(m_stream);
        const pa_buffer_attr* attr = pa_stream_get_buffer_attr(m_stream);
        // Less asked for than the whole target length: audio is still queued, the stream did not
        // run dry, and a later underflow would be a real one.
        if (attr && writable < attr->tlength)
            m_dryExpected = false;
        if (writable != static_cast<std::size_t>(-1) && writable >= frameBytes)
        {
            writeRequested(m_stream, writable, this);
            if (!m_drained && attr && attr->prebuf > writable)
            {
                if (pa_operation* operation = pa_stream_trigger(m_stream, nullptr, nullptr))
                    pa_operation_unref(operation);
            }
        }
    }
    pa_threaded_mainloop_unlock(loop);
}

void PulseAudioOutput::streamStateChanged(pa_stream* stream, void* opaque)
{
    auto* self = static_cast<PulseAudioOutput*>(opaque);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if ((state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) && !self->m_closing)
        self->reportChange();
    PulseConnection::signal(self->m_connection.loop());
}

void PulseAudioOutput::serverEvent(pa_context* context, pa_subscription_event_type_t type, std::uint32_t,
                                   void* opaque)
{
    if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) != PA_SUBSCRIPTION_EVENT_SERVER)
        return;
    pa_operation* operation = pa_context_get_server_info(context, &PulseAudioOutput::serverInfoForChange, opaque);
    if (operation)
        pa_operation_unref(operation);
}

void PulseAudioOutput::serverInfoForChange(pa_context*, const pa_server_info* info, void* opaque)
{
    auto* self = static_cast<PulseAudioOutput*>(opaque);
    if (!info || self->m_closing)
        return;
    const std::string name = info->default_sink_name ? info->default_sink_name : "";
    if (name != self->m_sinkName)
        self->reportChange();
}

void PulseAudioOutput::reportChange()
{
    // Once per stream: a dying server fails the context and the stream one after the other.
    if (m_changeReported)
        return;
    m_changeReported = true;
    std::function<void()> handler;
    {
        std::lock_guard lock(m_handlerMutex);
        handler = m_handler;
    }
    if (handler)
        handler();
}

void PulseAudioOutput::setConfigurationChangeHandler(std::function<void()> handler)
{
    std::lock_guard lock(m_handlerMutex);
    m_handler = std::move(handler);
}

std::string PulseAudioOutput::lastError() const
{
    std::lock_guard lock(m_errorMutex);
    return m_error;
}

bool PulseAudioOutput::start(AudioRenderer& renderer)
{
    stop();
    const auto fail = [this](std::string reason) {
        {
            std::lock_guard lock(m_errorMutex);
            m_error = std::move(reason);
        }
        stop();
        return false;
    };
    {
        std::lock_guard lock(m_errorMutex);
        m_error.clear();
    }
    m_changeReported = false;
    m_closing = false;
    m_drained = false;
    m_dryExpected = false;
    if (!m_connection.connect(m_timeout))
        return fail(m_connection.error());

    const std::optional<PulseSinkFacts> sink = m_connection.defaultSink();
    m_sinkName = sink ? sink->name : std::string();
    m_rate = sink && sink->rate > 0 ? static_cast<double>(sink->rate) : 48000.0;
    m_renderer = &renderer;

    pa_threaded_mainloop* loop = m_connection.loop();
    pa_context* context = m_connection.context();
    pa_threaded_mainloop_lock(loop);
    pa_sample_spec sampleFormat;
    sampleFormat.format = PA_SAMPLE_FLOAT32NE;
    sampleFormat.rate = static_cast<std::uint32_t>(m_rate);
    sampleFormat.channels = 2;
    pa_channel_map map;
    pa_channel_map_init_stereo(&map);
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "event");
    pa_proplist_sets(properties, PA_PROP_MEDIA_NAME, "Clickory sounds");
    m_stream = pa_stream_new_with_proplist(context, "Clickory sounds", &sampleFormat, &map, properties);
    pa_proplist_free(properties);
    if (!m_stream)
    {
        const std::string reason = std::string("could not create the stream: ") + pa_strerror(pa_context_errno(context));
        pa_threaded_mainloop_unlock(loop);
        return fail(reason);
    }
    pa_stream_set_state_callback(m_stream, &PulseAudioOutput::streamStateChanged, this);
    pa_stream_set_write_callback(m_stream, &PulseAudioOutput::writeRequested, this);
    pa_stream_set_underflow_callback(m_stream, &PulseAudioOutput::underflowed, this);
    pa_stream_set_started_callback(m_stream, &PulseAudioOutput::started, this);
    const pa_buffer_attr attr = attributes(m_requestedFrames);
    // No automatic timing updates: they are a server round trip every few hundred milliseconds,
    // corked or not, and only latencyMs reads timing, asking the server itself.
    const auto flags = PA_STREAM_ADJUST_LATENCY;
    if (pa_stream_connect_playback(m_stream, nullptr, &attr, flags, nullptr, nullptr) < 0)
    {
        const std::string reason = std::string("could not open the stream: ") + pa_strerror(pa_context_errno(context));
        pa_threaded_mainloop_unlock(loop);
        return fail(reason);
    }
    for (;;)
    {
        const pa_stream_state_t state = pa_stream_get_state(m_stream);
        if (state == PA_STREAM_READY)
            break;
        if (!PA_STREAM_IS_GOOD(state))
        {
            const std::string reason =
                std::string("the stream failed: ") + pa_strerror(pa_context_errno(context));
            pa_threaded_mainloop_unlock(loop);
            return fail(reason);
        }
        pa_threaded_mainloop_wait(loop);
    }
    // Watch the server for a change of the default sink.
    pa_context_set_subscribe_callback(context, &PulseAudioOutput::serverEvent, this);
    if (pa_operation* operation = pa_context_subscribe(context, PA_SUBSCRIPTION_MASK_SERVER, nullptr, nullptr))
        pa_operation_unref(operation);
    m_corked = false;
    pa_threaded_mainloop_unlock(loop);
    return true;
}

void PulseAudioOutput::closeStream()
{
    pa_threaded_mainloop* loop = m_connection.loop();
    if (!loop)
        return;
    pa_threaded_mainloop_lock(loop);
    m_closing = true;
    if (m_connection.context())
        pa_context_set_subscribe_callback(m_connection.context(), nullptr, nullptr);
    if (m_stream)
    {
        pa_stream_set_write_callback(m_stream, nullptr, nullptr);
        pa_stream_set_underflow_callback(m_stream, nullptr, nullptr);
        pa_stream_set_started_callback(m_stream, nullptr, nullptr);
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    pa_threaded_mainloop_unlock(loop);
}

void PulseAudioOutput::stop()
{
    closeStream();
    m_connection.disconnect();
    m_stream = nullptr;
    m_renderer = nullptr;
    m_corked = false;
}

bool PulseAudioOutput::pause()
{
    pa_threaded_mainloop* loop = m_connection.loop();
    if (!loop || !m_stream)
        return false;
    pa_threaded_mainloop_lock(loop);
    SuccessWait wait{loop};
    const bool done = m_connection.waitLocked(pa_stream_cork(m_stream, 1, &succeeded, &wait)) && wait.ok;
    if (done)
        m_corked = true;
    pa_threaded_mainloop_unlock(loop);
    return done;
}

bool PulseAudioOutput::resume()
{
    pa_threaded_mainloop* loop = m_connection.loop();
    if (!loop || !m_stream)
    {
        std::lock_guard lock(m_errorMutex);
        m_error = "no stream";
        return false;
    }
    pa_threaded_mainloop_lock(loop);
    // Drop what was queued before the pause, so the next sound is not played behind stale silence.
    SuccessWait flushed{loop};
    m_connection.waitLocked(pa_stream_flush(m_stream, &succeeded, &flushed));
    SuccessWait wait{loop};
    const bool done = m_connection.waitLocked(pa_stream_cork(m_stream, 0, &succeeded, &wait)) && wait.ok;
    if (done)
        m_corked = false;
    const std::string reason = done ? std::string() : pa_strerror(pa_context_errno(m_connection.context()));
    pa_threaded_mainloop_unlock(loop);
    if (!done)
    {
        std::lock_guard lock(m_errorMutex);
        m_error = reason;
    }
    return done;
}

bool PulseAudioOutput::isRunning() const
{
    auto* self = const_cast<PulseAudioOutput*>(this);
    pa_threaded_mainloop* loop = self->m_connection.loop();
    if (!loop || !m_stream)
        return false;
    pa_threaded_mainloop_lock(loop);
    const bool running = pa_stream_get_state(m_stream) == PA_STREAM_READY && !m_corked;
    pa_threaded_mainloop_unlock(loop);
    return running;
}

std::optional<std::uint32_t> PulseAudioOutput::requestBufferFrames(std::uint32_t frames)
{
    m_requestedFrames = frames == 0 ? 1 : frames;
    pa_threaded_mainloop* loop = m_connection.loop();
    if (!loop || !m_stream)
        return std::nullopt;
    pa_threaded_mainloop_lock(loop);
    const pa_buffer_attr attr = attributes(m_requestedFrames);
    SuccessWait wait{loop};
    m_connection.waitLocked(pa_stream_set_buffer_attr(m_stream, &attr, &succeeded, &wait));
    const pa_buffer_attr* granted = pa_stream_get_buffer_attr(m_stream);
    std::optional<std::uint32_t> inForce;
    if (granted)
        inForce = static_cast<std::uint32_t>(granted->minreq / frameBytes);
    pa_threaded_mainloop_unlock(loop);
    return inForce;
}

std::optional<std::uint32_t> PulseAudioOutput::bufferFrames() const
{
    auto* self = const_cast<PulseAudioOutput*>(this);
    pa_threaded_mainloop* loop = self->m_connection.loop();
    if (!loop || !m_stream)
        return std::nullopt;
    pa_threaded_mainloop_lock(loop);
    const pa_buffer_attr* granted = pa_stream_get_buffer_attr(m_stream);
    std::optional<std::uint32_t> frames;
    if (granted)
        frames = static_cast<std::uint32_t>(granted->minreq / frameBytes);
    pa_threaded_mainloop_unlock(loop);
    return frames;
}

std::optional<double> PulseAudioOutput::latencyMs() const
{
    auto* self = const_cast<PulseAudioOutput*>(this);
    pa_threaded_mainloop* loop = self->m_connection.loop();
    if (!loop || !m_stream)
        return std::nullopt;
    pa_threaded_mainloop_lock(loop);
    // Fresh timing from the server: what we have queued plus the sink's own latency.
    SuccessWait wait{loop};
    self->m_connection.waitLocked(pa_stream_update_timing_info(m_stream, &succeeded, &wait));
    const pa_timing_info* timing = pa_stream_get_timing_info(m_stream);
    std::optional<double> result;
    if (timing && timing->write_index_corrupt == 0 && timing->read_index_corrupt == 0)
    {
        const std::int64_t queued = timing->write_index - timing->read_index;
        const double queuedUsec =
            static_cast<double>(queued > 0 ? queued : 0) / static_cast<double>(frameBytes) / m_rate * 1e6;
        result = (static_cast<double>(timing->sink_usec) + queuedUsec) / 1000.0;
    }
    pa_threaded_mainloop_unlock(loop);
    return result;
}

std::optional<PulseSinkFacts> PulseAudioOutput::defaultSink()
{
    return m_connection.defaultSink();
}

} // namespace clickory
