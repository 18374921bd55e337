// SPDX-License-Identifier: MIT
#pragma once

namespace clickory {

// The kind of a key, which decides the sound role its press and release play.
enum class KeyClass
{
    character,
    space,
    enter,
    modifier,
    other,
};

} // namespace clickory
