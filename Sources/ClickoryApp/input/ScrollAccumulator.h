// SPDX-License-Identifier: MIT
#pragma once

namespace clickory {

// Sums the fine steps of a high-resolution wheel into whole notches, so that such a wheel scrolls
// in lines like any other: 120 units of libinput's v120 values, or one increment of an X11 scroll
// valuator, make one notch. What is left over waits for the next step in the same direction; a
// step in the other direction starts afresh. Thread: one at a time.
class ScrollAccumulator
{
public:
    // Adds `units` (sign = direction) with `unitsPerNotch` > 0; returns the whole notches completed,
    // with the sign of `units`, or 0.
    double add(double units, double unitsPerNotch);

    void reset() { m_pending = 0.0; }

private:
    double m_pending = 0.0;
};

} // namespace clickory
