// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/vorbis/StbVorbisDecoder.h"

#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

#include <cmath>
#include <cstdint>
#include <memory>

namespace clickory {

namespace {

struct VorbisCloser
{
    void operator()(stb_vorbis* vorbis) const { stb_vorbis_close(vorbis); }
};

// Frames decoded per call.
constexpr int chunkFrames = 4096;

} // namespace

std::optional<DecodedSound> StbVorbisDecoder::decode(const std::filesystem::path& path, double maxSeconds)
{
    if (path.empty() || !(maxSeconds > 0.0))
        return std::nullopt;
    int error = 0;
    std::unique_ptr<stb_vorbis, VorbisCloser> vorbis(stb_vorbis_open_filename(path.c_str(), &error, nullptr));
    if (!vorbis)
        return std::nullopt;
    const stb_vorbis_info info = stb_vorbis_get_info(vorbis.get());
    const int channels = info.channels;
    if (channels < 1 || info.sample_rate < 1)
        return std::nullopt;

    const double limit = std::trunc(static_cast<double>(info.sample_rate) * maxSeconds);
    const std::size_t maxFrames = static_cast<std::size_t>(limit);

    DecodedSound sound;
    sound.sampleRate = static_cast<double>(info.sample_rate);
    std::vector<short> chunk(static_cast<std::size_t>(chunkFrames) * static_cast<std::size_t>(channels));
    while (sound.samples.size() < maxFrames)
    {
        const int frames = stb_vorbis_get_samples_short_interleaved(vorbis.get(), channels, chunk.data(),
                                                                    static_cast<int>(chunk.size()));
        if (frames <= 0)
            break;
        const std::size_t take = std::min(static_cast<std::size_t>(frames), maxFrames - sound.samples.size());
        for (std::size_t frame = 0; frame < take; ++frame)
        {
            float sum = 0.0f;
            for (int channel = 0; channel < channels; ++channel)
                sum += static_cast<float>(chunk[frame * static_cast<std::size_t>(channels) +
                                                static_cast<std::size_t>(channel)]);
            sound.samples.push_back(sum / static_cast<float>(channels) / 32768.0f);
        }
    }
    if (sound.samples.empty())
        return std::nullopt;
    return sound;
}

} // namespace clickory
