// SPDX-License-Identifier: MIT
#include "ClickoryCore/feel/ScrollTicker.h"

#include <algorithm>
#include <cmath>

namespace clickory {

int ScrollTicker::feed(double delta, int maxTicks)
{
    if (!(std::isfinite(spacing) && spacing > 0.0) || delta == 0.0 || !std::isfinite(delta)) {
        return 0;
    }
    const int dir = delta > 0.0 ? 1 : -1;
    if (dir != lastDirection) {
        accumulated = 0.0;
        lastDirection = dir;
    }
    accumulated += std::abs(delta);
    // Kept in double: a huge delta over a tiny spacing may exceed the range of int.
    const double ticks = std::trunc(accumulated / spacing);
    if (ticks < 1.0) {
        return 0;
    }
    accumulated = std::max(0.0, accumulated - spacing * ticks);  // never below 0 by rounding
    return static_cast<int>(std::min(ticks, static_cast<double>(std::max(maxTicks, 0))));
}

void ScrollTicker::reset()
{
    accumulated = 0.0;
    lastDirection = 0;
}

} // namespace clickory
