// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/cues/ActionKind.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace clickory {

// The synthesized sound of a cue. The raw value of each case is its name; the declaration order is
// the iteration order (and the order of the style picker).
enum class CueStyle
{
    glass,
    chime,
    marimba,
    bell,
    sparkle,
    pop,
    tick,
    shutter,
    glideUp,
    glideDown,
    zip,
};

inline constexpr std::size_t cueStyleCount = 11;

// All styles in declaration order.
constexpr std::array<CueStyle, cueStyleCount> allCueStyles()
{
    return {CueStyle::glass,   CueStyle::chime,     CueStyle::marimba, CueStyle::bell,
            CueStyle::sparkle, CueStyle::pop,       CueStyle::tick,    CueStyle::shutter,
            CueStyle::glideUp, CueStyle::glideDown, CueStyle::zip};
}

std::string_view rawValue(CueStyle style);
std::optional<CueStyle> cueStyleFromRaw(std::string_view raw);

// The display name, e.g. "Glide up".
std::string_view label(CueStyle style);

// The rendered length in seconds, as a 32-bit float (the sample count is length * sampleRate
// taken in floats).
float cueLength(CueStyle style);

// The style an action's cue has until the user picks another.
CueStyle defaultStyle(ActionKind kind);

} // namespace clickory
