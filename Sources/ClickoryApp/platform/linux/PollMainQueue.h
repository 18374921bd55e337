// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/MainQueue.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace clickory {

// A main queue on poll(): runs file-descriptor watches, timers and posted tasks on the thread that
// calls run() or runFor(). For command-line tools, tests and benchmarks; the application's shell
// has its own queue on its toolkit's event loop.
//
// post() may be called from any thread (it wakes the loop through an eventfd); everything else
// belongs to the looping thread. If the eventfd cannot be created the queue still works but
// post() from other threads is noticed only at the next wake-up; `lastError()` says so.
class PollMainQueue final : public MainQueue
{
public:
    PollMainQueue();
    ~PollMainQueue() override;
    PollMainQueue(const PollMainQueue&) = delete;
    PollMainQueue& operator=(const PollMainQueue&) = delete;

    void post(Task task) override;
    Token postAfter(double seconds, Task task) override;
    Token startTimer(double intervalSeconds, Task task) override;
    Token watchReadable(int fd, Task onReadable) override;
    void cancel(Token token) override;
    double now() const override;

    // Runs until quit() is called from a callback (or from another thread through post()).
    void run();
    // Runs for `seconds`, or until quit().
    void runFor(double seconds);
    // Runs until `done()` holds (checked after each round of callbacks) or `timeoutSeconds` pass;
    // returns whether `done()` held.
    bool runUntil(const std::function<bool()>& done, double timeoutSeconds);
    void quit();

    std::string lastError() const { return m_lastError; }

private:
    struct Timer
    {
        double due;
        double interval;  // 0 for a one-shot task
        Task task;
    };
    struct Watch
    {
        int fd;
        Task task;
    };

    // Waits at most `maxWaitSeconds` for something to do and does it.
    void iterate(double maxWaitSeconds);
    void runPosted();
    void runDueTimers();

    int m_wakeFd = -1;
    Token m_nextToken = 1;
    bool m_quit = false;
    std::map<Token, Timer> m_timers;
    std::map<Token, Watch> m_watches;
    std::mutex m_postedMutex;
    std::vector<Task> m_posted;
    std::string m_lastError;
};

} // namespace clickory
