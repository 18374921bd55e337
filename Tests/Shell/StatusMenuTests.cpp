// SPDX-License-Identifier: MIT
// The tray menu built from the settings and the sound catalogue, and what its items write.
#include "ClickoryCore/profiles/Profiles.h"
#include "ClickoryCore/profiles/ScrollStyle.h"
#include "ClickoryShell/tray/StatusMenu.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

using namespace clickory;

namespace {

class RecordingHandler final : public StatusMenuHandler
{
public:
    void allowInput() override { calls.push_back("allowInput"); }
    void preview(const std::string& id) override { calls.push_back("preview " + id); }
    void importPack() override { calls.push_back("importPack"); }
    void checkUpdates() override { calls.push_back("checkUpdates"); }
    void openSettings() override { calls.push_back("openSettings"); }
    void quit() override { calls.push_back("quit"); }
    std::vector<std::string> calls;
};

QStringList titles(const QMenu& menu)
{
    QStringList result;
    for (QAction* action : menu.actions())
        result.append(action->isSeparator() ? QStringLiteral("---") : action->text());
    return result;
}

QAction* find(const QMenu& menu, const QString& title)
{
    for (QAction* action : menu.actions())
    {
        if (action->text() == title)
            return action;
    }
    return nullptr;
}

} // namespace

class StatusMenuTests : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    std::unique_ptr<SettingsStore> m_store;
    RecordingHandler m_handler;

private slots:
    void init()
    {
        m_store = std::make_unique<SettingsStore>((m_folder.path() + "/clickory").toStdString());
        m_handler.calls.clear();
    }

    void theItemsComeInTheirOrder()
    {
        StatusMenu builder(*m_store, m_handler);
        QMenu menu;
        builder.rebuild(menu, MenuConditions{true, false, false});
        QCOMPARE(titles(menu), (QStringList{"Clickory is on", "---", "Sound", "Scroll ticks", "---", "Keyboard sounds",
                                            "Click sounds", "Click ripple", "Trackpad haptics on scroll",
                                            "Silent while microphone is on", "---", "Import sound pack…", "Settings…",
                                            "Quit Clickory"}));
        QCOMPARE(find(menu, "Settings…")->shortcut(), QKeySequence("Ctrl+,"));
        QCOMPARE(find(menu, "Quit Clickory")->shortcut(), QKeySequence("Ctrl+Q"));
    }

    void permissionAndUpdateItemsAppearOnlyWhenTheyApply()
    {
        StatusMenu builder(*m_store, m_handler);
        QMenu menu;
        builder.rebuild(menu, MenuConditions{false, true, false});
        const QStringList items = titles(menu);
        QCOMPARE(items.at(1), QString("Allow Input Monitoring…"));
        QVERIFY(items.contains("Check for Updates…"));
        QCOMPARE(items.indexOf("Check for Updates…") + 1, items.indexOf("Settings…"));
        QVERIFY(!find(menu, "Check for Updates…")->isEnabled());
        builder.rebuild(menu, MenuConditions{true, true, true});
        QVERIFY(find(menu, "Check for Updates…")->isEnabled());
        QVERIFY(!titles(menu).contains("Allow Input Monitoring…"));
        find(menu, "Check for Updates…")->trigger();
        find(menu, "Import sound pack…")->trigger();
        find(menu, "Settings…")->trigger();
        find(menu, "Quit Clickory")->trigger();
        QCOMPARE(m_handler.calls,
                 (std::vector<std::string>{"checkUpdates", "importPack", "openSettings", "quit"}));
    }

    void theSoundMenuListsTheCatalogueByCategoryWithTheCurrentProfileChecked()
    {
        m_store->update([](FeelSettings& s) { s.profileID = "brown-bump"; });
        StatusMenu builder(*m_store, m_handler);
        QMenu menu;
        builder.rebuild(menu, MenuConditions{});
        QMenu* sound = find(menu, "Sound")->menu();
        QVERIFY(sound);
        QStringList expected;
        for (const ProfileGroup& group : Profiles::byCategory())
        {
            expected.append(QString::fromStdString(std::string(rawValue(group.category))));
            for (const SoundProfile& profile : group.profiles)
                expected.append(StatusMenu::indent + QString::fromStdString(profile.name));
        }
        QCOMPARE(titles(*sound), expected);
        int checked = 0;
        for (QAction* action : sound->actions())
        {
            if (action->data().isNull())
            {
                QVERIFY2(!action->isEnabled(), qPrintable(action->text()));  // a category header
                continue;
            }
            if (action->isChecked())
            {
                ++checked;
                QCOMPARE(action->data().toString(), QString("brown-bump"));
            }
        }
        QCOMPARE(checked, 1);
        QVERIFY(expected.contains("Synthesized: Soft"));
    }

    void choosingAProfileStoresItAndPreviewsIt()
    {
        StatusMenu builder(*m_store, m_handler);
        QMenu menu;
        builder.rebuild(menu, MenuConditions{});
        QMenu* sound = find(menu, "Sound")->menu();
        QAction* item = nullptr;
        for (QAction* action : sound->actions())
        {
            if (action->data().toString() == "brown-bump")
                item = action;
        }
        QVERIFY(item);
        item->trigger();
        QCOMPARE(m_store->settings().profileID, std::string("brown-bump"));
        QCOMPARE(m_handler.calls, (std::vector<std::string>{"preview brown-bump"}));
    }

    void theScrollMenuListsEveryStyleAndStoresTheChosenOne()
    {
        StatusMenu builder(*m_store, m_handler);
        QMenu menu;
        builder.rebuild(menu, MenuConditions{});
        QMenu* scroll = find(menu, "Scroll ticks")->menu();
        QVERIFY(scroll);
        QCOMPARE(scroll->actions().size(), qsizetype(scrollStyleCount));
        QStringList labels;
        for (ScrollStyle style : allScrollStyles())
            labels.append(QString::fromStdString(std::string(label(style))));
        QCOMPARE(titles(*scroll), labels);
        QVERIFY(labels.contains("Salt"));
        for (QAction* action : scroll->actions())
            QCOMPARE(action->isChecked(), action->data().toString() == "softTick");
        find(*scroll, "Salt")->trigger();
        QCOMPARE(m_store->settings().scrollStyle, ScrollStyle::sand);
        builder.rebuild(menu, MenuConditions{});
        QVERIFY(find(*find(menu, "Scroll ticks")->menu(), "Salt")->isChecked());
    }

    void eachToggleFlipsItsOwnField()
    {
        struct Case
        {
            const char* title;
            bool FeelSettings::*field;
        };
        const Case cases[] = {
            {"Keyboard sounds", &FeelSettings::keyboardEnabled},
            {"Click sounds", &FeelSettings::mouseEnabled},
            {"Click ripple", &FeelSettings::rippleEnabled},
            {"Trackpad haptics on scroll", &FeelSettings::hapticsOnScroll},
            {"Silent while microphone is on", &FeelSettings::muteWhenMicrophoneInUse},
        };
        StatusMenu builder(*m_store, m_handler);
        QMenu menu;
        for (const Case& c : cases)
        {
            builder.rebuild(menu, MenuConditions{});
            const FeelSettings before = m_store->settings();
            QAction* item = find(menu, c.title);
            QVERIFY2(item, c.title);
            QCOMPARE(item->isChecked(), before.*c.field);
            item->trigger();
            FeelSettings expected = before;
            expected.*c.field = !(before.*c.field);
            QVERIFY2(m_store->settings() == expected, c.title);
        }
    }

    void theMasterSwitchSaysWhetherClickoryIsOnAndFlipsIt()
    {
        StatusMenu builder(*m_store, m_handler);
        QMenu menu;
        builder.rebuild(menu, MenuConditions{});
        QAction* master = menu.actions().first();
        QCOMPARE(master->text(), QString("Clickory is on"));
        QVERIFY(master->isChecked());
        master->trigger();
        QVERIFY(!m_store->settings().enabled);
        builder.rebuild(menu, MenuConditions{});
        master = menu.actions().first();
        QCOMPARE(master->text(), QString("Clickory is off"));
        QVERIFY(!master->isChecked());
        // The change was saved, so a new store reads it back.
        SettingsStore reread((m_folder.path() + "/clickory").toStdString());
        QVERIFY(!reread.settings().enabled);
    }
};

QTEST_MAIN(StatusMenuTests)
#include "StatusMenuTests.moc"
