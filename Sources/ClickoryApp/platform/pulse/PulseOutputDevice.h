// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/AudioOutput.h"
#include "ClickoryApp/platform/OutputDevice.h"
#include "ClickoryApp/platform/pulse/PulseConnection.h"

#include <mutex>

namespace clickory {

// Output-device facts from the PulseAudio server's default sink. Buffer requests and the buffer
// term of the latency estimate concern our own stream (`stream`, when given), never the device as
// other programs use it.
//
// Kind: a Bluetooth bus is headphones; a USB bus, or an HDMI or DisplayPort port, is external; an
// internal device (form factor "internal", or a PCI, platform or ISA bus) is headphones when its
// active port is a headphone or headset port and built-in speakers when it is a speaker port;
// anything else is unknown (a null sink, a network sink).
//
// Threads: any one thread at a time; each call may wait briefly on the server.
class PulseOutputDevice final : public OutputDevice
{
public:
    explicit PulseOutputDevice(AudioOutput* stream = nullptr, double connectTimeoutSeconds = 2.0);

    OutputKind kind() override;
    bool isBluetooth() override;
    std::optional<double> estimatedLatencyMs(double sampleRate) override;
    std::optional<std::uint32_t> requestBufferFrames(std::uint32_t frames) override;

    // The classification of a sink's facts (see above).
    static OutputKind classify(const PulseSinkFacts& facts);
    static bool isBluetooth(const PulseSinkFacts& facts);

    // The default sink's facts, connecting (again) when needed; nothing without a server or sink.
    std::optional<PulseSinkFacts> defaultSink();

private:
    std::mutex m_mutex;
    AudioOutput* m_stream;
    double m_timeout;
    PulseConnection m_connection{"Clickory device facts"};
};

} // namespace clickory
