// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/Expected.h"

#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <string>

namespace clickory {

// A global key combination: a macOS virtual key code and the modifier bits that must be held,
// compared only among Shift, Control, Option and Command. On Linux, Ctrl plays Command, Super
// plays Control and Alt plays Option.
struct Hotkey
{
    static constexpr std::uint64_t shift = 0x20000;
    static constexpr std::uint64_t control = 0x40000;
    static constexpr std::uint64_t option = 0x80000;
    static constexpr std::uint64_t command = 0x100000;
    // Shift, Control, Option and Command together.
    static constexpr std::uint64_t relevant = 0x1E0000;

    // Toggles the sounds: K with Control, Option and Command (Super+Alt+Ctrl+K on Linux).
    static const Hotkey toggleDefault;
    // Switches to the next sound: N with Control, Option and Command (Super+Alt+Ctrl+N on Linux).
    static const Hotkey nextSoundDefault;

    std::int64_t keyCode = 0;
    std::uint64_t modifiers = 0;

    constexpr Hotkey() = default;

    // Keeps only the relevant bits of `modifiers`.
    constexpr Hotkey(std::int64_t keyCode, std::uint64_t modifiers)
        : keyCode(keyCode), modifiers(modifiers & relevant)
    {
    }

    // True when `keyCode` is this hotkey's and the relevant bits of `flags` are exactly its
    // modifiers; Caps Lock, Fn and device-dependent bits never matter.
    constexpr bool matches(std::int64_t code, std::uint64_t flags) const
    {
        return code == keyCode && (flags & relevant) == modifiers;
    }

    friend bool operator==(const Hotkey&, const Hotkey&) = default;
};

inline constexpr Hotkey Hotkey::toggleDefault{40, 0x1C0000};
inline constexpr Hotkey Hotkey::nextSoundDefault{45, 0x1C0000};

// The combination as shown to a Linux user: modifiers in the order Super, Alt, Shift, Ctrl, then
// the key's legend, joined by "+", for example "Super+Alt+Ctrl+K". A key without a legend on the
// ANSI letter block is written "Key <code>".
std::string displayText(const Hotkey& hotkey);

// The keyed record {"keyCode": integer, "modifiers": unsigned integer}.
nlohmann::json toJson(const Hotkey& hotkey);

// Reads the keyed record written by toJson. Both keys are required; the stored modifiers are taken
// as they are, without masking.
Expected<Hotkey> hotkeyFromJson(const nlohmann::json& json);

} // namespace clickory
