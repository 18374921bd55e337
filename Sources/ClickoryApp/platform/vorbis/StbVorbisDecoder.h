// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/OggDecoder.h"

namespace clickory {

// Ogg Vorbis through stb_vorbis (libstb). Reads the file stream by stream in 16-bit frames and stops
// at the time limit, so a long file is never decoded whole into memory. Stateless.
class StbVorbisDecoder final : public OggDecoder
{
public:
    std::optional<DecodedSound> decode(const std::filesystem::path& path, double maxSeconds) override;
};

} // namespace clickory
