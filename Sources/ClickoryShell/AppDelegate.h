// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/settings/SettingsStore.h"
#include "ClickoryShell/BundleInfo.h"
#include "ClickoryShell/LaunchAtLogin.h"
#include "ClickoryShell/LaunchOptions.h"
#include "ClickoryShell/PermissionWindow.h"
#include "ClickoryShell/Platform.h"
#include "ClickoryShell/SystemRuntime.h"
#include "ClickoryShell/UpdaterService.h"
#include "ClickoryShell/tray/StatusMenu.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace clickory {

class AppDelegate;


// What the settings window is opened with. The window is created once by the opener and kept.
struct SettingsWindowContext
{
    SettingsStore& store;
    Controller& controller;
    SystemRuntime& runtime;
    UpdaterService& updater;
    LaunchAtLogin& launchAtLogin;
    const BundleInfo& bundle;
    // The imported-pack library, none when there is nowhere to keep packs.
    const std::optional<PackImporter>& importer;
};

// Opens (creating once) and raises the settings window. The one place where the settings window
// plugs into the shell.
using SettingsWindowOpener = std::function<void(const SettingsWindowContext&)>;

// The application's entry object: handles the command-line modes, creates the controller and starts
// it, puts the tray item with its menu up, runs the permission flow until input can be read, obeys
// URL commands and opens the settings window on request or on the first launch.
//
// Thread: main. Lives as long as the application.
class AppDelegate : public QObject, private StatusMenuHandler
{
    Q_OBJECT

public:
    static constexpr double permissionPollSeconds = 1.5;
    static constexpr double onboardingDelay = 0.6;

    AppDelegate(Platform& platform, MainQueue& queue, SettingsStore& store, BundleInfo bundle, LaunchOptions options,
                QObject* parent = nullptr);
    ~AppDelegate() override;

    // Replaces the settings window (by default a small stand-in with the general switches).
    void setSettingsWindowOpener(SettingsWindowOpener opener) { m_openSettingsWindow = std::move(opener); }

    // Where lines of the command-line modes go (standard output by default).
    void setOutput(std::function<void(const std::string&)> output) { m_output = std::move(output); }

    // Called when a command-line mode has finished, with its exit status (default: quit the
    // application with it).
    void setExitHandler(std::function<void(int)> exit) { m_exit = std::move(exit); }

    // Runs the launch in its described order. Modes that finish at once report through the exit
    // handler before this returns; the self-test and bench report later.
    void applicationDidFinishLaunching();

    // A message from a later launch: "reopen" or a URL.
    void handleMessage(const QString& message);

    // URL commands: toggle, next, settings, sound/<id>; anything else is ignored.
    void handleURL(const QString& url);

    // Reopening the application: the settings window.
    void openSettings() override;

    // State, for tests.
    SystemRuntime* runtime() { return m_runtime.get(); }
    QSystemTrayIcon* statusItem() { return m_statusItem; }
    QMenu* menu() { return m_menu.get(); }
    PermissionWindow* permissionWindow() { return m_permissionWindow; }
    UpdaterService& updater() { return *m_updater; }
    bool permissionTimerRunning() const { return m_permissionTimer != 0; }
    // Monotonic seconds at which the tray item was shown, 0 before.
    double statusItemShownAt() const { return m_statusItemShownAt; }
    // Rebuilds the menu as opening it would.
    void menuNeedsUpdate();

signals:
    // The launch reached its end in the normal (tray) mode.
    void launched();

private:
    // StatusMenuHandler
    void allowInput() override;
    void preview(const std::string& profileID) override;
    void importPack() override;
    void checkUpdates() override;
    void quit() override;

    SystemRuntime& controllerRuntime();
    void print(const std::string& line);
    void finish(int status);
    int runStatus();
    int runImport(const QString& path);
    void ensureMonitoring();
    void closePermissionWindow();
    void showPermissionWindow();
    void createStatusItem();
    void setStatusItemVisible(bool visible);
    void showUpdateResult(const UpdateCheckResult& result);
    void openSettingsStandIn(const SettingsWindowContext& context);

    Platform& m_platform;
    MainQueue& m_queue;
    SettingsStore& m_store;
    BundleInfo m_bundle;
    LaunchOptions m_options;
    std::unique_ptr<SystemRuntime> m_runtime;
    std::optional<PackImporter> m_importer;
    std::unique_ptr<UpdaterService> m_updater;
    LaunchAtLogin m_launchAtLogin;
    std::unique_ptr<StatusMenu> m_statusMenu;
    std::unique_ptr<QMenu> m_menu;
    QSystemTrayIcon* m_statusItem = nullptr;
    QPointer<QWidget> m_settingsWindow;
    QPointer<PermissionWindow> m_permissionWindow;
    MainQueue::Token m_permissionTimer = 0;
    SettingsStore::Subscription m_iconObserver;
    std::optional<bool> m_iconVisible;
    double m_statusItemShownAt = 0.0;
    SettingsWindowOpener m_openSettingsWindow;
    std::function<void(const std::string&)> m_output;
    std::function<void(int)> m_exit;
    std::unique_ptr<QObject> m_mode;
    std::shared_ptr<AppDelegate*> m_self = std::make_shared<AppDelegate*>(this);
};

} // namespace clickory
