// SPDX-License-Identifier: MIT
#include "ClickoryApp/engine/Mixer.h"

#include <algorithm>

namespace clickory {

bool Mixer::send(const PlayCommand& command)
{
    return m_commands.push(command);
}

bool Mixer::anySounding() const
{
    return std::any_of(m_players.begin(), m_players.end(), [](const Player& p) { return p.position < p.length; });
}

bool Mixer::isSilent() const
{
    return m_commands.size() == 0 && !anySounding();
}

// Thread: audio. RT-safe: touches only the fixed player array, the queue and atomics.
void Mixer::render(float* stereo, std::size_t frames)
{
    PlayCommand command;
    std::uint64_t last = 0;
    while (m_commands.pop(command))
    {
        if (command.kind == PlayCommand::Kind::stopAll)
        {
            for (Player& player : m_players)
                player = Player{};
        }
        else if (command.player < playerCount)
        {
            m_players[command.player] = Player{command.samples, command.length, 0, command.left, command.right};
        }
        last = command.sequence;
    }
    if (last != 0)
        m_consumed.store(last, std::memory_order_release);

    std::fill(stereo, stereo + frames * 2, 0.0f);
    // Between sounds (and for the seconds before the output pauses) every player is silent: hand
    // back the zeros without walking the mix and master passes.
    if (!anySounding())
    {
        m_active.store(0, std::memory_order_relaxed);
        return;
    }
    std::size_t active = 0;
    for (Player& player : m_players)
    {
        if (player.position >= player.length)
            continue;
        const std::size_t count = std::min(frames, player.length - player.position);
        const float* source = player.samples + player.position;
        const float left = player.left;
        const float right = player.right;
        for (std::size_t k = 0; k < count; ++k)
        {
            stereo[2 * k] += source[k] * left;
            stereo[2 * k + 1] += source[k] * right;
        }
        player.position += count;
        if (player.position < player.length)
            ++active;
    }

    const float master = m_master.load(std::memory_order_relaxed);
    for (std::size_t i = 0; i < frames * 2; ++i)
        stereo[i] *= master;
    m_active.store(active, std::memory_order_relaxed);
}

} // namespace clickory
