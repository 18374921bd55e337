// SPDX-License-Identifier: MIT
#include "ClickoryShell/UrlCommand.h"

#include <QStringList>
#include <QUrl>

namespace clickory {

std::optional<UrlCommand> UrlCommand::parse(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().compare(QLatin1String("clickory"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    QStringList parts;
    const QString host = url.host(QUrl::FullyDecoded);
    if (!host.isEmpty())
        parts.append(host);
    for (const QString& component : url.path(QUrl::FullyDecoded).split(QLatin1Char('/'), Qt::SkipEmptyParts))
        parts.append(component);
    if (parts.isEmpty())
        return UrlCommand{};
    UrlCommand command{parts[0], std::nullopt};
    if (parts.size() > 1)
        command.argument = parts[1];
    return command;
}

} // namespace clickory
