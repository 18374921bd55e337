// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace clickory {

// The command line of one launch. A switch is present when an argument equals it exactly;
// arguments that start with "clickory:" are URL commands for the running instance.
struct LaunchOptions
{
    bool status = false;
    // "--import" with the argument after it; "--import" as the last argument is ignored.
    std::optional<QString> importPath;
    bool selftest = false;
    bool bench = false;
    bool settings = false;
    bool help = false;
    bool version = false;
    QStringList urls;
    // Arguments that are none of the above (reported as a usage error).
    QStringList unknown;

    // `arguments` without the program name (as left by QApplication, which takes its own options).
    static LaunchOptions parse(const QStringList& arguments);

    // A mode that prints, then ends the process: it needs no running instance and no tray.
    bool isCommandLineMode() const { return status || importPath || selftest || bench || help || version; }

    // The text of "--help".
    static QString helpText();
};

} // namespace clickory
