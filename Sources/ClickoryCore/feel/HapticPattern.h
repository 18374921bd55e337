// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace clickory {

// The tap felt on the trackpad. The raw value of each case is its name; the position of a case is
// also the platform's feedback pattern number.
enum class HapticPattern
{
    generic,
    alignment,
    levelChange,
};

inline constexpr std::size_t hapticPatternCount = 3;

// All patterns in declaration order.
constexpr std::array<HapticPattern, hapticPatternCount> allHapticPatterns()
{
    return {HapticPattern::generic, HapticPattern::alignment, HapticPattern::levelChange};
}

// The platform feedback pattern number: 0 generic, 1 alignment, 2 level change.
constexpr int patternNumber(HapticPattern pattern)
{
    return static_cast<int>(pattern);
}

std::string_view rawValue(HapticPattern pattern);
std::optional<HapticPattern> hapticPatternFromRaw(std::string_view raw);

// The name shown in the settings window: "Light", "Snap", "Step".
std::string_view label(HapticPattern pattern);

} // namespace clickory
