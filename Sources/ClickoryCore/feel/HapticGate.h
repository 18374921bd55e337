// SPDX-License-Identifier: MIT
#pragma once

#include <limits>

namespace clickory {

// Spaces haptic taps at least `minInterval` seconds apart.
struct HapticGate
{
    double minInterval;
    double last = -std::numeric_limits<double>::infinity();

    explicit constexpr HapticGate(double minInterval) : minInterval(minInterval) {}

    // True, and remembers `now`, when at least `minInterval` has passed since the last allowed
    // tap (exactly `minInterval` passes). A refused call leaves the gate as it was, so refusals
    // do not push the next allowed tap further out. A NaN `now` is refused.
    constexpr bool allow(double now)
    {
        if (now - last >= minInterval) {
            last = now;
            return true;
        }
        return false;
    }
};

} // namespace clickory
