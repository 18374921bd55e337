// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/WorkQueue.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace clickory {

// A WorkQueue served by one worker thread of its own, with delays on the steady clock. Destroying
// the queue finishes the task that is running, drops the rest and joins the thread.
class ThreadWorkQueue final : public WorkQueue
{
public:
    // `name` names the worker thread (at most 15 characters are kept).
    explicit ThreadWorkQueue(std::string name = "clickory.audio");
    ~ThreadWorkQueue() override;

    ThreadWorkQueue(const ThreadWorkQueue&) = delete;
    ThreadWorkQueue& operator=(const ThreadWorkQueue&) = delete;

    void async(Task task) override;
    void asyncAfter(double seconds, Task task) override;
    void sync(Task task) override;
    double now() const override;

    // True when called from the worker thread.
    bool isCurrent() const;

private:
    void run();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Task> m_ready;
    // Delayed tasks by due time, then by order of arrival.
    std::multimap<double, Task> m_delayed;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace clickory
