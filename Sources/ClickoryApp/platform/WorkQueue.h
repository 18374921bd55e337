// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace clickory {

// A serial work queue: tasks run one after another, in the order they were enqueued, on one thread
// that is not the caller's (or, for the test fake, when the test lets them run). Delayed tasks run
// in the order of their due times. The queue also owns the clock its delays are measured on.
class WorkQueue
{
public:
    using Task = std::function<void()>;

    virtual ~WorkQueue() = default;

    // Any thread. Enqueues the task and returns at once.
    virtual void async(Task task) = 0;

    // Any thread. Runs the task on the queue once `seconds` have passed on now()'s clock.
    virtual void asyncAfter(double seconds, Task task) = 0;

    // Any thread except the queue's own (that would wait for itself forever). Runs the task on the
    // queue after everything enqueued before it, and returns when it has finished.
    virtual void sync(Task task) = 0;

    // Any thread. Seconds on a monotonic clock (system uptime for the real queue).
    virtual double now() const = 0;
};

} // namespace clickory
