// SPDX-License-Identifier: MIT
#include "ClickoryShell/tray/MenuGlyph.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QSvgRenderer>

// The built-in resources live in this static library; a program registers them once.
static void registerResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}

namespace clickory::MenuGlyph {

void registerBuiltInResources()
{
    registerResources();
}

QByteArray recolored(const QByteArray& svg, const QColor& color)
{
    QByteArray out = svg;
    out.replace("#000000", color.name(QColor::HexRgb).toLatin1());
    return out;
}

QColor panelColor()
{
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower();
    for (const char* dark : {"gnome", "unity", "pantheon", "budgie", "cinnamon"})
    {
        if (desktop.contains(QLatin1String(dark)))
            return QColor(0xf2, 0xf2, 0xf2);
    }
    return QGuiApplication::palette().color(QPalette::WindowText);
}

QIcon icon(const QString& svgFile, const QColor& color)
{
    registerResources();
    QByteArray svg;
    for (const QString& path : {svgFile, QStringLiteral(":/clickory/MenuGlyph.svg")})
    {
        QFile file(path);
        if (!path.isEmpty() && file.open(QIODevice::ReadOnly))
        {
            svg = file.readAll();
            break;
        }
    }
    QSvgRenderer renderer(recolored(svg, color));
    if (svg.isEmpty() || !renderer.isValid())
    {
        QIcon fallback = QIcon::fromTheme(QStringLiteral("input-keyboard-symbolic"),
                                          QIcon::fromTheme(QStringLiteral("input-keyboard")));
        fallback.setIsMask(true);
        return fallback;
    }
    QIcon result;
    for (int size : {16, 22, 24, 32, 44, 48, 64})
    {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        result.addPixmap(pixmap);
    }
    result.setIsMask(true);
    return result;
}

} // namespace clickory::MenuGlyph
