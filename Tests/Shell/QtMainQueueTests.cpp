// SPDX-License-Identifier: MIT
#include "ClickoryShell/QtMainQueue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <thread>
#include <unistd.h>
#include <vector>

using clickory::QtMainQueue;

class QtMainQueueTests : public QObject
{
    Q_OBJECT

private slots:
    void postedTasksRunInOrderOnTheMainThread()
    {
        QtMainQueue queue;
        std::vector<int> order;
        const auto mainThread = std::this_thread::get_id();
        bool onMain = true;
        queue.post([&] { order.push_back(1); });
        std::thread other([&] {
            queue.post([&] {
                onMain = onMain && std::this_thread::get_id() == mainThread;
                order.push_back(2);
            });
        });
        other.join();
        queue.post([&] { order.push_back(3); });
        QTRY_COMPARE(order.size(), std::size_t(3));
        QCOMPARE(order, (std::vector<int>{1, 2, 3}));
        QVERIFY(onMain);
    }

    void delayedTasksRunOnceAfterTheirDelayInDueOrder()
    {
        QtMainQueue queue;
        std::vector<int> order;
        const double start = queue.now();
        double firstAt = 0.0;
        queue.postAfter(0.12, [&] { order.push_back(2); });
        queue.postAfter(0.05, [&] {
            firstAt = queue.now();
            order.push_back(1);
        });
        QTRY_COMPARE(order.size(), std::size_t(2));
        QCOMPARE(order, (std::vector<int>{1, 2}));
        QVERIFY(firstAt - start >= 0.045);
        QTest::qWait(150);
        QCOMPARE(order.size(), std::size_t(2));
        QCOMPARE(queue.armedCount(), std::size_t(0));
    }

    void aTimerRepeatsUntilItCancelsItself()
    {
        QtMainQueue queue;
        int runs = 0;
        QtMainQueue::Token token = 0;
        token = queue.startTimer(0.01, [&] {
            if (++runs == 3)
                queue.cancel(token);
        });
        QTRY_COMPARE(runs, 3);
        QTest::qWait(80);
        QCOMPARE(runs, 3);
        QCOMPARE(queue.armedCount(), std::size_t(0));
    }

    void cancelledDelayedTasksAndUnknownTokensDoNothing()
    {
        QtMainQueue queue;
        bool ran = false;
        const auto token = queue.postAfter(0.02, [&] { ran = true; });
        queue.cancel(token);
        queue.cancel(0);
        queue.cancel(987654);
        QTest::qWait(80);
        QVERIFY(!ran);
    }

    void aDelayedTaskMayArmAnotherFromInsideItself()
    {
        QtMainQueue queue;
        int runs = 0;
        std::function<void()> again = [&] {
            if (++runs < 4)
                queue.postAfter(0.0, again);
        };
        queue.postAfter(0.0, again);
        QTRY_COMPARE(runs, 4);
    }

    void aWatchCallsBackWhileTheDescriptorIsReadable()
    {
        QtMainQueue queue;
        int fds[2];
        QCOMPARE(::pipe(fds), 0);
        std::string received;
        const auto token = queue.watchReadable(fds[0], [&] {
            char buffer[16];
            const auto n = ::read(fds[0], buffer, sizeof buffer);
            if (n > 0)
                received.append(buffer, static_cast<std::size_t>(n));
        });
        QCOMPARE(::write(fds[1], "ab", 2), 2);
        QTRY_COMPARE(received, std::string("ab"));
        queue.cancel(token);
        QCOMPARE(::write(fds[1], "c", 1), 1);
        QTest::qWait(50);
        QCOMPARE(received, std::string("ab"));
        ::close(fds[0]);
        ::close(fds[1]);
    }

    void tasksOfAQueueThatIsGoneNeverRun()
    {
        bool ran = false;
        {
            QtMainQueue queue;
            queue.post([&] { ran = true; });
            queue.postAfter(0.0, [&] { ran = true; });
        }
        QTest::qWait(30);
        QVERIFY(!ran);
    }
};

QTEST_GUILESS_MAIN(QtMainQueueTests)
#include "QtMainQueueTests.moc"
