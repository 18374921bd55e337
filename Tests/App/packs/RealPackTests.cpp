// SPDX-License-Identifier: MIT
// The real Mechvibes packs of the shared test data, read in place: each imports from its folder, its
// config.json and (where there is one) its .zip with the same result, and the engine then plays its
// keys with their own sounds.
#include "App/packs/PackInputs.h"
#include "ClickoryApp/engine/SoundEngine.h"
#include "ClickoryApp/packs/PackImporter.h"
#include "ClickoryApp/platform/OfflineAudioOutput.h"
#include "ClickoryApp/platform/ffmpeg/FfmpegSoundFileReader.h"
#include "ClickoryApp/platform/packimport/LinuxPackImporter.h"
#include "ClickoryCore/packs/MechvibesImport.h"
#include "ClickoryCore/profiles/Profiles.h"
#include "Fakes/FakeWorkQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace clickory {
namespace {

namespace fs = std::filesystem;
using namespace clickory::testing;

fs::path packsFolder()
{
    return fs::path(CLICKORY_SHARED_DIR) / "testdata" / "mechvibes";
}

struct RealPack
{
    std::string folder;
    std::string name; // the configuration's name
    bool hasZip;
};

class RealPackTest : public ::testing::TestWithParam<RealPack>
{
protected:
    void SetUp() override
    {
        const fs::path config = packsFolder() / GetParam().folder / "config.json";
        ASSERT_TRUE(fs::exists(config)) << "the real test pack is missing: " << config;
    }

    PackImporter importer() const { return PackImporter(temp.path / "library", linuxPackImportServices()); }

    // The record and the bytes of every file of the imported pack.
    std::pair<ImportedPack, std::map<std::string, std::string>> importFrom(const fs::path& from) const
    {
        const Expected<std::string> id = importer().importPack(from);
        EXPECT_TRUE(id.hasValue()) << from << ": " << (id ? "" : id.error());
        EXPECT_EQ(id ? id.value() : "", "imported:" + GetParam().folder);
        const fs::path folder = temp.path / "library" / GetParam().folder;
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(folder))
            files[entry.path().filename().string()] = readText(entry.path());
        Expected<ImportedPack> pack = decodeImportedPack(files["pack.json"]);
        EXPECT_TRUE(pack.hasValue());
        return {pack ? pack.value() : ImportedPack{}, files};
    }

    TempFolder temp;
};

TEST_P(RealPackTest, ImportsAlikeFromFolderConfigAndZipAndPlaysEachKeyWithItsOwnSound)
{
    const RealPack& real = GetParam();
    const fs::path folder = packsFolder() / real.folder;
    const auto fromFolder = importFrom(folder);
    const ImportedPack& pack = fromFolder.first;
    EXPECT_EQ(importFrom(folder / "config.json"), fromFolder);
    if (real.hasZip)
    {
        const fs::path zip = packsFolder() / (real.folder + ".zip");
        ASSERT_TRUE(fs::exists(zip)) << "the real test pack is missing: " << zip;
        EXPECT_EQ(importFrom(zip), fromFolder);
    }

    EXPECT_EQ(pack.id, real.folder);
    EXPECT_EQ(pack.name, real.name);
    EXPECT_EQ(pack.source, "a Mechvibes pack");
    EXPECT_EQ(pack.folder, (temp.path / "library" / real.folder).string());

    // Every key code of a definition whose sound exists has an entry; the file of a key is a short
    // 44 100 Hz WAV at the normalised level.
    const MechvibesImport::Config config = MechvibesImport::parse(readText(folder / "config.json")).value();
    std::set<std::string> expectedKeys;
    for (const auto& definition : config.definitions)
    {
        const auto* file = std::get_if<MechvibesImport::File>(&definition.source);
        if (file && !fs::exists(folder / file->name))
            continue;
        if (const auto code = MechvibesImport::macKeyCode(definition.scancode))
            expectedKeys.insert(std::to_string(*code));
    }
    std::set<std::string> keys;
    for (const auto& [key, files] : pack.perKey)
        keys.insert(key);
    EXPECT_EQ(keys, expectedKeys);
    EXPECT_GE(pack.fallback.size(), 3u);
    for (const std::string& file : pack.fallback)
    {
        const std::vector<float> samples = wavSamples(pack.folder + "/" + file);
        EXPECT_GE(samples.size(), PackImporter::minSamples);
        EXPECT_LE(samples.size(), 66150u);
        float peak = 0.0f;
        for (const float sample : samples)
            peak = std::max(peak, std::fabs(sample));
        EXPECT_NEAR(peak, 0.8f, 0.001f) << file;
    }

    // The engine builds a bank for every key of the pack and plays the key's own sound.
    OfflineAudioOutput output{48000.0};
    FakeWorkQueue queue;
    FfmpegSoundFileReader reader;
    SoundEngine engine(output, queue, reader, std::nullopt);
    engine.setLogger([](const std::string&) {});
    ASSERT_EQ(engine.start(), std::nullopt);
    engine.load("imported:" + pack.id, ScrollStyle::softTick, std::nullopt);
    queue.runPending();
    EXPECT_EQ(engine.keyBanks().size(), pack.perKey.size());

    const auto played = [&](std::int64_t keyCode) -> std::vector<float> {
        output.pull(1);
        const std::int64_t player = engine.cursor();
        const std::int64_t before = engine.playedCount();
        engine.play(SoundRole::keyDown, 0.0, 1.0f, 0.0f, keyCode);
        queue.runPending();
        EXPECT_EQ(engine.playedCount(), before + 1) << keyCode;
        const PcmBufferPtr buffer = engine.pool().current(player);
        return buffer ? buffer->samples() : std::vector<float>{};
    };
    // Keys whose written files differ play different sounds (some packs use one recording under two
    // names, which then give identical files); a key without an entry plays a fallback sound.
    std::map<std::string, std::vector<float>> soundOfContent;
    for (const auto& [key, files] : pack.perKey)
    {
        ASSERT_EQ(files.size(), 1u) << key;
        const std::string content = readText(pack.folder + "/" + files[0]);
        if (soundOfContent.count(content))
            continue;
        std::vector<float> sound = played(std::stoll(key));
        EXPECT_FALSE(sound.empty()) << key;
        soundOfContent[content] = std::move(sound);
    }
    ASSERT_GE(soundOfContent.size(), 3u);
    std::set<std::vector<float>> distinct;
    for (const auto& [content, sound] : soundOfContent)
        distinct.insert(sound);
    EXPECT_EQ(distinct.size(), soundOfContent.size()) << "keys with different files play the same sound";
    EXPECT_FALSE(played(105).empty()); // F13: in no pack
}

INSTANTIATE_TEST_SUITE_P(Mechvibes, RealPackTest,
                         ::testing::Values(RealPack{"eg-oreo", "EG Oreo", false},
                                           RealPack{"holy-pandas", "pandas", true},
                                           RealPack{"nk-cream", "NK Cream (original by Ryan)", false}),
                         [](const auto& info) {
                             std::string name = info.param.folder;
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

TEST(RealPacks, NkCreamKeysWithOddFileNamesGetTheirOwnFiles)
{
    const fs::path folder = packsFolder() / "nk-cream";
    ASSERT_TRUE(fs::exists(folder / "config.json")) << "the real test pack is missing: " << folder;
    TempFolder temp;
    const PackImporter importer(temp.path / "library", linuxPackImportServices());
    ASSERT_TRUE(importer.importPack(folder).hasValue());
    const ImportedPack pack = decodeImportedPack(readText(temp.path / "library/nk-cream/pack.json")).value();
    // Scancode 58 names "caps lock.wav" (a space), 26 and 27 name "[.wav" and "].wav"; "a" is key code 0.
    const auto samplesOf = [&](std::int64_t keyCode) {
        EXPECT_EQ(pack.files(keyCode).size(), 1u) << keyCode;
        return wavSamples(pack.folder + "/" + pack.files(keyCode).front());
    };
    for (const auto& [keyCode, source] : std::vector<std::pair<std::int64_t, std::string>>{
             {57, "caps lock.wav"}, {33, "[.wav"}, {30, "].wav"}, {0, "a.wav"}, {11, "b.wav"}})
    {
        const std::optional<std::vector<float>> decoded = importer.decode(folder / source);
        ASSERT_TRUE(decoded.has_value()) << source;
        EXPECT_EQ(samplesOf(keyCode).size(), decoded->size()) << source;
    }
    EXPECT_NE(pack.files(0), pack.files(11));
    EXPECT_EQ(pack.files(105), pack.fallback);
}

} // namespace
} // namespace clickory
