// SPDX-License-Identifier: MIT
#include "ClickoryShell/UpdateFeed.h"

#include <QStringList>
#include <QXmlStreamReader>

namespace clickory::UpdateFeed {

namespace {

// Natural order within one component: runs of digits compare as numbers, other runs as text
// ("beta2" < "beta10").
int compareComponent(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size())
    {
        const bool aDigit = a[i].isDigit();
        const bool bDigit = b[j].isDigit();
        qsizetype iEnd = i;
        qsizetype jEnd = j;
        while (iEnd < a.size() && a[iEnd].isDigit() == aDigit)
            ++iEnd;
        while (jEnd < b.size() && b[jEnd].isDigit() == bDigit)
            ++jEnd;
        const QString left = a.mid(i, iEnd - i);
        const QString right = b.mid(j, jEnd - j);
        if (aDigit && bDigit)
        {
            const qulonglong l = left.toULongLong();
            const qulonglong r = right.toULongLong();
            if (l != r)
                return l < r ? -1 : 1;
        }
        else if (const int text = left.compare(right); text != 0)
            return text < 0 ? -1 : 1;
        i = iEnd;
        j = jEnd;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

int compareNumbers(const QString& a, const QString& b)
{
    const QStringList left = a.split(QLatin1Char('.'));
    const QStringList right = b.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i)
    {
        const QString l = i < left.size() ? left[i] : QStringLiteral("0");
        const QString r = i < right.size() ? right[i] : QStringLiteral("0");
        if (const int order = compareComponent(l, r); order != 0)
            return order;
    }
    return 0;
}

} // namespace

int compareVersions(const QString& a, const QString& b)
{
    const QString left = a.trimmed();
    const QString right = b.trimmed();
    const qsizetype leftDash = left.indexOf(QLatin1Char('-'));
    const qsizetype rightDash = right.indexOf(QLatin1Char('-'));
    if (const int main = compareNumbers(left.left(leftDash), right.left(rightDash)); main != 0)
        return main;
    if (leftDash < 0 || rightDash < 0)
        return leftDash < 0 ? (rightDash < 0 ? 0 : 1) : -1;
    return compareNumbers(left.mid(leftDash + 1), right.mid(rightDash + 1));
}

Expected<std::optional<FeedRelease>> newestRelease(const QByteArray& feed)
{
    QXmlStreamReader xml(feed);
    std::optional<FeedRelease> newest;
    bool sawRoot = false;
    while (!xml.atEnd())
    {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (!sawRoot)
        {
            sawRoot = true;
            if (xml.name() != QLatin1String("rss"))
                return Expected<std::optional<FeedRelease>>::failure("the update feed is not an RSS feed");
            continue;
        }
        if (xml.name() != QLatin1String("item"))
            continue;
        // One item: read its children until its end.
        FeedRelease release;
        QString shortVersion;
        QString buildVersion;
        QUrl enclosure;
        while (!xml.atEnd())
        {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == QLatin1String("item"))
                break;
            if (!xml.isStartElement())
                continue;
            const auto name = xml.name();
            if (name == QLatin1String("enclosure"))
            {
                const auto attributes = xml.attributes();
                for (const auto& attribute : attributes)
                {
                    if (attribute.name() == QLatin1String("shortVersionString") && shortVersion.isEmpty())
                        shortVersion = attribute.value().toString().trimmed();
                    else if (attribute.name() == QLatin1String("version") && buildVersion.isEmpty())
                        buildVersion = attribute.value().toString().trimmed();
                    else if (attribute.name() == QLatin1String("url"))
                        enclosure = QUrl(attribute.value().toString().trimmed());
                }
                xml.skipCurrentElement();
            }
            else if (name == QLatin1String("shortVersionString"))
                shortVersion = xml.readElementText().trimmed();
            else if (name == QLatin1String("version"))
                buildVersion = xml.readElementText().trimmed();
            else if (name == QLatin1String("title"))
                release.title = xml.readElementText().trimmed();
            else if (name == QLatin1String("link"))
                release.link = QUrl(xml.readElementText().trimmed());
        }
        release.version = shortVersion.isEmpty() ? buildVersion : shortVersion;
        if (!release.link.isValid() || release.link.isEmpty())
            release.link = enclosure;
        if (release.version.isEmpty())
            continue;
        if (!newest || compareVersions(release.version, newest->version) > 0)
            newest = release;
    }
    if (xml.hasError())
        return Expected<std::optional<FeedRelease>>::failure("the update feed is not well-formed XML: " +
                                                             xml.errorString().toStdString());
    if (!sawRoot)
        return Expected<std::optional<FeedRelease>>::failure("the update feed is empty");
    return newest;
}

} // namespace clickory::UpdateFeed
