// SPDX-License-Identifier: MIT
#include "ClickoryCore/samples/SampleManifest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace clickory {
namespace {

using Source = SampleManifest::Source;

std::string source(const std::string& title, const std::string& url)
{
    return R"({"title": ")" + title + R"(", "author": "A", "url": ")" + url + R"(", "license": "CC0"})";
}

// A complete manifest with every optional key present.
const std::string fullManifest = R"({
    "version": 2,
    "packs": {
        "typewriter": {
            "name": "Typewriter",
            "roles": {"keyDown": ["tw/down1.wav", "tw/down2.wav"], "keyUp": ["tw/up.wav"]},
            "sources": [)" + source("Keys", "https://a.example/keys") +
                                 R"(],
            "silent": ["modifierUp", "scrollTick"],
            "gain": 0.8,
            "pitchBins": [-1, 0, 1.5],
            "pitchScale": 0.5,
            "mouseFromKeys": true,
            "comment": "unknown keys are ignored"
        }
    },
    "mouse": {
        "roles": {"mouseDown": ["mouse/down.wav"], "mouseUp": ["mouse/up.wav", "mouse/up2.wav"]},
        "sources": [)" + source("Mouse", "https://a.example/mouse") +
                                 R"(]
    },
    "scroll": {
        "brush": {"files": ["scroll/brush1.wav"], "gain": 0.6, "sources": [)" +
                                 source("Brush", "https://a.example/brush") + R"(]}
    }
})";

TEST(SampleManifestDecode, ReadsEveryKeyOfAFullManifest)
{
    auto manifest = SampleManifest::decode(fullManifest);
    ASSERT_TRUE(manifest.has_value());
    EXPECT_EQ(manifest->version, 2);
    ASSERT_EQ(manifest->packs.size(), 1u);
    const SampleManifest::Pack& pack = manifest->packs.at("typewriter");
    EXPECT_EQ(pack.name, "Typewriter");
    EXPECT_EQ(pack.roles.at("keyDown"), (std::vector<std::string>{"tw/down1.wav", "tw/down2.wav"}));
    EXPECT_EQ(pack.sources, (std::vector<Source>{{"Keys", "A", "https://a.example/keys", "CC0"}}));
    EXPECT_EQ(pack.silent, (std::vector<SoundRole>{SoundRole::modifierUp, SoundRole::scrollTick}));
    EXPECT_EQ(pack.gain, 0.8);
    EXPECT_EQ(pack.pitchBins, (std::vector<double>{-1.0, 0.0, 1.5}));
    EXPECT_EQ(pack.pitchScale, 0.5);
    EXPECT_EQ(pack.mouseFromKeys, true);
    ASSERT_TRUE(manifest->mouse.has_value());
    EXPECT_EQ(manifest->mouse->roles.at("mouseUp"), (std::vector<std::string>{"mouse/up.wav", "mouse/up2.wav"}));
    ASSERT_TRUE(manifest->scroll.has_value());
    const SampleManifest::ScrollSet& brush = manifest->scroll->at("brush");
    EXPECT_EQ(brush.files, (std::vector<std::string>{"scroll/brush1.wav"}));
    EXPECT_EQ(brush.gain, 0.6);
    EXPECT_EQ(brush.sources.at(0).title, "Brush");
}

TEST(SampleManifestDecode, OptionalKeysMayBeAbsentOrNull)
{
    const std::string minimal = R"({"version": 1, "packs": {"p": {"name": "P", "roles": {}, "sources": []}}})";
    auto manifest = SampleManifest::decode(minimal);
    ASSERT_TRUE(manifest.has_value());
    EXPECT_FALSE(manifest->mouse.has_value());
    EXPECT_FALSE(manifest->scroll.has_value());
    const SampleManifest::Pack& pack = manifest->packs.at("p");
    EXPECT_FALSE(pack.silent || pack.gain || pack.pitchBins || pack.pitchScale || pack.mouseFromKeys);

    const std::string nulls = R"({"version": 1, "mouse": null, "scroll": null, "packs": {"p": {"name": "P",
        "roles": {}, "sources": [], "silent": null, "gain": null, "pitchBins": null, "pitchScale": null,
        "mouseFromKeys": null}}})";
    EXPECT_EQ(SampleManifest::decode(nulls), manifest);
    EXPECT_TRUE(SampleManifest::decode(R"({"version": 1, "packs": {}})").has_value());
}

TEST(SampleManifestDecode, AMissingOrMistypedRequiredKeyFailsTheWholeManifest)
{
    const std::string pack = R"("p": {"name": "P", "roles": {}, "sources": []})";
    struct Case
    {
        std::string json;
        std::string problemKey; // the key the error must name
    };
    const std::vector<Case> cases = {
        {R"({"packs": {)" + pack + "}}", "version"},
        {R"({"version": 1})", "packs"},
        {R"({"version": null, "packs": {}})", "version"},
        {R"({"version": "1", "packs": {}})", "version"},
        {R"({"version": 1.5, "packs": {}})", "version"},
        {R"({"version": 1, "packs": []})", "packs"},
        {R"({"version": 1, "packs": {"p": {"name": "P", "roles": {}}}})", "packs.p.sources"},
        {R"({"version": 1, "packs": {"p": {"roles": {}, "sources": []}}})", "packs.p.name"},
        {R"({"version": 1, "packs": {"p": {"name": "P", "sources": []}}})", "packs.p.roles"},
        {R"({"version": 1, "packs": {"p": {"name": "P", "roles": {"keyDown": "a.wav"}, "sources": []}}})",
         "packs.p.roles.keyDown"},
        {R"({"version": 1, "packs": {"p": {"name": "P", "roles": {"keyDown": ["a", 3]}, "sources": []}}})",
         "packs.p.roles.keyDown[1]"},
        {R"({"version": 1, "packs": {"p": {"name": "P", "roles": {}, "sources": [{"title": "t", "author": "a",
         "url": "u"}]}}})",
         "packs.p.sources[0].license"},
        {R"({"version": 1, "packs": {"p": {"name": "P", "roles": {}, "sources": [], "gain": "loud"}}})",
         "packs.p.gain"},
        {R"({"version": 1, "packs": {"p": {"name": "P", "roles": {}, "sources": [], "silent": ["purr"]}}})",
         "packs.p.silent[0]"},
        {R"({"version": 1, "packs": {"p": {"name": "P", "roles": {}, "sources": [], "mouseFromKeys": 1}}})",
         "packs.p.mouseFromKeys"},
        {R"({"version": 1, "packs": {}, "mouse": {"roles": {}}})", "mouse.sources"},
        {R"({"version": 1, "packs": {}, "scroll": {"sand": {"files": [], "sources": []}}})", "scroll.sand.gain"},
        {R"({"version": 1, "packs": {}, "scroll": []})", "scroll"},
    };
    for (const Case& c : cases) {
        auto parsed = SampleManifest::parse(c.json);
        ASSERT_FALSE(parsed.hasValue()) << c.json;
        EXPECT_NE(parsed.error().find("\"" + c.problemKey + "\""), std::string::npos)
            << c.json << "\n-> " << parsed.error();
        EXPECT_FALSE(SampleManifest::decode(c.json).has_value());
    }
}

TEST(SampleManifestDecode, AnIntegralFloatIsAVersionAndAnIntegerIsAGain)
{
    auto manifest = SampleManifest::decode(
        R"({"version": 3.0, "packs": {"p": {"name": "P", "roles": {}, "sources": [], "gain": 2}}})");
    ASSERT_TRUE(manifest.has_value());
    EXPECT_EQ(manifest->version, 3);
    EXPECT_EQ(manifest->packs.at("p").gain, 2.0);
}

TEST(SampleManifestDecode, BrokenOrHostileBytesGiveNothing)
{
    EXPECT_FALSE(SampleManifest::decode("").has_value());
    EXPECT_FALSE(SampleManifest::decode("[1, 2]").has_value());
    EXPECT_FALSE(SampleManifest::decode(R"({"version": 1, "packs": {})").has_value());
    EXPECT_FALSE(SampleManifest::decode("{\"version\": 1, \"packs\": {}, \"x\": \"\xff\xfe\"}").has_value());
    // Nesting far beyond any manifest fails before the parser can recurse into it.
    std::string deep =
        R"({"version": 1, "packs": {}, "x": )" + std::string(100000, '[') + std::string(100000, ']') + "}";
    auto parsed = SampleManifest::parse(deep);
    ASSERT_FALSE(parsed.hasValue());
    EXPECT_NE(parsed.error().find("nested"), std::string::npos) << parsed.error();
}

class TempFolder
{
public:
    TempFolder()
    {
        std::random_device device;
        path = std::filesystem::temp_directory_path() / ("clickory-samples-" + std::to_string(device()));
        std::filesystem::create_directories(path);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    void write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(path / name, std::ios::binary) << bytes;
    }
    std::filesystem::path path;
};

TEST(SampleManifestLoad, ReadsManifestJsonFromTheFolder)
{
    TempFolder folder;
    folder.write("manifest.json", fullManifest);
    EXPECT_EQ(SampleManifest::load(folder.path), SampleManifest::decode(fullManifest));
    EXPECT_TRUE(SampleManifest::load(folder.path).has_value());
}

TEST(SampleManifestLoad, MissingUnreadableOrInvalidGivesNothing)
{
    TempFolder folder;
    EXPECT_FALSE(SampleManifest::load(folder.path).has_value());                    // no file
    EXPECT_FALSE(SampleManifest::load(folder.path / "does-not-exist").has_value()); // no folder
    folder.write("manifest.json", R"({"version": 1})");
    EXPECT_FALSE(SampleManifest::load(folder.path).has_value());
    folder.write("manifest.json", "not json");
    EXPECT_FALSE(SampleManifest::load(folder.path).has_value());

    // A folder in place of the file.
    TempFolder other;
    std::filesystem::create_directory(other.path / "manifest.json");
    EXPECT_FALSE(SampleManifest::load(other.path).has_value());
}

TEST(SampleManifestLoad, AnOversizedFileIsRefused)
{
    TempFolder folder;
    // Valid JSON, padded with whitespace past the limit.
    std::string padded = R"({"version": 1, "packs": {}})";
    padded.append(sampleManifestMaxBytes, ' ');
    folder.write("manifest.json", padded);
    EXPECT_FALSE(SampleManifest::load(folder.path).has_value());
}

TEST(SampleManifestLookups, FilesAndMouseFilesByRole)
{
    auto manifest = SampleManifest::decode(fullManifest);
    ASSERT_TRUE(manifest.has_value());
    EXPECT_EQ(manifest->files("typewriter", SoundRole::keyUp), (std::vector<std::string>{"tw/up.wav"}));
    EXPECT_TRUE(manifest->files("typewriter", SoundRole::spaceDown).empty()); // role not listed
    EXPECT_TRUE(manifest->files("nonexistent", SoundRole::keyDown).empty());  // unknown pack
    EXPECT_EQ(manifest->mouseFiles(SoundRole::mouseDown), (std::vector<std::string>{"mouse/down.wav"}));
    EXPECT_TRUE(manifest->mouseFiles(SoundRole::mouseRightDown).empty());

    auto noMouse = SampleManifest::decode(R"({"version": 1, "packs": {}})");
    ASSERT_TRUE(noMouse.has_value());
    EXPECT_TRUE(noMouse->mouseFiles(SoundRole::mouseDown).empty());
}

TEST(SampleManifestSources, OrderedByPackIdThenMouseThenScrollStyleWithEachUrlOnce)
{
    // Keys in the JSON are deliberately out of order.
    const std::string json = R"({"version": 1,
        "scroll": {
            "sand": {"files": [], "gain": 1, "sources": [)" +
                             source("Sand", "u:sand") + "," + source("Mouse again", "u:mouse") + R"(]},
            "brush": {"files": [], "gain": 1, "sources": [)" +
                             source("Brush", "u:brush") + R"(]}
        },
        "mouse": {"roles": {}, "sources": [)" +
                             source("Mouse", "u:mouse") + "," + source("Shared late", "u:shared") + R"(]},
        "packs": {
            "zeta": {"name": "Z", "roles": {}, "sources": [)" +
                             source("Zeta", "u:zeta") + "," + source("Shared in zeta", "u:shared") + R"(]},
            "alpha": {"name": "A", "roles": {}, "sources": [)" +
                             source("Shared", "u:shared") + "," + source("Alpha", "u:alpha") + "," +
                             source("Alpha twice", "u:alpha") + R"(]}
        }})";
    auto manifest = SampleManifest::decode(json);
    ASSERT_TRUE(manifest.has_value());
    std::vector<std::string> titles;
    for (const Source& s : manifest->allSources()) {
        titles.push_back(s.title);
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Shared", "Alpha", "Zeta", "Mouse", "Brush", "Sand"}));
}

} // namespace
} // namespace clickory
