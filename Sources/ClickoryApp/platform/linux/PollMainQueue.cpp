// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/linux/PollMainQueue.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace clickory {

PollMainQueue::PollMainQueue()
{
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0)
    {
        m_lastError = std::string("could not create the wake-up event: ") + std::strerror(errno);
    }
}

PollMainQueue::~PollMainQueue()
{
    if (m_wakeFd >= 0)
    {
        ::close(m_wakeFd);
    }
}

void PollMainQueue::post(Task task)
{
    {
        std::lock_guard lock(m_postedMutex);
        m_posted.push_back(std::move(task));
    }
    if (m_wakeFd >= 0)
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(m_wakeFd, &one, sizeof one);
    }
}

MainQueue::Token PollMainQueue::postAfter(double seconds, Task task)
{
    const Token token = m_nextToken++;
    m_timers.emplace(token, Timer{now() + std::max(0.0, seconds), 0.0, std::move(task)});
    return token;
}

MainQueue::Token PollMainQueue::startTimer(double intervalSeconds, Task task)
{
    const Token token = m_nextToken++;
    // A zero interval would spin; a millisecond is the finest a timer here needs.
    const double interval = std::max(intervalSeconds, 0.001);
    m_timers.emplace(token, Timer{now() + interval, interval, std::move(task)});
    return token;
}

MainQueue::Token PollMainQueue::watchReadable(int fd, Task onReadable)
{
    const Token token = m_nextToken++;
    m_watches.emplace(token, Watch{fd, std::move(onReadable)});
    return token;
}

void PollMainQueue::cancel(Token token)
{
    m_timers.erase(token);
    m_watches.erase(token);
}

double PollMainQueue::now() const
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void PollMainQueue::run()
{
    m_quit = false;
    while (!m_quit)
    {
        iterate(std::numeric_limits<double>::infinity());
    }
}

void PollMainQueue::runFor(double seconds)
{
    runUntil([] { return false; }, seconds);
}

bool PollMainQueue::runUntil(const std::function<bool()>& done, double timeoutSeconds)
{
    m_quit = false;
    const double end = now() + timeoutSeconds;
    while (!m_quit)
    {
        if (done())
        {
            return true;
        }
        const double left = end - now();
        if (left <= 0.0)
        {
            break;
        }
        iterate(left);
    }
    return done();
}

void PollMainQueue::quit()
{
    m_quit = true;
}

void PollMainQueue::iterate(double maxWaitSeconds)
{
    double wait = maxWaitSeconds;
    for (const auto& [token, timer] : m_timers)
    {
        wait = std::min(wait, timer.due - now());
    }
    {
        std::lock_guard lock(m_postedMutex);
        if (!m_posted.empty())
        {
            wait = 0.0;
        }
    }
    int timeoutMs = -1;
    if (std::isfinite(wait))
    {
        timeoutMs = static_cast<int>(std::ceil(std::max(0.0, wait) * 1000.0));
    }

    std::vector<pollfd> fds;
    std::vector<Token> tokens;
    fds.reserve(m_watches.size() + 1);
    if (m_wakeFd >= 0)
    {
        fds.push_back({m_wakeFd, POLLIN, 0});
        tokens.push_back(0);
    }
    for (const auto& [token, watch] : m_watches)
    {
        fds.push_back({watch.fd, POLLIN, 0});
        tokens.push_back(token);
    }
    const int ready = ::poll(fds.data(), fds.size(), timeoutMs);
    if (ready < 0 && errno != EINTR)
    {
        m_lastError = std::string("poll failed: ") + std::strerror(errno);
    }
    for (std::size_t i = 0; ready > 0 && i < fds.size(); ++i)
    {
        if (fds[i].revents == 0)
        {
            continue;
        }
        if (tokens[i] == 0)
        {
            std::uint64_t count = 0;
            [[maybe_unused]] const auto read = ::read(m_wakeFd, &count, sizeof count);
            continue;
        }
        // The watch may have been cancelled by an earlier callback of this round.
        const auto it = m_watches.find(tokens[i]);
        if (it != m_watches.end())
        {
            Task task = it->second.task;  // a copy: the callback may cancel its own watch
            task();
        }
    }
    runDueTimers();
    runPosted();
}

void PollMainQueue::runPosted()
{
    std::vector<Task> posted;
    {
        std::lock_guard lock(m_postedMutex);
        posted.swap(m_posted);
    }
    for (Task& task : posted)
    {
        task();
    }
}

void PollMainQueue::runDueTimers()
{
    const double time = now();
    std::vector<Token> due;
    for (const auto& [token, timer] : m_timers)
    {
        if (timer.due <= time)
        {
            due.push_back(token);
        }
    }
    std::sort(due.begin(), due.end(), [this](Token a, Token b) {
        const double da = m_timers.at(a).due;
        const double db = m_timers.at(b).due;
        return da < db || (da == db && a < b);
    });
    for (Token token : due)
    {
        const auto it = m_timers.find(token);
        if (it == m_timers.end())
        {
            continue;  // cancelled by an earlier callback
        }
        Task task = it->second.task;
        if (it->second.interval > 0.0)
        {
            it->second.due = std::max(it->second.due + it->second.interval, time);
        }
        else
        {
            m_timers.erase(it);
        }
        task();
    }
}

} // namespace clickory
