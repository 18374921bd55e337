// SPDX-License-Identifier: MIT
#include "ClickoryApp/pipeline/EngineSoundPlayer.h"

namespace clickory {

std::optional<std::string> EngineSoundPlayer::start()
{
    return m_engine.start();
}

void EngineSoundPlayer::load(const std::string& profileID, ScrollStyle scroll,
                             const std::optional<std::string>& customPath)
{
    m_engine.load(profileID, scroll, customPath);
}

void EngineSoundPlayer::loadCues(const FeelSettings& settings)
{
    m_engine.loadCues(settings);
}

void EngineSoundPlayer::play(SoundRole role, double semitones, float gain, float pan,
                             std::optional<std::int64_t> keyCode)
{
    m_engine.play(role, semitones, gain, pan, keyCode);
}

void EngineSoundPlayer::playCue(std::optional<ActionKind> kind, float gain)
{
    m_engine.playCue(kind, gain);
}

void EngineSoundPlayer::setLowLatency(bool on)
{
    m_engine.setLowLatency(on);
}

void EngineSoundPlayer::restartAfterWake()
{
    m_engine.restartAfterWake();
}

bool EngineSoundPlayer::isRunning()
{
    return m_engine.isRunning();
}

void EngineSoundPlayer::setMaster(float value)
{
    m_engine.setMaster(value);
}

float EngineSoundPlayer::randomUnit()
{
    return m_engine.randomUnit();
}

float EngineSoundPlayer::randomSignedUnit()
{
    return m_engine.randomSignedUnit();
}

} // namespace clickory
