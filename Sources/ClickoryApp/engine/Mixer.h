// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/engine/SpscQueue.h"
#include "ClickoryApp/platform/AudioOutput.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace clickory {

// One instruction from the work queue to the audio thread. Plain data: the samples it points at
// are owned by the work queue (PlayerPool) until the mixer reports the command consumed.
struct PlayCommand
{
    enum class Kind : std::uint8_t
    {
        play,    // start `samples` on `player` from its first frame, cutting what it played
        stopAll, // silence every player
    };

    Kind kind = Kind::play;
    std::uint32_t player = 0;
    const float* samples = nullptr;
    std::size_t length = 0;
    float left = 0.0f;  // gain x left pan factor
    float right = 0.0f; // gain x right pan factor
    std::uint64_t sequence = 0;
};

// The real-time half of the sound output: eight players summed into interleaved stereo, then scaled
// by the master volume. Commands arrive through a single-producer/single-consumer queue and are
// applied at the top of each render call.
class Mixer final : public AudioRenderer
{
public:
    static constexpr std::size_t playerCount = 8;
    static constexpr std::size_t commandCapacity = 64;

    // Thread: work queue (the single producer). False when the queue is full; the command is then
    // not delivered.
    bool send(const PlayCommand& command);

    // Thread: audio. RT-safe. The output may also call it from the thread that wakes a silent
    // stream, but never at the same time as the audio thread (it holds the output's lock), so the
    // command queue keeps a single consumer at any moment.
    void render(float* stereo, std::size_t frames) override;

    // Thread: audio. RT-safe. No player sounds and no command waits.
    bool isSilent() const override;

    // Any thread. The master volume multiplies the whole mix.
    void setMaster(float value) { m_master.store(value, std::memory_order_relaxed); }
    float master() const { return m_master.load(std::memory_order_relaxed); }

    // Any thread. The sequence number of the last command the audio thread has applied; a buffer
    // replaced by that command (or an earlier one) is no longer read.
    std::uint64_t consumedSequence() const { return m_consumed.load(std::memory_order_acquire); }

    // Any thread. How many players are sounding after the last render (for diagnostics and tests).
    std::size_t activePlayers() const { return m_active.load(std::memory_order_relaxed); }

private:
    struct Player
    {
        const float* samples = nullptr;
        std::size_t length = 0;
        std::size_t position = 0;
        float left = 0.0f;
        float right = 0.0f;
    };

    bool anySounding() const;

    std::array<Player, playerCount> m_players{};
    SpscQueue<PlayCommand, commandCapacity> m_commands;
    std::atomic<float> m_master{0.7f};
    std::atomic<std::uint64_t> m_consumed{0};
    std::atomic<std::size_t> m_active{0};
};

} // namespace clickory
