// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/WorkQueue.h"

#include <cstdint>
#include <deque>
#include <map>
#include <utility>

namespace clickory {

// A work queue on a manual clock, run by the test on its own thread. Nothing runs by itself:
// runPending() runs the queued tasks (and those they queue), advance() moves the clock and runs
// every delayed task that falls due, at its own time, in due order. sync() first runs everything
// queued before it, then the task, as a serial queue would.
class FakeWorkQueue final : public WorkQueue
{
public:
    void async(Task task) override { m_pending.push_back(std::move(task)); }

    void asyncAfter(double seconds, Task task) override
    {
        m_delayed.emplace(Due{m_now + (seconds > 0.0 ? seconds : 0.0), m_order++}, std::move(task));
    }

    void sync(Task task) override
    {
        runPending();
        task();
    }

    double now() const override { return m_now; }

    // Runs queued tasks until none is left; answers how many ran.
    int runPending()
    {
        int count = 0;
        while (!m_pending.empty())
        {
            Task task = std::move(m_pending.front());
            m_pending.pop_front();
            task();
            ++count;
        }
        return count;
    }

    // Moves the clock forward, running due delayed tasks at their time (and what they queue).
    void advance(double seconds)
    {
        runPending();
        const double end = m_now + seconds;
        while (!m_delayed.empty() && m_delayed.begin()->first.time <= end)
        {
            auto next = m_delayed.begin();
            m_now = std::max(m_now, next->first.time);
            Task task = std::move(next->second);
            m_delayed.erase(next);
            task();
            runPending();
        }
        m_now = end;
    }

    std::size_t pendingCount() const { return m_pending.size(); }
    std::size_t delayedCount() const { return m_delayed.size(); }

private:
    struct Due
    {
        double time;
        std::uint64_t order;
        bool operator<(const Due& other) const
        {
            return time < other.time || (time == other.time && order < other.order);
        }
    };

    double m_now = 1000.0;
    std::uint64_t m_order = 0;
    std::deque<Task> m_pending;
    std::multimap<Due, Task> m_delayed;
};

} // namespace clickory
