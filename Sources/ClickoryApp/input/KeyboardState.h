// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/input/InputEvent.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>

namespace clickory {

// Turns the key presses and releases of a Linux input source (Linux key codes) into key and
// modifier events with macOS codes and flags. It knows which keys are down right now, which
// modifiers are held and whether Caps Lock is on: that is all it keeps, no history.
//
// - A press of a key that is already down is a repeat (`isRepeat: true`).
// - A modifier's event is `down` when its flag bit is set after the event, so releasing one Shift
//   while the other is held stays `down: true`. A repeated press of a held modifier gives nothing.
// - Caps Lock toggles its lock on each press and reports the new lock state; its release and its
//   repeats give nothing.
// - The flag word of a key event holds the bits of every modifier held, and 0x10000 while Caps Lock
//   is on.
//
// Thread: one at a time (the main thread).
class KeyboardState
{
public:
    static constexpr std::uint64_t capsLockMask = 0x10000;

    // Forgets the keys that are down; Caps Lock starts as given.
    void reset(bool capsLockOn = false);

    // The event for one press (`down`) or release of a Linux key; absent when the transition makes
    // no event (see above).
    std::optional<InputEvent> convert(int evdevCode, bool down);

    // The flag bits of the modifiers held now, and of Caps Lock.
    std::uint64_t flags() const { return m_flags; }
    bool capsLockOn() const { return m_capsLockOn; }
    bool isDown(int evdevCode) const;

private:
    void recomputeFlags();

    // Keys down, by Linux code; codes out of range are tracked in no set and never repeat.
    std::bitset<0x300> m_down;
    // How many keys of each modifier code 54-63 are held.
    std::array<std::uint8_t, 10> m_heldModifiers{};
    bool m_capsLockOn = false;
    std::uint64_t m_flags = 0;
};

} // namespace clickory
