// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/settings/SettingsStore.h"
#include "ClickoryShell/settings/SettingsServices.h"

#include <QTimer>
#include <QWidget>

#include <array>

class QTabWidget;

namespace clickory {

struct SettingsWindowContext;
class SettingsTab;
class SoundsTab;
class InputTab;
class ShortcutsTab;
class FeelTab;
class RippleTab;
class AppsTab;
class GeneralTab;

// The settings window, titled "Clickory Settings", with its seven tabs (Sounds, Input, Shortcuts,
// Feel, Ripple, Apps, General). It edits the store's live record: every control writes its field
// at once, and the window shows every assignment made anywhere else (menu, hotkeys, URL commands)
// while it exists. Nothing is buffered here.
//
// Thread: main. The store and everything the services reach must outlive the view.
class SettingsView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int tabCount = 7;
    // How often the application in front is looked at, for "Add the frontmost app".
    static constexpr int frontmostPollMs = 500;

    SettingsView(SettingsStore& store, SettingsServices services, QWidget* parent = nullptr);
    ~SettingsView() override;

    // The shell's opener: makes the one window on first use (filling the services from the running
    // system), then shows and raises it.
    static void open(const SettingsWindowContext& context);
    // The services of the running system.
    static SettingsServices servicesFor(const SettingsWindowContext& context);

    QTabWidget* tabs() const { return m_tabs; }
    SoundsTab* soundsTab() const { return m_sounds; }
    InputTab* inputTab() const { return m_input; }
    ShortcutsTab* shortcutsTab() const { return m_shortcuts; }
    FeelTab* feelTab() const { return m_feel; }
    RippleTab* rippleTab() const { return m_ripple; }
    AppsTab* appsTab() const { return m_apps; }
    GeneralTab* generalTab() const { return m_general; }
    const SettingsServices& services() const { return m_services; }

    // Shows a record in every tab (what an assignment to the store does).
    void refresh(const FeelSettings& settings);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void pollFrontmost();

    SettingsStore& m_store;
    SettingsServices m_services;
    QTabWidget* m_tabs = nullptr;
    SoundsTab* m_sounds = nullptr;
    InputTab* m_input = nullptr;
    ShortcutsTab* m_shortcuts = nullptr;
    FeelTab* m_feel = nullptr;
    RippleTab* m_ripple = nullptr;
    AppsTab* m_apps = nullptr;
    GeneralTab* m_general = nullptr;
    std::array<SettingsTab*, tabCount> m_all{};
    QTimer m_frontmostTimer;
    SettingsStore::Subscription m_subscription;
};

} // namespace clickory
