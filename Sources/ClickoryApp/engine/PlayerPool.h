// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/engine/Mixer.h"
#include "ClickoryApp/engine/PcmBuffer.h"

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>

namespace clickory {

// The work queue's half of the sound output: the pool of eight players used in strict rotation.
// It keeps every buffer a player may still read alive, and releases it (here, on the work queue,
// never on the audio thread) once the mixer has applied the command that replaced it.
//
// Pan law: constant power. With pan p in -1...1 and angle a = (p + 1) x pi/4, the left channel gets
// gain x cos(a) and the right gain x sin(a). A centred sound gets 1/sqrt(2) (-3 dB) on each side,
// so a sound's loudness stays the same wherever it sits between the speakers.
//
// Thread: work queue only.
class PlayerPool
{
public:
    static constexpr std::int64_t poolSize = static_cast<std::int64_t>(Mixer::playerCount);

    explicit PlayerPool(Mixer& mixer) : m_mixer(mixer) {}

    // Makes the eight players available (after the output started). The cursor keeps its value.
    void build() { m_players = poolSize; }

    // Makes the pool empty (no output) and silences every player. The cursor keeps its value.
    void clear();

    // Number of players: 0 before build(), then 8.
    std::int64_t players() const { return m_players; }
    bool empty() const { return m_players == 0; }

    // The player the next sound will use.
    std::int64_t cursor() const { return m_cursor; }

    // Starts the buffer on the player at the cursor with the gain clamped to 0...1 and the pan
    // clamped to -1...1 (NaN counts as 0), cutting what that player was playing, and advances the
    // cursor. Answers the player used; nothing when the pool is empty, the buffer is null, or the
    // mixer's command queue is full (the sound is then dropped and counted).
    std::optional<std::int64_t> schedule(const PcmBufferPtr& buffer, float gain, float pan);

    // Releases the buffers the audio thread no longer reads.
    void releaseFinished();

    // Buffers kept alive for the players (current ones and those waiting to be released).
    std::size_t heldBuffers() const;

    // The buffer last started on a player (null when none).
    const PcmBufferPtr& current(std::int64_t player) const { return m_current.at(static_cast<std::size_t>(player)); }

    // Sounds dropped because the command queue was full.
    std::uint64_t dropped() const { return m_dropped; }

    // The (left, right) factors of the pan law for a pan in -1...1.
    static std::pair<float, float> panFactors(float pan);

private:
    bool send(PlayCommand command);

    Mixer& m_mixer;
    std::int64_t m_players = 0;
    std::int64_t m_cursor = 0;
    std::uint64_t m_sequence = 0;
    std::uint64_t m_dropped = 0;
    std::array<PcmBufferPtr, Mixer::playerCount> m_current{};
    // Buffers replaced by the command with the given sequence number.
    std::deque<std::pair<std::uint64_t, PcmBufferPtr>> m_retired;
};

} // namespace clickory
