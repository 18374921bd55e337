// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/engine/PcmBuffer.h"

#include <cstddef>
#include <vector>

namespace clickory {

// The sounds of one role or one key: rows of alternative takes, each row at a pitch offset.
struct SoundBank
{
    // Pitch offset in semitones of each row.
    std::vector<double> pitches;
    // Row i holds the alternative takes at pitches[i]. Takes are never null.
    std::vector<std::vector<PcmBufferPtr>> takes;
    // True for recordings, imported packs and the custom sound; false for synthesized banks.
    bool isRecorded = false;

    // Rows but no takes in them: present, so it blocks any fallback, and playing it does nothing.
    static SoundBank silent() { return SoundBank{{0.0}, {{}}, true}; }

    // Bytes of sample data held by the takes (shared buffers counted once per reference).
    std::size_t sampleBytes() const
    {
        std::size_t bytes = 0;
        for (const auto& row : takes)
            for (const PcmBufferPtr& take : row)
                bytes += take->frameCount() * sizeof(float);
        return bytes;
    }
};

} // namespace clickory
