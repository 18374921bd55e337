// SPDX-License-Identifier: MIT
#include "ClickoryShell/QtMainQueue.h"

#include <QMetaObject>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <ctime>

namespace clickory {

QtMainQueue::QtMainQueue(QObject* parent) : QObject(parent) {}

QtMainQueue::~QtMainQueue()
{
    // The timers and notifiers are our children and go with us; nothing they hold runs afterwards.
    m_timers.clear();
    m_watches.clear();
}

void QtMainQueue::post(Task task)
{
    // A queued call to a lambda whose context is this object: it runs on the thread the queue lives
    // on (the main thread), and is dropped if the queue is gone by then.
    QMetaObject::invokeMethod(
        this, [task = std::move(task)]() { task(); }, Qt::QueuedConnection);
}

MainQueue::Token QtMainQueue::postAfter(double seconds, Task task)
{
    return armTimer(seconds, false, std::move(task));
}

MainQueue::Token QtMainQueue::startTimer(double intervalSeconds, Task task)
{
    return armTimer(intervalSeconds, true, std::move(task));
}

MainQueue::Token QtMainQueue::armTimer(double seconds, bool repeating, Task task)
{
    const Token token = m_nextToken++;
    auto* timer = new QTimer(this);
    timer->setSingleShot(!repeating);
    timer->setTimerType(Qt::PreciseTimer);
    // QTimer counts whole milliseconds; a repeating timer of 0 ms would spin, so it gets at least 1.
    double ms = std::isfinite(seconds) ? std::max(0.0, seconds) * 1000.0 : 0.0;
    ms = std::min(ms, 2.0e9);
    int interval = static_cast<int>(std::lround(ms));
    if (repeating)
        interval = std::max(interval, 1);
    timer->setInterval(interval);
    auto shared = std::make_shared<Task>(std::move(task));
    connect(timer, &QTimer::timeout, this, [this, token, repeating, shared]() {
        const auto keep = shared;  // the task outlives a cancel from inside it
        if (!repeating)
            cancel(token);  // spent before it runs, so the task may arm a new one freely
        (*keep)();
    });
    m_timers.emplace(token, timer);
    timer->start();
    return token;
}

MainQueue::Token QtMainQueue::watchReadable(int fd, Task onReadable)
{
    const Token token = m_nextToken++;
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    auto shared = std::make_shared<Task>(std::move(onReadable));
    connect(notifier, &QSocketNotifier::activated, this, [shared]() {
        const auto keep = shared;
        (*keep)();
    });
    m_watches.emplace(token, notifier);
    notifier->setEnabled(true);
    return token;
}

void QtMainQueue::cancel(Token token)
{
    if (auto it = m_timers.find(token); it != m_timers.end())
    {
        QTimer* timer = it->second;
        m_timers.erase(it);
        timer->stop();
        timer->disconnect();
        timer->deleteLater();
    }
    if (auto it = m_watches.find(token); it != m_watches.end())
    {
        QSocketNotifier* notifier = it->second;
        m_watches.erase(it);
        notifier->setEnabled(false);
        notifier->disconnect();
        notifier->deleteLater();
    }
}

double QtMainQueue::now() const
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

} // namespace clickory
