// SPDX-License-Identifier: MIT
#include "ClickoryCore/packs/MechvibesImport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace clickory {
namespace {

namespace MV = MechvibesImport;

const std::string slicesWithoutSound = "The pack slices a sound file but names none.";

MV::Config parsed(const std::string& json)
{
    auto result = MV::parse(json);
    EXPECT_TRUE(result.hasValue()) << json << "\n-> " << (result ? "" : result.error());
    return result ? *result : MV::Config{};
}

std::string failureOf(const std::string& json)
{
    auto result = MV::parse(json);
    EXPECT_FALSE(result.hasValue()) << json;
    return result ? "" : result.error();
}

std::vector<std::int64_t> scancodes(const MV::Config& config)
{
    std::vector<std::int64_t> out;
    for (const auto& d : config.definitions) {
        out.push_back(d.scancode);
    }
    return out;
}

TEST(MechvibesParse, NameIdAndSoundFile)
{
    EXPECT_EQ(parsed(R"({"name": "X", "defines": {"30": "a.wav"}})"),
              (MV::Config{"X", "X", std::nullopt, {{30, MV::File{"a.wav"}}}}));

    MV::Config unnamed = parsed(R"({"defines": {"30": "a.wav"}})");
    EXPECT_EQ(unnamed.name, "Imported pack");
    EXPECT_EQ(unnamed.id, "Imported pack");

    // Values that are not text count as missing.
    MV::Config mistyped = parsed(R"({"id": 7, "name": ["n"], "sound": 3, "defines": {"30": "a.wav"}})");
    EXPECT_EQ(mistyped.id, "Imported pack");
    EXPECT_EQ(mistyped.name, "Imported pack");
    EXPECT_EQ(mistyped.soundFile, std::nullopt);

    MV::Config full = parsed(R"({"id": "i", "name": "n", "sound": "s.ogg", "defines": {"1": [0, 10]}})");
    EXPECT_EQ(full.id, "i");
    EXPECT_EQ(full.soundFile, "s.ogg");
}

TEST(MechvibesParse, DefineKeysAreSignedDecimalIntegers)
{
    MV::Config config = parsed(R"({"defines": {"+30": "plus.wav", "-5": "minus.wav", "007": "zeros.wav",
        " 30": "space.wav", "30 ": "trailing.wav", "30a": "letter.wav", "": "empty.wav", "+": "sign.wav",
        "-": "sign.wav", "+-3": "signs.wav", "3.0": "dot.wav", "0x1E": "hex.wav", "14-up": "release.wav",
        "99999999999999999999": "huge.wav", "-9223372036854775808": "lowest.wav",
        "9223372036854775807": "highest.wav"}})");
    EXPECT_EQ(config.definitions, (std::vector<MV::Definition>{
                                      {INT64_MIN, MV::File{"lowest.wav"}},
                                      {-5, MV::File{"minus.wav"}},
                                      {7, MV::File{"zeros.wav"}},
                                      {30, MV::File{"plus.wav"}},
                                      {INT64_MAX, MV::File{"highest.wav"}},
                                  }));
}

TEST(MechvibesParse, DefineValuesByShape)
{
    MV::Config config = parsed(R"({"sound": "s.ogg", "defines": {
        "1": [120, 80], "2": [1.5, 2.25, "extra", null], "3": "file.wav",
        "4": [120], "5": ["120", 80], "6": [120, "80"], "7": null, "8": 42, "9": {"a": 1}, "10": [], "11": true}})");
    EXPECT_EQ(config.definitions, (std::vector<MV::Definition>{
                                      {1, MV::Slice{120, 80}},
                                      {2, MV::Slice{1.5, 2.25}},
                                      {3, MV::File{"file.wav"}},
                                  }));
}

TEST(MechvibesParse, TheThreeFailures)
{
    const std::string notJSON(MV::message(MV::Failure::notJSON));
    const std::string noDefinitions(MV::message(MV::Failure::noDefinitions));
    EXPECT_EQ(MV::message(MV::Failure::unsupported), slicesWithoutSound);
    EXPECT_NE(notJSON, noDefinitions);

    for (const char* bytes : {"", "not json", "[1, 2]", "\"text\"", "42", "null", "{\"defines\": {}"}) {
        EXPECT_EQ(failureOf(bytes), notJSON) << bytes;
    }
    EXPECT_EQ(failureOf(std::string(1000, '[') + std::string(1000, ']')), notJSON);

    EXPECT_EQ(failureOf(R"({"name": "n"})"), noDefinitions);
    EXPECT_EQ(failureOf(R"({"defines": ["a.wav", "b.wav"]})"), noDefinitions);
    EXPECT_EQ(failureOf(R"({"defines": "a.wav"})"), noDefinitions);
    EXPECT_EQ(failureOf(R"({"defines": {}})"), noDefinitions);
    EXPECT_EQ(failureOf(R"({"defines": {"x": "a.wav", "1": null, "2": [3]}})"), noDefinitions);

    EXPECT_EQ(failureOf(R"({"defines": {"1": [0, 100], "2": "b.wav"}})"), slicesWithoutSound);
    EXPECT_EQ(failureOf(R"({"sound": null, "defines": {"1": [0, 100]}})"), slicesWithoutSound);
    EXPECT_TRUE(MV::parse(R"({"sound": "s.ogg", "defines": {"1": [0, 100], "2": "b.wav"}})").hasValue());
    // No slice: files alone need no sound file.
    EXPECT_TRUE(MV::parse(R"({"defines": {"2": "b.wav"}})").hasValue());
}

TEST(MechvibesParse, SortedByScancodeStably)
{
    EXPECT_EQ(scancodes(parsed(R"({"defines": {"57": "s.wav", "1": "e.wav", "30": "a.wav"}})")),
              (std::vector<std::int64_t>{1, 30, 57}));
    // Numeric order, not text order; "30" and "+30" are both 30 and keep their reading order.
    MV::Config config = parsed(R"({"defines": {"100": "c.wav", "9": "b.wav", "30": "x.wav", "+30": "y.wav",
        "-1": "a.wav"}})");
    EXPECT_EQ(scancodes(config), (std::vector<std::int64_t>{-1, 9, 30, 30, 100}));
    auto firstOfThirty = std::get<MV::File>(config.definitions[2].source).name;
    auto secondOfThirty = std::get<MV::File>(config.definitions[3].source).name;
    EXPECT_NE(firstOfThirty, secondOfThirty);
    // Parsing is deterministic, so the tie keeps one order every time.
    EXPECT_EQ(MV::parse(R"({"defines": {"100": "c.wav", "9": "b.wav", "30": "x.wav", "+30": "y.wav",
        "-1": "a.wav"}})")
                  ->definitions,
              config.definitions);
}

TEST(MechvibesParse, UnreadKeysOfRealPacksAreIgnored)
{
    MV::Config config = parsed(R"({"id": "i", "name": "n", "key_define_type": "single", "includes_numpad": false,
        "tags": ["a", {"b": [1, 2]}], "version": 2, "config_version": "2", "soundup": "up.mp3",
        "sound": "s.ogg", "defines": {"30": [10, 20]}})");
    EXPECT_EQ(config, (MV::Config{"i", "n", "s.ogg", {{30, MV::Slice{10, 20}}}}));
}

TEST(MechvibesKeyCodes, TableSpotChecksByKeyName)
{
    struct Key
    {
        const char* name;
        std::int64_t scancode;
        std::uint16_t mac;
    };
    // PC set-1 scan codes and the macOS virtual key codes of the same physical keys.
    const Key keys[] = {
        {"Escape", 1, 53},
        {"1", 2, 18},
        {"0", 11, 29},
        {"Backspace", 14, 51},
        {"Tab", 15, 48},
        {"Q", 16, 12},
        {"Return", 28, 36},
        {"Left Control", 29, 59},
        {"A", 30, 0},
        {"S", 31, 1},
        {"Left Shift", 42, 56},
        {"Backslash", 43, 42},
        {"Z", 44, 6},
        {"Slash", 53, 44},
        {"Right Shift", 54, 60},
        {"Keypad *", 55, 67},
        {"Left Option", 56, 58},
        {"Space", 57, 49},
        {"Caps Lock", 58, 57},
        {"F1", 59, 122},
        {"F10", 68, 109},
        {"F11", 87, 103},
        {"F12", 88, 111},
        {"Keypad Enter", 0x0E1C, 76},
        {"Right Control", 0x0E1D, 62},
        {"Keypad /", 0x0E35, 75},
        {"Right Option", 0x0E38, 61},
        {"Home", 0x0E47, 115},
        {"Page Up", 0x0E49, 116},
        {"End", 0x0E4F, 119},
        {"Page Down", 0x0E51, 121},
        {"Insert/Help", 0x0E52, 114},
        {"Delete", 0x0E53, 117},
        {"Left Command", 0x0E5B, 55},
        {"Right Command", 0x0E5C, 54},
        {"Up", 57416, 126},
        {"Left", 57419, 123},
        {"Right", 57421, 124},
        {"Down", 57424, 125},
    };
    for (const Key& key : keys) {
        EXPECT_EQ(MV::macKeyCode(key.scancode), key.mac) << key.name;
    }
    for (std::int64_t absent : {0, -5, 69, 83, 86, 89, 100, 3597, 3639, 3677, 57415, 60999, 0xEE48}) {
        EXPECT_EQ(MV::macKeyCode(absent), std::nullopt) << absent;
    }
}

TEST(MechvibesKeyCodes, TableHasEveryEntryOnceAndEveryMacCodeOnce)
{
    ASSERT_EQ(MV::scancodeToMac.size(), 86u);
    std::set<std::int64_t> scancodes;
    std::set<std::uint16_t> macCodes;
    for (const auto& [scancode, mac] : MV::scancodeToMac) {
        scancodes.insert(scancode);
        macCodes.insert(mac);
        EXPECT_EQ(MV::macKeyCode(scancode), mac) << scancode;
    }
    EXPECT_EQ(scancodes.size(), 86u);
    EXPECT_EQ(macCodes.size(), 86u); // no two keys land on the same macOS key
}

std::optional<std::string> fileName(const MV::Definition& d)
{
    if (const auto* file = std::get_if<MV::File>(&d.source)) {
        return file->name;
    }
    const auto& slice = std::get<MV::Slice>(d.source);
    return "slice-" + std::to_string(static_cast<long long>(slice.startMs)) + ".wav";
}

TEST(MechvibesPerKeyMap, FilesByMacKeyCodeAndAllFilesInOrder)
{
    MV::Config config = parsed(R"({"defines": {"30": "a.wav", "57416": "up.wav", "100": "unknown.wav",
        "+30": "a2.wav", "31": "s.wav", "2": "skip.wav"}})");
    auto map = MV::perKeyMap(config, [](const MV::Definition& d) -> std::optional<std::string> {
        if (d.scancode == 2) {
            return std::nullopt;
        }
        return fileName(d);
    });
    EXPECT_EQ(map.perKey, (std::map<std::string, std::vector<std::string>>{
                              {"0", {"a2.wav", "a.wav"}}, {"1", {"s.wav"}}, {"126", {"up.wav"}}}));
    EXPECT_EQ(map.all, (std::vector<std::string>{"a2.wav", "a.wav", "s.wav", "unknown.wav", "up.wav"}));

    auto none = MV::perKeyMap(config, [](const MV::Definition&) { return std::optional<std::string>(); });
    EXPECT_TRUE(none.perKey.empty());
    EXPECT_TRUE(none.all.empty());
}

TEST(MechvibesPerKeyMap, SharedFilesStayDuplicated)
{
    MV::Config config = parsed(R"({"defines": {"16": "q.wav", "41": "q.wav"}})");
    auto map = MV::perKeyMap(config, fileName);
    EXPECT_EQ(map.all, (std::vector<std::string>{"q.wav", "q.wav"}));
    EXPECT_EQ(map.perKey.at("12"), (std::vector<std::string>{"q.wav"}));
    EXPECT_EQ(map.perKey.at("50"), (std::vector<std::string>{"q.wav"}));
}

// The real packs beside the repository.
std::string readPack(const std::string& pack)
{
    const std::filesystem::path path =
        std::filesystem::path(CLICKORY_SHARED_DIR) / "testdata/mechvibes" / pack / "config.json";
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        ADD_FAILURE() << "cannot read the test pack " << path
                      << " (set CLICKORY_SHARED_DIR to the folder that holds testdata/mechvibes)";
        return {};
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

TEST(MechvibesRealPacks, EveryConfigParses)
{
    const std::filesystem::path folder = std::filesystem::path(CLICKORY_SHARED_DIR) / "testdata/mechvibes";
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << "missing test packs folder " << folder;
    int count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.path().filename() != "config.json") {
            continue;
        }
        ++count;
        std::ifstream file(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        auto config = MV::parse(bytes.str());
        EXPECT_TRUE(config.hasValue()) << entry.path() << ": " << (config ? "" : config.error());
    }
    EXPECT_GE(count, 3);
}

TEST(MechvibesRealPacks, SingleFileSlicePack)
{
    auto config = MV::parse(readPack("eg-oreo"));
    ASSERT_TRUE(config.hasValue()) << config.error();
    EXPECT_EQ(config->id, "custom-sound-pack-1605532336205");
    EXPECT_EQ(config->name, "EG Oreo");
    EXPECT_EQ(config->soundFile, "oreo.ogg");
    ASSERT_EQ(config->definitions.size(), 114u); // 118 defines, 4 of them null
    EXPECT_EQ(config->definitions.front(), (MV::Definition{1, MV::Slice{971, 142}}));
    EXPECT_EQ(config->definitions.back().scancode, 61011);
    for (std::size_t i = 1; i < config->definitions.size(); ++i) {
        EXPECT_LT(config->definitions[i - 1].scancode, config->definitions[i].scancode);
        EXPECT_TRUE(std::holds_alternative<MV::Slice>(config->definitions[i].source));
    }
    auto thirty = std::find_if(config->definitions.begin(), config->definitions.end(),
                               [](const MV::Definition& d) { return d.scancode == 30; });
    ASSERT_NE(thirty, config->definitions.end());
    EXPECT_EQ(thirty->source, (MV::Source{MV::Slice{11171, 109}}));

    auto map = MV::perKeyMap(*config, fileName);
    EXPECT_EQ(map.all.size(), 114u);
    EXPECT_EQ(map.perKey.at("0"), (std::vector<std::string>{"slice-11171.wav"})); // A
    EXPECT_EQ(map.perKey.at("53"), (std::vector<std::string>{"slice-971.wav"}));  // Escape
    // The pack defines every key of the table.
    EXPECT_EQ(map.perKey.size(), 86u);
    for (const auto& [scancode, mac] : MV::scancodeToMac) {
        EXPECT_EQ(map.perKey.count(std::to_string(mac)), 1u) << scancode;
    }
}

TEST(MechvibesRealPacks, MultiFileWavPack)
{
    auto config = MV::parse(readPack("nk-cream"));
    ASSERT_TRUE(config.hasValue()) << config.error();
    EXPECT_EQ(config->name, "NK Cream (original by Ryan)");
    EXPECT_EQ(config->soundFile, "sound.ogg");
    ASSERT_EQ(config->definitions.size(), 114u);
    auto map = MV::perKeyMap(*config, fileName);
    EXPECT_EQ(map.perKey.at("0"), (std::vector<std::string>{"a.wav"}));          // A
    EXPECT_EQ(map.perKey.at("49"), (std::vector<std::string>{"space.wav"}));     // Space
    EXPECT_EQ(map.perKey.at("33"), (std::vector<std::string>{"[.wav"}));         // [
    EXPECT_EQ(map.perKey.at("57"), (std::vector<std::string>{"caps lock.wav"})); // Caps Lock
    EXPECT_EQ(map.perKey.at("36"), (std::vector<std::string>{"enter.wav"}));     // Return
    EXPECT_EQ(map.all.size(), 114u);
}

TEST(MechvibesRealPacks, VersionTwoPackSkipsReleaseEntries)
{
    auto config = MV::parse(readPack("holy-pandas"));
    ASSERT_TRUE(config.hasValue()) << config.error();
    EXPECT_EQ(config->name, "pandas");
    EXPECT_EQ(config->soundFile, "GENERIC_R{0-4}.mp3");
    EXPECT_EQ(config->definitions,
              (std::vector<MV::Definition>{
                  {14, MV::File{"BACKSPACE.mp3"}}, {28, MV::File{"ENTER.mp3"}}, {57, MV::File{"SPACE.mp3"}}}));
    auto map = MV::perKeyMap(*config, fileName);
    EXPECT_EQ(map.perKey, (std::map<std::string, std::vector<std::string>>{
                              {"51", {"BACKSPACE.mp3"}}, {"36", {"ENTER.mp3"}}, {"49", {"SPACE.mp3"}}}));
}

} // namespace
} // namespace clickory
