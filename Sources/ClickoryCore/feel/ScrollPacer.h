// SPDX-License-Identifier: MIT
#pragma once

#include <limits>

namespace clickory {

// Turns a stream of scroll deltas into discrete scroll ticks. At low speed one tick plays per
// `spacing` of distance; at high speed each tick needs more distance, so the tick rate stays
// near `maxTicksPerSecond` and ticks are never closer than 0.9 / `maxTicksPerSecond` seconds.
// A reversal or a pause of more than 180 ms starts a fresh gesture.
struct ScrollPacer
{
    static constexpr double gesturePause = 0.18;

    // Scroll distance per tick at low speed, in the units of the deltas. Not a positive finite
    // number (the `off` scroll style uses infinity): the pacer never ticks.
    double spacing;
    double maxTicksPerSecond;
    double accumulated = 0.0;
    int lastDirection = 0;
    double lastTime = -std::numeric_limits<double>::infinity();
    double lastTickTime = -std::numeric_limits<double>::infinity();
    double speed = 0.0;

    // `maxTicksPerSecond` must be positive.
    constexpr ScrollPacer(double spacing, double maxTicksPerSecond)
        : spacing(spacing), maxTicksPerSecond(maxTicksPerSecond)
    {
    }

    // Takes one signed scroll delta at `now` (seconds on a monotonic clock); true when one tick
    // should play now. A large delta gives at most one tick and keeps the remainder. A zero or
    // non-finite delta or a non-finite time is ignored without touching the state.
    bool feed(double delta, double now);

    // Forgets the gesture; keeps `spacing` and `maxTicksPerSecond`.
    void reset();

    // Smoothed scrolling speed in distance per second.
    double smoothedSpeed() const { return speed; }
};

} // namespace clickory
