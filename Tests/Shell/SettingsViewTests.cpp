// SPDX-License-Identifier: MIT
// The settings window on the offscreen platform: every control writes the field it names and shows
// what the store holds, slider ranges, "Restore defaults", colours, the own-sound copy, cue rows,
// imported profiles, the apps lists and the general facts. Each test has its own store and data
// folders under a temporary directory, so the user's files are never touched.
#include "ClickoryApp/packs/PackImporter.h"
#include "ClickoryCore/cues/CueStyle.h"
#include "ClickoryCore/profiles/ImportedPack.h"
#include "ClickoryCore/profiles/Profiles.h"
#include "ClickoryShell/settings/AppsTab.h"
#include "ClickoryShell/settings/DesktopApplications.h"
#include "ClickoryShell/settings/GeneralTab.h"
#include "ClickoryShell/settings/InputTab.h"
#include "ClickoryShell/settings/RippleTab.h"
#include "ClickoryShell/settings/SettingsView.h"
#include "ClickoryShell/settings/ShortcutsTab.h"
#include "ClickoryShell/settings/SoundsTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

using namespace clickory;
namespace fs = std::filesystem;

namespace {

struct ToggleCase
{
    const char* name;
    bool FeelSettings::*field;
};

const ToggleCase toggles[] = {
    {"stereoEnabled", &FeelSettings::stereoEnabled},
    {"typingDynamics", &FeelSettings::typingDynamics},
    {"keyboardEnabled", &FeelSettings::keyboardEnabled},
    {"keyReleaseEnabled", &FeelSettings::keyReleaseEnabled},
    {"modifierKeysEnabled", &FeelSettings::modifierKeysEnabled},
    {"playOnKeyRepeat", &FeelSettings::playOnKeyRepeat},
    {"mouseEnabled", &FeelSettings::mouseEnabled},
    {"mouseReleaseEnabled", &FeelSettings::mouseReleaseEnabled},
    {"hotkeysEnabled", &FeelSettings::hotkeysEnabled},
    {"muteWhenMicrophoneInUse", &FeelSettings::muteWhenMicrophoneInUse},
    {"apps.muteWhenMicrophoneInUse", &FeelSettings::muteWhenMicrophoneInUse},
    {"muteWhenCameraInUse", &FeelSettings::muteWhenCameraInUse},
    {"silentInFullScreen", &FeelSettings::silentInFullScreen},
    {"actionCuesEnabled", &FeelSettings::actionCuesEnabled},
    {"confirmClipboard", &FeelSettings::confirmClipboard},
    {"replaceKeyClickForActions", &FeelSettings::replaceKeyClickForActions},
    {"hapticsOnScroll", &FeelSettings::hapticsOnScroll},
    {"hapticsOnClick", &FeelSettings::hapticsOnClick},
    {"hapticsOnKeys", &FeelSettings::hapticsOnKeys},
    {"rippleEnabled", &FeelSettings::rippleEnabled},
    {"enabled", &FeelSettings::enabled},
    {"lowLatency", &FeelSettings::lowLatency},
    {"showMenuBarIcon", &FeelSettings::showMenuBarIcon},
};

struct SliderCase
{
    const char* name;
    double FeelSettings::*field;
    double from;
    double upTo;
};

const SliderCase sliders[] = {
    {"masterVolume", &FeelSettings::masterVolume, 0.0, 1.0},
    {"keysGain", &FeelSettings::keysGain, 0.0, 1.5},
    {"spaceGain", &FeelSettings::spaceGain, 0.0, 1.5},
    {"modifierGain", &FeelSettings::modifierGain, 0.0, 1.5},
    {"mouseGain", &FeelSettings::mouseGain, 0.0, 1.5},
    {"scrollGain", &FeelSettings::scrollGain, 0.0, 1.5},
    {"pitchVariation", &FeelSettings::pitchVariation, 0.0, 1.0},
    {"volumeVariation", &FeelSettings::volumeVariation, 0.0, 1.0},
    {"stereoWidth", &FeelSettings::stereoWidth, 0.0, 1.0},
    {"dynamicsAmount", &FeelSettings::dynamicsAmount, 0.0, 1.0},
    {"rippleSize", &FeelSettings::rippleSize, 16.0, 160.0},
    {"rippleOpacity", &FeelSettings::rippleOpacity, 0.05, 1.0},
    {"rippleDuration", &FeelSettings::rippleDuration, 0.15, 1.5},
};

void writeText(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

class SettingsViewTests : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_temp;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<PackImporter> m_importer;
    std::unique_ptr<SettingsView> m_view;
    std::vector<std::string> m_previews;
    std::vector<ActionKind> m_cuesPlayed;
    std::optional<QString> m_nextFile;
    std::optional<std::string> m_nextApp;
    std::optional<double> m_latency;
    bool m_bluetooth = false;
    bool m_inputAllowed = true;
    std::optional<std::string> m_frontmost;

    fs::path root() const { return fs::path(m_temp->path().toStdString()); }
    fs::path dataFolder() const { return root() / "data" / "clickory"; }

    SettingsServices fakeServices()
    {
        SettingsServices services;
        services.previewProfile = [this](const std::string& id) {
            m_previews.push_back(id);
            m_store->update([&](FeelSettings& s) {
                s.profileID = id;
                s.customSoundPath.reset();
            });
        };
        services.playCue = [this](ActionKind kind) { m_cuesPlayed.push_back(kind); };
        services.estimatedLatencyMs = [this]() { return m_latency; };
        services.isBluetooth = [this]() { return m_bluetooth; };
        services.inputAllowed = [this]() { return m_inputAllowed; };
        services.frontmostApplication = [this]() { return m_frontmost; };
        services.importer = m_importer.get();
        services.version = QStringLiteral("1.2.3");
        services.dataFolder = dataFolder();
        services.applicationFolders = {root() / "data" / "applications", root() / "system" / "applications"};
        services.chooseSoundFile = [this](QWidget*) { return m_nextFile; };
        services.chooseApplication = [this](QWidget*) { return m_nextApp; };
        return services;
    }

    template <typename T> T* control(const char* name) const
    {
        T* found = m_view->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qWarning("no control named %s", name);
        return found;
    }

private slots:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_temp->isValid());
        qputenv("XDG_CONFIG_HOME", (m_temp->path() + "/config").toUtf8());
        qputenv("XDG_DATA_HOME", (m_temp->path() + "/data").toUtf8());
        Profiles::setImported({});
        m_store = std::make_unique<SettingsStore>(root() / "config" / "clickory");
        m_importer = std::make_unique<PackImporter>(dataFolder() / "Imported", PackImporter::Services{});
        m_previews.clear();
        m_cuesPlayed.clear();
        m_nextFile.reset();
        m_nextApp.reset();
        m_latency.reset();
        m_bluetooth = false;
        m_inputAllowed = true;
        m_frontmost.reset();
        m_view = std::make_unique<SettingsView>(*m_store, fakeServices());
    }

    void cleanup()
    {
        m_view.reset();
        m_importer.reset();
        m_store.reset();
        Profiles::setImported({});
        m_temp.reset();
    }

    void windowHasItsTitleAndTheSevenTabsInOrderWithIcons()
    {
        QCOMPARE(m_view->windowTitle(), QStringLiteral("Clickory Settings"));
        const QStringList titles{"Sounds", "Input", "Shortcuts", "Feel", "Ripple", "Apps", "General"};
        QCOMPARE(m_view->tabs()->count(), titles.size());
        for (int i = 0; i < titles.size(); ++i) {
            QCOMPARE(m_view->tabs()->tabText(i), titles[i]);
            QVERIFY2(!m_view->tabs()->tabIcon(i).pixmap(16, 16).isNull(), qPrintable(titles[i]));
        }
    }

    void everyToggleWritesItsFieldAndShowsTheStoredValue()
    {
        for (const ToggleCase& c : toggles) {
            auto* box = control<QCheckBox>(c.name);
            QVERIFY2(box, c.name);
            const bool before = m_store->settings().*c.field;
            QCOMPARE(box->isChecked(), before);
            box->click();
            QVERIFY2(m_store->settings().*c.field == !before, c.name);
            // A change made elsewhere (menu, hotkey) shows at once, and showing it writes nothing.
            int assignments = 0;
            auto counting = m_store->subscribe([&](const FeelSettings&) { ++assignments; });
            m_store->update([&](FeelSettings& s) { s.*c.field = before; });
            QCOMPARE(assignments, 1);
            QVERIFY2(box->isChecked() == before, c.name);
        }
    }

    void everySliderSpansItsRangeWritesItsFieldAndShowsTheStoredValue()
    {
        for (const SliderCase& c : sliders) {
            auto* bar = control<QSlider>(c.name);
            QVERIFY2(bar, c.name);
            auto* value = control<QLabel>((std::string(c.name) + ".value").c_str());
            QVERIFY(value);
            bar->setValue(bar->maximum());
            QVERIFY2(m_store->settings().*c.field == c.upTo, c.name);
            bar->setValue(bar->minimum());
            QVERIFY2(m_store->settings().*c.field == c.from, c.name);
            const QString atMinimum = value->text();
            // A value set elsewhere moves the slider and its label without writing back.
            const double middle = (c.from + c.upTo) / 2.0;
            m_store->update([&](FeelSettings& s) { s.*c.field = middle; });
            QVERIFY2(bar->value() > bar->minimum() && bar->value() < bar->maximum(), c.name);
            QVERIFY2(value->text() != atMinimum, c.name);
            QVERIFY2(m_store->settings().*c.field == middle, c.name);
        }
    }

    void slidersWriteWholeHundredthsAndLabelTheirValues()
    {
        auto* volume = control<QSlider>("masterVolume");
        volume->setValue(70);
        QCOMPARE(m_store->settings().masterVolume, 0.7);
        QCOMPARE(control<QLabel>("masterVolume.value")->text(), QStringLiteral("70%"));
        auto* speed = control<QSlider>("rippleDuration");
        speed->setValue(40); // 0.15 + 0.40
        QCOMPARE(m_store->settings().rippleDuration, 0.55);
        QCOMPARE(control<QLabel>("rippleDuration.value")->text(), QStringLiteral("0.55 s"));
        control<QSlider>("rippleSize")->setValue(30);
        QCOMPARE(m_store->settings().rippleSize, 46.0);
        QCOMPARE(control<QLabel>("rippleSize.value")->text(), QStringLiteral("46 px"));
        // A stored duration beyond the slider's end (the record allows 2 s) is shown as it is and not
        // cut back to the slider's 1.5 s.
        m_store->update([](FeelSettings& s) { s.rippleDuration = 1.8; });
        QCOMPARE(speed->value(), speed->maximum());
        QCOMPARE(control<QLabel>("rippleDuration.value")->text(), QStringLiteral("1.80 s"));
        QCOMPARE(m_store->settings().rippleDuration, 1.8);
    }

    void pickersOfferEveryCaseInOrderAndWriteTheChoice()
    {
        const auto check = [&](const char* name, auto field, const auto& cases) {
            auto* combo = control<QComboBox>(name);
            QVERIFY2(combo, name);
            QCOMPARE(combo->count(), static_cast<int>(cases.size()));
            for (std::size_t i = 0; i < cases.size(); ++i)
                QCOMPARE(combo->itemText(static_cast<int>(i)),
                         QString::fromUtf8(label(cases[i]).data(), static_cast<int>(label(cases[i]).size())));
            const int last = combo->count() - 1;
            combo->setCurrentIndex(last);
            emit combo->activated(last);
            QVERIFY2(m_store->settings().*field == cases.back(), name);
            m_store->update([&](FeelSettings& s) { s.*field = cases.front(); });
            QCOMPARE(combo->currentIndex(), 0);
        };
        check("scrollStyle", &FeelSettings::scrollStyle, allScrollStyles());
        check("outputRule", &FeelSettings::outputRule, allOutputRules());
        check("hapticPattern", &FeelSettings::hapticPattern, allHapticPatterns());
        check("rippleStyle", &FeelSettings::rippleStyle, allRippleStyles());
        QCOMPARE(control<QComboBox>("outputRule")->itemText(1),
                 QStringLiteral("Only on headphones and external audio"));
    }

    void stereoWidthShowsOnlyWhileStereoIsOn()
    {
        m_view->show();
        auto* width = control<QSlider>("stereoWidth");
        QVERIFY(width->isVisibleTo(m_view.get()));
        m_store->update([](FeelSettings& s) { s.stereoEnabled = false; });
        QVERIFY(!width->isVisibleTo(m_view.get()));
    }

    void restoreDefaultsAssignsTheDefaultRecordInOneAssignment()
    {
        m_store->update([](FeelSettings& s) {
            s.masterVolume = 0.2;
            s.mutedBundleIDs = {"org.example.Editor"};
            s.appProfiles["org.example.Game"] = "tactile";
            s.actionCues.insert_or_assign("copy", ActionCue(false, CueStyle::zip, "/tmp/x.wav", 1.2));
            s.rippleLeftColor = "#000000";
            s.customSoundPath = "/tmp/own.wav";
        });
        int assignments = 0;
        auto counting = m_store->subscribe([&](const FeelSettings&) { ++assignments; });
        control<QPushButton>("restoreDefaults")->click();
        QCOMPARE(assignments, 1);
        QVERIFY(m_store->settings() == FeelSettings());
        QCOMPARE(control<QSlider>("masterVolume")->value(), 70);
    }

    void coloursAreShownParsedOrGreyAndWrittenAsUpperCaseHex()
    {
        QCOMPARE(RippleTab::shownColor("#8A5CF6"), QColor(138, 92, 246));
        QCOMPARE(RippleTab::shownColor(" 8a5cf6\t"), QColor(138, 92, 246));
        const QColor grey = RippleTab::shownColor("purple");
        QVERIFY(std::abs(grey.redF() - 0.5f) < 1e-4f && std::abs(grey.blueF() - 0.5f) < 1e-4f);
        QCOMPARE(grey.alphaF(), 1.0f);
        QCOMPARE(RippleTab::hexText(grey), std::string("#7F7F7F"));
        QCOMPARE(RippleTab::hexText(QColor()), std::string("#7F7F7F"));
        QCOMPARE(RippleTab::hexText(QColor::fromHsv(0, 255, 255)), std::string("#FF0000"));
        // Every 8-bit component survives show-then-write: truncating a component read back as
        // 137.99998 must not turn 8A into 89.
        for (int v = 0; v < 256; ++v) {
            char text[8];
            std::snprintf(text, sizeof text, "#%02X%02X%02X", v, 255 - v, (v * 7) % 256);
            QCOMPARE(RippleTab::hexText(RippleTab::shownColor(text)), std::string(text));
        }
    }

    void aPickedColourIsWrittenIntoItsField()
    {
        m_view->rippleTab()->setColorChooser(
            [](const QColor& initial, const QString&, QWidget*) -> std::optional<QColor> {
                // The dialog opens on the shown colour.
                if (initial != QColor(0xF5, 0x9E, 0x0B))
                    return std::nullopt;
                return QColor(0x12, 0xab, 0xef);
            });
        auto* right = control<QPushButton>("rippleRightColor");
        QCOMPARE(right->text(), QStringLiteral("#F59E0B"));
        right->click();
        QCOMPARE(m_store->settings().rippleRightColor, std::string("#12ABEF"));
        QCOMPARE(right->text(), QStringLiteral("#12ABEF"));
        QCOMPARE(m_store->settings().rippleLeftColor, std::string("#8A5CF6"));
        // Cancelling writes nothing.
        m_view->rippleTab()->setColorChooser([](const QColor&, const QString&, QWidget*) { return std::nullopt; });
        control<QPushButton>("rippleOtherColor")->click();
        QCOMPARE(m_store->settings().rippleOtherColor, std::string("#10B981"));
    }

    void ownSoundIsCopiedAsCustomNameReplacingAnEarlierCopy()
    {
        const fs::path source = root() / "picked" / "my click.wav";
        writeText(source, "first");
        m_nextFile = QString::fromStdString(source.string());
        control<QPushButton>("chooseCustomSound")->click();
        const fs::path copy = dataFolder() / "custom-my click.wav";
        QCOMPARE(m_store->settings().customSoundPath, std::optional<std::string>(copy.string()));
        QCOMPARE(readText(copy), std::string("first"));
        QCOMPARE(control<QLabel>("customSoundPath")->text(), QStringLiteral("custom-my click.wav"));

        writeText(source, "second");
        QVERIFY(m_view->inputTab()->useSoundFile(QString::fromStdString(source.string())));
        QCOMPARE(readText(copy), std::string("second"));
        // Choosing the copy itself keeps it.
        QVERIFY(m_view->inputTab()->useSoundFile(QString::fromStdString(copy.string())));
        QCOMPARE(readText(copy), std::string("second"));

        control<QPushButton>("removeCustomSound")->click();
        QVERIFY(!m_store->settings().customSoundPath);
        QCOMPARE(control<QLabel>("customSoundPath")->text(), QStringLiteral("None"));
    }

    void aFailedCopyShowsItsReasonUntilTheNextSuccess()
    {
        QVERIFY(!m_view->inputTab()->useSoundFile(QString::fromStdString((root() / "missing.wav").string())));
        QCOMPARE(m_view->inputTab()->errorText(),
                 QStringLiteral("Could not use that file: ") +
                     QString::fromStdString(std::make_error_code(std::errc::no_such_file_or_directory).message()));
        QVERIFY(!m_store->settings().customSoundPath);
        // A data folder that cannot be made (a file stands in its way).
        writeText(root() / "blocked", "x");
        SettingsServices services = fakeServices();
        services.dataFolder = root() / "blocked" / "clickory";
        SettingsView blocked(*m_store, services);
        writeText(root() / "a.wav", "a");
        QVERIFY(!blocked.inputTab()->useSoundFile(QString::fromStdString((root() / "a.wav").string())));
        QVERIFY(blocked.inputTab()->errorText().startsWith(QStringLiteral("Could not use that file: ")));
        QVERIFY(!m_store->settings().customSoundPath);

        QVERIFY(m_view->inputTab()->useSoundFile(QString::fromStdString((root() / "a.wav").string())));
        QCOMPARE(m_view->inputTab()->errorText(), QString());
    }

    void aCueRowWritesTheWholeCueUnderTheKindsRawValue()
    {
        const ActionCue original = ActionCue::defaultCue(ActionKind::selectAll);
        auto* enabled = control<QCheckBox>("actionCues.selectAll.enabled");
        QCOMPARE(enabled->text(), QString::fromUtf8(label(ActionKind::selectAll).data()));
        QCOMPARE(enabled->isChecked(), original.enabled);
        enabled->click();
        ActionCue expected = original;
        expected.enabled = !original.enabled;
        QCOMPARE(m_store->settings().actionCues.size(), std::size_t{1});
        QVERIFY(m_store->settings().actionCues.at("selectAll") == expected);

        auto* style = control<QComboBox>("actionCues.selectAll.style");
        QCOMPARE(style->count(), static_cast<int>(cueStyleCount));
        style->setCurrentIndex(static_cast<int>(CueStyle::shutter));
        emit style->activated(static_cast<int>(CueStyle::shutter));
        expected.style = CueStyle::shutter;
        QVERIFY(m_store->settings().actionCues.at("selectAll") == expected);

        auto* own = control<QPushButton>("actionCues.selectAll.customPath");
        QCOMPARE(own->text(), QStringLiteral("Your own…"));
        m_nextFile = QStringLiteral("/sounds/ding.wav");
        own->click();
        expected.customPath = "/sounds/ding.wav";
        QVERIFY(m_store->settings().actionCues.at("selectAll") == expected);
        QCOMPARE(own->text(), QStringLiteral("Remove file"));
        own->click();
        expected.customPath.reset();
        QVERIFY(m_store->settings().actionCues.at("selectAll") == expected);
        QCOMPARE(own->text(), QStringLiteral("Your own…"));

        control<QPushButton>("actionCues.paste.play")->click();
        QCOMPARE(m_cuesPlayed, std::vector<ActionKind>{ActionKind::paste});
        // A cue changed elsewhere shows in its row.
        m_store->update([](FeelSettings& s) {
            s.actionCues.insert_or_assign("copy", ActionCue(false, CueStyle::bell, std::nullopt, 0.6));
        });
        QVERIFY(!control<QCheckBox>("actionCues.copy.enabled")->isChecked());
        QCOMPARE(control<QComboBox>("actionCues.copy.style")->currentText(), QStringLiteral("Bell"));
    }

    void profilesAreGroupedByCategoryWithTheChosenOneMarked()
    {
        QTreeWidget* list = m_view->soundsTab()->profileList();
        const std::vector<ProfileGroup> groups = Profiles::byCategory();
        QCOMPARE(list->topLevelItemCount(), static_cast<int>(groups.size()));
        QTreeWidgetItem* other = nullptr;
        for (int g = 0; g < list->topLevelItemCount(); ++g) {
            QTreeWidgetItem* header = list->topLevelItem(g);
            QCOMPARE(header->text(0), QString::fromUtf8(label(groups[g].category).data()));
            QCOMPARE(header->childCount(), static_cast<int>(groups[g].profiles.size()));
            for (int i = 0; i < header->childCount(); ++i) {
                QTreeWidgetItem* row = header->child(i);
                const bool chosen = row->data(0, Qt::UserRole).toString() == QStringLiteral("tactile");
                QCOMPARE(row->data(0, Qt::AccessibleDescriptionRole).toString(),
                         chosen ? QStringLiteral("selected") : QStringLiteral("not selected"));
                if (!chosen && !other)
                    other = row;
            }
        }
        QVERIFY(other);
        // Choosing a row previews it, which selects it; the mark follows.
        emit list->itemClicked(other, 0);
        const std::string id = other->data(0, Qt::UserRole).toString().toStdString();
        QCOMPARE(m_previews, std::vector<std::string>{id});
        QCOMPARE(m_store->settings().profileID, id);
        QCOMPARE(other->data(0, Qt::AccessibleDescriptionRole).toString(), QStringLiteral("selected"));
        // "Play" previews the highlighted row; a category heading is not a profile.
        control<QPushButton>("playProfile")->click();
        QCOMPARE(m_previews.size(), std::size_t{2});
        QVERIFY(!(list->topLevelItem(0)->flags() & Qt::ItemIsSelectable));

        // With the keyboard: arrows move the highlight only, Return and Space choose.
        list->setFocus();
        list->setCurrentItem(list->topLevelItem(0)->child(0));
        m_previews.clear();
        QTest::keyClick(list, Qt::Key_Down);
        QVERIFY(m_previews.empty());
        const std::string highlighted = list->currentItem()->data(0, Qt::UserRole).toString().toStdString();
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(m_previews, std::vector<std::string>{highlighted});
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(m_previews.size(), std::size_t{2});
        QCOMPARE(m_store->settings().profileID, list->currentItem()->data(0, Qt::UserRole).toString().toStdString());
    }

    void removingTheChosenImportedProfileChoosesTactile()
    {
        ImportedPack pack;
        pack.id = "my-pack";
        pack.name = "My Pack";
        pack.fallback = {"k0.wav"};
        pack.source = std::string(PackImporter::folderSource);
        const fs::path folder = dataFolder() / "Imported" / "my-pack";
        writeText(folder / "pack.json", encodeImportedPack(pack));
        writeText(folder / "k0.wav", "RIFF");
        QCOMPARE(m_importer->loadLibrary().size(), std::size_t{1});
        m_store->update([](FeelSettings& s) { s.profileID = "imported:my-pack"; });

        QTreeWidget* list = m_view->soundsTab()->profileList();
        const auto findRow = [&]() -> QTreeWidgetItem* {
            for (int g = 0; g < list->topLevelItemCount(); ++g)
                for (int i = 0; i < list->topLevelItem(g)->childCount(); ++i)
                    if (list->topLevelItem(g)->child(i)->data(0, Qt::UserRole).toString() ==
                        QStringLiteral("imported:my-pack"))
                        return list->topLevelItem(g)->child(i);
            return nullptr;
        };
        QTreeWidgetItem* row = findRow();
        QVERIFY(row);
        QCOMPARE(row->parent()->text(0), QStringLiteral("Imported"));
        QCOMPARE(list->currentItem(), row);
        m_view->show();
        auto* remove = control<QPushButton>("removeProfile");
        QVERIFY(remove->isVisibleTo(m_view.get()));
        remove->click();
        QVERIFY(!fs::exists(folder));
        QCOMPARE(m_store->settings().profileID, std::string("tactile"));
        QVERIFY(!findRow());
        // A built-in row has no "Remove".
        QVERIFY(!remove->isVisibleTo(m_view.get()));
    }

    void theFrontmostAppIsTheLastOneBeforeClickory()
    {
        AppsTab* apps = m_view->appsTab();
        auto* addMuted = control<QPushButton>("mutedBundleIDs.addFrontmost");
        QVERIFY(!addMuted->isEnabled());
        apps->noteFrontmost(std::string("org.example.Editor"));
        apps->noteFrontmost(std::string("clickory"));
        apps->noteFrontmost(std::nullopt);
        QCOMPARE(apps->lastOtherApplication(), std::optional<std::string>("org.example.Editor"));
        QVERIFY(addMuted->isEnabled());
        addMuted->click();
        addMuted->click();
        QCOMPARE(m_store->settings().mutedBundleIDs, std::vector<std::string>{"org.example.Editor"});

        // A per-app sound starts with the sound chosen now.
        m_store->update([](FeelSettings& s) { s.profileID = "tactile"; });
        control<QPushButton>("appProfiles.addFrontmost")->click();
        QCOMPARE(m_store->settings().appProfiles.at("org.example.Editor"), std::string("tactile"));
        auto* picker = control<QComboBox>("appProfiles.org.example.Editor");
        QVERIFY(picker);
        QCOMPARE(picker->currentData().toString(), QStringLiteral("tactile"));
        const int other = picker->findData(QString::fromStdString(Profiles::all().back().id));
        picker->setCurrentIndex(other);
        emit picker->activated(other);
        QCOMPARE(m_store->settings().appProfiles.at("org.example.Editor"), Profiles::all().back().id);

        // The view polls the workspace.
        m_frontmost = "org.example.Mail";
        QTest::qWait(SettingsView::frontmostPollMs * 3);
        QCOMPARE(apps->lastOtherApplication(), std::optional<std::string>("org.example.Mail"));
    }

    void appRowsShowDesktopEntryNamesAndRemoveThemselves()
    {
        writeText(root() / "data" / "applications" / "org.example.Editor.desktop",
                  "[Desktop Entry]\nType=Application\nName=Text Editor\nIcon=accessories-text-editor\n");
        writeText(root() / "system" / "applications" / "org.example.Editor.desktop",
                  "[Desktop Entry]\nType=Application\nName=Shadowed\n");
        writeText(root() / "system" / "applications" / "kde" / "hidden.desktop",
                  "[Desktop Entry]\nType=Application\nName=Hidden\nNoDisplay=true\n");
        writeText(root() / "system" / "applications" / "vendor" / "game.desktop",
                  "[Desktop Entry]\nType=Application\nName=A Game\nStartupWMClass=GameWindow\n");
        writeText(root() / "system" / "applications" / "link.desktop", "[Desktop Entry]\nType=Link\nName=Link\n");
        const std::vector<DesktopApplication> apps =
            DesktopApplications::list({root() / "data" / "applications", root() / "system" / "applications"});
        QCOMPARE(apps.size(), std::size_t{2});
        QCOMPARE(apps[0].name, QStringLiteral("A Game"));
        QCOMPARE(apps[0].id, std::string("vendor-game"));
        QCOMPARE(apps[1].name, QStringLiteral("Text Editor"));
        QCOMPARE(DesktopApplications::displayName("gamewindow", apps), QStringLiteral("A Game"));
        QCOMPARE(DesktopApplications::displayName("unknown.App", apps), QStringLiteral("unknown.App"));

        // A fresh window reads the entries.
        m_view = std::make_unique<SettingsView>(*m_store, fakeServices());
        QVERIFY(control<QLabel>("mutedBundleIDs.none"));
        m_nextApp = "org.example.Editor";
        control<QPushButton>("mutedBundleIDs.add")->click();
        control<QPushButton>("mutedBundleIDs.add")->click();
        QCOMPARE(m_store->settings().mutedBundleIDs, std::vector<std::string>{"org.example.Editor"});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        bool named = false;
        for (QLabel* label : m_view->findChildren<QLabel*>())
            named = named || label->text() == QStringLiteral("Text Editor");
        QVERIFY(named);
        control<QPushButton>("mutedBundleIDs.remove.org.example.Editor")->click();
        QVERIFY(m_store->settings().mutedBundleIDs.empty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(control<QLabel>("mutedBundleIDs.none"));
        QVERIFY(control<QLabel>("appProfiles.none"));
    }

    void generalTabShowsDelayBluetoothPermissionAndCredits()
    {
        QCOMPARE(GeneralTab::latencyText(23.4),
                 QStringLiteral("Estimated delay from key press to sound: about 23 ms."));
        QCOMPARE(GeneralTab::latencyText(std::nullopt), QString());
        m_view->tabs()->setCurrentWidget(m_view->generalTab());
        m_view->show();
        auto* latency = control<QLabel>("latencyText");
        QVERIFY(!latency->isVisibleTo(m_view.get()));
        QVERIFY(!control<QLabel>("bluetoothNote")->isVisibleTo(m_view.get()));
        QCOMPARE(control<QLabel>("permissionState")->text(), QStringLiteral("Input Monitoring is allowed"));
        QCOMPARE(control<QLabel>("soundCredits")->text(), QStringLiteral("No recorded sounds are installed."));
        QCOMPARE(control<QLabel>("version")->text(), QStringLiteral("Version 1.2.3"));

        m_latency = 41.6;
        m_bluetooth = true;
        m_inputAllowed = false;
        m_view->generalTab()->updateFacts();
        QCOMPARE(latency->text(), QStringLiteral("Estimated delay from key press to sound: about 42 ms."));
        QVERIFY(latency->isVisibleTo(m_view.get()));
        QVERIFY(control<QLabel>("bluetoothNote")->isVisibleTo(m_view.get()));
        QCOMPARE(control<QLabel>("permissionState")->text(), QStringLiteral("Input Monitoring is not allowed yet"));
        QVERIFY(control<QPushButton>("permissionHelp")->isVisibleTo(m_view.get()));

        // With the shipped samples, their credits.
        SettingsServices services = fakeServices();
        services.samplesFolder = fs::path(CLICKORY_SOURCE_DIR) / "assets" / "samples";
        const std::optional<SampleManifest> manifest = SampleManifest::load(*services.samplesFolder);
        QVERIFY(manifest && !manifest->allSources().empty());
        SettingsView withSamples(*m_store, services);
        const QString credits = withSamples.findChild<QLabel*>(QStringLiteral("soundCredits"))->text();
        QVERIFY(credits.contains(QString::fromStdString(manifest->allSources().front().author).toHtmlEscaped()));
        QCOMPARE(GeneralTab::creditsText({{"A <b>", "Me & you", "javascript:x", "MIT"}}),
                 QStringLiteral("A &lt;b&gt; by Me &amp; you (MIT)"));
    }
};

QTEST_MAIN(SettingsViewTests)
#include "SettingsViewTests.moc"
