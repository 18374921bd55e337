// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

namespace clickory {

// Launch at login through an XDG autostart entry: "clickory.desktop" in $XDG_CONFIG_HOME/autostart
// (default ~/.config/autostart), starting this program. Thread: main.
class LaunchAtLogin
{
public:
    // `program` is the binary the entry starts; `configHome` overrides $XDG_CONFIG_HOME (tests).
    explicit LaunchAtLogin(QString program, QString configHome = {});

    // The entry's path.
    QString entryPath() const;

    // True when the entry exists and is not hidden or disabled.
    bool isEnabled() const;

    // Writes (atomically) or removes the entry. Nothing on success, else the reason as a plain
    // sentence; the caller logs "Clickory: launch at login failed: " with it.
    std::optional<QString> setEnabled(bool enabled);

    // The entry's text for a program path.
    static QString entryText(const QString& program);

    // `program` as an Exec argument: quoted and escaped where the desktop entry format asks for it.
    static QString execArgument(const QString& program);

private:
    QString m_program;
    QString m_configHome;
};

} // namespace clickory
