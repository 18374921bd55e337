// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/pipeline/SoundPlayer.h"
#include "ClickoryCore/synth/SplitMix64.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace clickory {

// Records every request. Random draws come from scripted values when any are queued, else from a
// generator of its own; each draw is logged as 'u' (unit) or 's' (signed), in order.
class FakeSoundPlayer final : public SoundPlayer
{
public:
    struct Play
    {
        SoundRole role;
        double semitones;
        float gain;
        float pan;
        std::optional<std::int64_t> keyCode;
    };
    struct Cue
    {
        std::optional<ActionKind> kind;
        float gain;
    };
    struct Load
    {
        std::string profileID;
        ScrollStyle scroll;
        std::optional<std::string> customPath;
    };

    std::optional<std::string> start() override
    {
        ++starts;
        return startFailure;
    }
    void load(const std::string& profileID, ScrollStyle scroll, const std::optional<std::string>& customPath) override
    {
        loads.push_back({profileID, scroll, customPath});
    }
    void loadCues(const FeelSettings&) override { ++cueLoads; }
    void play(SoundRole role, double semitones, float gain, float pan, std::optional<std::int64_t> keyCode) override
    {
        plays.push_back({role, semitones, gain, pan, keyCode});
    }
    void playCue(std::optional<ActionKind> kind, float gain) override { cues.push_back({kind, gain}); }
    void setLowLatency(bool on) override { latencies.push_back(on); }
    void restartAfterWake() override
    {
        ++restarts;
        running = true;
    }
    bool isRunning() override { return running; }
    void setMaster(float value) override { masters.push_back(value); }
    float randomUnit() override
    {
        draws += 'u';
        return next(unitValues, rng.unit());
    }
    float randomSignedUnit() override
    {
        draws += 's';
        return next(signedValues, rng.signedUnit());
    }

    std::optional<std::string> startFailure;
    bool running = true;
    int starts = 0;
    int restarts = 0;
    int cueLoads = 0;
    std::vector<Play> plays;
    std::vector<Cue> cues;
    std::vector<Load> loads;
    std::vector<bool> latencies;
    std::vector<float> masters;
    std::deque<float> unitValues;
    std::deque<float> signedValues;
    std::string draws;
    SplitMix64 rng{42};

private:
    static float next(std::deque<float>& scripted, float fallback)
    {
        if (scripted.empty())
            return fallback;
        const float value = scripted.front();
        scripted.pop_front();
        return value;
    }
};

} // namespace clickory
