// SPDX-License-Identifier: MIT
#include "ClickoryCore/profiles/ImportedPack.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace clickory {
namespace {

using nlohmann::json;

ImportedPack mechvibesPack()
{
    return ImportedPack{"eg-oreo",
                        "EG Oreo",
                        "/home/u/.local/share/Clickory/Imported/eg-oreo",
                        {{"0", {"k0.wav", "k1.wav"}}, {"49", {"k2.wav"}}, {"7", {}}},
                        {"k3.wav", "k4.wav", "k5.wav"},
                        "a Mechvibes pack"};
}

TEST(ImportedPackTests, filesForKeyCodeUsesTheKeysEntryOrTheFallback)
{
    const ImportedPack pack = mechvibesPack();
    EXPECT_EQ(pack.files(0), (std::vector<std::string>{"k0.wav", "k1.wav"}));
    EXPECT_EQ(pack.files(49), (std::vector<std::string>{"k2.wav"}));
    EXPECT_EQ(pack.files(1), (std::vector<std::string>{"k3.wav", "k4.wav", "k5.wav"}));
    EXPECT_EQ(pack.files(-1), pack.fallback);
    // An empty entry is the key's own answer: it does not fall back.
    EXPECT_TRUE(pack.files(7).empty());

    const ImportedPack folder{"my-sounds", "My Sounds", "/p", {}, {"k0.wav", "k1.wav"}, "a folder of sounds"};
    for (std::int64_t code : {0, 36, 49, 126}) {
        EXPECT_EQ(folder.files(code), folder.fallback);
    }
}

TEST(ImportedPackTests, jsonRoundTripKeepsEveryField)
{
    const ImportedPack pack = mechvibesPack();
    const json encoded = toJson(pack);
    for (const char* key : {"id", "name", "folder", "perKey", "fallback", "source"}) {
        EXPECT_TRUE(encoded.contains(key)) << key;
    }
    EXPECT_EQ(encoded.size(), 6u);
    EXPECT_EQ(encoded["perKey"]["0"], json({"k0.wav", "k1.wav"}));

    const Expected<ImportedPack> decoded = decodeImportedPack(encodeImportedPack(pack));
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(*decoded, pack);
    EXPECT_EQ(encodeImportedPack(pack).find('\n'), std::string::npos) << "compact text";
}

TEST(ImportedPackTests, decodingReadsAStoredRecordAndIgnoresUnknownKeys)
{
    const Expected<ImportedPack> decoded = decodeImportedPack(R"({
        "id": "nk-cream", "name": "NK Cream", "folder": "/old/place/nk-cream",
        "perKey": {"0": ["k0.wav"], "12": ["k1.wav", "k2.wav"]}, "fallback": [],
        "source": "a Mechvibes pack", "version": 2})");
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(decoded->id, "nk-cream");
    EXPECT_EQ(decoded->folder, "/old/place/nk-cream");
    EXPECT_EQ(decoded->files(12), (std::vector<std::string>{"k1.wav", "k2.wav"}));
    EXPECT_TRUE(decoded->files(13).empty());
}

TEST(ImportedPackTests, everyKeyIsRequired)
{
    const json full = toJson(mechvibesPack());
    for (const char* key : {"id", "name", "folder", "perKey", "fallback", "source"}) {
        json partial = full;
        partial.erase(key);
        const Expected<ImportedPack> decoded = importedPackFromJson(partial);
        ASSERT_FALSE(decoded) << key;
        EXPECT_NE(decoded.error().find(key), std::string::npos) << decoded.error();
    }
}

TEST(ImportedPackTests, valuesOfTheWrongTypeMakeTheRecordUnreadable)
{
    const json full = toJson(mechvibesPack());
    const std::vector<std::pair<const char*, json>> wrong = {
        {"id", 5},
        {"name", nullptr},
        {"folder", json::array()},
        {"source", true},
        {"perKey", json::array({"k0.wav"})},
        {"perKey", json{{"0", "k0.wav"}}},
        {"perKey", json{{"0", json::array({1, 2})}}},
        {"fallback", "k0.wav"},
        {"fallback", json::array({"k0.wav", 3})},
    };
    for (const auto& [key, value] : wrong) {
        json broken = full;
        broken[key] = value;
        EXPECT_FALSE(importedPackFromJson(broken)) << key << " = " << value.dump();
    }
    EXPECT_FALSE(importedPackFromJson(json::array()));
    EXPECT_FALSE(decodeImportedPack(""));
    EXPECT_FALSE(decodeImportedPack("{\"id\": \"x\""));
    EXPECT_FALSE(decodeImportedPack(std::string(100, '[')));
}

TEST(ImportedPackTests, namesThatLeaveThePacksFolderAreRefused)
{
    const json full = toJson(mechvibesPack());
    const std::vector<std::pair<const char*, json>> unsafe = {
        {"id", ""},
        {"id", ".."},
        {"id", "../other"},
        {"fallback", json::array({"../../secret.wav"})},
        {"fallback", json::array({"/etc/passwd"})},
        {"fallback", json::array({""})},
        {"perKey", json{{"0", json::array({"sub\\k0.wav"})}}},
        {"perKey", json{{"0", json::array({".."})}}},
    };
    for (const auto& [key, value] : unsafe) {
        json broken = full;
        broken[key] = value;
        const Expected<ImportedPack> decoded = importedPackFromJson(broken);
        EXPECT_FALSE(decoded) << key << " = " << value.dump();
    }
    // Names with dots and odd characters inside the folder are fine.
    json odd = full;
    odd["fallback"] = json::array({"k0.wav", "[.wav", "a b..wav"});
    EXPECT_TRUE(importedPackFromJson(odd));
}

} // namespace
} // namespace clickory
