// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace clickory {

// Decodes sound files into mono float samples.
class SoundFileReader
{
public:
    virtual ~SoundFileReader() = default;

    // Any thread; calls may run concurrently. Decodes at most the first `maxSeconds` of the file's
    // first audio stream, mixes its channels to mono (their mean) and converts it to `sampleRate`.
    // Nothing when the file cannot be opened, is not audio, holds no samples, is cut short of the
    // length its header declares, or fails to decode.
    virtual std::optional<std::vector<float>> read(const std::filesystem::path& path, double sampleRate,
                                                   double maxSeconds) = 0;
};

} // namespace clickory
