// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace clickory {

// How the click ripple is drawn. The raw value of each case is its name, except `doubleRing`, whose
// raw value is "double"; the declaration order is the picker order.
enum class RippleStyle
{
    ring,
    doubleRing,
    glow,
    dot,
};

inline constexpr std::size_t rippleStyleCount = 4;

// All styles in declaration order.
constexpr std::array<RippleStyle, rippleStyleCount> allRippleStyles()
{
    return {RippleStyle::ring, RippleStyle::doubleRing, RippleStyle::glow, RippleStyle::dot};
}

std::string_view rawValue(RippleStyle style);
std::optional<RippleStyle> rippleStyleFromRaw(std::string_view raw);

// The name shown in the settings window: "Ring", "Double ring", "Glow", "Dot".
std::string_view label(RippleStyle style);

} // namespace clickory
