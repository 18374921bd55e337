// SPDX-License-Identifier: MIT
#include "ClickoryShell/tray/StatusMenu.h"

#include "ClickoryCore/profiles/Profiles.h"
#include "ClickoryCore/profiles/ScrollStyle.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace clickory {

namespace {

QString text(std::string_view value)
{
    return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
}

} // namespace

StatusMenu::StatusMenu(SettingsStore& store, StatusMenuHandler& handler, QObject* parent)
    : QObject(parent), m_store(store), m_handler(handler)
{
}

QAction* StatusMenu::addToggle(QMenu& menu, const QString& title, bool checked, bool FeelSettings::*field)
{
    QAction* action = menu.addAction(title);
    action->setCheckable(true);
    action->setChecked(checked);
    connect(action, &QAction::triggered, this, [this, field]() {
        m_store.update([field](FeelSettings& settings) { settings.*field = !(settings.*field); });
    });
    return action;
}

void StatusMenu::rebuild(QMenu& menu, const MenuConditions& conditions)
{
    menu.clear();
    const FeelSettings settings = m_store.settings();

    addToggle(menu, settings.enabled ? QStringLiteral("Clickory is on") : QStringLiteral("Clickory is off"),
              settings.enabled, &FeelSettings::enabled);
    if (!conditions.inputGranted)
    {
        QAction* allow = menu.addAction(QStringLiteral("Allow Input Monitoring…"));
        connect(allow, &QAction::triggered, this, [this]() { m_handler.allowInput(); });
    }
    menu.addSeparator();

    QMenu* sound = menu.addMenu(QStringLiteral("Sound"));
    for (const ProfileGroup& group : Profiles::byCategory())
    {
        QAction* header = sound->addAction(text(rawValue(group.category)));
        header->setEnabled(false);
        for (const SoundProfile& profile : group.profiles)
        {
            QAction* item = sound->addAction(indent + text(profile.name));
            item->setData(text(profile.id));
            item->setCheckable(true);
            item->setChecked(profile.id == settings.profileID);
            connect(item, &QAction::triggered, this, [this, id = profile.id]() {
                m_store.update([&id](FeelSettings& s) { s.profileID = id; });
                m_handler.preview(id);
            });
        }
    }

    QMenu* scroll = menu.addMenu(QStringLiteral("Scroll ticks"));
    for (ScrollStyle style : allScrollStyles())
    {
        QAction* item = scroll->addAction(text(label(style)));
        item->setData(text(rawValue(style)));
        item->setCheckable(true);
        item->setChecked(style == settings.scrollStyle);
        connect(item, &QAction::triggered, this, [this, item]() {
            if (const auto chosen = scrollStyleFromRaw(item->data().toString().toStdString()))
                m_store.update([&](FeelSettings& s) { s.scrollStyle = *chosen; });
        });
    }
    menu.addSeparator();

    addToggle(menu, QStringLiteral("Keyboard sounds"), settings.keyboardEnabled, &FeelSettings::keyboardEnabled);
    addToggle(menu, QStringLiteral("Click sounds"), settings.mouseEnabled, &FeelSettings::mouseEnabled);
    addToggle(menu, QStringLiteral("Click ripple"), settings.rippleEnabled, &FeelSettings::rippleEnabled);
    addToggle(menu, QStringLiteral("Trackpad haptics on scroll"), settings.hapticsOnScroll,
              &FeelSettings::hapticsOnScroll);
    addToggle(menu, QStringLiteral("Silent while microphone is on"), settings.muteWhenMicrophoneInUse,
              &FeelSettings::muteWhenMicrophoneInUse);
    menu.addSeparator();

    QAction* import = menu.addAction(QStringLiteral("Import sound pack…"));
    connect(import, &QAction::triggered, this, [this]() { m_handler.importPack(); });
    if (conditions.hasUpdater)
    {
        QAction* updates = menu.addAction(QStringLiteral("Check for Updates…"));
        updates->setEnabled(conditions.canCheckForUpdates);
        connect(updates, &QAction::triggered, this, [this]() { m_handler.checkUpdates(); });
    }
    QAction* openSettings = menu.addAction(QStringLiteral("Settings…"));
    openSettings->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    connect(openSettings, &QAction::triggered, this, [this]() { m_handler.openSettings(); });
    QAction* quit = menu.addAction(QStringLiteral("Quit Clickory"));
    quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(quit, &QAction::triggered, this, [this]() { m_handler.quit(); });
}

} // namespace clickory
