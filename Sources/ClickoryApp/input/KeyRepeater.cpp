// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/KeyRepeater.h"

#include <utility>

namespace clickory {

KeyRepeater::KeyRepeater(MainQueue& queue, std::function<void(int evdevCode)> onRepeat)
    : m_queue(queue), m_onRepeat(std::move(onRepeat))
{
}

KeyRepeater::~KeyRepeater()
{
    cancel();
}

void KeyRepeater::configure(const Settings& settings)
{
    cancel();
    m_settings = settings;
}

void KeyRepeater::pressed(int evdevCode)
{
    const bool repeats = evdevCode >= 0 && evdevCode < static_cast<int>(m_settings.repeating.size()) &&
                         m_settings.repeating.test(static_cast<std::size_t>(evdevCode));
    if (!m_settings.enabled || !repeats || m_settings.interval <= 0.0)
    {
        return;  // like the server: a key that does not repeat leaves the current repeat running
    }
    cancel();
    m_key = evdevCode;
    m_token = m_queue.postAfter(m_settings.delay, [this] { firstRepeat(); });
}

void KeyRepeater::released(int evdevCode)
{
    if (evdevCode == m_key)
    {
        cancel();
    }
}

void KeyRepeater::cancel()
{
    m_queue.cancel(m_token);
    m_token = 0;
    m_key = -1;
}

void KeyRepeater::firstRepeat()
{
    const int key = m_key;
    m_token = m_queue.startTimer(m_settings.interval, [this] { m_onRepeat(m_key); });
    m_onRepeat(key);
}

} // namespace clickory
