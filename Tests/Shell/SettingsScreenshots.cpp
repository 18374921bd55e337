// SPDX-License-Identifier: MIT
// Renders every settings tab (light and dark) and a frame of each ripple style into PNG files, for a
// reviewer to look at: `make screenshots` runs it under a private Xvfb. Usage:
//   SettingsScreenshots <output folder>
// The store and data folders are temporary; the user's files are never touched.
#include "ClickoryShell/overlay/RipplePlan.h"
#include "ClickoryShell/overlay/RippleWindow.h"
#include "ClickoryShell/settings/SettingsView.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPalette>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <filesystem>

using namespace clickory;
namespace fs = std::filesystem;

namespace {

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2b, 0x2d, 0x31));
    p.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    p.setColor(QPalette::Base, QColor(0x1f, 0x20, 0x23));
    p.setColor(QPalette::AlternateBase, QColor(0x2f, 0x31, 0x35));
    p.setColor(QPalette::Text, QColor(0xe6, 0xe6, 0xe6));
    p.setColor(QPalette::Button, QColor(0x37, 0x39, 0x3e));
    p.setColor(QPalette::ButtonText, QColor(0xe6, 0xe6, 0xe6));
    p.setColor(QPalette::Highlight, QColor(0x3b, 0x82, 0xf6));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(0x9a, 0x9a, 0x9a));
    p.setColor(QPalette::ToolTipBase, QColor(0x37, 0x39, 0x3e));
    p.setColor(QPalette::ToolTipText, QColor(0xe6, 0xe6, 0xe6));
    p.setColor(QPalette::Link, QColor(0x7c, 0xb3, 0xff));
    p.setColor(QPalette::Mid, QColor(0x55, 0x57, 0x5c));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    return p;
}

bool renderTabs(const QString& folder, const QString& prefix, const fs::path& temp)
{
    SettingsStore store(temp / (prefix.toStdString() + "-config"));
    store.update([](FeelSettings& s) {
        s.mutedBundleIDs = {"org.gnome.Calculator"};
        s.appProfiles["firefox"] = "tactile";
        s.rippleEnabled = true;
    });
    SettingsServices services;
    services.previewProfile = [&store](const std::string& id) {
        store.update([&](FeelSettings& s) { s.profileID = id; });
    };
    services.playCue = [](ActionKind) {};
    services.testHaptic = [](HapticPattern) {};
    services.estimatedLatencyMs = []() { return std::optional<double>(14.6); };
    services.isBluetooth = []() { return false; };
    services.inputAllowed = []() { return true; };
    services.frontmostApplication = []() { return std::optional<std::string>("org.gnome.TextEditor"); };
    services.importPack = [](QWidget*, std::function<void()>) {};
    services.launchAtLogin = []() { return false; };
    services.setLaunchAtLogin = [](bool) { return std::optional<QString>(); };
    services.version = QStringLiteral("0.1.0");
    services.samplesFolder = fs::path(CLICKORY_SOURCE_DIR) / "assets" / "samples";
    services.dataFolder = temp / (prefix.toStdString() + "-data");
    services.applicationFolders = SettingsServices::defaultApplicationFolders();
    services.chooseSoundFile = [](QWidget*) { return std::optional<QString>(); };

    SettingsView view(store, services);
    view.show();
    const QStringList names{"sounds", "input", "shortcuts", "feel", "ripple", "apps", "general"};
    for (int i = 0; i < view.tabs()->count(); ++i) {
        view.tabs()->setCurrentIndex(i);
        for (int round = 0; round < 5; ++round)
            QCoreApplication::processEvents();
        const QString file = QStringLiteral("%1/%2-%3-%4.png").arg(folder, prefix).arg(i + 1).arg(names[i]);
        if (!view.grab().save(file)) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(file));
            return false;
        }
        std::printf("%s\n", qPrintable(file));
    }
    return true;
}

bool renderRipples(const QString& folder)
{
    double now = 0.0;
    RippleWindow window;
    window.setTimeSource([&now]() { return now; });
    window.resize(640, 200);
    const std::vector<Rect> screen{{0, 0, 640, 200}};
    const RippleStyle styles[] = {RippleStyle::ring, RippleStyle::doubleRing, RippleStyle::glow, RippleStyle::dot};
    for (int i = 0; i < 4; ++i) {
        FeelSettings settings;
        settings.rippleStyle = styles[i];
        settings.rippleSize = 120;
        settings.rippleOpacity = 0.9;
        if (const auto plan = RipplePlan::make({80.0 + 160.0 * i, 100.0}, i % 3, settings, screen))
            window.add(*plan);
    }
    for (const double t : {0.12, 0.25}) {
        now = t;
        QImage image(640, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(0x4a, 0x55, 0x68));
        {
            QPainter painter(&image);
            window.paintLayers(painter);
        }
        const QString file = QStringLiteral("%1/ripple-%2ms.png").arg(folder).arg(static_cast<int>(t * 1000));
        if (!image.save(file))
            return false;
        std::printf("%s\n", qPrintable(file));
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: SettingsScreenshots <output folder>\n");
        return 2;
    }
    QTemporaryDir temp;
    qputenv("XDG_CONFIG_HOME", (temp.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (temp.path() + "/data").toUtf8());
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const fs::path tempPath(temp.path().toStdString());
    bool ok = renderTabs(folder, QStringLiteral("settings"), tempPath);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(darkPalette());
    ok = renderTabs(folder, QStringLiteral("settings-dark"), tempPath) && ok;
    ok = renderRipples(folder) && ok;
    return ok ? 0 : 1;
}
