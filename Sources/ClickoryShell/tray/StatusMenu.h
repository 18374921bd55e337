// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/settings/SettingsStore.h"

#include <QObject>
#include <QString>

#include <string>

class QAction;
class QMenu;

namespace clickory {

// What the menu does beyond writing single settings: the application delegate's actions.
class StatusMenuHandler
{
public:
    virtual ~StatusMenuHandler() = default;
    virtual void allowInput() = 0;
    // Switches to the profile and plays its demonstration.
    virtual void preview(const std::string& profileID) = 0;
    virtual void importPack() = 0;
    virtual void checkUpdates() = 0;
    virtual void openSettings() = 0;
    virtual void quit() = 0;
};

// The facts of the moment that decide which items the menu shows.
struct MenuConditions
{
    bool inputGranted = true;
    // An updater exists (a feed is configured), and whether it may check now.
    bool hasUpdater = false;
    bool canCheckForUpdates = false;
};

// The tray item's menu, rebuilt from the current settings and the sound catalogue each time it
// opens: the master switch, the permission item while input cannot be read, the "Sound" and
// "Scroll ticks" submenus, the sound switches, import, updates, settings and quit. The toggles and
// the scroll style write their field of the store; the other items go to the handler.
// Thread: main.
class StatusMenu : public QObject
{
    Q_OBJECT

public:
    // Profile items are indented under their category header by this prefix.
    static inline const QString indent = QStringLiteral("    ");

    StatusMenu(SettingsStore& store, StatusMenuHandler& handler, QObject* parent = nullptr);

    // Clears `menu` and fills it anew.
    void rebuild(QMenu& menu, const MenuConditions& conditions);

private:
    QAction* addToggle(QMenu& menu, const QString& title, bool checked, bool FeelSettings::*field);

    SettingsStore& m_store;
    StatusMenuHandler& m_handler;
};

} // namespace clickory
