// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/MainQueue.h"

#include <QObject>
#include <QPointer>

#include <map>
#include <memory>

class QSocketNotifier;
class QTimer;

namespace clickory {

// The main queue on Qt's event loop: posted tasks are queued calls on the main thread, delays and
// timers are QTimers, and file-descriptor watches are QSocketNotifiers. Create it on the main
// thread after the QCoreApplication; post() may then be called from any thread.
//
// Tasks posted or armed after the queue is destroyed never run; cancelled timers are released
// after their current callback (if any) has returned, so cancelling from inside a callback is safe.
class QtMainQueue final : public QObject, public MainQueue
{
    Q_OBJECT

public:
    explicit QtMainQueue(QObject* parent = nullptr);
    ~QtMainQueue() override;

    void post(Task task) override;
    Token postAfter(double seconds, Task task) override;
    Token startTimer(double intervalSeconds, Task task) override;
    Token watchReadable(int fd, Task onReadable) override;
    void cancel(Token token) override;
    double now() const override;

    // How many delayed tasks, timers and watches are armed (for tests).
    std::size_t armedCount() const { return m_timers.size() + m_watches.size(); }

private:
    Token armTimer(double seconds, bool repeating, Task task);

    Token m_nextToken = 1;
    std::map<Token, QTimer*> m_timers;
    std::map<Token, QSocketNotifier*> m_watches;
};

} // namespace clickory
