// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/Expected.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

namespace clickory {

// One release named by an update feed.
struct FeedRelease
{
    QString version;
    QString title;
    // Where the user gets it: the item's link, else its enclosure's address.
    QUrl link;
};

// The update feed: an appcast (RSS 2.0 with Sparkle's namespace), whose items carry their version as
// `sparkle:shortVersionString` or `sparkle:version`, either as elements or as attributes of the
// enclosure. Only these facts are read; everything else in the feed is ignored.
namespace UpdateFeed {

// The newest release of the feed, none when it names no versioned item, or an error when the bytes
// are not a well-formed feed.
Expected<std::optional<FeedRelease>> newestRelease(const QByteArray& feed);

// Compares dotted versions numerically ("1.10" > "1.9", "1.2" == "1.2.0"); a pre-release suffix
// after "-" ranks below the same version without it. Negative, zero or positive.
int compareVersions(const QString& a, const QString& b);

} // namespace UpdateFeed
} // namespace clickory
