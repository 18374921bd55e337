// SPDX-License-Identifier: MIT
#pragma once

namespace clickory {

// An unpaced scroll ticker: one tick per `spacing` of distance in one direction, whatever the
// speed. A change of direction discards the distance gathered before it.
struct ScrollTicker
{
    double spacing;
    double accumulated = 0.0;
    int lastDirection = 0;

    explicit constexpr ScrollTicker(double spacing) : spacing(spacing) {}

    // The number of ticks to play for one signed delta, at most `maxTicks` (a negative limit
    // counts as 0). All whole ticks are consumed, even those cut by the limit; the remainder stays
    // gathered. A zero or non-finite delta, or a `spacing` that is not a positive finite number,
    // gives 0 and changes nothing.
    int feed(double delta, int maxTicks);

    void reset();
};

} // namespace clickory
