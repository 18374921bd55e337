// SPDX-License-Identifier: MIT
#pragma once

namespace clickory {

// Seconds of system uptime on a monotonic clock: the time base of the event pipeline, the typing
// rate, the scroll pacer and the one-second caches of the context monitor.
//
// Thread: any. Must not block or allocate; it is read once per input event.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
};

} // namespace clickory
