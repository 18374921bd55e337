// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/SoundFileReader.h"

#include <map>
#include <string>
#include <vector>

namespace clickory {

// A sound-file reader that serves samples from memory by file name (the last path component), and
// records what was asked. A name it does not know reads as a file that cannot be decoded.
class FakeSoundFileReader final : public SoundFileReader
{
public:
    std::optional<std::vector<float>> read(const std::filesystem::path& path, double sampleRate,
                                           double maxSeconds) override
    {
        reads.push_back(path.filename().string());
        lastSampleRate = sampleRate;
        lastMaxSeconds = maxSeconds;
        const auto found = files.find(path.filename().string());
        if (found == files.end())
            return std::nullopt;
        return found->second;
    }

    std::map<std::string, std::vector<float>> files;
    std::vector<std::string> reads;
    double lastSampleRate = 0.0;
    double lastMaxSeconds = 0.0;
};

} // namespace clickory
