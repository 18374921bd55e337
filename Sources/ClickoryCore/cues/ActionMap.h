// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/cues/ActionKind.h"

#include <array>
#include <cstdint>
#include <optional>

namespace clickory {

// Recognition of the shortcuts that play cues.
namespace ActionMap {

// Modifier flag bits of a key event (the Quartz event flag values).
inline constexpr std::uint64_t shiftFlag = 0x20000;
inline constexpr std::uint64_t controlFlag = 0x40000;
inline constexpr std::uint64_t optionFlag = 0x80000;
inline constexpr std::uint64_t commandFlag = 0x100000;

// The kinds whose cue is enabled until the user decides otherwise.
inline constexpr std::array<ActionKind, 6> defaultOn = {ActionKind::copy, ActionKind::cut,  ActionKind::paste,
                                                        ActionKind::undo, ActionKind::redo, ActionKind::save};

constexpr bool isDefaultOn(ActionKind kind)
{
    for (ActionKind on : defaultOn) {
        if (on == kind) {
            return true;
        }
    }
    return false;
}

// The action of a key press, if any. keyCode is the (ANSI-position) virtual key code of the pressed
// key, so recognition follows the key's position, not the character of the current layout. Command
// must be held and Control and Option must not; Shift selects redo and screenshot. Other flag bits
// (caps lock, function, numeric pad) are ignored.
std::optional<ActionKind> match(int keyCode, std::uint64_t flags);

} // namespace ActionMap

} // namespace clickory
