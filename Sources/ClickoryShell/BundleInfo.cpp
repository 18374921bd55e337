// SPDX-License-Identifier: MIT
#include "ClickoryShell/BundleInfo.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <system_error>

#ifndef CLICKORY_VERSION
#define CLICKORY_VERSION "0.0.0"
#endif

namespace clickory {

BundleInfo BundleInfo::fromInfoFile(const std::filesystem::path& infoFile)
{
    BundleInfo info;
    info.version = QStringLiteral(CLICKORY_VERSION);
    QFile file(QString::fromStdString(infoFile.string()));
    if (infoFile.empty() || !file.open(QIODevice::ReadOnly))
        return info;
    const QJsonDocument document = QJsonDocument::fromJson(file.read(1 << 20));
    if (!document.isObject())
        return info;
    const QJsonObject object = document.object();
    const auto text = [&](const char* key) -> std::optional<QString> {
        const QJsonValue value = object.value(QLatin1String(key));
        return value.isString() ? std::optional<QString>(value.toString().trimmed()) : std::nullopt;
    };
    if (auto version = text("CFBundleShortVersionString"); version && !version->isEmpty())
        info.version = *version;
    info.feedURL = text("SUFeedURL").value_or(QString());
    info.channelToken = text("CKUpdateChannelToken").value_or(QString());
    return info;
}

std::optional<std::filesystem::path> BundleInfo::locateResources(const std::filesystem::path& executableDir)
{
    std::error_code error;
    const auto folder = (executableDir / ".." / "share" / "clickory").lexically_normal();
    if (std::filesystem::is_regular_file(folder / "Info.json", error))
        return folder;
    return std::nullopt;
}

BundleInfo BundleInfo::current()
{
    const auto folder = locateResources(QCoreApplication::applicationDirPath().toStdString());
    BundleInfo info = folder ? fromInfoFile(*folder / "Info.json") : fromInfoFile({});
    info.resources = folder;
    return info;
}

std::optional<std::filesystem::path> BundleInfo::resource(const QString& name) const
{
    if (!resources)
        return std::nullopt;
    std::error_code error;
    const auto path = *resources / name.toStdString();
    if (std::filesystem::is_regular_file(path, error))
        return path;
    return std::nullopt;
}

} // namespace clickory
