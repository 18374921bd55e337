// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryShell/BundleInfo.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace clickory {

// What one update check found.
struct UpdateCheckResult
{
    enum class Outcome
    {
        updateAvailable,
        upToDate,
        failed,
    };
    Outcome outcome = Outcome::failed;
    // The newest version the feed names (empty when the check failed).
    QString version;
    // Where to get it, for updateAvailable.
    QUrl link;
    // The plain sentence shown to the user.
    QString message;
};

// Checks for updates against the feed named by "SUFeedURL" in Info.json. Without a feed there is no
// updater at all: hasUpdater() is false, so neither the menu nor the settings offer a check, and
// canCheckForUpdates stays false. With one, each check fetches the feed (sending the header
// "X-Clickory-Channel" when "CKUpdateChannelToken" is set), finds its newest version and compares it
// with ours. Network and feed failures end a check with a plain sentence, never more.
//
// Thread: main. The network access is Qt's, asynchronous on the main loop.
class UpdaterService : public QObject
{
    Q_OBJECT

public:
    static constexpr const char* channelHeader = "X-Clickory-Channel";

    explicit UpdaterService(const BundleInfo& info, QObject* parent = nullptr);
    ~UpdaterService() override;

    // Whether a feed is configured (the counterpart of an existing update controller).
    bool hasUpdater() const { return m_hasUpdater; }

    // True while a manual check may start: an updater that started and no check running.
    bool canCheckForUpdates() const { return m_canCheck; }

    // Starts a check; the answer comes through checkFinished. Does nothing while a check runs or
    // without an updater.
    void checkForUpdates();

    // Gives up on a check after this long (default 15 s).
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

signals:
    void canCheckForUpdatesChanged(bool canCheck);
    void checkFinished(const clickory::UpdateCheckResult& result);

private:
    void setCanCheck(bool value);
    void finish(QNetworkReply* reply);

    bool m_hasUpdater = false;
    bool m_started = false;
    bool m_canCheck = false;
    QString m_version;
    QUrl m_feed;
    QByteArray m_channelToken;
    int m_timeoutMs = 15000;
    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
};

} // namespace clickory

Q_DECLARE_METATYPE(clickory::UpdateCheckResult)
