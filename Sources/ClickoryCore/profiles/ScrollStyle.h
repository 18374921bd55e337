// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/synth/Voice.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace clickory {

// The sound of a scroll tick. The raw value of each case is its name; the declaration order is the
// menu order.
enum class ScrollStyle
{
    off,
    softTick,
    detent,
    ratchet,
    rubber,
    pebble,
    brush,
    pencil,
    sand,
    rice,
};

inline constexpr std::size_t scrollStyleCount = 10;

// All styles in declaration order.
constexpr std::array<ScrollStyle, scrollStyleCount> allScrollStyles()
{
    return {ScrollStyle::off,    ScrollStyle::softTick, ScrollStyle::detent, ScrollStyle::ratchet,
            ScrollStyle::rubber, ScrollStyle::pebble,   ScrollStyle::brush,  ScrollStyle::pencil,
            ScrollStyle::sand,   ScrollStyle::rice};
}

std::string_view rawValue(ScrollStyle style);
std::optional<ScrollStyle> scrollStyleFromRaw(std::string_view raw);

// The menu and settings text (`sand` reads "Salt").
std::string_view label(ScrollStyle style);

// The synthesized tick voice; none for `off`. The recorded styles carry the soft tick voice, which
// plays when their recorded set is missing.
std::optional<Voice> voice(ScrollStyle style);

// The recorded scroll sample set of brush, pencil, sand and rice; none for the others.
std::optional<std::string_view> recordedSetID(ScrollStyle style);

// Scroll distance between two ticks when scrolling continuously (trackpad); infinite for `off`.
double trackpadSpacing(ScrollStyle style);

} // namespace clickory
