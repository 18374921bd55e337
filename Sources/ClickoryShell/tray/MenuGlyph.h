// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

#include <optional>

namespace clickory {

// The tray item's icon: the one-colour symbol "MenuGlyph.svg" of the resources (or the copy built
// into the program), drawn in a colour that suits the panel and marked as a mask, the Linux form of
// a template image. Where neither is found, the theme's keyboard symbol.
namespace MenuGlyph {

// The icon from `svgFile` (empty or unreadable: the built-in copy), in `color`.
QIcon icon(const QString& svgFile, const QColor& color);

// The colour for the current desktop: light on desktops whose panels are dark by design (GNOME,
// Unity, Pantheon, Budgie, Cinnamon), otherwise the palette's window text colour.
QColor panelColor();

// Makes the icons built into the program (":/clickory/...") available. Idempotent.
void registerBuiltInResources();

// The SVG text with its drawing colour replaced.
QByteArray recolored(const QByteArray& svg, const QColor& color);

} // namespace MenuGlyph
} // namespace clickory
