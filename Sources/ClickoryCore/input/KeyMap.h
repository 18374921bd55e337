// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/input/KeyInfo.h"
#include "ClickoryCore/input/SoundRole.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>

namespace clickory {

// Static knowledge about the keys of an ANSI keyboard, keyed by macOS virtual key code: class,
// left-to-right position and pitch offset of every key, the sound role of a press or release, and
// the modifier-flag bit each modifier key controls. Nothing here allocates after first use.
namespace KeyMap {

// One row of the letter block: its x offset in key widths and its key codes from left to right.
struct Row
{
    double offset;
    std::span<const std::int64_t> codes;
};

// Where a letter-block key lies: x in [0, 1] and the row index, 0 for the number row.
struct Position
{
    double x;
    int row;

    friend bool operator==(const Position&, const Position&) = default;
};

inline constexpr std::array<std::int64_t, 12> numberRowCodes{18, 19, 20, 21, 23, 22, 26, 28, 25, 29, 27, 24};
inline constexpr std::array<std::int64_t, 12> topRowCodes{12, 13, 14, 15, 17, 16, 32, 34, 31, 35, 33, 30};
inline constexpr std::array<std::int64_t, 11> homeRowCodes{0, 1, 2, 3, 5, 4, 38, 40, 37, 41, 39};
inline constexpr std::array<std::int64_t, 10> bottomRowCodes{6, 7, 8, 9, 11, 45, 46, 43, 47, 44};

// The four letter-block rows, top to bottom.
inline constexpr std::array<Row, 4> rows{{
    {0.0, numberRowCodes},
    {0.5, topRowCodes},
    {0.75, homeRowCodes},
    {1.25, bottomRowCodes},
}};

// The codes of the modifier keys (right Command through Fn), ascending.
inline constexpr std::array<std::int64_t, 10> modifierCodes{54, 55, 56, 57, 58, 59, 60, 61, 62, 63};

// Position of every key of `rows`: x = clamp((offset + index) / 12.5, 0, 1). Built once, on first
// use; safe to call from any thread.
const std::unordered_map<std::int64_t, Position>& positions();

// True for the codes of `modifierCodes`.
constexpr bool isModifierCode(std::int64_t code)
{
    return code >= 54 && code <= 63;
}

// The modifier-flag bit that a modifier key controls (Shift 0x20000, Caps Lock 0x10000, Control
// 0x40000, Option 0x80000, Command 0x100000, Fn 0x800000); absent for every other code.
std::optional<std::uint64_t> modifierMask(std::int64_t code);

// Class, position and pitch offset of any code; unknown codes are `other` at the centre.
KeyInfo info(std::int64_t code);

// The sound role of a press (`down`) or release of the key. Enter has no release role of its own:
// its release plays `keyUp`.
SoundRole role(std::int64_t code, bool down);

} // namespace KeyMap
} // namespace clickory
