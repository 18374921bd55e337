// SPDX-License-Identifier: MIT
#include "ClickoryApp/engine/PlayerPool.h"

#include <algorithm>
#include <cmath>

namespace clickory {

namespace {

float clampOrZero(float value, float low, float high)
{
    if (std::isnan(value))
        return 0.0f;
    return std::clamp(value, low, high);
}

} // namespace

std::pair<float, float> PlayerPool::panFactors(float pan)
{
    const double angle = (static_cast<double>(pan) + 1.0) * (3.14159265358979323846 / 4.0);
    return {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
}

bool PlayerPool::send(PlayCommand command)
{
    command.sequence = ++m_sequence;
    if (m_mixer.send(command))
        return true;
    --m_sequence;
    return false;
}

std::optional<std::int64_t> PlayerPool::schedule(const PcmBufferPtr& buffer, float gain, float pan)
{
    releaseFinished();
    if (m_players == 0 || !buffer)
        return std::nullopt;

    const std::int64_t index = m_cursor;
    m_cursor = (m_cursor + 1) % m_players;

    const float g = clampOrZero(gain, 0.0f, 1.0f);
    const auto [left, right] = panFactors(clampOrZero(pan, -1.0f, 1.0f));
    PlayCommand command;
    command.kind = PlayCommand::Kind::play;
    command.player = static_cast<std::uint32_t>(index);
    command.samples = buffer->data();
    command.length = buffer->frameCount();
    command.left = g * left;
    command.right = g * right;
    if (!send(command))
    {
        ++m_dropped;
        return std::nullopt;
    }
    PcmBufferPtr& slot = m_current[static_cast<std::size_t>(index)];
    if (slot)
        m_retired.emplace_back(m_sequence, std::move(slot));
    slot = buffer;
    return index;
}

void PlayerPool::clear()
{
    m_players = 0;
    PlayCommand command;
    command.kind = PlayCommand::Kind::stopAll;
    // When the queue is full the old buffers stay held until a later command gets through.
    if (!send(command))
        return;
    for (PcmBufferPtr& slot : m_current)
    {
        if (slot)
            m_retired.emplace_back(m_sequence, std::move(slot));
        slot.reset();
    }
}

void PlayerPool::releaseFinished()
{
    const std::uint64_t consumed = m_mixer.consumedSequence();
    while (!m_retired.empty() && m_retired.front().first <= consumed)
        m_retired.pop_front();
}

std::size_t PlayerPool::heldBuffers() const
{
    std::size_t count = m_retired.size();
    for (const PcmBufferPtr& slot : m_current)
        count += slot ? 1 : 0;
    return count;
}

} // namespace clickory
