// SPDX-License-Identifier: MIT
#include "ClickoryShell/SingleInstance.h"

#include <QLocalServer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

using clickory::SingleInstance;

class SingleInstanceTests : public QObject
{
    Q_OBJECT

private slots:
    void theFirstAcquiresAndALaterOneIsRefused()
    {
        QTemporaryDir runtime;
        SingleInstance first(runtime.path());
        QVERIFY2(first.acquire(), qPrintable(first.error()));
        QVERIFY(first.acquire());  // again: still ours
        SingleInstance second(runtime.path());
        QVERIFY(!second.acquire());
        QVERIFY(!second.error().isEmpty());
    }

    void messagesFromALaterLaunchReachTheFirstInOrder()
    {
        QTemporaryDir runtime;
        SingleInstance first(runtime.path());
        QVERIFY(first.acquire());
        QSignalSpy received(&first, &SingleInstance::messageReceived);

        // The sender blocks while it waits for the answers, so it runs on a thread of its own.
        bool sent = false;
        std::thread later([&] {
            SingleInstance second(runtime.path());
            sent = second.send({"clickory://toggle", "reopen"}, 5000);
        });
        QTRY_COMPARE(received.count(), 2);
        later.join();
        QVERIFY(sent);
        QCOMPARE(received.at(0).at(0).toString(), QString("clickory://toggle"));
        QCOMPARE(received.at(1).at(0).toString(), QString("reopen"));
    }

    void sendingWithNobodyListeningFailsInTime()
    {
        QTemporaryDir runtime;
        SingleInstance lonely(runtime.path());
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!lonely.send({"reopen"}, 300));
        QVERIFY(timer.elapsed() < 3000);
        QVERIFY(!lonely.error().isEmpty());
    }

    void theLockAndSocketOfAnInstanceThatEndedAreTakenOver()
    {
        QTemporaryDir runtime;
        {
            SingleInstance first(runtime.path());
            QVERIFY(first.acquire());
        }
        // A socket file left behind, as after a crash.
        QLocalServer stale;
        SingleInstance probe(runtime.path());
        QVERIFY(stale.listen(probe.socketPath()));
        stale.setMaxPendingConnections(0);
        SingleInstance next(runtime.path());
        QVERIFY2(next.acquire(), qPrintable(next.error()));
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTests)
#include "SingleInstanceTests.moc"
