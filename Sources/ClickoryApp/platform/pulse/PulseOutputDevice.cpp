// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/pulse/PulseOutputDevice.h"

#include <algorithm>
#include <cctype>

namespace clickory {

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

PulseOutputDevice::PulseOutputDevice(AudioOutput* stream, double connectTimeoutSeconds)
    : m_stream(stream)
    , m_timeout(connectTimeoutSeconds)
{
}

std::optional<PulseSinkFacts> PulseOutputDevice::defaultSink()
{
    std::lock_guard lock(m_mutex);
    if (!m_connection.isReady() && !m_connection.connect(m_timeout))
        return std::nullopt;
    return m_connection.defaultSink();
}

bool PulseOutputDevice::isBluetooth(const PulseSinkFacts& facts)
{
    return lower(facts.bus) == "bluetooth" ||
           (facts.portType && *facts.portType == PA_DEVICE_PORT_TYPE_BLUETOOTH);
}

OutputKind PulseOutputDevice::classify(const PulseSinkFacts& facts)
{
    const std::string bus = lower(facts.bus);
    const std::string form = lower(facts.formFactor);
    const std::string port = lower(facts.portName);
    if (isBluetooth(facts))
        return OutputKind::headphones;
    const bool hdmi = (facts.portType && (*facts.portType == PA_DEVICE_PORT_TYPE_HDMI)) || contains(port, "hdmi") ||
                      contains(port, "displayport") || form == "hdmi" || form == "tv";
    if (bus == "usb" || hdmi)
        return OutputKind::external;
    const bool internal = form == "internal" || bus == "pci" || bus == "platform" || bus == "isa";
    if (!internal)
        return OutputKind::unknown;
    const bool headphonePort =
        (facts.portType && (*facts.portType == PA_DEVICE_PORT_TYPE_HEADPHONES ||
                            *facts.portType == PA_DEVICE_PORT_TYPE_HEADSET)) ||
        contains(port, "headphone") || contains(port, "headset");
    if (headphonePort)
        return OutputKind::headphones;
    const bool speakerPort =
        (facts.portType && *facts.portType == PA_DEVICE_PORT_TYPE_SPEAKER) || contains(port, "speaker");
    return speakerPort ? OutputKind::builtInSpeakers : OutputKind::unknown;
}

OutputKind PulseOutputDevice::kind()
{
    const std::optional<PulseSinkFacts> facts = defaultSink();
    return facts ? classify(*facts) : OutputKind::unknown;
}

bool PulseOutputDevice::isBluetooth()
{
    const std::optional<PulseSinkFacts> facts = defaultSink();
    return facts && isBluetooth(*facts);
}

std::optional<double> PulseOutputDevice::estimatedLatencyMs(double sampleRate)
{
    const std::optional<PulseSinkFacts> facts = defaultSink();
    if (!facts)
        return std::nullopt;
    const double rate = sampleRate <= 1.0 ? 1.0 : sampleRate;
    const double buffer = (m_stream ? m_stream->bufferFrames() : std::nullopt).value_or(512);
    const std::uint64_t sinkUsec = std::max(facts->latencyUsec, facts->configuredLatencyUsec);
    const double latency = static_cast<double>(sinkUsec) * rate / 1'000'000.0;
    const double safety = 0.0;
    return (2.0 * buffer + latency + safety) / rate * 1000.0;
}

std::optional<std::uint32_t> PulseOutputDevice::requestBufferFrames(std::uint32_t frames)
{
    if (!defaultSink() || !m_stream)
        return std::nullopt;
    return m_stream->requestBufferFrames(frames);
}

} // namespace clickory
