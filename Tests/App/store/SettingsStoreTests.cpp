// SPDX-License-Identifier: MIT
#include "App/controller/ControllerRig.h"
#include "ClickoryApp/settings/SettingsStore.h"
#include "ClickoryCore/profiles/Profiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace clickory {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

nlohmann::json readDocument(const SettingsStore& store)
{
    return nlohmann::json::parse(readFile(store.filePath()));
}

// A stored record: every field at its default except the profile and a few others, under a version.
nlohmann::json storedDocument(std::optional<int> version)
{
    FeelSettings settings;
    settings.profileID = "cherry-brown";
    settings.keysGain = 0.4;
    settings.mutedBundleIDs = {"zoom"};
    nlohmann::json document = {{SettingsStore::settingsKey, settings.toJSON()}, {SettingsStore::onboardedKey, true}};
    if (version)
        document[SettingsStore::versionKey] = *version;
    return document;
}

class Store : public ::testing::Test
{
protected:
    fs::path file() const { return folder.path / "clickory" / SettingsStore::fileName; }
    fs::path storeFolder() const { return folder.path / "clickory"; }
    TemporaryFolder folder;
};

TEST_F(Store, FirstLaunchWritesTheDefaultRecordAndVersion)
{
    SettingsStore store(storeFolder());
    EXPECT_EQ(store.settings(), FeelSettings());
    const nlohmann::json document = readDocument(store);
    EXPECT_EQ(FeelSettings::fromJSON(document.at(SettingsStore::settingsKey)).value(), FeelSettings());
    EXPECT_EQ(document.at(SettingsStore::versionKey), 2);
    EXPECT_FALSE(store.onboarded());
    EXPECT_FALSE(fs::exists(store.badCopyPath()));
}

TEST_F(Store, VersionsZeroAndOneMoveToTheDefaultSoundAndKeepTheRest)
{
    for (const std::optional<int> version : {std::optional<int>(), std::optional<int>(0), std::optional<int>(1)})
    {
        writeFile(file(), storedDocument(version).dump());
        SettingsStore store(storeFolder());
        EXPECT_EQ(store.settings().profileID, "tactile");
        EXPECT_EQ(store.settings().keysGain, 0.4);
        EXPECT_EQ(store.settings().mutedBundleIDs, std::vector<std::string>{"zoom"});
        EXPECT_EQ(store.defaultsVersion(), 2);
        EXPECT_TRUE(store.onboarded());
        EXPECT_EQ(readDocument(store).at(SettingsStore::settingsKey).at("profileID"), "tactile");
    }
}

TEST_F(Store, VersionTwoKeepsTheChosenSound)
{
    ASSERT_TRUE(Profiles::find("cherry-brown").has_value());
    writeFile(file(), storedDocument(2).dump());
    const std::string before = readFile(file());
    SettingsStore store(storeFolder());
    EXPECT_EQ(store.settings().profileID, "cherry-brown");
    EXPECT_EQ(readFile(file()), before); // loading alone writes nothing
}

TEST_F(Store, UnreadableFileGivesDefaultsMigratesAndIsKeptBesideIt)
{
    const std::string typo = "{\"clickory.settings.v1\": {\"keysGain\": 0.4,}, \"clickory.defaultsVersion\": 2}";
    writeFile(file(), typo);
    SettingsStore store(storeFolder());
    EXPECT_EQ(store.settings(), FeelSettings());
    // The version was in the unreadable file too, so the migration ran and saved.
    EXPECT_EQ(readFile(store.badCopyPath()), typo);
    EXPECT_EQ(readDocument(store).at(SettingsStore::versionKey), 2);
}

TEST_F(Store, RecordWithAWrongTypeGivesDefaultsKeepsTheVersionAndTheCopy)
{
    nlohmann::json document = storedDocument(2);
    document[SettingsStore::settingsKey]["keysGain"] = "loud";
    writeFile(file(), document.dump());
    const std::string original = readFile(file());
    {
        SettingsStore store(storeFolder());
        EXPECT_EQ(store.settings(), FeelSettings());
        EXPECT_FALSE(store.lastError().empty());
        // Version 2: no migration, so nothing has been written yet.
        EXPECT_EQ(readFile(file()), original);
        EXPECT_FALSE(fs::exists(store.badCopyPath()));
        store.update([](FeelSettings& s) { s.mouseGain = 0.5; });
        EXPECT_EQ(readFile(store.badCopyPath()), original);
        EXPECT_TRUE(store.onboarded());
    }
    SettingsStore again(storeFolder());
    EXPECT_EQ(again.settings().mouseGain, 0.5);
}

TEST_F(Store, OutOfRangeVolumeIsPublishedAsGivenAndStoredClamped)
{
    SettingsStore store(storeFolder());
    std::vector<double> published;
    auto subscription = store.subscribe([&](const FeelSettings& s) { published.push_back(s.masterVolume); });
    store.update([](FeelSettings& s) { s.masterVolume = 1.4; });
    EXPECT_EQ(published, std::vector<double>{1.4});
    EXPECT_EQ(store.settings().masterVolume, 1.4);
    EXPECT_EQ(readDocument(store).at(SettingsStore::settingsKey).at("masterVolume"), 1.0);
    SettingsStore again(storeFolder());
    EXPECT_EQ(again.settings().masterVolume, 1.0);
}

TEST_F(Store, ObserversAreToldBeforeTheSaveAndCanLeave)
{
    SettingsStore store(storeFolder());
    std::vector<double> storedWhenTold;
    SettingsStore::Subscription second;
    int secondCalls = 0;
    auto first = store.subscribe([&](const FeelSettings&) {
        storedWhenTold.push_back(readDocument(store).at(SettingsStore::settingsKey).at("keysGain").get<double>());
        second.reset(); // leaving during a notification is safe
    });
    second = store.subscribe([&](const FeelSettings&) { ++secondCalls; });
    store.update([](FeelSettings& s) { s.keysGain = 0.5; });
    store.update([](FeelSettings& s) { s.keysGain = 0.25; });
    EXPECT_EQ(storedWhenTold, (std::vector<double>{1.0, 0.5}));
    EXPECT_LE(secondCalls, 1);
    first.reset();
    store.update([](FeelSettings& s) { s.keysGain = 0.75; });
    EXPECT_EQ(storedWhenTold.size(), 2u);
}

TEST_F(Store, EveryAssignmentReplacesTheFileAtomically)
{
    SettingsStore store(storeFolder());
    // A reader holding the old file sees it whole while the new one takes its place.
    const int oldFd = ::open(store.filePath().c_str(), O_RDONLY);
    ASSERT_GE(oldFd, 0);
    const std::string oldBytes = readFile(store.filePath());
    struct stat before{};
    ::stat(store.filePath().c_str(), &before);

    store.setSettings(store.settings()); // the same record still writes
    struct stat after{};
    ::stat(store.filePath().c_str(), &after);
    EXPECT_NE(before.st_ino, after.st_ino);

    std::string seen(oldBytes.size() + 16, '\0');
    const ssize_t n = ::pread(oldFd, seen.data(), seen.size(), 0);
    ::close(oldFd);
    EXPECT_EQ(seen.substr(0, static_cast<std::size_t>(n)), oldBytes);

    // No temporary files are left behind.
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(storeFolder()))
    {
        ++entries;
        EXPECT_EQ(entry.path().filename(), SettingsStore::fileName);
    }
    EXPECT_EQ(entries, 1);
    EXPECT_EQ(after.st_mode & 0777, 0600u);
}

TEST_F(Store, FailedSaveKeepsThePreviousFileAndSaysWhy)
{
    SettingsStore store(storeFolder());
    const std::string before = readFile(store.filePath());
    EXPECT_FALSE(SettingsStore::writeAtomically(storeFolder() / "missing" / "x.json", "{}") == std::nullopt);
    // A folder in the file's place cannot be replaced by rename.
    const fs::path blocked = storeFolder() / "blocked";
    fs::create_directories(blocked / "inside");
    const auto failure = SettingsStore::writeAtomically(blocked, "{}");
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("cannot replace"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(blocked / "inside"));
    EXPECT_EQ(readFile(store.filePath()), before);
}

TEST_F(Store, OnboardedIsKeptAcrossSavesAndOtherKeysSurvive)
{
    writeFile(file(), R"({"clickory.defaultsVersion": 2, "x.other": [1, 2]})");
    {
        SettingsStore store(storeFolder());
        store.setOnboarded(true);
        store.update([](FeelSettings& s) { s.enabled = false; });
    }
    SettingsStore again(storeFolder());
    EXPECT_TRUE(again.onboarded());
    EXPECT_FALSE(again.settings().enabled);
    EXPECT_EQ(readDocument(again).at("x.other"), nlohmann::json({1, 2}));
}

TEST_F(Store, RecordStoredAsEncodedTextIsRead)
{
    FeelSettings settings;
    settings.mouseGain = 0.3;
    writeFile(file(), nlohmann::json{{SettingsStore::settingsKey, settings.encodeJSON()},
                                     {SettingsStore::versionKey, 2}}
                          .dump());
    SettingsStore store(storeFolder());
    EXPECT_EQ(store.settings().mouseGain, 0.3);
}

TEST(StoreFolder, FollowsXdgConfigHome)
{
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string keep = saved ? saved : "";
    ::setenv("XDG_CONFIG_HOME", "/srv/config", 1);
    EXPECT_EQ(SettingsStore::defaultFolder(), fs::path("/srv/config/clickory"));
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    const char* home = std::getenv("HOME");
    if (home && *home)
    {
        EXPECT_EQ(SettingsStore::defaultFolder(), fs::path(home) / ".config" / "clickory");
    }
    if (saved)
        ::setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace clickory
