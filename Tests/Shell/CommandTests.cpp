// SPDX-License-Identifier: MIT
// The shell's small parsers and files: URL commands, the command line, Info.json, the autostart
// entry, the update feed and the footprint figure.
#include "ClickoryShell/BundleInfo.h"
#include "ClickoryShell/LaunchAtLogin.h"
#include "ClickoryShell/LaunchOptions.h"
#include "ClickoryShell/ProcessStats.h"
#include "ClickoryShell/UpdateFeed.h"
#include "ClickoryShell/UrlCommand.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace clickory;

namespace {

// Items out of order, one without a version, versions as elements and as enclosure attributes.
QByteArray sampleAppcast()
{
    return "<?xml version='1.0'?>\n"
           "<rss version='2.0' xmlns:sparkle='http://www.andymatuschak.org/xml-namespaces/sparkle'>\n"
           "  <channel><title>Clickory</title>\n"
           "    <item><title>1.2</title><sparkle:shortVersionString>1.2</sparkle:shortVersionString>\n"
           "      <link>https://example.org/1.2</link></item>\n"
           "    <item><title>1.10</title>\n"
           "      <enclosure url='https://example.org/clickory-1.10.tar.gz' sparkle:version='110'\n"
           "                 sparkle:shortVersionString='1.10' length='1' type='application/octet-stream'/></item>\n"
           "    <item><title>no version</title></item>\n"
           "    <item><title>1.9</title><sparkle:version>1.9</sparkle:version></item>\n"
           "  </channel>\n"
           "</rss>";
}

} // namespace

class CommandTests : public QObject
{
    Q_OBJECT

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private slots:
    void urlCommandsTakeTheHostThenThePathComponents()
    {
        QCOMPARE(UrlCommand::parse("clickory://toggle"), (UrlCommand{"toggle", std::nullopt}));
        QCOMPARE(UrlCommand::parse("clickory://next/"), (UrlCommand{"next", std::nullopt}));
        QCOMPARE(UrlCommand::parse("clickory://sound/brown-bump"), (UrlCommand{"sound", QString("brown-bump")}));
        // Percent-encoding is undone; imported ids hold a colon.
        QCOMPARE(UrlCommand::parse("clickory://sound/imported%3Amy-pack"),
                 (UrlCommand{"sound", QString("imported:my-pack")}));
        // Without a host the path alone names the command.
        QCOMPARE(UrlCommand::parse("clickory:settings"), (UrlCommand{"settings", std::nullopt}));
        QCOMPARE(UrlCommand::parse("CLICKORY://toggle"), (UrlCommand{"toggle", std::nullopt}));
        // Extra components after the argument are ignored.
        QCOMPARE(UrlCommand::parse("clickory://sound/tactile/extra"), (UrlCommand{"sound", QString("tactile")}));
        QCOMPARE(UrlCommand::parse("clickory://"), (UrlCommand{}));
    }

    void urlsOfOtherSchemesOrNoUrlAreRejected()
    {
        QVERIFY(!UrlCommand::parse("https://toggle"));
        QVERIFY(!UrlCommand::parse("toggle"));
        QVERIFY(!UrlCommand::parse(""));
        QVERIFY(!UrlCommand::parse("clickory://bad host/%zz"));
    }

    void theCommandLineKnowsEverySwitchExactly()
    {
        const auto options = LaunchOptions::parse({"--status", "--selftest", "--bench", "--settings", "--version",
                                                   "--help", "clickory://toggle", "--Status", "-x"});
        QVERIFY(options.status && options.selftest && options.bench && options.settings);
        QVERIFY(options.version && options.help);
        QVERIFY(!options.importPath);
        QCOMPARE(options.urls, QStringList{"clickory://toggle"});
        QCOMPARE(options.unknown, (QStringList{"--Status", "-x"}));
        QVERIFY(options.isCommandLineMode());
        QVERIFY(!LaunchOptions::parse({"--settings", "clickory://next"}).isCommandLineMode());
    }

    void importTakesTheNextArgumentAndIsIgnoredWithoutOne()
    {
        QCOMPARE(LaunchOptions::parse({"--import", "/tmp/pack.zip"}).importPath, QString("/tmp/pack.zip"));
        // The argument after --import is the path, whatever it looks like.
        const auto swallowed = LaunchOptions::parse({"--import", "--status"});
        QCOMPARE(swallowed.importPath, QString("--status"));
        QVERIFY(!swallowed.status);
        const auto alone = LaunchOptions::parse({"--settings", "--import"});
        QVERIFY(!alone.importPath);
        QVERIFY(alone.unknown.isEmpty());
        QVERIFY(!alone.isCommandLineMode());
        QVERIFY(LaunchOptions::helpText().contains("--import PATH"));
    }

    void infoJsonGivesTheVersionAndFeedKeys()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Info.json");
        writeFile(path, "{\"CFBundleShortVersionString\": \"2.3.4\", "
                        "\"SUFeedURL\": \" https://example.org/feed.xml \", \"CKUpdateChannelToken\": \"beta\"}");
        const auto info = BundleInfo::fromInfoFile(path.toStdString());
        QCOMPARE(info.version, QString("2.3.4"));
        QCOMPARE(info.feedURL, QString("https://example.org/feed.xml"));
        QCOMPARE(info.channelToken, QString("beta"));

        // Keys of the wrong type and broken files leave the defaults: no feed.
        writeFile(path, "{\"CFBundleShortVersionString\": 7, \"SUFeedURL\": [\"x\"]}");
        const auto wrong = BundleInfo::fromInfoFile(path.toStdString());
        QVERIFY(wrong.feedURL.isEmpty());
        QVERIFY(!wrong.version.isEmpty());
        writeFile(path, "not json");
        QVERIFY(BundleInfo::fromInfoFile(path.toStdString()).feedURL.isEmpty());
        QVERIFY(BundleInfo::fromInfoFile("/nonexistent/Info.json").feedURL.isEmpty());
    }

    void resourcesAreFoundBesideTheBinaryFolder()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("bin"));
        QVERIFY(!BundleInfo::locateResources((dir.path() + "/bin").toStdString()));
        QVERIFY(QDir(dir.path()).mkpath("share/clickory"));
        writeFile(dir.filePath("share/clickory/Info.json"), "{}");
        const auto found = BundleInfo::locateResources((dir.path() + "/bin").toStdString());
        QVERIFY(found);
        QCOMPARE(QString::fromStdString(found->string()), dir.filePath("share/clickory"));
        BundleInfo info;
        info.resources = found;
        QVERIFY(info.resource("Info.json"));
        QVERIFY(!info.resource("MenuGlyph.svg"));
    }

    void launchAtLoginWritesAndRemovesTheAutostartEntry()
    {
        QTemporaryDir config;
        LaunchAtLogin login("/opt/Clickory App/bin/clickory", config.path());
        QCOMPARE(login.entryPath(), config.path() + "/autostart/clickory.desktop");
        QVERIFY(!login.isEnabled());
        QCOMPARE(login.setEnabled(true), std::nullopt);
        QVERIFY(login.isEnabled());
        QFile file(login.entryPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY(text.contains("\nExec=\"/opt/Clickory App/bin/clickory\"\n"));
        QVERIFY(text.contains("\nType=Application\n"));
        file.close();
        QCOMPARE(login.setEnabled(false), std::nullopt);
        QVERIFY(!QFile::exists(login.entryPath()));
        // Removing an entry that is not there is no failure.
        QCOMPARE(login.setEnabled(false), std::nullopt);
    }

    void anEntryTheUserDisabledCountsAsOff()
    {
        QTemporaryDir config;
        LaunchAtLogin login("/usr/bin/clickory", config.path());
        QVERIFY(QDir(config.path()).mkpath("autostart"));
        writeFile(login.entryPath(), "[Desktop Entry]\nType=Application\nExec=clickory\nHidden=true\n");
        QVERIFY(!login.isEnabled());
        writeFile(login.entryPath(), "[Desktop Entry]\nExec=clickory\nX-GNOME-Autostart-enabled=false\n");
        QVERIFY(!login.isEnabled());
    }

    void aFailureToWriteTheEntryIsReported()
    {
        QTemporaryDir config;
        // A file where the autostart folder should be.
        writeFile(config.filePath("autostart"), "x");
        LaunchAtLogin login("/usr/bin/clickory", config.path());
        const auto error = login.setEnabled(true);
        QVERIFY(error.has_value());
        QVERIFY(!error->isEmpty());
    }

    void execArgumentsAreQuotedAndEscapedOnlyWhenNeeded()
    {
        QCOMPARE(LaunchAtLogin::execArgument("/usr/bin/clickory"), QString("/usr/bin/clickory"));
        QCOMPARE(LaunchAtLogin::execArgument("/home/a b/clickory"), QString("\"/home/a b/clickory\""));
        // Inside quotes: \" for a quote, doubled once more because the value is a string; % is %%.
        QCOMPARE(LaunchAtLogin::execArgument("/x/\"q\"/c"), QString("\"/x/\\\\\"q\\\\\"/c\""));
        QCOMPARE(LaunchAtLogin::execArgument("/x/$HOME/c"), QString("\"/x/\\\\$HOME/c\""));
        QCOMPARE(LaunchAtLogin::execArgument("/x/100%/c"), QString("/x/100%%/c"));
    }

    void versionsCompareNumericallyWithPreReleasesFirst()
    {
        QVERIFY(UpdateFeed::compareVersions("1.10", "1.9") > 0);
        QVERIFY(UpdateFeed::compareVersions("1.2", "1.2.0") == 0);
        QVERIFY(UpdateFeed::compareVersions("0.1.0", "0.2") < 0);
        QVERIFY(UpdateFeed::compareVersions("2.0.0-beta1", "2.0.0") < 0);
        QVERIFY(UpdateFeed::compareVersions("2.0.0", "2.0.0-rc2") > 0);
        QVERIFY(UpdateFeed::compareVersions("2.0.0-beta2", "2.0.0-beta10") < 0);
        QVERIFY(UpdateFeed::compareVersions(" 3.1 ", "3.1") == 0);
    }

    void theNewestItemOfAnAppcastWinsWhateverItsPlace()
    {
        const QByteArray feed = sampleAppcast();
        const auto newest = UpdateFeed::newestRelease(feed);
        QVERIFY(newest.hasValue());
        QVERIFY(newest.value().has_value());
        QCOMPARE(newest.value()->version, QString("1.10"));
        QCOMPARE(newest.value()->title, QString("1.10"));
        // No <link>: the enclosure's address.
        QCOMPARE(newest.value()->link, QUrl("https://example.org/clickory-1.10.tar.gz"));
    }

    void feedsThatAreNotAppcastsAreErrors()
    {
        QVERIFY(!UpdateFeed::newestRelease("").hasValue());
        QVERIFY(!UpdateFeed::newestRelease("<html><body>404</body></html>").hasValue());
        QVERIFY(!UpdateFeed::newestRelease("<rss><channel><item>").hasValue());
        const auto empty = UpdateFeed::newestRelease("<rss><channel></channel></rss>");
        QVERIFY(empty.hasValue());
        QVERIFY(!empty.value().has_value());
    }

    void theFootprintIsTheProportionalSetSize()
    {
        const std::string rollup = "55d0c0a00000-7ffd5e1f2000 ---p 00000000 00:00 0   [rollup]\n"
                                   "Rss:               24576 kB\n"
                                   "Pss:               12288 kB\n"
                                   "Pss_Anon:           4096 kB\n";
        QCOMPARE(ProcessStats::footprintFromRollup(rollup), std::optional<double>(12288.0 * 1024.0));
        QCOMPARE(ProcessStats::footprintFromRollup("Rss: 1 kB\n"), std::nullopt);
        QCOMPARE(ProcessStats::footprintFromRollup("Pss: lots\n"), std::nullopt);
        QVERIFY(ProcessStats::footprintMB() > 1.0);
        const double before = ProcessStats::processorSeconds();
        volatile double sink = 0.0;
        for (int i = 0; i < 3000000; ++i)
            sink = sink + i * 0.5;
        QVERIFY(ProcessStats::processorSeconds() > before);
    }
};

QTEST_GUILESS_MAIN(CommandTests)
#include "CommandTests.moc"
