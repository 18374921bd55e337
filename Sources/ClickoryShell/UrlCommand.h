// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

namespace clickory {

// A command of the "clickory" URL scheme: the URL's host followed by its path components, the first
// being the command and the second, if any, its argument. "clickory://sound/tactile" is the command
// "sound" with the argument "tactile".
struct UrlCommand
{
    QString command;
    std::optional<QString> argument;

    // None when the text is not a URL or its scheme is not "clickory". The command is not checked:
    // the caller ignores commands it does not know.
    static std::optional<UrlCommand> parse(const QString& text);

    friend bool operator==(const UrlCommand&, const UrlCommand&) = default;
};

} // namespace clickory
