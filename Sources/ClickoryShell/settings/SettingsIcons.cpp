// SPDX-License-Identifier: MIT
#include "ClickoryShell/settings/SettingsIcons.h"

#include <array>

// The icons are compiled into the static library; its resources must be registered by hand.
static void registerSettingsResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(settings);
        return true;
    }();
    (void)done;
}

namespace clickory::SettingsIcons {

QIcon bundled(const QString& name)
{
    registerSettingsResources();
    return QIcon(QStringLiteral(":/clickory/settings/icons/") + name);
}

QIcon themed(std::initializer_list<const char*> themeNames, const QString& bundledName)
{
    for (const char* name : themeNames)
        if (QIcon::hasThemeIcon(QString::fromLatin1(name)))
            return QIcon::fromTheme(QString::fromLatin1(name));
    return bundled(bundledName);
}

QIcon tab(int index)
{
    switch (index) {
    case 0:
        return themed({"audio-volume-high", "audio-speakers"}, QStringLiteral("sounds.svg"));
    case 1:
        return themed({"input-keyboard"}, QStringLiteral("input.svg"));
    case 2:
        return themed({"preferences-desktop-keyboard-shortcuts", "preferences-desktop-keyboard"},
                      QStringLiteral("shortcuts.svg"));
    case 3:
        return themed({"input-touchpad", "input-tablet"}, QStringLiteral("feel.svg"));
    case 4:
        return themed({"draw-circle", "preferences-desktop-effects"}, QStringLiteral("ripple.svg"));
    case 5:
        return themed({"preferences-desktop-default-applications", "applications-other"}, QStringLiteral("apps.svg"));
    default:
        return themed({"preferences-system", "emblem-system"}, QStringLiteral("general.svg"));
    }
}

} // namespace clickory::SettingsIcons
