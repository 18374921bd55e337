// SPDX-License-Identifier: MIT
#include "ClickoryShell/UpdaterService.h"

#include "ClickoryShell/SystemLog.h"
#include "ClickoryShell/UpdateFeed.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace clickory {

namespace {

// A feed is a short list of releases; more than this is not one.
constexpr qint64 maxFeedBytes = 4 * 1024 * 1024;

} // namespace

UpdaterService::UpdaterService(const BundleInfo& info, QObject* parent) : QObject(parent), m_version(info.version)
{
    if (info.feedURL.isEmpty())
        return;
    m_hasUpdater = true;
    m_network = new QNetworkAccessManager(this);
    if (!info.channelToken.isEmpty())
        m_channelToken = info.channelToken.toUtf8();
    const QUrl feed(info.feedURL, QUrl::StrictMode);
    const QString scheme = feed.scheme().toLower();
    if (!feed.isValid() || feed.host().isEmpty() || (scheme != QLatin1String("https") && scheme != QLatin1String("http")))
    {
        SystemLog::write("Clickory updater failed to start: the feed address \"" + info.feedURL.toStdString() +
                         "\" is not an http or https address");
        return;
    }
    m_feed = feed;
    m_started = true;
    setCanCheck(true);
}

UpdaterService::~UpdaterService()
{
    if (m_reply)
    {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void UpdaterService::setCanCheck(bool value)
{
    if (m_canCheck == value)
        return;
    m_canCheck = value;
    emit canCheckForUpdatesChanged(value);
}

void UpdaterService::checkForUpdates()
{
    if (!m_hasUpdater || m_reply)
        return;
    if (!m_started)
    {
        UpdateCheckResult result;
        result.message = QStringLiteral("Could not check for updates: the update feed address is not valid.");
        emit checkFinished(result);
        return;
    }
    QNetworkRequest request(m_feed);
    request.setTransferTimeout(m_timeoutMs);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Clickory/%1").arg(m_version));
    request.setRawHeader("Accept", "application/rss+xml, application/xml;q=0.9, */*;q=0.5");
    if (!m_channelToken.isEmpty())
        request.setRawHeader(channelHeader, m_channelToken);
    setCanCheck(false);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > maxFeedBytes && m_reply)
            m_reply->abort();
    });
    QNetworkReply* reply = m_reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply]() { finish(reply); });
}

void UpdaterService::finish(QNetworkReply* reply)
{
    reply->deleteLater();
    m_reply = nullptr;
    UpdateCheckResult result;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError)
    {
        const QString reason = reply->error() == QNetworkReply::OperationCanceledError
                                   ? QStringLiteral("the update server did not answer in time, or sent too much")
                                   : reply->errorString();
        result.message = QStringLiteral("Could not check for updates: %1.").arg(reason);
    }
    else if (status != 0 && (status < 200 || status >= 300))
        result.message = QStringLiteral("Could not check for updates: the update server answered with status %1.").arg(status);
    else
    {
        const auto newest = UpdateFeed::newestRelease(reply->read(maxFeedBytes));
        if (!newest)
            result.message =
                QStringLiteral("Could not check for updates: %1.").arg(QString::fromStdString(newest.error()));
        else if (!newest.value())
            result.message = QStringLiteral("Could not check for updates: the update feed names no version.");
        else if (UpdateFeed::compareVersions(newest.value()->version, m_version) > 0)
        {
            result.outcome = UpdateCheckResult::Outcome::updateAvailable;
            result.version = newest.value()->version;
            result.link = newest.value()->link;
            result.message = QStringLiteral("Clickory %1 is available. You have %2.").arg(result.version, m_version);
        }
        else
        {
            result.outcome = UpdateCheckResult::Outcome::upToDate;
            result.version = newest.value()->version;
            result.message = QStringLiteral("Clickory is up to date (version %1).").arg(m_version);
        }
    }
    setCanCheck(true);
    emit checkFinished(result);
}

} // namespace clickory
