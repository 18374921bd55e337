// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace clickory {

// Mono samples at the rate they were recorded at.
struct DecodedSound
{
    std::vector<float> samples;
    double sampleRate = 0.0;
};

// Decodes Ogg Vorbis files.
class OggDecoder
{
public:
    virtual ~OggDecoder() = default;

    // Any thread; calls may run concurrently. Decodes at most the first `maxSeconds` of the file at
    // its own rate; each sample is the mean of the frame's 16-bit channel values divided by 32 768.
    // Nothing when the file cannot be opened or decoded, or declares no channel or no rate.
    virtual std::optional<DecodedSound> decode(const std::filesystem::path& path, double maxSeconds) = 0;
};

} // namespace clickory
