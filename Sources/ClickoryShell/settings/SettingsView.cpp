// SPDX-License-Identifier: MIT
#include "ClickoryShell/settings/SettingsView.h"

#include "ClickoryApp/engine/SoundEngine.h"
#include "ClickoryShell/AppDelegate.h"
#include "ClickoryShell/PackImportUI.h"
#include "ClickoryShell/settings/AppsTab.h"
#include "ClickoryShell/settings/FeelTab.h"
#include "ClickoryShell/settings/GeneralTab.h"
#include "ClickoryShell/settings/InputTab.h"
#include "ClickoryShell/settings/RippleTab.h"
#include "ClickoryShell/settings/SettingsIcons.h"
#include "ClickoryShell/settings/ShortcutsTab.h"
#include "ClickoryShell/settings/SoundsTab.h"

#include <QApplication>
#include <QFileDialog>
#include <QPointer>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace clickory {

SettingsView::SettingsView(SettingsStore& store, SettingsServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_store(store), m_services(std::move(services))
{
    setWindowTitle(QStringLiteral("Clickory Settings"));
    setObjectName(QStringLiteral("ClickorySettings"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    m_tabs = new QTabWidget;
    m_tabs->setDocumentMode(false);
    m_tabs->setUsesScrollButtons(false);
    layout->addWidget(m_tabs);

    m_sounds = new SoundsTab(m_store, m_services);
    m_input = new InputTab(m_store, m_services);
    m_shortcuts = new ShortcutsTab(m_store, m_services);
    m_feel = new FeelTab(m_store, m_services);
    m_ripple = new RippleTab(m_store, m_services);
    m_apps = new AppsTab(m_store, m_services);
    m_general = new GeneralTab(m_store, m_services);
    m_all = {m_sounds, m_input, m_shortcuts, m_feel, m_ripple, m_apps, m_general};
    const std::array<const char*, tabCount> titles{"Sounds", "Input", "Shortcuts", "Feel", "Ripple", "Apps", "General"};
    for (int i = 0; i < tabCount; ++i)
        m_tabs->addTab(m_all[static_cast<std::size_t>(i)], SettingsIcons::tab(i), QString::fromLatin1(titles[i]));

    refresh(m_store.settings());
    m_subscription = m_store.subscribe([this](const FeelSettings& settings) { refresh(settings); });

    pollFrontmost();
    m_frontmostTimer.setInterval(frontmostPollMs);
    connect(&m_frontmostTimer, &QTimer::timeout, this, &SettingsView::pollFrontmost);
    if (m_services.frontmostApplication)
        m_frontmostTimer.start();

    resize(720, 680);
}

SettingsView::~SettingsView() = default;

void SettingsView::refresh(const FeelSettings& settings)
{
    for (SettingsTab* tab : m_all)
        tab->refresh(settings);
}

void SettingsView::pollFrontmost()
{
    if (m_services.frontmostApplication)
        m_apps->noteFrontmost(m_services.frontmostApplication());
}

void SettingsView::showEvent(QShowEvent* event)
{
    // The application in front just before this window came up is the one "Add the frontmost app"
    // means.
    pollFrontmost();
    for (SettingsTab* tab : m_all)
        tab->windowShown();
    QWidget::showEvent(event);
}

SettingsServices SettingsView::servicesFor(const SettingsWindowContext& context)
{
    SettingsServices services;
    SettingsStore& store = context.store;
    Controller& controller = context.controller;
    SystemRuntime& runtime = context.runtime;
    services.previewProfile = [&controller](const std::string& id) { controller.preview(id); };
    services.playCue = [&runtime, &store](ActionKind kind) {
        runtime.engine().playCue(kind, static_cast<float>(store.settings().cue(kind).gain));
    };
    services.estimatedLatencyMs = [&runtime]() {
        return runtime.outputDevice().estimatedLatencyMs(runtime.engine().sampleRate());
    };
    services.isBluetooth = [&runtime]() { return runtime.outputDevice().isBluetooth(); };
    services.testHaptic = [&runtime](HapticPattern pattern) { runtime.haptics().perform(pattern); };
    services.inputAllowed = [&runtime]() { return runtime.monitor().hasPermission(); };
    services.frontmostApplication = [&runtime]() { return runtime.mute().frontmostBundleID(); };
    if (context.importer) {
        const PackImporter* importer = &*context.importer;
        services.importer = importer;
        services.importPack = [&store, &controller, importer](QWidget* parent, std::function<void()> done) {
            PackImportUI::run(store, controller, *importer, std::move(done), parent);
        };
    }
    LaunchAtLogin& login = context.launchAtLogin;
    services.launchAtLogin = [&login]() { return login.isEnabled(); };
    services.setLaunchAtLogin = [&login](bool on) { return login.setEnabled(on); };
    services.version = context.bundle.version;
    services.updater = &context.updater;
    services.samplesFolder = runtime.engine().samplesFolder();
    services.dataFolder = SettingsServices::defaultDataFolder();
    services.applicationFolders = SettingsServices::defaultApplicationFolders();
    services.chooseSoundFile = [](QWidget* parent) -> std::optional<QString> {
        const QString file = QFileDialog::getOpenFileName(
            parent, QStringLiteral("Choose a sound"), QString(),
            QStringLiteral("Audio files (*.wav *.aif *.aiff *.aifc *.mp3 *.m4a *.caf *.flac *.ogg)"));
        if (file.isEmpty())
            return std::nullopt;
        return file;
    };
    return services;
}

void SettingsView::open(const SettingsWindowContext& context)
{
    static QPointer<SettingsView> window;
    if (!window) {
        window = new SettingsView(context.store, servicesFor(context));
        // The window outlives nothing it refers to: it goes when the application quits.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, []() { delete window.data(); });
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace clickory
