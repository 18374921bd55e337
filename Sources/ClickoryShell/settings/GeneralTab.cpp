// SPDX-License-Identifier: MIT
#include "ClickoryShell/settings/GeneralTab.h"

#include "ClickoryShell/SystemLog.h"
#include "ClickoryShell/UpdaterService.h"
#include "ClickoryShell/settings/SettingsIcons.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

namespace clickory {

namespace {

// How long after a change of "Low-delay audio" the engine has its new buffer in force.
constexpr int latencySettleMs = 400;

void showPermissionInstructions(QWidget* parent)
{
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("Input Monitoring"));
    box.setIcon(QMessageBox::Information);
    box.setText(QStringLiteral("One permission to turn on the sounds"));
    box.setInformativeText(
        QStringLiteral("Clickory plays a sound when you press a key or click. On Wayland, Linux lets only members of "
                       "the group input read the keyboard and mouse.\n\nRun sudo usermod -aG input $USER in a "
                       "terminal, then log out and in again."));
    box.exec();
}

} // namespace

GeneralTab::GeneralTab(SettingsStore& store, const SettingsServices& services, QWidget* parent)
    : SettingsTab(store, services, parent)
{
    QFormLayout* general = section(QStringLiteral("General"));
    toggle(general, QStringLiteral("Clickory is on"), &FeelSettings::enabled, "enabled");
    toggle(general, QStringLiteral("Low-delay audio"), &FeelSettings::lowLatency, "lowLatency");
    m_latency = note(general, QString());
    m_latency->setObjectName(QStringLiteral("latencyText"));
    m_bluetooth = note(
        general, QStringLiteral("This output is Bluetooth, which adds its own delay (often 100 ms or more) that no "
                                "app can remove. Built-in speakers, a wired headset or a USB audio device keep "
                                "sounds in step with your keys."));
    m_bluetooth->setObjectName(QStringLiteral("bluetoothNote"));
    m_login = new QCheckBox(QStringLiteral("Open at login"));
    m_login->setObjectName(QStringLiteral("openAtLogin"));
    m_login->setEnabled(static_cast<bool>(m_services.setLaunchAtLogin));
    general->addRow(m_login);
    connect(m_login, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_services.setLaunchAtLogin)
            return;
        if (const std::optional<QString> error = m_services.setLaunchAtLogin(on)) {
            SystemLog::write("Clickory: launch at login failed: " + error->toStdString());
            const QSignalBlocker block(m_login);
            m_login->setChecked(m_services.launchAtLogin && m_services.launchAtLogin());
        }
    });
    toggle(general, QStringLiteral("Show the menu bar icon"), &FeelSettings::showMenuBarIcon, "showMenuBarIcon");
    note(general, QStringLiteral("To bring these settings back, open Clickory again from your applications menu."));
    auto* version = new QLabel(QStringLiteral("Version ") + m_services.version);
    version->setObjectName(QStringLiteral("version"));
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    general->addRow(version);
    if (m_services.updater && m_services.updater->hasUpdater()) {
        auto* check = new QPushButton(QStringLiteral("Check for Updates"));
        check->setObjectName(QStringLiteral("checkForUpdates"));
        check->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        check->setEnabled(m_services.updater->canCheckForUpdates());
        connect(m_services.updater, &UpdaterService::canCheckForUpdatesChanged, check, &QPushButton::setEnabled);
        connect(check, &QPushButton::clicked, this, [this]() { m_services.updater->checkForUpdates(); });
        general->addRow(check);
    }

    QFormLayout* permission = section(QStringLiteral("Permission"));
    auto* state = new QHBoxLayout;
    m_permissionIcon = new QLabel;
    m_permissionText = new QLabel;
    m_permissionText->setObjectName(QStringLiteral("permissionState"));
    m_permissionButton = new QPushButton(QStringLiteral("How to allow it"));
    m_permissionButton->setObjectName(QStringLiteral("permissionHelp"));
    state->addWidget(m_permissionIcon);
    state->addWidget(m_permissionText, 1);
    state->addWidget(m_permissionButton);
    permission->addRow(state);
    note(permission, QStringLiteral("Clickory needs this to know when you press a key or click. It only looks at which "
                                    "key or button was pressed, never at the text you type, and nothing leaves your "
                                    "computer."));
    connect(m_permissionButton, &QPushButton::clicked, this, [this]() {
        if (m_services.showPermissionHelp)
            m_services.showPermissionHelp();
        else
            showPermissionInstructions(window());
    });

    QFormLayout* credits = section(QStringLiteral("Sound credits"));
    std::vector<SampleManifest::Source> sources;
    if (m_services.samplesFolder)
        if (const std::optional<SampleManifest> manifest = SampleManifest::load(*m_services.samplesFolder))
            sources = manifest->allSources();
    auto* creditLines = new QLabel;
    creditLines->setObjectName(QStringLiteral("soundCredits"));
    creditLines->setWordWrap(true);
    if (sources.empty()) {
        creditLines->setText(QStringLiteral("No recorded sounds are installed."));
    } else {
        creditLines->setTextFormat(Qt::RichText);
        creditLines->setText(creditsText(sources));
        creditLines->setOpenExternalLinks(true);
        creditLines->setTextInteractionFlags(Qt::TextBrowserInteraction);
    }
    credits->addRow(creditLines);

    QFormLayout* reset = section(QStringLiteral("Reset"));
    auto* restore = new QPushButton(QStringLiteral("Restore defaults"));
    restore->setObjectName(QStringLiteral("restoreDefaults"));
    restore->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    reset->addRow(restore);
    connect(restore, &QPushButton::clicked, this, [this]() { restoreDefaults(); });
    finishPage();
    updateFacts();
}

void GeneralTab::restoreDefaults()
{
    m_store.setSettings(FeelSettings());
}

QString GeneralTab::latencyText(std::optional<double> milliseconds)
{
    if (!milliseconds)
        return QString();
    return QString::asprintf("Estimated delay from key press to sound: about %.0f ms.", *milliseconds);
}

QString GeneralTab::creditsText(const std::vector<SampleManifest::Source>& sources)
{
    QStringList lines;
    for (const SampleManifest::Source& source : sources) {
        const QString title = QString::fromStdString(source.title).toHtmlEscaped();
        const QString url = QString::fromStdString(source.url);
        const bool linkable = url.startsWith(QLatin1String("https://")) || url.startsWith(QLatin1String("http://"));
        const QString shown =
            linkable ? QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), title) : title;
        lines.append(QStringLiteral("%1 by %2 (%3)")
                         .arg(shown, QString::fromStdString(source.author).toHtmlEscaped(),
                              QString::fromStdString(source.license).toHtmlEscaped()));
    }
    return lines.join(QStringLiteral("<br>"));
}

void GeneralTab::refresh(const FeelSettings& settings)
{
    SettingsTab::refresh(settings);
    // The delay estimate asks the sound server, so it is read again only when its switch changed
    // (once the engine has its new buffer), never on every slider step elsewhere.
    if (m_lastLowLatency && *m_lastLowLatency != settings.lowLatency)
        QTimer::singleShot(latencySettleMs, this, [this]() { updateFacts(); });
    m_lastLowLatency = settings.lowLatency;
}

void GeneralTab::windowShown()
{
    updateFacts();
}

void GeneralTab::updateFacts()
{
    const QString latency = latencyText(m_services.estimatedLatencyMs ? m_services.estimatedLatencyMs() : std::nullopt);
    m_latency->setText(latency);
    m_latency->setVisible(!latency.isEmpty());
    m_bluetooth->setVisible(m_services.isBluetooth && m_services.isBluetooth());
    {
        const QSignalBlocker block(m_login);
        m_login->setChecked(m_services.launchAtLogin && m_services.launchAtLogin());
    }
    const bool allowed = !m_services.inputAllowed || m_services.inputAllowed();
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
    const QIcon icon = allowed ? SettingsIcons::themed({"security-high", "emblem-ok"}, QStringLiteral("allowed.svg"))
                               : SettingsIcons::themed({"dialog-warning"}, QStringLiteral("warning.svg"));
    m_permissionIcon->setPixmap(icon.pixmap(size, size));
    m_permissionText->setText(allowed ? QStringLiteral("Input Monitoring is allowed")
                                      : QStringLiteral("Input Monitoring is not allowed yet"));
    m_permissionButton->setVisible(!allowed);
}

} // namespace clickory
