// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/Clock.h"

#include <ctime>

namespace clickory {

// Seconds on CLOCK_MONOTONIC: system uptime without the time spent asleep, like the uptime the
// pipeline's times are described in.
class MonotonicClock final : public Clock
{
public:
    double now() const override
    {
        timespec ts{};
        ::clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
    }
};

} // namespace clickory
