// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace clickory {

// Translation between Linux key codes (evdev, as in <linux/input-event-codes.h>; X11 key codes are
// these plus 8) and the macOS virtual key codes of the key map. Modifiers follow the Linux roles:
// Ctrl plays Command (55 left, 54 right), Super plays Control (59, 62), Alt plays Option (58, 61),
// Shift is Shift (56, 60), Caps Lock 57, Fn 63. Insert is Help (114). Keys without a counterpart
// keep their identity as `unmappedBase` + the Linux code, which the key map classes as `other`.
namespace EvdevKeyMap {

inline constexpr std::int64_t unmappedBase = 0x1000;
// Linux key codes are below this (KEY_MAX + 1).
inline constexpr int evdevCodeLimit = 0x300;

struct Entry
{
    int evdevCode;
    std::int64_t macCode;
};

// Every mapped key, ordered by Linux code.
std::span<const Entry> entries();

// The macOS virtual key code of a Linux key code; never fails.
std::int64_t macCode(int evdevCode);

// The Linux key code that produces `macCode` (the inverse of macCode()); absent for codes no Linux
// key produces.
std::optional<int> evdevCode(std::int64_t macCode);

} // namespace EvdevKeyMap
} // namespace clickory
