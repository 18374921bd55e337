// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/AudioDevices.h"
#include "ClickoryApp/platform/MainQueue.h"

#include <pulse/pulseaudio.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace clickory {

// The mute rules' device facts from the PulseAudio server (or PipeWire's pulse server): the default
// source counts as a microphone in use while it is RUNNING (some program records from it); the
// default sink's kind is classified as PulseOutputDevice does. Subscription events for the server,
// sinks, sources and cards keep both current.
//
// Connecting and reconnecting happen on a thread of its own, so the main thread never waits on the
// server; the facts live in atomics, and a change is posted to the main queue. Without a server
// (none running, connection refused, the server went away) the input counts as not running and the
// kind as unknown, and a new connection is tried every `retrySeconds`.
class PulseAudioDevices final : public AudioDevices
{
public:
    // The queue must outlive this object.
    explicit PulseAudioDevices(MainQueue& queue, double connectTimeoutSeconds = 2.0, double retrySeconds = 5.0);
    ~PulseAudioDevices() override;
    PulseAudioDevices(const PulseAudioDevices&) = delete;
    PulseAudioDevices& operator=(const PulseAudioDevices&) = delete;

    // Main thread. The first call starts the connection thread.
    void watch(std::function<void()> onChange) override;
    void unwatch() override;

    // Any thread.
    bool defaultInputIsRunning() const override { return m_inputRunning.load(); }
    OutputKind outputKind() const override { return static_cast<OutputKind>(m_kind.load()); }
    bool isConnected() const { return m_connected.load(); }

private:
    void run();
    // Loop thread, with the main loop locked: asks for the server's defaults and then their facts.
    void requestRefresh(pa_context* context);
    void publish(bool inputRunning, OutputKind kind);
    void deliver();

    static void subscriptionEvent(pa_context* context, pa_subscription_event_type_t type, std::uint32_t index,
                                  void* self);
    static void serverInfo(pa_context* context, const pa_server_info* info, void* self);
    static void sourceInfo(pa_context* context, const pa_source_info* info, int eol, void* self);
    static void sinkInfo(pa_context* context, const pa_sink_info* info, int eol, void* self);

    MainQueue& m_queue;
    double m_timeout;
    double m_retry;
    std::function<void()> m_onChange;
    std::atomic<bool> m_inputRunning{false};
    std::atomic<int> m_kind{static_cast<int>(OutputKind::unknown)};
    std::atomic<bool> m_connected{false};
    // Posted deliveries hold this weakly (checked on the main thread).
    std::shared_ptr<PulseAudioDevices*> m_self = std::make_shared<PulseAudioDevices*>(this);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    bool m_failed = false;
    std::thread m_thread;
};

} // namespace clickory
