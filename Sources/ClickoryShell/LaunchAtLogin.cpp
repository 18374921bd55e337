// SPDX-License-Identifier: MIT
#include "ClickoryShell/LaunchAtLogin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace clickory {

LaunchAtLogin::LaunchAtLogin(QString program, QString configHome)
    : m_program(std::move(program)), m_configHome(std::move(configHome))
{
    if (m_configHome.isEmpty())
    {
        m_configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
        // XDG base directories must be absolute; a relative value is ignored.
        if (m_configHome.isEmpty() || QDir::isRelativePath(m_configHome))
            m_configHome = QDir::homePath() + QStringLiteral("/.config");
    }
}

QString LaunchAtLogin::entryPath() const
{
    return m_configHome + QStringLiteral("/autostart/clickory.desktop");
}

bool LaunchAtLogin::isEnabled() const
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inEntry = false;
    while (!file.atEnd())
    {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inEntry = line == QLatin1String("[Desktop Entry]");
        else if (inEntry && (line.compare(QLatin1String("Hidden=true"), Qt::CaseInsensitive) == 0 ||
                             line.compare(QLatin1String("X-GNOME-Autostart-enabled=false"), Qt::CaseInsensitive) == 0))
            return false;
    }
    return true;
}

std::optional<QString> LaunchAtLogin::setEnabled(bool enabled)
{
    const QString path = entryPath();
    if (!enabled)
    {
        QFile file(path);
        if (file.exists() && !file.remove())
            return QStringLiteral("could not remove %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("could not create the folder %1").arg(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return QStringLiteral("could not write %1: %2").arg(path, file.errorString());
    file.write(entryText(m_program).toUtf8());
    if (!file.commit())
        return QStringLiteral("could not write %1: %2").arg(path, file.errorString());
    return std::nullopt;
}

QString LaunchAtLogin::execArgument(const QString& program)
{
    // Arguments with reserved characters are quoted; inside quotes ", `, $ and \ take a backslash.
    // The value as a whole is a string, so each backslash is written twice; a literal % is %%.
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = program.isEmpty();
    for (QChar c : program)
        quote = quote || reserved.contains(c);
    QString out;
    for (QChar c : program)
    {
        if (c == QLatin1Char('%'))
            out += QStringLiteral("%%");
        else if (quote && (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$')))
            out += QStringLiteral("\\\\") + c;
        else if (quote && c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\\\\\");
        else
            out += c;
    }
    return quote ? QLatin1Char('"') + out + QLatin1Char('"') : out;
}

QString LaunchAtLogin::entryText(const QString& program)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Clickory\n"
                          "Comment=Sounds for every key press, click and scroll\n"
                          "Exec=%1\n"
                          "Icon=clickory\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(execArgument(program));
}

} // namespace clickory
