// SPDX-License-Identifier: MIT
#include "ClickoryShell/AppDelegate.h"

#include "ClickoryCore/profiles/Profiles.h"
#include "ClickoryShell/PackImportUI.h"
#include "ClickoryShell/PermissionWindow.h"
#include "ClickoryShell/SelfTest.h"
#include "ClickoryShell/SystemLog.h"
#include "ClickoryShell/UrlCommand.h"
#include "ClickoryShell/tray/MenuGlyph.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>

namespace clickory {

namespace {

std::function<void()> weakly(const std::shared_ptr<AppDelegate*>& self, std::function<void(AppDelegate&)> body)
{
    return [weak = std::weak_ptr<AppDelegate*>(self), body = std::move(body)]() {
        if (auto strong = weak.lock())
            body(**strong);
    };
}

} // namespace

AppDelegate::AppDelegate(Platform& platform, MainQueue& queue, SettingsStore& store, BundleInfo bundle,
                         LaunchOptions options, QObject* parent)
    : QObject(parent), m_platform(platform), m_queue(queue), m_store(store), m_bundle(std::move(bundle)),
      m_options(std::move(options)), m_updater(std::make_unique<UpdaterService>(m_bundle)),
      m_launchAtLogin(QCoreApplication::applicationFilePath())
{
    m_output = [](const std::string& line) {
        std::fputs((line + "\n").c_str(), stdout);
        std::fflush(stdout);
    };
    m_exit = [](int status) { QCoreApplication::exit(status); };
    connect(m_updater.get(), &UpdaterService::checkFinished, this, &AppDelegate::showUpdateResult);
}

AppDelegate::~AppDelegate()
{
    m_queue.cancel(m_permissionTimer);
    m_iconObserver.reset();
    m_mode.reset();
    if (m_statusItem)
        m_statusItem->hide();
    delete m_permissionWindow.data();
    delete m_settingsWindow.data();
    m_statusMenu.reset();
    m_menu.reset();
    m_runtime.reset();
}

void AppDelegate::print(const std::string& line)
{
    m_output(line);
}

void AppDelegate::finish(int status)
{
    m_exit(status);
}

SystemRuntime& AppDelegate::controllerRuntime()
{
    if (!m_runtime)
        m_runtime = std::make_unique<SystemRuntime>(m_platform, m_store, m_queue);
    return *m_runtime;
}

void AppDelegate::applicationDidFinishLaunching()
{
    // 1. "--status" answers before anything else starts.
    if (m_options.status)
    {
        finish(runStatus());
        return;
    }
    // 2. An accessory application: no main window, and closing windows never quits.
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        app->setQuitOnLastWindowClosed(false);
    // 3. Imported profiles exist before anything reads the profile list.
    m_importer = m_platform.makePackImporter();
    if (m_importer)
        m_importer->loadLibrary();
    // 4.
    if (m_options.importPath)
    {
        finish(runImport(*m_options.importPath));
        return;
    }
    // 5.
    if (m_options.selftest)
    {
        const char* allow = std::getenv("CLICKORY_ALLOW_INJECTION");
        if (!allow || std::string(allow) != "1")
        {
            print("--selftest types into whatever app is in front. Set CLICKORY_ALLOW_INJECTION=1 only on a machine "
                  "nobody is using.");
            finish(2);
            return;
        }
        std::string error;
        auto injector = m_platform.makeInjector(error);
        auto test = std::make_unique<SelfTest>(controllerRuntime(), m_store, m_queue, std::move(injector), error,
                                               m_output, m_exit);
        SelfTest* raw = test.get();
        m_mode = std::move(test);
        raw->run();
        return;
    }
    // 6.
    if (m_options.bench)
    {
        auto bench = std::make_unique<Bench>(controllerRuntime(), m_queue, m_output, m_exit);
        Bench* raw = bench.get();
        m_mode = std::move(bench);
        raw->run();
        return;
    }
    // 7.
    Controller& controller = controllerRuntime().controller();
    controller.onHotkey = [this](const Hotkey& hotkey) {
        if (hotkey == Hotkey::toggleDefault)
            m_store.update([](FeelSettings& settings) { settings.enabled = !settings.enabled; });
        else
            m_runtime->controller().nextProfile();
    };
    controller.start();
    // 8.
    createStatusItem();
    // 9.
    ensureMonitoring();
    // 10.
    setStatusItemVisible(m_store.settings().showMenuBarIcon);
    m_iconObserver = m_store.subscribe([this](const FeelSettings& settings) {
        m_queue.post(weakly(m_self, [visible = settings.showMenuBarIcon](AppDelegate& delegate) {
            delegate.setStatusItemVisible(visible);
        }));
    });
    // 11. URL commands given to this launch (later launches arrive through handleMessage).
    for (const QString& url : m_options.urls)
        handleURL(url);
    // 12.
    if (m_options.settings && !m_settingsWindow)
        openSettings();
    // 13.
    if (!m_store.onboarded())
    {
        m_store.setOnboarded(true);
        m_queue.postAfter(onboardingDelay, weakly(m_self, [](AppDelegate& delegate) { delegate.openSettings(); }));
    }
    emit launched();
}

int AppDelegate::runStatus()
{
    std::string error;
    auto source = m_platform.makeInputSource(m_queue, error);
    const bool granted = source && source->canReadInput();
    print(std::string("inputMonitoringGranted=") + (granted ? "true" : "false"));
    bool created = false;
    if (source)
    {
        EventMonitor monitor(*source);
        created = monitor.start();
        monitor.stop();
    }
    print(std::string("tapCreated=") + (created ? "true" : "false"));
    return 0;
}

int AppDelegate::runImport(const QString& path)
{
    if (!m_importer)
    {
        print("import failed: there is no folder for imported packs (neither XDG_DATA_HOME nor HOME is set)");
        return 1;
    }
    const auto result = m_importer->importPack(path.toStdString());
    if (!result)
    {
        print("import failed: " + result.error());
        return 1;
    }
    const std::string prefix(Profiles::importedPrefix);
    const std::string id = result.value().substr(result.value().rfind(prefix, 0) == 0 ? prefix.size() : 0);
    for (const ImportedPack& pack : m_importer->loadLibrary())
    {
        if (pack.id == id)
        {
            print("imported " + pack.name + ": " + std::to_string(pack.perKey.size()) +
                  " keys with their own sound, " + std::to_string(pack.fallback.size()) + " sounds in the pool");
            return 0;
        }
    }
    print("import failed: the imported pack could not be read back from the library");
    return 1;
}

void AppDelegate::createStatusItem()
{
    m_menu = std::make_unique<QMenu>();
    m_statusMenu = std::make_unique<StatusMenu>(m_store, static_cast<StatusMenuHandler&>(*this));
    connect(m_menu.get(), &QMenu::aboutToShow, this, &AppDelegate::menuNeedsUpdate);
    menuNeedsUpdate();
    m_statusItem = new QSystemTrayIcon(this);
    const auto glyph = m_bundle.resource(QStringLiteral("icons/MenuGlyph.svg"));
    m_statusItem->setIcon(
        MenuGlyph::icon(glyph ? QString::fromStdString(glyph->string()) : QString(), MenuGlyph::panelColor()));
    m_statusItem->setToolTip(QStringLiteral("Clickory"));
    m_statusItem->setContextMenu(m_menu.get());
    // A left click opens the menu too, as on desktops that show only one menu per item.
    connect(m_statusItem, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger && m_statusItem)
            m_menu->popup(m_statusItem->geometry().isValid() ? m_statusItem->geometry().bottomLeft()
                                                             : QCursor::pos());
    });
}

void AppDelegate::menuNeedsUpdate()
{
    if (!m_menu || !m_statusMenu)
        return;
    MenuConditions conditions;
    conditions.inputGranted = !m_runtime || m_runtime->monitor().hasPermission();
    conditions.hasUpdater = m_updater->hasUpdater();
    conditions.canCheckForUpdates = m_updater->canCheckForUpdates();
    m_statusMenu->rebuild(*m_menu, conditions);
}

void AppDelegate::setStatusItemVisible(bool visible)
{
    if (!m_statusItem || m_iconVisible == visible)
        return;
    m_iconVisible = visible;
    m_statusItem->setVisible(visible);
    if (visible && m_statusItemShownAt == 0.0)
        m_statusItemShownAt = m_queue.now();
}

void AppDelegate::ensureMonitoring()
{
    EventMonitor& monitor = controllerRuntime().monitor();
    if (monitor.hasPermission() && monitor.start())
        return;
    if (!controllerRuntime().inputError().empty())
        SystemLog::write("Clickory: " + controllerRuntime().inputError());
    else if (!monitor.lastError().empty())
        SystemLog::write("Clickory: input monitoring is not running: " + monitor.lastError());
    showPermissionWindow();
    m_queue.cancel(m_permissionTimer);
    m_permissionTimer = m_queue.startTimer(permissionPollSeconds, weakly(m_self, [](AppDelegate& delegate) {
                                               EventMonitor& tap = delegate.controllerRuntime().monitor();
                                               if (tap.hasPermission() && tap.start())
                                               {
                                                   delegate.m_queue.cancel(delegate.m_permissionTimer);
                                                   delegate.m_permissionTimer = 0;
                                                   delegate.closePermissionWindow();
                                               }
                                           }));
}

void AppDelegate::showPermissionWindow()
{
    if (!m_permissionWindow)
    {
        m_permissionWindow = new PermissionWindow();
        m_permissionWindow->setAttribute(Qt::WA_DeleteOnClose, false);
        m_permissionWindow->move(m_permissionWindow->screen()->availableGeometry().center() -
                                 m_permissionWindow->rect().center());
    }
    m_permissionWindow->show();
    m_permissionWindow->raise();
    m_permissionWindow->activateWindow();
}

void AppDelegate::closePermissionWindow()
{
    if (m_permissionWindow)
    {
        m_permissionWindow->close();
        m_permissionWindow->deleteLater();
        m_permissionWindow = nullptr;
    }
}

void AppDelegate::handleMessage(const QString& message)
{
    if (message == QLatin1String("reopen"))
        openSettings();
    else
        handleURL(message);
}

void AppDelegate::handleURL(const QString& url)
{
    const auto command = UrlCommand::parse(url);
    if (!command || !m_runtime)
        return;
    if (command->command == QLatin1String("toggle"))
        m_store.update([](FeelSettings& settings) { settings.enabled = !settings.enabled; });
    else if (command->command == QLatin1String("next"))
        m_runtime->controller().nextProfile();
    else if (command->command == QLatin1String("settings"))
        openSettings();
    else if (command->command == QLatin1String("sound") && command->argument)
    {
        const std::string id = command->argument->toStdString();
        if (Profiles::find(id))
            m_runtime->controller().preview(id);
    }
}

void AppDelegate::openSettings()
{
    if (!m_runtime)
        return;
    const SettingsWindowContext context{m_store,     m_runtime->controller(), *m_runtime, *m_updater,
                                        m_launchAtLogin, m_bundle,            m_importer};
    if (m_openSettingsWindow)
        m_openSettingsWindow(context);
    else
        openSettingsStandIn(context);
}

void AppDelegate::openSettingsStandIn(const SettingsWindowContext& context)
{
    // Until the full settings window exists: the general switches that keep the application usable.
    if (!m_settingsWindow)
    {
        auto* window = new QWidget(nullptr, Qt::Window);
        window->setWindowTitle(QStringLiteral("Clickory Settings"));
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(24, 24, 24, 24);
        auto* enabled = new QCheckBox(QStringLiteral("Clickory is on"));
        enabled->setChecked(context.store.settings().enabled);
        connect(enabled, &QCheckBox::toggled, window,
                [this](bool on) { m_store.update([on](FeelSettings& s) { s.enabled = on; }); });
        auto* login = new QCheckBox(QStringLiteral("Open at login"));
        login->setChecked(m_launchAtLogin.isEnabled());
        connect(login, &QCheckBox::toggled, window, [this, login](bool on) {
            if (const auto error = m_launchAtLogin.setEnabled(on))
            {
                SystemLog::write("Clickory: launch at login failed: " + error->toStdString());
                const QSignalBlocker block(login);
                login->setChecked(m_launchAtLogin.isEnabled());
            }
        });
        auto* icon = new QCheckBox(QStringLiteral("Show the menu bar icon"));
        icon->setChecked(context.store.settings().showMenuBarIcon);
        connect(icon, &QCheckBox::toggled, window,
                [this](bool on) { m_store.update([on](FeelSettings& s) { s.showMenuBarIcon = on; }); });
        auto* note = new QLabel(QStringLiteral("To bring these settings back, open Clickory again from your "
                                               "applications menu."));
        note->setWordWrap(true);
        layout->addWidget(enabled);
        layout->addWidget(login);
        layout->addWidget(icon);
        layout->addWidget(note);
        layout->addWidget(new QLabel(QStringLiteral("Version ") + context.bundle.version));
        if (context.updater.hasUpdater())
        {
            auto* check = new QPushButton(QStringLiteral("Check for Updates"));
            check->setEnabled(context.updater.canCheckForUpdates());
            connect(&context.updater, &UpdaterService::canCheckForUpdatesChanged, check, &QPushButton::setEnabled);
            connect(check, &QPushButton::clicked, window, [this]() { m_updater->checkForUpdates(); });
            layout->addWidget(check);
        }
        m_settingsWindow = window;
    }
    m_settingsWindow->show();
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
}

void AppDelegate::allowInput()
{
    showPermissionWindow();
    ensureMonitoring();
}

void AppDelegate::preview(const std::string& profileID)
{
    if (m_runtime)
        m_runtime->controller().preview(profileID);
}

void AppDelegate::importPack()
{
    if (!m_runtime || !m_importer)
    {
        QMessageBox::warning(nullptr, QStringLiteral("Clickory"), QStringLiteral("Could not import that pack"));
        return;
    }
    PackImportUI::run(m_store, m_runtime->controller(), *m_importer);
}

void AppDelegate::checkUpdates()
{
    m_updater->checkForUpdates();
}

void AppDelegate::quit()
{
    QCoreApplication::quit();
}

void AppDelegate::showUpdateResult(const UpdateCheckResult& result)
{
    auto* box = new QMessageBox(result.outcome == UpdateCheckResult::Outcome::failed ? QMessageBox::Warning
                                                                                    : QMessageBox::Information,
                                QStringLiteral("Clickory"), result.message, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (result.outcome == UpdateCheckResult::Outcome::updateAvailable && result.link.isValid())
    {
        box->setInformativeText(QStringLiteral("<a href=\"%1\">%1</a>").arg(result.link.toString().toHtmlEscaped()));
        box->setTextFormat(Qt::RichText);
        QPushButton* open = box->addButton(QStringLiteral("Open the Download Page"), QMessageBox::AcceptRole);
        connect(open, &QPushButton::clicked, box, [link = result.link]() { QDesktopServices::openUrl(link); });
    }
    box->show();
}

} // namespace clickory
