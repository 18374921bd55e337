// SPDX-License-Identifier: MIT
#include "ClickoryCore/samples/WAV.h"

#include <algorithm>
#include <cmath>

namespace clickory::WAV {

namespace {

void appendText(std::vector<std::uint8_t>& out, const char (&text)[5])
{
    out.insert(out.end(), text, text + 4);
}

void append16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void append32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
    }
}

std::int16_t quantize(float sample)
{
    if (std::isnan(sample)) {
        return 0;
    }
    float scaled = std::clamp(sample, -1.0f, 1.0f) * 32767.0f;
    return static_cast<std::int16_t>(std::round(scaled)); // std::round rounds halves away from zero
}

} // namespace

std::vector<std::uint8_t> data(const std::vector<float>& samples, std::uint32_t sampleRate)
{
    if (samples.size() > maxSampleCount || sampleRate > maxSampleRate) {
        return {};
    }
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    out.reserve(44 + static_cast<std::size_t>(dataBytes));
    appendText(out, "RIFF");
    append32(out, 36 + dataBytes);
    appendText(out, "WAVE");
    appendText(out, "fmt ");
    append32(out, 16); // size of the format block
    append16(out, 1);  // integer PCM
    append16(out, 1);  // one channel
    append32(out, sampleRate);
    append32(out, sampleRate * 2); // bytes per second
    append16(out, 2);              // bytes per frame
    append16(out, 16);             // bits per sample
    appendText(out, "data");
    append32(out, dataBytes);
    for (float sample : samples) {
        append16(out, static_cast<std::uint16_t>(quantize(sample)));
    }
    return out;
}

} // namespace clickory::WAV
