// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/cues/ActionKind.h"
#include "ClickoryCore/cues/CueStyle.h"

#include <optional>
#include <string>

namespace clickory {

// The cue setting of one action, as stored in the settings. Compared field by field.
struct ActionCue
{
    // Highest playback gain a cue may have.
    static constexpr double maxGain = 1.5;

    bool enabled;
    CueStyle style;
    // A sound file played instead of the synthesized style.
    std::optional<std::string> customPath;
    // Playback gain.
    double gain;

    // Brings gain into [0, maxGain]; a negative or NaN gain becomes 0. The fields are public, so a
    // decoder that must keep a stored gain as it is assigns it after construction.
    ActionCue(bool enabled, CueStyle style, std::optional<std::string> customPath, double gain);

    // Brings a gain into [0, maxGain]; NaN becomes 0.
    static double clampGain(double gain);

    // Enabled if the kind is one of ActionMap's defaultOn kinds, the kind's default style, no
    // custom file, gain 0.6.
    static ActionCue defaultCue(ActionKind kind);

    friend bool operator==(const ActionCue&, const ActionCue&) = default;
};

} // namespace clickory
