// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/SoundFileReader.h"

namespace clickory {

// Reads any sound file FFmpeg can decode (WAV, AIFF, CAF, FLAC, MP3, M4A, Ogg ...): the first audio
// stream, mixed to mono as the mean of its channels and converted to the requested rate with
// swresample. Only local files are opened (no network or other protocols). Stateless; calls may run
// concurrently.
class FfmpegSoundFileReader final : public SoundFileReader
{
public:
    FfmpegSoundFileReader();

    std::optional<std::vector<float>> read(const std::filesystem::path& path, double sampleRate,
                                           double maxSeconds) override;
};

} // namespace clickory
