// SPDX-License-Identifier: MIT
// The updater against a feed served by the test itself on 127.0.0.1.
#include "ClickoryShell/UpdaterService.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace clickory;

namespace {

// Answers every request with one fixed response and remembers the request heads.
class FeedServer : public QObject
{
public:
    explicit FeedServer(QByteArray body, int status = 200) : m_body(std::move(body)), m_status(status)
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
            {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    m_buffer[socket] += socket->readAll();
                    if (!m_buffer[socket].contains("\r\n\r\n"))
                        return;
                    requests.append(m_buffer.take(socket));
                    const QByteArray reason = m_status == 200 ? "OK" : "Not Found";
                    socket->write("HTTP/1.1 " + QByteArray::number(m_status) + " " + reason +
                                  "\r\nContent-Type: application/rss+xml\r\nContent-Length: " +
                                  QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    QString url() const { return QStringLiteral("http://127.0.0.1:%1/appcast.xml").arg(m_server.serverPort()); }

    // The value of a header in the last request, none when absent.
    std::optional<QByteArray> header(const QByteArray& name) const
    {
        if (requests.isEmpty())
            return std::nullopt;
        for (const QByteArray& line : requests.last().split('\n'))
        {
            const auto colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
                return line.mid(colon + 1).trimmed();
        }
        return std::nullopt;
    }

    QList<QByteArray> requests;

private:
    QTcpServer m_server;
    QByteArray m_body;
    int m_status;
    QHash<QTcpSocket*, QByteArray> m_buffer;
};

QByteArray appcast(const QByteArray& version)
{
    return "<?xml version='1.0' encoding='utf-8'?>\n"
           "<rss version='2.0' xmlns:sparkle='http://www.andymatuschak.org/xml-namespaces/sparkle'>\n"
           "<channel><title>Clickory</title>\n"
           "<item><title>Clickory 0.0.9</title><sparkle:shortVersionString>0.0.9</sparkle:shortVersionString></item>\n"
           "<item><title>Clickory " + version + "</title><link>https://example.org/releases/" + version + "</link>\n"
           "<enclosure url='https://example.org/clickory.tar.gz' sparkle:shortVersionString='" + version + "' /></item>\n"
           "</channel></rss>";
}

BundleInfo bundle(const QString& feed, const QString& token = {}, const QString& version = "1.4.0")
{
    BundleInfo info;
    info.version = version;
    info.feedURL = feed;
    info.channelToken = token;
    return info;
}

UpdateCheckResult check(UpdaterService& updater)
{
    QSignalSpy finished(&updater, &UpdaterService::checkFinished);
    updater.checkForUpdates();
    if (finished.count() == 0 && !finished.wait(20000))
        return {UpdateCheckResult::Outcome::failed, {}, {}, "no answer"};
    return finished.at(0).at(0).value<UpdateCheckResult>();
}

} // namespace

class UpdaterTests : public QObject
{
    Q_OBJECT

private slots:
    void withoutAFeedThereIsNoUpdaterAndNoCheck()
    {
        UpdaterService updater(bundle(""));
        QVERIFY(!updater.hasUpdater());
        QVERIFY(!updater.canCheckForUpdates());
        QSignalSpy finished(&updater, &UpdaterService::checkFinished);
        updater.checkForUpdates();
        QTest::qWait(50);
        QCOMPARE(finished.count(), 0);
    }

    void aNewerVersionInTheFeedIsOfferedWithItsLink()
    {
        FeedServer server(appcast("1.10.0"));
        UpdaterService updater(bundle(server.url()));
        QVERIFY(updater.hasUpdater());
        QVERIFY(updater.canCheckForUpdates());
        const auto result = check(updater);
        QCOMPARE(result.outcome, UpdateCheckResult::Outcome::updateAvailable);
        QCOMPARE(result.version, QString("1.10.0"));
        QCOMPARE(result.link, QUrl("https://example.org/releases/1.10.0"));
        QCOMPARE(result.message, QString("Clickory 1.10.0 is available. You have 1.4.0."));
        QVERIFY(updater.canCheckForUpdates());
        // Without a channel token no channel header is sent.
        QCOMPARE(server.header(UpdaterService::channelHeader), std::nullopt);
    }

    void theSameVersionIsUpToDate()
    {
        FeedServer server(appcast("1.4"));
        UpdaterService updater(bundle(server.url()));
        const auto result = check(updater);
        QCOMPARE(result.outcome, UpdateCheckResult::Outcome::upToDate);
        QCOMPARE(result.message, QString("Clickory is up to date (version 1.4.0)."));
    }

    void theChannelTokenTravelsInItsHeader()
    {
        FeedServer server(appcast("1.4.0"));
        UpdaterService updater(bundle(server.url(), "beta-7f3a"));
        check(updater);
        QCOMPARE(server.requests.size(), 1);
        QVERIFY(server.requests.first().startsWith("GET /appcast.xml "));
        QCOMPARE(server.header(UpdaterService::channelHeader), std::optional<QByteArray>("beta-7f3a"));
    }

    void canCheckIsFalseWhileACheckRuns()
    {
        FeedServer server(appcast("1.4.0"));
        UpdaterService updater(bundle(server.url()));
        QSignalSpy changes(&updater, &UpdaterService::canCheckForUpdatesChanged);
        QSignalSpy finished(&updater, &UpdaterService::checkFinished);
        updater.checkForUpdates();
        QVERIFY(!updater.canCheckForUpdates());
        updater.checkForUpdates();  // ignored while running
        QVERIFY(finished.wait(20000));
        QTest::qWait(50);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(changes.count(), 2);
        QCOMPARE(changes.at(0).at(0).toBool(), false);
        QCOMPARE(changes.at(1).at(0).toBool(), true);
    }

    void anUnreachableServerIsAPlainSentence()
    {
        quint16 port = 0;
        {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
            port = closed.serverPort();
        }
        UpdaterService updater(bundle(QStringLiteral("http://127.0.0.1:%1/appcast.xml").arg(port)));
        const auto result = check(updater);
        QCOMPARE(result.outcome, UpdateCheckResult::Outcome::failed);
        QVERIFY2(result.message.startsWith("Could not check for updates: "), qPrintable(result.message));
        QVERIFY(result.message.endsWith("."));
        QVERIFY(updater.canCheckForUpdates());
    }

    void anErrorStatusOrAPageThatIsNoFeedFails()
    {
        FeedServer missing("<html>gone</html>", 404);
        UpdaterService first(bundle(missing.url()));
        const auto notFound = check(first);
        QCOMPARE(notFound.outcome, UpdateCheckResult::Outcome::failed);

        FeedServer html("<html><body>hello</body></html>");
        UpdaterService second(bundle(html.url()));
        const auto notFeed = check(second);
        QCOMPARE(notFeed.outcome, UpdateCheckResult::Outcome::failed);
        QVERIFY(notFeed.message.contains("not an RSS feed"));
    }

    void aFeedAddressThatIsNotHttpKeepsTheUpdaterButFailsItsChecks()
    {
        UpdaterService updater(bundle("file:///etc/passwd"));
        QVERIFY(updater.hasUpdater());
        QVERIFY(!updater.canCheckForUpdates());
        const auto result = check(updater);
        QCOMPARE(result.outcome, UpdateCheckResult::Outcome::failed);
    }
};

QTEST_GUILESS_MAIN(UpdaterTests)
#include "UpdaterTests.moc"
