// SPDX-License-Identifier: MIT
#include "ClickoryCore/synth/Voice.h"

#include <algorithm>

namespace clickory {

namespace {

std::vector<float> times(std::vector<float> values, float factor)
{
    for (float& value : values)
    {
        value = value * factor;
    }
    return values;
}

std::vector<float> timesAtLeast(std::vector<float> values, float factor, float floor)
{
    for (float& value : values)
    {
        value = std::max(value * factor, floor);
    }
    return values;
}

} // namespace

// Factors on durationMs are doubles; every other factor is a float constant, applied as written.

Voice Voice::scaled(float pitch, float gain) const
{
    Voice v = *this;
    v.level = std::min(level * gain, 0.95f);
    v.clickFreq = clickFreq * pitch;
    v.bodyFreq = bodyFreq * pitch;
    v.ringFreqs = times(ringFreqs, pitch);
    v.thudCutoff = thudCutoff * pitch;
    v.springFreq = springFreq * pitch;
    return v;
}

Voice Voice::released(float gain) const
{
    Voice v = *this;
    v.durationMs = std::max(durationMs * 0.6, 25.0);
    v.level = level * gain;
    v.clickGain = clickGain * 0.8f;
    v.clickFreq = clickFreq * 1.18f;
    v.clickDecayMs = std::max(clickDecayMs * 0.7f, 1.5f);
    v.bodyGain = bodyGain * 0.55f;
    v.bodyFreq = bodyFreq * 1.22f;
    v.bodyDecayMs = std::max(bodyDecayMs * 0.55f, 8.0f);
    v.ringGains = times(ringGains, 0.5f);
    v.ringFreqs = times(ringFreqs, 1.08f);
    v.ringDecaysMs = timesAtLeast(ringDecaysMs, 0.6f, 6.0f);
    v.thudGain = thudGain * 0.5f;
    v.thudDecayMs = std::max(thudDecayMs * 0.6f, 6.0f);
    v.springGain = springGain * 0.9f;
    v.springDecayMs = std::max(springDecayMs * 0.7f, 8.0f);
    return v;
}

Voice Voice::stabilized(float pitch, double longer, float gain) const
{
    Voice v = *this;
    v.durationMs = durationMs * longer;
    v.level = std::min(level * gain, 0.95f);
    v.clickFreq = clickFreq * 0.85f;
    v.bodyFreq = bodyFreq * pitch;
    v.bodyDecayMs = std::min(bodyDecayMs * 1.3f, 30.0f);
    v.ringFreqs = times(ringFreqs, pitch);
    v.ringDecaysMs = times(ringDecaysMs, 1.3f);
    v.thudGain = thudGain * 1.3f;
    v.thudCutoff = thudCutoff * 0.8f;
    v.springGain = springGain * 1.4f;
    v.springFreq = springFreq * 0.9f;
    return v;
}

Voice Voice::tick(float pitch, float gain) const
{
    Voice v = *this;
    v.durationMs = std::min(durationMs * 0.4, 45.0);
    v.level = level * gain;
    v.clickFreq = clickFreq * pitch;
    v.bodyFreq = bodyFreq * pitch * 1.4f;
    v.bodyDecayMs = std::max(bodyDecayMs * 0.4f, 6.0f);
    v.ringGains = times(ringGains, 0.3f);
    v.ringFreqs = times(ringFreqs, pitch);
    v.ringDecaysMs = timesAtLeast(ringDecaysMs, 0.4f, 5.0f);
    v.thudGain = thudGain * 0.4f;
    v.springGain = 0.0f;
    return v;
}

} // namespace clickory
