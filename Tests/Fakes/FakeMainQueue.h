// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/MainQueue.h"

#include <map>
#include <vector>

namespace clickory {

// A main queue on a manual clock. Nothing runs by itself: advance() moves the clock and runs what
// falls due, in due order (ties in the order they were scheduled), then the posted tasks;
// runPosted() runs only the posted tasks; makeReadable() calls the watches of a descriptor.
class FakeMainQueue final : public MainQueue
{
public:
    void post(Task task) override { m_posted.push_back(std::move(task)); }

    Token postAfter(double seconds, Task task) override
    {
        const Token token = m_next++;
        m_timers.emplace(token, Timer{m_now + (seconds > 0.0 ? seconds : 0.0), 0.0, std::move(task)});
        return token;
    }

    Token startTimer(double intervalSeconds, Task task) override
    {
        const Token token = m_next++;
        m_timers.emplace(token, Timer{m_now + intervalSeconds, intervalSeconds, std::move(task)});
        return token;
    }

    Token watchReadable(int fd, Task onReadable) override
    {
        const Token token = m_next++;
        m_watches.emplace(token, Watch{fd, std::move(onReadable)});
        return token;
    }

    void cancel(Token token) override
    {
        m_timers.erase(token);
        m_watches.erase(token);
    }

    double now() const override { return m_now; }

    // Moves the clock forward by `seconds`, running every timer that falls due on the way at its
    // own time, then the posted tasks.
    void advance(double seconds)
    {
        const double end = m_now + seconds;
        for (;;)
        {
            auto next = m_timers.end();
            for (auto it = m_timers.begin(); it != m_timers.end(); ++it)
            {
                if (it->second.due <= end && (next == m_timers.end() || it->second.due < next->second.due))
                {
                    next = it;
                }
            }
            if (next == m_timers.end())
            {
                break;
            }
            m_now = next->second.due;
            Task task = next->second.task;
            if (next->second.interval > 0.0)
            {
                next->second.due += next->second.interval;
            }
            else
            {
                m_timers.erase(next);
            }
            task();
        }
        m_now = end;
        runPosted();
    }

    void runPosted()
    {
        while (!m_posted.empty())
        {
            std::vector<Task> posted;
            posted.swap(m_posted);
            for (Task& task : posted)
            {
                task();
            }
        }
    }

    // Calls the watches of `fd` as if it had become readable.
    void makeReadable(int fd)
    {
        std::vector<Token> tokens;
        for (const auto& [token, watch] : m_watches)
        {
            if (watch.fd == fd)
            {
                tokens.push_back(token);
            }
        }
        for (Token token : tokens)
        {
            if (const auto it = m_watches.find(token); it != m_watches.end())
            {
                Task task = it->second.task;
                task();
            }
        }
    }

    std::size_t pendingTimers() const { return m_timers.size(); }
    std::size_t watchCount() const { return m_watches.size(); }

private:
    struct Timer
    {
        double due;
        double interval;
        Task task;
    };
    struct Watch
    {
        int fd;
        Task task;
    };

    double m_now = 0.0;
    Token m_next = 1;
    std::map<Token, Timer> m_timers;
    std::map<Token, Watch> m_watches;
    std::vector<Task> m_posted;
};

} // namespace clickory
