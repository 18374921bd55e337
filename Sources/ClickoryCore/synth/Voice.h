// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

namespace clickory {

// The parameter record of one synthesized click: click (band-passed noise), body (gliding sine),
// rings (decaying partials), thud (low-passed noise) and spring (sine with tremolo).
// Frequencies are in hertz at pitch factor 1; every ...DecayMs is an exponential time constant.
// The three ring lists are parallel; the shortest one decides how many rings sound.
struct Voice
{
    double durationMs;
    float level;
    float clickGain;
    float clickFreq;
    float clickQ;
    float clickDecayMs;
    float bodyGain;
    float bodyFreq;
    float bodyDropRatio;
    float bodyDecayMs;
    std::vector<float> ringGains;
    std::vector<float> ringFreqs;
    std::vector<float> ringDecaysMs;
    float thudGain;
    float thudCutoff;
    float thudDecayMs;
    float springGain;
    float springFreq;
    float springDecayMs;

    // A re-pitched, quieter variant (modifier and mouse sounds).
    Voice scaled(float pitch, float gain) const;
    // The key-release sound belonging to a press voice.
    Voice released(float gain) const;
    // A heavier, longer variant for stabilized keys (space bar, enter).
    Voice stabilized(float pitch, double longer, float gain) const;
    // A short, light variant for scroll ticks; the spring is removed.
    Voice tick(float pitch, float gain) const;

    friend bool operator==(const Voice&, const Voice&) = default;
};

} // namespace clickory
