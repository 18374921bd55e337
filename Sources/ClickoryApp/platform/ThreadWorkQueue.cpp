// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/ThreadWorkQueue.h"

#include <chrono>
#include <future>

#if defined(__linux__)
#include <pthread.h>
#endif

namespace clickory {

ThreadWorkQueue::ThreadWorkQueue(std::string name)
{
    m_thread = std::thread([this] { run(); });
#if defined(__linux__)
    if (name.size() > 15)
        name.resize(15);
    pthread_setname_np(m_thread.native_handle(), name.c_str());
#else
    (void)name;
#endif
}

ThreadWorkQueue::~ThreadWorkQueue()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

double ThreadWorkQueue::now() const
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

bool ThreadWorkQueue::isCurrent() const
{
    return std::this_thread::get_id() == m_thread.get_id();
}

void ThreadWorkQueue::async(Task task)
{
    {
        std::lock_guard lock(m_mutex);
        m_ready.push_back(std::move(task));
    }
    m_wake.notify_one();
}

void ThreadWorkQueue::asyncAfter(double seconds, Task task)
{
    const double due = now() + (seconds > 0.0 ? seconds : 0.0);
    {
        std::lock_guard lock(m_mutex);
        m_delayed.emplace(due, std::move(task));
    }
    m_wake.notify_one();
}

void ThreadWorkQueue::sync(Task task)
{
    std::promise<void> done;
    auto finished = done.get_future();
    async([&] {
        task();
        done.set_value();
    });
    finished.wait();
}

void ThreadWorkQueue::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping)
    {
        // Move delayed tasks that are due behind the ready ones, in due order.
        const double t = now();
        while (!m_delayed.empty() && m_delayed.begin()->first <= t)
        {
            m_ready.push_back(std::move(m_delayed.begin()->second));
            m_delayed.erase(m_delayed.begin());
        }
        if (!m_ready.empty())
        {
            Task task = std::move(m_ready.front());
            m_ready.pop_front();
            lock.unlock();
            task();
            task = nullptr; // drop captures outside the lock
            lock.lock();
            continue;
        }
        if (m_delayed.empty())
        {
            m_wake.wait(lock);
        }
        else
        {
            const double wait = m_delayed.begin()->first - t;
            m_wake.wait_for(lock, std::chrono::duration<double>(wait));
        }
    }
}

} // namespace clickory
