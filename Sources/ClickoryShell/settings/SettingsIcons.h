// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QString>

#include <initializer_list>

namespace clickory {

// Icons of the settings window: the first of some freedesktop icon-theme names that the current
// theme has, else the icon bundled with the application, so every place has an icon on every
// desktop. The bundled ones live under ":/clickory/settings/icons/".
namespace SettingsIcons {

// `bundled` is a file name in the bundled icon folder, e.g. "sounds.svg".
QIcon themed(std::initializer_list<const char*> themeNames, const QString& bundled);
// The bundled icon alone.
QIcon bundled(const QString& name);

// The tab icons, by tab position 0 ... 6 (Sounds, Input, Shortcuts, Feel, Ripple, Apps, General).
QIcon tab(int index);

} // namespace SettingsIcons
} // namespace clickory
