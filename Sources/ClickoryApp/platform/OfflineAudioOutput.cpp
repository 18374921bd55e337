// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/OfflineAudioOutput.h"

#include <algorithm>
#include <utility>

namespace clickory {

bool OfflineAudioOutput::start(AudioRenderer& renderer)
{
    std::lock_guard lock(m_mutex);
    ++m_starts;
    if (!m_failStart.empty())
    {
        m_error = std::exchange(m_failStart, {});
        m_renderer = nullptr;
        return false;
    }
    m_error.clear();
    m_renderer = &renderer;
    m_paused = false;
    return true;
}

bool OfflineAudioOutput::pause()
{
    std::lock_guard lock(m_mutex);
    ++m_pauses;
    m_paused = true;
    return m_renderer != nullptr;
}

bool OfflineAudioOutput::resume()
{
    std::lock_guard lock(m_mutex);
    ++m_resumes;
    if (!m_failResume.empty())
    {
        m_error = std::exchange(m_failResume, {});
        return false;
    }
    if (!m_renderer)
    {
        m_error = "no stream";
        return false;
    }
    m_paused = false;
    return true;
}

void OfflineAudioOutput::stop()
{
    std::lock_guard lock(m_mutex);
    m_renderer = nullptr;
    m_paused = false;
}

bool OfflineAudioOutput::isRunning() const
{
    std::lock_guard lock(m_mutex);
    return m_renderer != nullptr && !m_paused;
}

std::optional<std::uint32_t> OfflineAudioOutput::requestBufferFrames(std::uint32_t frames)
{
    std::lock_guard lock(m_mutex);
    m_frames = std::max(frames, m_minimumFrames);
    return m_frames;
}

std::optional<std::uint32_t> OfflineAudioOutput::bufferFrames() const
{
    std::lock_guard lock(m_mutex);
    if (!m_renderer)
        return std::nullopt;
    return m_frames;
}

std::optional<double> OfflineAudioOutput::latencyMs() const
{
    std::lock_guard lock(m_mutex);
    if (!m_renderer)
        return std::nullopt;
    return 2.0 * m_frames / m_rate * 1000.0;
}

void OfflineAudioOutput::setConfigurationChangeHandler(std::function<void()> handler)
{
    std::lock_guard lock(m_mutex);
    m_handler = std::move(handler);
}

std::string OfflineAudioOutput::lastError() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

std::vector<float> OfflineAudioOutput::pull(std::size_t frames)
{
    std::vector<float> out(frames * 2, 0.0f);
    std::lock_guard lock(m_mutex);
    if (m_renderer && !m_paused && frames > 0)
        m_renderer->render(out.data(), frames);
    return out;
}

void OfflineAudioOutput::failNextStart(std::string reason)
{
    std::lock_guard lock(m_mutex);
    m_failStart = std::move(reason);
}

void OfflineAudioOutput::failNextResume(std::string reason)
{
    std::lock_guard lock(m_mutex);
    m_failResume = std::move(reason);
}

void OfflineAudioOutput::simulateConfigurationChange()
{
    std::function<void()> handler;
    {
        std::lock_guard lock(m_mutex);
        handler = m_handler;
    }
    if (handler)
        handler();
}

} // namespace clickory
