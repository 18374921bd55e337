// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/engine/SoundEngine.h"
#include "ClickoryApp/pipeline/SoundPlayer.h"

namespace clickory {

// The controller's view of the real sound engine: every request forwards to the same operation of
// `SoundEngine`. The engine must outlive this object.
class EngineSoundPlayer final : public SoundPlayer
{
public:
    explicit EngineSoundPlayer(SoundEngine& engine) : m_engine(engine) {}

    std::optional<std::string> start() override;
    void load(const std::string& profileID, ScrollStyle scroll, const std::optional<std::string>& customPath) override;
    void loadCues(const FeelSettings& settings) override;
    void play(SoundRole role, double semitones, float gain, float pan, std::optional<std::int64_t> keyCode) override;
    void playCue(std::optional<ActionKind> kind, float gain) override;
    void setLowLatency(bool on) override;
    void restartAfterWake() override;
    bool isRunning() override;
    void setMaster(float value) override;
    float randomUnit() override;
    float randomSignedUnit() override;

private:
    SoundEngine& m_engine;
};

} // namespace clickory
