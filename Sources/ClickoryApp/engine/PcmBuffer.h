// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace clickory {

class PcmBuffer;

// Buffers are shared between the banks, the cache and the players; they are immutable once built,
// so sharing needs no locking.
using PcmBufferPtr = std::shared_ptr<const PcmBuffer>;

// One mono 32-bit float sound at the engine's sample rate, immutable once made.
class PcmBuffer
{
public:
    // A buffer holding exactly these samples; nothing (a null pointer) for an empty list, which
    // could never sound.
    static PcmBufferPtr make(std::vector<float> samples);

    const std::vector<float>& samples() const { return m_samples; }
    std::size_t frameCount() const { return m_samples.size(); }
    const float* data() const { return m_samples.data(); }

    explicit PcmBuffer(std::vector<float> samples) : m_samples(std::move(samples)) {}

private:
    const std::vector<float> m_samples;
};

inline PcmBufferPtr PcmBuffer::make(std::vector<float> samples)
{
    if (samples.empty())
        return nullptr;
    return std::make_shared<const PcmBuffer>(std::move(samples));
}

} // namespace clickory
