// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>

namespace clickory {

// The main thread's run loop: tasks posted now or after a delay, repeating timers and watches of
// readable file descriptors, all run on the main thread, one at a time. Everything that belongs to
// the main thread (the event monitor, the pipeline, the controller) is driven from here.
//
// Ownership: the queue keeps the callbacks until they have run (one-shot tasks) or until they are
// cancelled (timers, watches). Callbacks that refer to an owner must be cancelled by that owner
// before it goes away.
class MainQueue
{
public:
    using Task = std::function<void()>;
    // Identifies a delayed task, a timer or a watch; 0 is never used and cancelling it does nothing.
    using Token = std::uint64_t;

    virtual ~MainQueue() = default;

    // Any thread. Runs the task on the main thread soon, after the tasks posted before it.
    virtual void post(Task task) = 0;

    // Main thread. Runs the task once, `seconds` from now on the queue's monotonic clock.
    virtual Token postAfter(double seconds, Task task) = 0;

    // Main thread. Runs the task every `intervalSeconds` until cancelled; the first run is one
    // interval from now.
    virtual Token startTimer(double intervalSeconds, Task task) = 0;

    // Main thread. Calls `onReadable` whenever `fd` has data to read (or has hung up or failed),
    // until cancelled. The descriptor stays the caller's; cancel the watch before closing it.
    virtual Token watchReadable(int fd, Task onReadable) = 0;

    // Main thread. Stops a delayed task, timer or watch; unknown or spent tokens are ignored. Safe to
    // call from inside the callback being cancelled.
    virtual void cancel(Token token) = 0;

    // Any thread. Seconds on the queue's monotonic clock (system uptime for the real queues).
    virtual double now() const = 0;
};

} // namespace clickory
