// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/settings/OutputKind.h"

#include <cstdint>
#include <optional>

namespace clickory {

// Facts about the default output device. Stateless from the caller's point of view: every call asks
// the system afresh. Any thread; calls may block briefly on the sound server.
class OutputDevice
{
public:
    virtual ~OutputDevice() = default;

    // The kind of the default output; unknown when there is none or it cannot be classified.
    virtual OutputKind kind() = 0;

    // True when the default output is a Bluetooth device.
    virtual bool isBluetooth() = 0;

    // (2 x buffer + latency + safety) / rate x 1000, with buffer, latency and safety in frames and
    // rate = sampleRate (1 when sampleRate <= 1). Nothing without a default output.
    virtual std::optional<double> estimatedLatencyMs(double sampleRate) = 0;

    // Asks for a buffer of `frames` frames, clamped to the allowed range, for our own stream only.
    // Answers the size in force, or nothing without a default output.
    virtual std::optional<std::uint32_t> requestBufferFrames(std::uint32_t frames) = 0;
};

} // namespace clickory
