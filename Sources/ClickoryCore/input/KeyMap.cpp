// SPDX-License-Identifier: MIT
#include "ClickoryCore/input/KeyMap.h"

#include <algorithm>
#include <cstddef>

namespace clickory::KeyMap {
namespace {

std::unordered_map<std::int64_t, Position> buildPositions()
{
    std::unordered_map<std::int64_t, Position> result;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        for (std::size_t i = 0; i < row.codes.size(); ++i) {
            const double x = std::clamp((row.offset + static_cast<double>(i)) / 12.5, 0.0, 1.0);
            result.emplace(row.codes[i], Position{x, static_cast<int>(r)});
        }
    }
    return result;
}

// Column of a numeric-keypad key: 0 for 0 1 4 7, 1 for 2 5 8, 2 for 3 6 9, 3 for the operators,
// the decimal point and Clear. Absent for codes outside the keypad.
std::optional<int> keypadColumn(std::int64_t code)
{
    switch (code) {
    case 82: case 83: case 86: case 89: return 0;
    case 84: case 87: case 91: return 1;
    case 85: case 88: case 92: return 2;
    case 65: case 67: case 69: case 71: case 75: case 78: case 81: return 3;
    default: return std::nullopt;
    }
}

} // namespace

const std::unordered_map<std::int64_t, Position>& positions()
{
    static const std::unordered_map<std::int64_t, Position> table = buildPositions();
    return table;
}

std::optional<std::uint64_t> modifierMask(std::int64_t code)
{
    switch (code) {
    case 54: case 55: return 0x100000;  // Command
    case 56: case 60: return 0x20000;   // Shift
    case 57: return 0x10000;            // Caps Lock (alpha-shift)
    case 58: case 61: return 0x80000;   // Option
    case 59: case 62: return 0x40000;   // Control
    case 63: return 0x800000;           // Fn
    default: return std::nullopt;
    }
}

KeyInfo info(std::int64_t code)
{
    const auto& table = positions();
    if (const auto found = table.find(code); found != table.end()) {
        const Position& p = found->second;
        // Pitch rises by up to 0.35 semitone from left to right and falls 0.12 per row downward.
        return {KeyClass::character, p.x, (p.x - 0.5) * 0.7 + static_cast<double>(p.row) * -0.12};
    }

    switch (code) {
    case 36: return {KeyClass::enter, 0.92, -0.6};   // Return
    case 76: return {KeyClass::enter, 0.97, -0.6};   // keypad Enter
    case 49: return {KeyClass::space, 0.45, -0.4};
    case 48: return {KeyClass::character, 0.04, -0.7};  // Tab
    case 51: case 117: return {KeyClass::character, 0.97, -0.9};  // Delete, Forward Delete
    case 53: return {KeyClass::character, 0.02, 0.8};   // Escape
    case 54: case 60: case 61: case 62: return {KeyClass::modifier, 0.93, -0.3};  // right-hand modifiers
    case 55: case 56: case 57: case 58: case 59: case 63: return {KeyClass::modifier, 0.06, -0.3};
    case 122: case 120: case 99: case 118: case 96: case 97: case 98: case 100: case 101: case 109:
    case 103: case 111: case 105: case 107: case 113: case 106: case 64: case 79: case 80: case 90:
        return {KeyClass::character, 0.5, 1.0};  // F1 to F20
    case 123: case 124: case 125: case 126: return {KeyClass::character, 0.9, 0.6};  // arrows
    case 114: case 115: case 116: case 119: case 121: return {KeyClass::character, 0.9, 0.5};  // navigation
    default: break;
    }

    if (const auto column = keypadColumn(code)) {
        const double c = static_cast<double>(*column);
        return {KeyClass::character, 0.84 + 0.04 * c, 0.35 - 0.1 * c};
    }
    return {KeyClass::other, 0.5, 0.0};
}

SoundRole role(std::int64_t code, bool down)
{
    switch (info(code).keyClass) {
    case KeyClass::space: return down ? SoundRole::spaceDown : SoundRole::spaceUp;
    case KeyClass::enter: return down ? SoundRole::enterDown : SoundRole::keyUp;
    case KeyClass::modifier: return down ? SoundRole::modifierDown : SoundRole::modifierUp;
    case KeyClass::character:
    case KeyClass::other: break;
    }
    return down ? SoundRole::keyDown : SoundRole::keyUp;
}

} // namespace clickory::KeyMap
