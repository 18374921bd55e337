// SPDX-License-Identifier: MIT
#include "App/packs/PackInputs.h"
#include "ClickoryApp/packs/PackImporter.h"
#include "ClickoryApp/platform/archive/LibarchiveExtractor.h"
#include "ClickoryApp/platform/packimport/LinuxPackImporter.h"
#include "ClickoryApp/platform/vorbis/StbVorbisDecoder.h"
#include "ClickoryCore/profiles/Profiles.h"

#include <gtest/gtest.h>

#include <cmath>

namespace clickory {
namespace {

namespace fs = std::filesystem;
using namespace clickory::testing;

std::string failureText(PackImporter::Failure failure)
{
    return std::string(PackImporter::errorDescription(failure));
}

class PackImporterTest : public ::testing::Test
{
protected:
    PackImporterTest()
    {
        services = linuxPackImportServices();
        services.temporaryDirectory = temp.path / "tmp";
        fs::create_directories(services.temporaryDirectory);
        importer().loadLibrary(); // the catalogue is shared by all tests: start from an empty library
    }

    PackImporter importer() const { return PackImporter(root(), services); }
    fs::path root() const { return temp.path / "library"; }
    fs::path input(const std::string& relative) const { return temp.path / "in" / relative; }

    Expected<std::string> import(const fs::path& from) const { return importer().importPack(from); }
    ImportedPack record(const std::string& slug) const
    {
        Expected<ImportedPack> pack = decodeImportedPack(readText(root() / slug / "pack.json"));
        EXPECT_TRUE(pack.hasValue()) << (pack ? "" : pack.error());
        return pack ? pack.value() : ImportedPack{};
    }
    // Every name directly in the library root and in the temporary folder.
    std::vector<std::string> leftovers() const
    {
        std::vector<std::string> names;
        for (const fs::path& folder : {root(), services.temporaryDirectory})
            if (fs::exists(folder))
                for (const auto& entry : fs::directory_iterator(folder))
                    names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder temp;
    PackImporter::Services services;
};

// ---- Slugs and names ----

TEST(PackImporterSteps, SlugsLowerCaseAndJoinRunsOfLettersAndDigits)
{
    EXPECT_EQ(PackImporter::slug("My Pack!"), "my-pack");
    EXPECT_EQ(PackImporter::slug("my-pack"), "my-pack");
    EXPECT_EQ(PackImporter::slug("MY  PACK"), "my-pack");
    EXPECT_EQ(PackImporter::slug("!?! ..."), "pack");
    EXPECT_EQ(PackImporter::slug(""), "pack");
    EXPECT_EQ(PackImporter::slug("--Cherry_MX  Blue (ABS)--"), "cherry-mx-blue-abs");
    EXPECT_EQ(PackImporter::slug("Ébène Clavier 2"), "ébène-clavier-2");
    // Bytes that are not UTF-8 separate like punctuation.
    EXPECT_EQ(PackImporter::slug("a\xff\xfe"
                                 "b"),
              "a-b");
}

TEST(PackImporterSteps, BaseNamesOfZipConfigAndFolder)
{
    EXPECT_EQ(PackImporter::baseName("/x/Holy Pandas.ZIP"), "Holy Pandas");
    EXPECT_EQ(PackImporter::baseName("/x/My Pack/config.json"), "My Pack");
    EXPECT_EQ(PackImporter::baseName("/x/My Pack/"), "My Pack");
    EXPECT_EQ(PackImporter::baseName("/x/My Pack"), "My Pack");
}

TEST(PackImporterSteps, DefaultLibraryRootFollowsXdgDataHome)
{
    EXPECT_EQ(PackImporter::defaultLibraryRoot("/data", "/home/u"), fs::path("/data/clickory/Imported"));
    EXPECT_EQ(PackImporter::defaultLibraryRoot("", "/home/u"), fs::path("/home/u/.local/share/clickory/Imported"));
    EXPECT_EQ(PackImporter::defaultLibraryRoot("relative", "/home/u"),
              fs::path("/home/u/.local/share/clickory/Imported"));
    EXPECT_EQ(PackImporter::defaultLibraryRoot(nullptr, nullptr), std::nullopt);
}

TEST(PackImporterSteps, NamesInAConfigurationStayInsideThePackFolder)
{
    EXPECT_EQ(PackImporter::fileInside("/p", "a.wav"), fs::path("/p/a.wav"));
    EXPECT_EQ(PackImporter::fileInside("/p", "sub/a.wav"), fs::path("/p/sub/a.wav"));
    EXPECT_EQ(PackImporter::fileInside("/p", "../a.wav"), std::nullopt);
    EXPECT_EQ(PackImporter::fileInside("/p", "sub/../../a.wav"), std::nullopt);
    EXPECT_EQ(PackImporter::fileInside("/p", "/etc/passwd"), std::nullopt);
    EXPECT_EQ(PackImporter::fileInside("/p", ""), std::nullopt);
}

// ---- Resampling and finishing ----

TEST(PackImporterSteps, ResamplesLinearlyTo44100)
{
    // A straight line stays a straight line: output i lies at input position i * 48000 / 44100.
    const std::vector<float> line = ramp(4800, 0.0f, 0.0001f);
    const std::vector<float> out = PackImporter::resample(line, 48000.0);
    ASSERT_EQ(out.size(), 4410u);
    const double ratio = 48000.0 / 44100.0;
    for (std::size_t i : {0u, 1u, 7u, 1000u, 4409u})
        EXPECT_NEAR(out[i], 0.0001 * ratio * static_cast<double>(i), 1e-5) << i;
    // Between two samples: a + (b - a) * fraction.
    const std::vector<float> step = PackImporter::resample({0.0f, 1.0f, 1.0f, 1.0f}, 88200.0);
    ASSERT_EQ(step.size(), 2u);
    EXPECT_FLOAT_EQ(step[1], 1.0f);
    const std::vector<float> up = PackImporter::resample({0.0f, 1.0f}, 22050.0);
    ASSERT_EQ(up.size(), 4u);
    EXPECT_FLOAT_EQ(up[1], 0.5f);
    EXPECT_FLOAT_EQ(up[3], 1.0f); // past the end the last sample is held
    // Fewer than two output samples: unchanged.
    EXPECT_EQ(PackImporter::resample({0.5f, 0.25f}, 96000.0), (std::vector<float>{0.5f, 0.25f}));
}

TEST(PackImporterSteps, FinishFadesTheEndAndNormalisesToPointEight)
{
    std::vector<float> two{0.5f, -0.25f}; // too short to fade
    PackImporter::finish(two);
    EXPECT_FLOAT_EQ(two[0], 0.8f);
    EXPECT_FLOAT_EQ(two[1], -0.4f);

    std::vector<float> six(600, 0.5f); // fades over min(200, 176) samples
    PackImporter::finish(six);
    EXPECT_FLOAT_EQ(six[423], 0.8f);
    EXPECT_FLOAT_EQ(six[424], 0.8f * 175.0f / 176.0f);
    EXPECT_FLOAT_EQ(six[598], 0.8f * 1.0f / 176.0f);
    EXPECT_EQ(six[599], 0.0f);

    std::vector<float> nine(9, -0.1f); // f = 3
    PackImporter::finish(nine);
    EXPECT_FLOAT_EQ(nine[5], -0.8f);
    EXPECT_FLOAT_EQ(nine[6], -0.8f * 2.0f / 3.0f);
    EXPECT_EQ(nine[8], 0.0f);

    std::vector<float> quiet{1e-5f, -1e-5f, 1e-5f, 1e-5f}; // at most 1e-5: not amplified
    PackImporter::finish(quiet);
    EXPECT_EQ(quiet[0], 1e-5f);
    EXPECT_EQ(quiet[1], -1e-5f);
}

// ---- The one-level configuration search ----

TEST_F(PackImporterTest, ConfigurationIsFoundAtMostOneLevelDown)
{
    writeText(input("top/config.json"), "{}");
    writeText(input("top/b/config.json"), "{}");
    EXPECT_EQ(PackImporter::findConfig(input("top")), input("top/config.json"));
    writeText(input("one/b/config.json"), "{}");
    writeText(input("one/a/x.txt"), "");
    writeText(input("one/c/config.json"), "{}");
    EXPECT_EQ(PackImporter::findConfig(input("one")), input("one/b/config.json"));
    writeText(input("two/a/b/config.json"), "{}");
    EXPECT_EQ(PackImporter::findConfig(input("two")), std::nullopt);
    EXPECT_EQ(PackImporter::findConfig(input("missing")), std::nullopt);
}

// ---- Folders of sounds ----

TEST_F(PackImporterTest, AFolderOfSixtyFilesGivesTheFirstFortyEightByPath)
{
    // File i lasts 100 + i samples, so each written file tells which source it came from.
    for (int i = 0; i < 60; ++i)
    {
        char name[32];
        std::snprintf(name, sizeof name, "%s/s%02d.WAV", i % 2 ? "b" : "a", i);
        writeWav(input("Sixty/" + std::string(name)), ramp(100 + static_cast<std::size_t>(i), 0.3f), 44100);
    }
    writeWav(input("Sixty/.hidden.wav"), ramp(50), 44100);
    writeWav(input("Sixty/.cache/x.wav"), ramp(50), 44100);
    writeText(input("Sixty/notes.txt"), "not audio");

    const Expected<std::string> id = import(input("Sixty"));
    ASSERT_TRUE(id.hasValue()) << id.error();
    EXPECT_EQ(id.value(), "imported:sixty");
    const ImportedPack pack = record("sixty");
    EXPECT_EQ(pack.name, "Sixty");
    EXPECT_EQ(pack.source, "a folder of sounds");
    EXPECT_TRUE(pack.perKey.empty());
    ASSERT_EQ(pack.fallback.size(), 48u);
    // Sorted by path: a/s00, a/s02 ... a/s58 (30 files), then b/s01 ... b/s35.
    for (std::size_t k = 0; k < 48; ++k)
    {
        EXPECT_EQ(pack.fallback[k], "k" + std::to_string(k) + ".wav");
        const std::size_t source = k < 30 ? 2 * k : 2 * (k - 30) + 1;
        EXPECT_EQ(wavSampleCount(root() / "sixty" / pack.fallback[k]), 100 + source) << k;
    }
    EXPECT_EQ(leftovers(), (std::vector<std::string>{"sixty"}));
}

TEST_F(PackImporterTest, FolderSoundsAreCutTo1point2sResampledFadedAndNormalised)
{
    writeWav(input("Mix/a-long.wav"), ramp(5 * 44100, 0.25f), 44100);
    writeWav(input("Mix/b-48k.wav"), ramp(48000, 0.2f), 48000);
    writeOgg(input("Mix/c-48k.ogg"), ramp(24000, 0.0f, 0.00002f), 48000);
    writeWav(input("Mix/d-tiny.wav"), ramp(8), 44100);      // below 9 samples: dropped
    writeText(input("Mix/e-broken.mp3"), "not an mp3 at all"); // cannot be decoded: skipped
    writeWav(input("Mix/f-silent.wav"), std::vector<float>(100, 0.0f), 44100);

    const Expected<std::string> id = import(input("Mix"));
    ASSERT_TRUE(id.hasValue()) << id.error();
    const ImportedPack pack = record("mix");
    ASSERT_EQ(pack.fallback, (std::vector<std::string>{"k0.wav", "k1.wav", "k2.wav", "k3.wav"}));
    const fs::path folder = root() / "mix";

    const std::vector<float> longOne = wavSamples(folder / "k0.wav");
    ASSERT_EQ(longOne.size(), 52920u); // 5 s cut to 1.2 s
    EXPECT_NEAR(longOne[0], 0.8f, 1e-4);
    EXPECT_EQ(longOne.back(), 0.0f);
    EXPECT_NEAR(longOne[52920 - 1 - 88], 0.8f * 88.0f / 176.0f, 1e-4);

    EXPECT_NEAR(static_cast<double>(wavSampleCount(folder / "k1.wav")), 44100.0, 2.0); // 1 s at 48 kHz
    EXPECT_NEAR(static_cast<double>(wavSampleCount(folder / "k2.wav")), 22050.0, 2.0); // 0.5 s Ogg at 48 kHz
    const std::vector<float> silent = wavSamples(folder / "k3.wav");
    ASSERT_EQ(silent.size(), 100u);
    EXPECT_EQ(*std::max_element(silent.begin(), silent.end()), 0.0f);
}

TEST_F(PackImporterTest, DecodeGivesMonoAt44100FromOggAndOtherFiles)
{
    // Stereo Ogg at 48 kHz: the mean of both channels, resampled linearly.
    writeOgg(input("s.ogg"), std::vector<float>(48000, 0.5f), 48000, {1.0f, 0.0f});
    const std::optional<std::vector<float>> ogg = importer().decode(input("s.ogg"));
    ASSERT_TRUE(ogg.has_value());
    // trunc(48000 / (48000 / 44100)) in doubles is 44099.
    EXPECT_EQ(ogg->size(), 44099u);
    EXPECT_NEAR((*ogg)[22050], 0.25f, 0.01f);

    writeWav(input("w.wav"), std::vector<float>(22050, -0.5f), 22050);
    const std::optional<std::vector<float>> wav = importer().decode(input("w.wav"));
    ASSERT_TRUE(wav.has_value());
    EXPECT_NEAR(static_cast<double>(wav->size()), 44100.0, 2.0);
    EXPECT_NEAR((*wav)[20000], -0.5f, 0.01f);

    EXPECT_EQ(importer().decode(input("missing.ogg")), std::nullopt);
    writeText(input("bad.ogg"), "OggS but not really");
    EXPECT_EQ(importer().decode(input("bad.ogg")), std::nullopt);
}

TEST_F(PackImporterTest, AnOggIsReadOnlyUpToTheTimeLimit)
{
    // 3 s at 8 kHz; the decoder stops at the limit instead of decoding the whole file.
    writeOgg(input("long.ogg"), std::vector<float>(24000, 0.3f), 8000);
    StbVorbisDecoder decoder;
    const std::optional<DecodedSound> limited = decoder.decode(input("long.ogg"), 1.0);
    ASSERT_TRUE(limited.has_value());
    EXPECT_EQ(limited->samples.size(), 8000u);
    EXPECT_EQ(limited->sampleRate, 8000.0);
    const std::optional<DecodedSound> whole = decoder.decode(input("long.ogg"), PackImporter::maxReadSeconds);
    ASSERT_TRUE(whole.has_value());
    EXPECT_NEAR(static_cast<double>(whole->samples.size()), 24000.0, 1024.0);
}

// ---- Mechvibes packs ----

TEST_F(PackImporterTest, OneSharedFileForEveryDefineIsWrittenOnce)
{
    writeWav(input("Shared/click.wav"), ramp(2000, 0.4f), 44100);
    writeText(input("Shared/config.json"),
              R"({"name": "Shared One", "defines": {"30": "click.wav", "57416": "click.wav", "1": "click.wav",
                  "100": "click.wav", "31": "missing.wav", "32": "../../outside.wav", "33": "/etc/passwd"}})");
    writeWav(temp.path / "outside.wav", ramp(2000), 44100);

    const Expected<std::string> id = import(input("Shared"));
    ASSERT_TRUE(id.hasValue()) << id.error();
    const ImportedPack pack = record("shared");
    EXPECT_EQ(pack.name, "Shared One");
    EXPECT_EQ(pack.source, "a Mechvibes pack");
    EXPECT_EQ(pack.fallback, (std::vector<std::string>{"k0.wav"}));
    const std::map<std::string, std::vector<std::string>> expected{
        {"0", {"k0.wav"}}, {"126", {"k0.wav"}}, {"53", {"k0.wav"}}};
    EXPECT_EQ(pack.perKey, expected);
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(root() / "shared"))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"k0.wav", "pack.json"}));
}

TEST_F(PackImporterTest, SlicesPastTheEndOrTooShortFallBackAndLongOnesAreCut)
{
    // 2 s of sound, each second recognisable by its level.
    std::vector<float> source = ramp(44100, 0.2f);
    const std::vector<float> second = ramp(44100, 0.6f);
    source.insert(source.end(), second.begin(), second.end());
    writeWav(input("Sliced/all.wav"), source, 44100);
    writeText(input("Sliced/config.json"), R"({"name": "Sliced", "sound": "all.wav", "defines": {
        "30": [0, 3000], "31": [0, 3000], "32": [2500, 100], "33": [1000, 0.1], "34": [1000, 100],
        "35": [-10, 100]}})");

    const Expected<std::string> id = import(input("Sliced"));
    ASSERT_TRUE(id.hasValue()) << id.error();
    const ImportedPack pack = record("sliced");
    // 30 and 31 share one slice; 32 starts past the end, 33 is 4 samples long, 35 starts before 0.
    const std::map<std::string, std::vector<std::string>> expected{{"0", {"k0.wav"}}, {"1", {"k0.wav"}},
                                                                   {"5", {"k1.wav"}}};
    EXPECT_EQ(pack.perKey, expected);
    EXPECT_EQ(pack.fallback, (std::vector<std::string>{"k0.wav", "k1.wav"}));
    EXPECT_EQ(pack.files(2), pack.fallback);
    EXPECT_EQ(wavSampleCount(root() / "sliced/k0.wav"), 66150u); // 3000 ms cut to 1500 ms
    EXPECT_EQ(wavSampleCount(root() / "sliced/k1.wav"), 4410u);
}

TEST_F(PackImporterTest, SlicesOfASoundFileOutsideThePackReadNothing)
{
    writeWav(temp.path / "secret.wav", ramp(44100), 44100);
    writeText(input("Escape/config.json"), R"({"sound": "../../secret.wav", "defines": {"30": [0, 100]}})");
    writeWav(input("Escape/own.wav"), ramp(500), 44100);
    // The configuration is valid, so the pack is a Mechvibes pack, and none of its slices can be made.
    const Expected<std::string> id = import(input("Escape"));
    ASSERT_FALSE(id.hasValue());
    EXPECT_EQ(id.error(), failureText(PackImporter::Failure::noAudio));
    EXPECT_EQ(leftovers(), std::vector<std::string>{});
}

TEST_F(PackImporterTest, TheFolderTheConfigAndTheZipGiveTheSamePack)
{
    writeWav(input("Same Pack/a.wav"), ramp(3000, 0.3f), 44100);
    writeOgg(input("Same Pack/b.ogg"), ramp(3000, 0.0f, 0.0001f), 48000);
    writeText(input("Same Pack/config.json"),
              R"({"name": "The Same", "defines": {"30": "a.wav", "31": "b.ogg", "57": "a.wav"}})");
    writeZip(input("Same Pack.zip"), entriesOf(input("Same Pack"), "Same Pack/"));

    std::vector<std::pair<ImportedPack, std::map<std::string, std::string>>> results;
    for (const fs::path& from : {input("Same Pack"), input("Same Pack/config.json"), input("Same Pack.zip")})
    {
        const Expected<std::string> id = import(from);
        ASSERT_TRUE(id.hasValue()) << from << ": " << id.error();
        EXPECT_EQ(id.value(), "imported:same-pack");
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(root() / "same-pack"))
            files[entry.path().filename().string()] = readText(entry.path());
        results.emplace_back(record("same-pack"), std::move(files));
    }
    EXPECT_EQ(results[0].first.name, "The Same");
    EXPECT_EQ(results[0].first.folder, (root() / "same-pack").string());
    EXPECT_EQ(results[0].first.perKey.size(), 3u);
    EXPECT_EQ(results[1], results[0]);
    EXPECT_EQ(results[2], results[0]);
    EXPECT_EQ(leftovers(), (std::vector<std::string>{"same-pack"}));
    EXPECT_EQ(Profiles::imported()->size(), 1u);
}

TEST_F(PackImporterTest, APackTwoLevelsDownInAZipIsAFolderOfSounds)
{
    writeWav(input("deep/outer/inner/a.wav"), ramp(500), 44100);
    writeText(input("deep/outer/inner/config.json"), R"({"name": "Deep", "defines": {"30": "a.wav"}})");
    writeZip(input("Deep Pack.zip"), entriesOf(input("deep"), ""));
    const Expected<std::string> id = import(input("Deep Pack.zip"));
    ASSERT_TRUE(id.hasValue()) << id.error();
    const ImportedPack pack = record("deep-pack");
    EXPECT_EQ(pack.source, "a folder of sounds");
    EXPECT_EQ(pack.name, "Deep Pack");
    EXPECT_EQ(pack.fallback, (std::vector<std::string>{"k0.wav"}));
}

TEST_F(PackImporterTest, FailuresSayWhatWentWrongAndLeaveNothingBehind)
{
    const auto failureOf = [&](const fs::path& from) {
        const Expected<std::string> id = import(from);
        return id.hasValue() ? "success: " + id.value() : id.error();
    };
    const std::string unreadable = failureText(PackImporter::Failure::unreadable);
    const std::string nothingFound = failureText(PackImporter::Failure::nothingFound);
    const std::string noAudio = failureText(PackImporter::Failure::noAudio);

    EXPECT_EQ(failureOf(input("missing")), unreadable);
    writeText(input("plain.txt"), "text");
    EXPECT_EQ(failureOf(input("plain.txt")), unreadable);
    writeText(input("broken.zip"), "PK but not a zip");
    EXPECT_EQ(failureOf(input("broken.zip")), unreadable);
    EXPECT_EQ(failureOf(input("missing.zip")), unreadable);

    // A configuration that does not parse makes the folder a folder of sounds.
    writeText(input("Empty/config.json"), "{ not json");
    writeText(input("Empty/readme.md"), "");
    EXPECT_EQ(failureOf(input("Empty")), nothingFound);
    EXPECT_EQ(failureOf(input("Empty/config.json")), nothingFound);
    writeText(input("Undecodable/a.wav"), "RIFF nonsense");
    writeText(input("Undecodable/b.ogg"), "OggS nonsense");
    EXPECT_EQ(failureOf(input("Undecodable")), noAudio);
    writeText(input("NoFiles/config.json"), R"({"defines": {"30": "gone.wav"}})");
    EXPECT_EQ(failureOf(input("NoFiles")), noAudio);

    EXPECT_EQ(leftovers(), std::vector<std::string>{});
    EXPECT_TRUE(Profiles::imported()->empty());
}

// ---- Hostile archives ----

TEST_F(PackImporterTest, ZipEntriesThatWouldLandOutsideAreRefused)
{
    const std::vector<ZipEntry> good{{"pack/a.wav", std::string(1000, 'x'), ZipEntry::Kind::file, 0}};
    const fs::path outside = temp.path / "outside";
    fs::create_directories(outside);
    const std::vector<std::pair<std::string, ZipEntry>> hostile{
        {"dotdot", {"../../evil", "evil", ZipEntry::Kind::file, 0}},
        {"nested", {"pack/../../../evil", "evil", ZipEntry::Kind::file, 0}},
        {"absolute", {(outside / "evil").string(), "evil", ZipEntry::Kind::file, 0}},
        {"symlink", {"pack/link", outside.string(), ZipEntry::Kind::symlink, 0}},
        {"hardlink", {"pack/hard", (outside / "target").string(), ZipEntry::Kind::hardlink, 0}},
    };
    writeText(outside / "target", "keep");
    for (const auto& [label, entry] : hostile)
    {
        std::vector<ZipEntry> entries = good;
        entries.push_back(entry);
        // A file behind the link, for the case that extraction followed it.
        entries.push_back({entry.name + "/evil", "evil", ZipEntry::Kind::file, 0});
        const fs::path zip = input(label + ".zip");
        writeZip(zip, entries);
        const Expected<std::string> id = import(zip);
        ASSERT_FALSE(id.hasValue()) << label;
        EXPECT_EQ(id.error(), failureText(PackImporter::Failure::unreadable)) << label;
    }
    std::vector<std::string> outsideNames;
    for (const auto& entry : fs::directory_iterator(outside))
        outsideNames.push_back(entry.path().filename().string());
    EXPECT_EQ(outsideNames, std::vector<std::string>{"target"});
    EXPECT_EQ(readText(outside / "target"), "keep");
    EXPECT_FALSE(fs::exists(temp.path / "evil"));
    EXPECT_FALSE(fs::exists(temp.path / "in" / "evil"));
    EXPECT_EQ(leftovers(), std::vector<std::string>{});
}

TEST_F(PackImporterTest, ZipBombsStopAtTheLimits)
{
    EXPECT_EQ(ArchiveExtractor::maxUnpackedBytes, 256u * 1024 * 1024);
    EXPECT_EQ(ArchiveExtractor::maxEntries, 10000u);

    // 64 MB of zeros unpack from a zip of under 100 KB, with and without a declared size.
    const fs::path streamed = input("streamed.zip");
    writeZip(streamed, {{"zeros.wav", "", ZipEntry::Kind::file, 64u << 20}});
    EXPECT_LT(fs::file_size(streamed), 200u * 1024);
    services.archive = std::make_shared<LibarchiveExtractor>(1u << 20, 100);
    const Expected<std::string> id = import(streamed);
    ASSERT_FALSE(id.hasValue());
    EXPECT_EQ(id.error(), failureText(PackImporter::Failure::unreadable));

    LibarchiveExtractor small(1u << 20, 100);
    fs::create_directories(temp.path / "x");
    EXPECT_NE(small.extract(streamed, temp.path / "x"), std::nullopt);
    const fs::path declared = input("declared.zip");
    writeZip(declared, {{"big.wav", std::string(2u << 20, '\0'), ZipEntry::Kind::file, 0}});
    fs::remove_all(temp.path / "x");
    fs::create_directories(temp.path / "x");
    EXPECT_NE(small.extract(declared, temp.path / "x"), std::nullopt);

    std::vector<ZipEntry> many;
    for (int i = 0; i < 101; ++i)
        many.push_back({"f" + std::to_string(i), "", ZipEntry::Kind::file, 0});
    const fs::path crowded = input("crowded.zip");
    writeZip(crowded, many);
    fs::remove_all(temp.path / "x");
    fs::create_directories(temp.path / "x");
    EXPECT_NE(small.extract(crowded, temp.path / "x"), std::nullopt);
    many.pop_back();
    writeZip(crowded, many);
    fs::remove_all(temp.path / "x");
    fs::create_directories(temp.path / "x");
    EXPECT_EQ(small.extract(crowded, temp.path / "x"), std::nullopt);
    EXPECT_EQ(leftovers(), std::vector<std::string>{});
}

// ---- The library ----

TEST_F(PackImporterTest, LoadingSkipsDamagedEntriesRewritesFoldersAndSortsByName)
{
    const auto store = [&](const std::string& folder, const std::string& text) {
        writeText(root() / folder / "pack.json", text);
    };
    store("beta", encodeImportedPack({"beta", "beta", "/elsewhere", {}, {"k0.wav"}, "a folder of sounds"}));
    store("alpha", encodeImportedPack({"alpha", "Alpha", "/x", {}, {"k0.wav"}, "a folder of sounds"}));
    store("nosource", R"({"id":"nosource","name":"A","folder":"/x","perKey":{},"fallback":[]})");
    store(".staging-1234", encodeImportedPack({"alpha", "AAA", "/x", {}, {"k0.wav"}, "a folder of sounds"}));
    writeText(root() / "plain-file", "x");

    const std::vector<ImportedPack> packs = importer().loadLibrary();
    ASSERT_EQ(packs.size(), 2u);
    EXPECT_EQ(packs[0].name, "Alpha");
    EXPECT_EQ(packs[1].name, "beta");
    EXPECT_EQ(packs[1].folder, (root() / "beta").string());
    const auto profiles = Profiles::imported();
    ASSERT_EQ(profiles->size(), 2u);
    EXPECT_EQ((*profiles)[0].id, "imported:alpha");
    EXPECT_EQ((*profiles)[1].id, "imported:beta");

    fs::remove_all(root());
    EXPECT_TRUE(importer().loadLibrary().empty());
    EXPECT_TRUE(Profiles::imported()->empty());
}

TEST_F(PackImporterTest, RemoveDeletesOnlyAPackFolderDirectlyInTheRoot)
{
    writeWav(input("Keep/a.wav"), ramp(500), 44100);
    ASSERT_TRUE(import(input("Keep")).hasValue());
    writeText(temp.path / "sibling/file", "x");
    for (const char* id : {"imported:..", "imported:.", "imported:", "imported:../sibling", "imported:keep/",
                           "imported:keep/k0.wav", "imported:/", "tactile", "keep", "imported:.staging-x"})
    {
        importer().remove(id);
        EXPECT_TRUE(fs::exists(root() / "keep" / "k0.wav")) << id;
        EXPECT_TRUE(fs::exists(temp.path / "sibling/file")) << id;
    }
    ASSERT_EQ(Profiles::imported()->size(), 1u);
    importer().remove("imported:keep");
    EXPECT_FALSE(fs::exists(root() / "keep"));
    EXPECT_TRUE(fs::exists(root()));
    EXPECT_TRUE(Profiles::imported()->empty());
    EXPECT_EQ(Profiles::find("imported:keep"), std::nullopt);
}

TEST_F(PackImporterTest, ReimportingReplacesAndAFailedMoveKeepsTheOldPack)
{
    writeWav(input("My Pack!/a.wav"), ramp(500), 44100);
    ASSERT_TRUE(import(input("My Pack!")).hasValue());
    writeWav(input("MY  PACK/a.wav"), ramp(700), 44100);
    writeWav(input("MY  PACK/b.wav"), ramp(800), 44100);
    ASSERT_TRUE(import(input("MY  PACK")).hasValue());
    EXPECT_EQ(record("my-pack").name, "MY  PACK");
    EXPECT_EQ(record("my-pack").fallback.size(), 2u);

    const std::string before = readText(root() / "my-pack/pack.json");
    services.move = [](const fs::path& from, const fs::path& to) -> std::error_code {
        if (from.filename().string().rfind(".staging-", 0) == 0)
            return std::make_error_code(std::errc::no_space_on_device);
        std::error_code error;
        fs::rename(from, to, error);
        return error;
    };
    writeWav(input("my-pack/c.wav"), ramp(900), 44100);
    const Expected<std::string> id = import(input("my-pack"));
    ASSERT_FALSE(id.hasValue());
    EXPECT_NE(id.error().find(std::make_error_code(std::errc::no_space_on_device).message()), std::string::npos);
    EXPECT_EQ(readText(root() / "my-pack/pack.json"), before);
    EXPECT_EQ(wavSampleCount(root() / "my-pack/k1.wav"), 800u);
    EXPECT_EQ(leftovers(), (std::vector<std::string>{"my-pack"}));
    ASSERT_EQ(importer().loadLibrary().size(), 1u);
}

} // namespace
} // namespace clickory
