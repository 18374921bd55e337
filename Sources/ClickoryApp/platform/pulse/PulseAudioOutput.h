// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/AudioOutput.h"
#include "ClickoryApp/platform/pulse/PulseConnection.h"

#include <atomic>
#include <mutex>

namespace clickory {

// The audio output on a PulseAudio server (or PipeWire's PulseAudio service): one stereo float
// playback stream on the default sink at the sink's rate, filled in the stream's write callback.
//
// The buffer request shapes our stream only: a period (minimum request) of N frames and a target
// length of 4 N frames, with latency adjustment so the server sizes the sink for it. Pausing corks
// the stream, so it costs the server nothing. While the renderer is silent the write callback
// answers nothing, so the stream runs dry and stops waking us; wake() refills it when a sound
// comes. A failed stream, a lost or restarted server and a change of the default sink are reported
// through the configuration-change handler.
//
// Threads: the methods are called from one thread at a time (the engine's work queue); the write
// callback and the handler run on libpulse's main loop thread.
class PulseAudioOutput final : public AudioOutput
{
public:
    explicit PulseAudioOutput(double connectTimeoutSeconds = 3.0);
    ~PulseAudioOutput() override;

    bool start(AudioRenderer& renderer) override;
    double sampleRate() const override { return m_rate; }
    bool pause() override;
    bool resume() override;
    void stop() override;
    bool isRunning() const override;
    std::optional<std::uint32_t> requestBufferFrames(std::uint32_t frames) override;
    std::optional<std::uint32_t> bufferFrames() const override;
    std::optional<double> latencyMs() const override;
    void wake() override;
    std::uint64_t underrunCount() const override { return m_underruns.load(std::memory_order_relaxed); }
    void setConfigurationChangeHandler(std::function<void()> handler) override;
    std::string lastError() const override;

    // The default sink's facts over this output's connection; nothing when not started.
    std::optional<PulseSinkFacts> defaultSink();

private:
    static void writeRequested(pa_stream* stream, std::size_t bytes, void* self);
    static void underflowed(pa_stream* stream, void* self);
    static void started(pa_stream* stream, void* self);
    static void streamStateChanged(pa_stream* stream, void* self);
    static void serverEvent(pa_context* context, pa_subscription_event_type_t type, std::uint32_t index, void* self);
    static void serverInfoForChange(pa_context* context, const pa_server_info* info, void* self);

    pa_buffer_attr attributes(std::uint32_t frames) const;
    void reportChange();
    void closeStream();

    double m_timeout;
    PulseConnection m_connection{"Clickory"};
    pa_stream* m_stream = nullptr;
    AudioRenderer* m_renderer = nullptr;
    double m_rate = 48000.0;
    std::string m_sinkName;
    std::uint32_t m_requestedFrames = 512;
    bool m_corked = false;
    bool m_closing = false;
    // True while the write callback holds back because the renderer is silent. Main loop lock.
    bool m_drained = false;
    // True from holding back until playback starts again: the underflow notice of that stretch is
    // expected. Main loop lock.
    bool m_dryExpected = false;
    bool m_changeReported = false;
    std::atomic<std::uint64_t> m_underruns{0};
    mutable std::mutex m_handlerMutex;
    std::function<void()> m_handler;
    mutable std::mutex m_errorMutex;
    std::string m_error;
};

} // namespace clickory
