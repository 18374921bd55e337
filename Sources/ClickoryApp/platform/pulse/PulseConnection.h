// SPDX-License-Identifier: MIT
#pragma once

#include <pulse/pulseaudio.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace clickory {

// What the server says about its default sink.
struct PulseSinkFacts
{
    std::string name;
    std::uint32_t rate = 0;
    // device.bus ("bluetooth", "usb", "pci" ...), device.form_factor ("internal", "headphone" ...).
    std::string bus;
    std::string formFactor;
    // The active port, when the sink has ports.
    std::optional<pa_device_port_type_t> portType;
    std::string portName;
    // Queued audio and configured latency of the sink, in microseconds.
    std::uint64_t latencyUsec = 0;
    std::uint64_t configuredLatencyUsec = 0;

    // The facts of a sink as the server describes it. Thread: the server's callback.
    static PulseSinkFacts from(const pa_sink_info& info);
};

// One client connection to the sound server: a threaded main loop with its context. The server is
// the one libpulse finds by itself (PULSE_SERVER, the client configuration, the user's runtime
// folder); autospawning a daemon is never asked for.
//
// Threads: connect, disconnect and the queries are called from one thread at a time (not the main
// loop's); they lock the main loop around every libpulse call. State changes reach the handler on
// the main loop thread.
class PulseConnection
{
public:
    explicit PulseConnection(std::string clientName);
    ~PulseConnection();

    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // Connects, waiting at most timeoutSeconds for the server; false with the reason in error().
    // Connecting again first disconnects.
    bool connect(double timeoutSeconds);
    void disconnect();
    bool isReady();

    // Called on the main loop thread when a ready context fails or is terminated by the server
    // (not when disconnect() ends it). Set before connect().
    void setFailureHandler(std::function<void()> handler) { m_onFailure = std::move(handler); }

    // Facts of the default sink, or nothing without a connection or a default sink.
    std::optional<PulseSinkFacts> defaultSink();
    // The default sink's name, or nothing.
    std::optional<std::string> defaultSinkName();

    const std::string& error() const { return m_error; }

    pa_threaded_mainloop* loop() { return m_loop; }
    pa_context* context() { return m_context; }

    // With the main loop locked: waits until the operation is done (the callbacks signal the loop),
    // then releases it. False when it was cancelled or the context failed meanwhile.
    bool waitLocked(pa_operation* operation);

    // Helper for callbacks that only need to wake a waiting caller.
    static void signal(pa_threaded_mainloop* loop) { pa_threaded_mainloop_signal(loop, 0); }

private:
    static void contextStateChanged(pa_context* context, void* self);

    std::string m_name;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    bool m_disconnecting = false;
    bool m_wasReady = false;
    std::function<void()> m_onFailure;
    std::string m_error;
};

} // namespace clickory
