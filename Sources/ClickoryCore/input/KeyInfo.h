// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/input/KeyClass.h"

namespace clickory {

// What the key map knows about one key: its class, where it lies from left (0) to right (1) on the
// keyboard, and how far the pitch of its sound is shifted, in semitones (negative is lower).
struct KeyInfo
{
    KeyClass keyClass = KeyClass::other;
    double x = 0.5;
    double semitones = 0.0;

    friend bool operator==(const KeyInfo&, const KeyInfo&) = default;
};

} // namespace clickory
