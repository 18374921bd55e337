// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/cues/ActionKind.h"
#include "ClickoryCore/input/SoundRole.h"
#include "ClickoryCore/profiles/ScrollStyle.h"
#include "ClickoryCore/settings/FeelSettings.h"

#include <cstdint>
#include <optional>
#include <string>

namespace clickory {

// What the controller asks of the sound engine. `EngineSoundPlayer` forwards to the real
// `SoundEngine`; tests record the requests.
//
// Thread: main. Every request except start() and isRunning() only enqueues and returns at once;
// play() and playCue() must cost no more than the one request they hand over.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;

    // Opens the output. Nothing on success, else the reason.
    virtual std::optional<std::string> start() = 0;
    virtual void load(const std::string& profileID, ScrollStyle scroll, const std::optional<std::string>& customPath) = 0;
    virtual void loadCues(const FeelSettings& settings) = 0;
    virtual void play(SoundRole role, double semitones, float gain, float pan, std::optional<std::int64_t> keyCode) = 0;
    // No kind: the dud cue.
    virtual void playCue(std::optional<ActionKind> kind, float gain) = 0;
    virtual void setLowLatency(bool on) = 0;
    virtual void restartAfterWake() = 0;
    // Waits for the engine's queue: true when the output runs (or is idle-paused).
    virtual bool isRunning() = 0;
    // The master volume, clamped to 0...1 by the engine and applied at once.
    virtual void setMaster(float value) = 0;
    // The engine's random generator, shared with its own draws: [0, 1) and [-1, 1).
    virtual float randomUnit() = 0;
    virtual float randomSignedUnit() = 0;
};

} // namespace clickory
