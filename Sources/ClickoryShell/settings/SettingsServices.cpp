// SPDX-License-Identifier: MIT
#include "ClickoryShell/settings/SettingsServices.h"

#include <QDir>
#include <QString>
#include <QStringList>

namespace clickory {

namespace {

std::filesystem::path dataHome()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return std::filesystem::path(xdg.toStdString());
    return std::filesystem::path(QDir::homePath().toStdString()) / ".local" / "share";
}

} // namespace

std::filesystem::path SettingsServices::defaultDataFolder()
{
    return dataHome() / "clickory";
}

std::vector<std::filesystem::path> SettingsServices::defaultApplicationFolders()
{
    std::vector<std::filesystem::path> folders{dataHome() / "applications"};
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& dir : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(dir))
            folders.push_back(std::filesystem::path(dir.toStdString()) / "applications");
    return folders;
}

} // namespace clickory
