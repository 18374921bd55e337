// SPDX-License-Identifier: MIT
#include "ClickoryShell/settings/DesktopApplications.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <set>
#include <system_error>

namespace clickory::DesktopApplications {

std::optional<DesktopApplication> read(const std::filesystem::path& file, std::string id)
{
    QFile entry(QString::fromStdString(file.string()));
    // Desktop entries are small; anything huge is not one.
    if (entry.size() > (1 << 20) || !entry.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QTextStream in(&entry);
    DesktopApplication app;
    app.id = std::move(id);
    bool inMain = false;
    bool isApplication = false;
    bool hidden = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inMain = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMain)
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("Type"))
            isApplication = value == QLatin1String("Application");
        else if (key == QLatin1String("Name"))
            app.name = value;
        else if (key == QLatin1String("Icon"))
            app.icon = value;
        else if (key == QLatin1String("StartupWMClass"))
            app.windowClass = value;
        else if ((key == QLatin1String("NoDisplay") || key == QLatin1String("Hidden")) &&
                 value == QLatin1String("true"))
            hidden = true;
    }
    if (!isApplication || hidden || app.name.isEmpty())
        return std::nullopt;
    return app;
}

std::vector<DesktopApplication> list(const std::vector<std::filesystem::path>& folders)
{
    namespace fs = std::filesystem;
    std::vector<DesktopApplication> apps;
    std::set<std::string> seen;
    for (const fs::path& folder : folders) {
        std::error_code error;
        fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
        for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it.depth() > 3) {
                it.disable_recursion_pending();
                continue;
            }
            const fs::path& file = it->path();
            if (file.extension() != ".desktop" || !it->is_regular_file(error))
                continue;
            std::string id = fs::relative(file, folder, error).replace_extension().generic_string();
            std::replace(id.begin(), id.end(), '/', '-');
            // An id seen in an earlier folder hides this one, even when that entry was hidden.
            if (!seen.insert(id).second)
                continue;
            if (std::optional<DesktopApplication> app = read(file, id))
                apps.push_back(std::move(*app));
        }
    }
    std::sort(apps.begin(), apps.end(), [](const DesktopApplication& a, const DesktopApplication& b) {
        const int order = QString::localeAwareCompare(a.name, b.name);
        return order != 0 ? order < 0 : a.id < b.id;
    });
    return apps;
}

std::optional<DesktopApplication> find(const std::string& id, const std::vector<DesktopApplication>& apps)
{
    for (const DesktopApplication& app : apps)
        if (app.id == id)
            return app;
    const QString wanted = QString::fromStdString(id);
    for (const DesktopApplication& app : apps)
        if (app.windowClass.compare(wanted, Qt::CaseInsensitive) == 0 ||
            QString::fromStdString(app.id).compare(wanted, Qt::CaseInsensitive) == 0)
            return app;
    return std::nullopt;
}

QString displayName(const std::string& id, const std::vector<DesktopApplication>& apps)
{
    if (const std::optional<DesktopApplication> app = find(id, apps))
        return app->name;
    return QString::fromStdString(id);
}

} // namespace clickory::DesktopApplications
