// SPDX-License-Identifier: MIT
#include "ClickoryCore/feel/ScrollPacer.h"

#include <algorithm>
#include <cmath>

namespace clickory {

bool ScrollPacer::feed(double delta, double now)
{
    if (!(std::isfinite(spacing) && spacing > 0.0)) {
        return false;
    }
    if (delta == 0.0 || !std::isfinite(delta) || !std::isfinite(now)) {
        return false;
    }

    const int dir = delta > 0.0 ? 1 : -1;
    const double dt = now - lastTime;
    if (dir != lastDirection || dt > gesturePause) {
        speed = 0.0;
        accumulated = 0.0;
        lastDirection = dir;
    }
    if (dt > 0.0 && std::isfinite(dt)) {
        const double v = std::abs(delta) / std::clamp(dt, 0.004, 0.1);
        speed = speed == 0.0 ? v : 0.4 * v + 0.6 * speed;
    }

    lastTime = now;
    accumulated += std::abs(delta);

    const double threshold = std::max(spacing, speed / maxTicksPerSecond);
    if (accumulated < threshold) {
        return false;
    }
    if (now - lastTickTime < 0.9 / maxTicksPerSecond) {
        return false;  // too soon after the last tick; the distance stays gathered
    }
    accumulated = std::fmod(accumulated, threshold);
    lastTickTime = now;
    return true;
}

void ScrollPacer::reset()
{
    accumulated = 0.0;
    lastDirection = 0;
    lastTime = -std::numeric_limits<double>::infinity();
    lastTickTime = -std::numeric_limits<double>::infinity();
    speed = 0.0;
}

} // namespace clickory
