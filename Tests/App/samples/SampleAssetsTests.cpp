// SPDX-License-Identifier: MIT
// The recorded sample packs shipped in assets/samples: the manifest decodes and names only packs and
// scroll sets the catalogue plays, every file it lists decodes at the engine's rate, every source is
// credited, and each profile with a pack gets recorded banks, silent roles and synthesized fallbacks
// as its pack intends.
#include "ClickoryApp/engine/SoundEngine.h"
#include "ClickoryApp/platform/OfflineAudioOutput.h"
#include "ClickoryApp/platform/ffmpeg/FfmpegSoundFileReader.h"
#include "ClickoryCore/input/KeyMap.h"
#include "ClickoryCore/profiles/Profiles.h"
#include "ClickoryCore/profiles/ScrollStyle.h"
#include "ClickoryCore/synth/Synth.h"
#include "Fakes/FakeWorkQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

namespace clickory {
namespace {

namespace fs = std::filesystem;

const fs::path samplesFolder = fs::path(CLICKORY_SOURCE_DIR) / "assets" / "samples";

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const SampleManifest& manifest()
{
    static const SampleManifest decoded = [] {
        const Expected<SampleManifest> parsed = SampleManifest::parse(readText(samplesFolder / "manifest.json"));
        if (!parsed)
        {
            ADD_FAILURE() << "manifest.json does not decode: " << parsed.error();
            return SampleManifest{};
        }
        return *parsed;
    }();
    return decoded;
}

// Every file a pack or a scroll set lists, with the gain it is played at.
std::vector<std::pair<std::string, double>> listedFiles()
{
    std::vector<std::pair<std::string, double>> files;
    for (const auto& [id, pack] : manifest().packs)
        for (const auto& [role, names] : pack.roles)
            for (const std::string& name : names)
                files.emplace_back(name, pack.gain.value_or(1.0));
    if (manifest().scroll)
        for (const auto& [style, set] : *manifest().scroll)
            for (const std::string& name : set.files)
                files.emplace_back(name, set.gain);
    return files;
}

// Loudness of a take as the energy of its first 200 ms, in dB: short clicks and long notes compare
// roughly as the ear hears them.
double loudnessDb(const std::vector<float>& samples, double sampleRate = 48000.0)
{
    const std::size_t window = static_cast<std::size_t>(0.2 * sampleRate);
    double energy = 0.0;
    for (std::size_t i = 0; i < std::min(window, samples.size()); ++i)
        energy += static_cast<double>(samples[i]) * samples[i];
    return 10.0 * std::log10(std::max(energy / static_cast<double>(window), 1e-18));
}

// ---- The manifest ----

TEST(SampleManifestAsset, DecodesAndNamesOnlyPacksAndScrollSetsTheCatalogueUses)
{
    ASSERT_TRUE(SampleManifest::load(samplesFolder).has_value());
    EXPECT_EQ(SampleManifest::load(samplesFolder), manifest());
    EXPECT_EQ(manifest().version, 1);

    std::set<std::string> catalogueIDs;
    for (const SoundProfile& profile : Profiles::all())
        if (profile.samplePackID)
            catalogueIDs.insert(*profile.samplePackID);
    std::set<std::string> packIDs;
    for (const auto& [id, pack] : manifest().packs)
    {
        packIDs.insert(id);
        EXPECT_TRUE(catalogueIDs.count(id)) << id << " is no profile's samplePackID";
        EXPECT_FALSE(pack.name.empty()) << id;
        // A misspelled role would be ignored by the engine and its files never played.
        for (const auto& [role, files] : pack.roles)
        {
            EXPECT_TRUE(soundRoleFromRaw(role).has_value()) << id << ": unknown role " << role;
            EXPECT_FALSE(files.empty()) << id << ": " << role;
        }
        EXPECT_FALSE(manifest().files(id, SoundRole::keyDown).empty()) << id << " has no key presses";
    }
    // Brown and dome have no recordings and fall back to synthesis; so does every profile's mouse.
    const std::set<std::string> expected{"boing", "bubble", "cat",   "chimes",   "clickers", "dog",  "drops",
                                         "duck",  "glass",  "kalimba", "marble", "pops",     "tactile", "wood"};
    EXPECT_EQ(packIDs, expected);
    EXPECT_FALSE(manifest().mouse.has_value());

    ASSERT_TRUE(manifest().scroll.has_value());
    std::set<std::string> setIDs;
    for (ScrollStyle style : allScrollStyles())
        if (auto id = recordedSetID(style))
            setIDs.insert(std::string(*id));
    std::set<std::string> scrollIDs;
    for (const auto& [style, set] : *manifest().scroll)
    {
        scrollIDs.insert(style);
        EXPECT_TRUE(setIDs.count(style)) << style << " is no scroll style's recorded set";
        EXPECT_GT(set.gain, 0.0) << style;
    }
    EXPECT_EQ(scrollIDs, (std::set<std::string>{"brush", "rice", "sand"}));
}

TEST(SampleManifestAsset, EverySourceIsCompleteAndCreditedOnce)
{
    const std::string credits = readText(samplesFolder / "CREDITS.md");
    ASSERT_FALSE(credits.empty()) << "CREDITS.md is missing";
    std::map<std::string, SampleManifest::Source> byUrl;
    auto check = [&](const std::string& owner, const std::vector<SampleManifest::Source>& sources) {
        EXPECT_FALSE(sources.empty()) << owner << " credits nobody";
        for (const SampleManifest::Source& source : sources)
        {
            EXPECT_FALSE(source.title.empty()) << owner;
            EXPECT_FALSE(source.author.empty()) << owner << ": " << source.title;
            EXPECT_EQ(source.url.rfind("https://", 0), 0u) << owner << ": " << source.url;
            EXPECT_FALSE(source.license.empty()) << owner << ": " << source.title;
            // The credits list keeps one source per url: two different sources on one url would
            // lose one of them.
            const auto [it, inserted] = byUrl.emplace(source.url, source);
            EXPECT_TRUE(inserted || it->second == source) << owner << ": " << source.url << " names two sources";
            EXPECT_NE(credits.find(source.url), std::string::npos) << source.url << " is not in CREDITS.md";
            EXPECT_NE(credits.find(source.license), std::string::npos) << source.license << " is not in CREDITS.md";
            const bool attribution = source.license.rfind("CC-BY", 0) == 0;
            if (attribution)
            {
                EXPECT_NE(credits.find("by " + source.author), std::string::npos)
                    << "no attribution line for " << source.author;
            }
        }
    };
    for (const auto& [id, pack] : manifest().packs)
        check(id, pack.sources);
    for (const auto& [style, set] : manifest().scroll.value_or(std::map<std::string, SampleManifest::ScrollSet>{}))
        check(style, set.sources);
    EXPECT_EQ(manifest().allSources().size(), byUrl.size());
    // Nothing under the GPL ships here.
    for (const auto& [url, source] : byUrl)
        EXPECT_EQ(source.license.find("GPL"), std::string::npos) << url;
}

// ---- The files ----

TEST(SampleFilesAsset, EveryListedFileDecodesAtTheEngineRateWithoutClipping)
{
    FfmpegSoundFileReader reader;
    std::set<fs::path> listed;
    for (const auto& [name, gain] : listedFiles())
    {
        listed.insert(fs::path(name).lexically_normal());
        const fs::path path = samplesFolder / name;
        ASSERT_TRUE(fs::is_regular_file(path)) << name;
        const auto samples = reader.read(path, 48000.0, SoundEngine::maxFileSeconds);
        ASSERT_TRUE(samples.has_value()) << name << " does not decode";
        // 48 kHz mono 16-bit files: the samples are the data chunk, none lost to conversion, and no
        // file is cut by the engine's 1.5 s limit.
        const auto dataFrames = (fs::file_size(path) - 44) / 2;
        EXPECT_NEAR(static_cast<double>(samples->size()), static_cast<double>(dataFrames), 2.0) << name;
        EXPECT_LT(samples->size(), static_cast<std::size_t>(48000 * SoundEngine::maxFileSeconds)) << name;
        EXPECT_GT(Synth::peak(*samples), 0.05f) << name << " is nearly silent";
        EXPECT_LE(Synth::peak(*samples) * gain, 1.0) << name << " clips at its pack's gain";
    }
    // And nothing ships that no pack plays.
    for (const auto& entry : fs::recursive_directory_iterator(samplesFolder))
    {
        if (entry.is_regular_file() && entry.path().extension() == ".wav")
        {
            EXPECT_TRUE(listed.count(fs::relative(entry.path(), samplesFolder).lexically_normal()))
                << entry.path() << " is listed nowhere";
        }
    }
}

// ---- The banks the engine builds ----

class ShippedPacksTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        engine = std::make_unique<SoundEngine>(output, queue, reader, samplesFolder);
        engine->setLogger([](const std::string&) {});
        ASSERT_EQ(engine->start(), std::nullopt);
        ASSERT_TRUE(engine->manifest().has_value());
    }
    void load(const std::string& id, ScrollStyle scroll = ScrollStyle::off)
    {
        engine->load(id, scroll, std::nullopt);
        queue.runPending();
    }
    // The pitch offset of the row that plays for a key press at the given offset.
    double playedRow(double semitones)
    {
        output.pull(1);
        const std::int64_t player = engine->cursor();
        const std::int64_t before = engine->playedCount();
        engine->play(SoundRole::keyDown, semitones, 1.0f, 0.0f, std::nullopt);
        queue.runPending();
        EXPECT_EQ(engine->playedCount(), before + 1);
        const PcmBufferPtr buffer = engine->pool().current(player);
        const SoundBank& bank = engine->bank().at(SoundRole::keyDown);
        for (std::size_t row = 0; row < bank.takes.size(); ++row)
            for (const PcmBufferPtr& take : bank.takes[row])
                if (take == buffer)
                    return bank.pitches[row];
        ADD_FAILURE() << "the played buffer is in no row";
        return 0.0;
    }
    double meanLoudness(SoundRole role)
    {
        const SoundBank& bank = engine->bank().at(role);
        const auto zero = std::find(bank.pitches.begin(), bank.pitches.end(), 0.0);
        EXPECT_NE(zero, bank.pitches.end());
        const auto& row = bank.takes[static_cast<std::size_t>(zero - bank.pitches.begin())];
        double sum = 0.0;
        for (const PcmBufferPtr& take : row)
            sum += loudnessDb(take->samples());
        return sum / static_cast<double>(row.size());
    }

    OfflineAudioOutput output{48000.0};
    FakeWorkQueue queue;
    FfmpegSoundFileReader reader;
    std::unique_ptr<SoundEngine> engine;
};

TEST_F(ShippedPacksTest, TheDefaultProfilePlaysTheKeyboardRecordingsAndItsOwnSynthesizedMouse)
{
    load(std::string(Profiles::defaultID), ScrollStyle::softTick);
    const std::string summary = engine->debugSummary();
    for (const char* entry : {"keyDown=12r", "keyUp=10r", "spaceDown=1r", "spaceUp=1r", "enterDown=1r",
                              "modifierDown=12r", "modifierUp=10r", "mouseDown=1s", "mouseUp=1s",
                              "mouseRightDown=1s", "mouseRightUp=1s", "scrollTick=1s"})
        EXPECT_NE(summary.find(entry), std::string::npos) << entry << " missing in " << summary;
    EXPECT_NE(summary.find("samples=" + samplesFolder.string()), std::string::npos) << summary;
    EXPECT_EQ(engine->bank().at(SoundRole::keyDown).pitches, (std::vector<double>{-0.7, 0.0, 0.7}));
}

TEST_F(ShippedPacksTest, EveryPackProfileBuildsRecordedBanksForItsRolesAndSilencesTheRest)
{
    for (const SoundProfile& profile : Profiles::all())
    {
        if (!profile.samplePackID || !manifest().packs.count(*profile.samplePackID))
            continue;
        SCOPED_TRACE(profile.id);
        const SampleManifest::Pack& pack = manifest().packs.at(*profile.samplePackID);
        load(profile.id);
        const auto& bank = engine->bank();
        const std::size_t presses = pack.roles.at("keyDown").size();
        auto recordedTakes = [&](SoundRole role) {
            const SoundBank& b = bank.at(role);
            EXPECT_TRUE(b.isRecorded) << rawValue(role);
            return b.takes.empty() ? 0u : b.takes.front().size();
        };
        EXPECT_EQ(recordedTakes(SoundRole::keyDown), presses);
        // Space and enter use their own takes or, without them, the key presses.
        for (SoundRole role : {SoundRole::spaceDown, SoundRole::enterDown})
            EXPECT_EQ(recordedTakes(role), pack.roles.count(std::string(rawValue(role)))
                                               ? pack.roles.at(std::string(rawValue(role))).size()
                                               : presses);
        EXPECT_EQ(recordedTakes(SoundRole::modifierDown), presses);

        const std::vector<SoundRole> silentRoles = pack.silent.value_or(std::vector<SoundRole>{});
        const std::set<SoundRole> silent(silentRoles.begin(), silentRoles.end());
        for (SoundRole role : silent)
        {
            EXPECT_TRUE(bank.at(role).isRecorded) << rawValue(role);
            EXPECT_EQ(bank.at(role).takes, std::vector<std::vector<PcmBufferPtr>>(1)) << rawValue(role);
        }
        // Releases: recorded when the pack has them, otherwise silent, never a synthesized click
        // that does not belong to the recording.
        for (SoundRole role : {SoundRole::keyUp, SoundRole::spaceUp, SoundRole::modifierUp})
            EXPECT_TRUE(bank.at(role).isRecorded) << rawValue(role);
        EXPECT_TRUE(pack.roles.count("keyUp") || silent.count(SoundRole::keyUp));

        // Mouse buttons: the pack's own presses where they fit a click, else the profile's own
        // synthesized clicks, down and up together.
        const bool fromKeys = pack.mouseFromKeys.value_or(false);
        EXPECT_EQ(bank.at(SoundRole::mouseDown).isRecorded, fromKeys);
        EXPECT_EQ(bank.at(SoundRole::mouseRightDown).isRecorded, fromKeys);
        EXPECT_EQ(bank.at(SoundRole::mouseUp).isRecorded, fromKeys);
        EXPECT_EQ(silent.count(SoundRole::mouseUp) == 1, fromKeys);
        EXPECT_EQ(silent.count(SoundRole::mouseRightUp) == 1, fromKeys);
        if (fromKeys)
        {
            EXPECT_EQ(recordedTakes(SoundRole::mouseDown), presses);
        }
        EXPECT_EQ(engine->currentPitchScale(), pack.pitchScale.value_or(1.0));
    }
}

TEST_F(ShippedPacksTest, ProfilesWithoutRecordingsAndThePencilFallBackToSynthesis)
{
    for (const char* id : {"cherry-brown", "dome", "blue-clack"})
    {
        load(id, ScrollStyle::pencil);
        const std::string summary = engine->debugSummary();
        EXPECT_EQ(summary.find("r "), std::string::npos) << id << ": " << summary;
        EXPECT_EQ(summary.find("r]"), std::string::npos) << id << ": " << summary;
        ASSERT_EQ(engine->bank().size(), 12u) << id;
        for (const auto& [role, bank] : engine->bank())
        {
            EXPECT_FALSE(bank.isRecorded) << id << " " << rawValue(role);
            EXPECT_EQ(bank.takes.size(), 9u) << id << " " << rawValue(role);
        }
    }
}

TEST_F(ShippedPacksTest, TheRecordedScrollSetsPlayTheirTicks)
{
    for (ScrollStyle style : {ScrollStyle::brush, ScrollStyle::sand, ScrollStyle::rice})
    {
        load("red-linear", style);
        const SoundBank& tick = engine->bank().at(SoundRole::scrollTick);
        EXPECT_TRUE(tick.isRecorded) << rawValue(style);
        ASSERT_EQ(tick.takes.size(), 3u) << rawValue(style);
        EXPECT_EQ(tick.takes[1].size(), manifest().scroll->at(std::string(rawValue(style))).files.size());
    }
}

TEST_F(ShippedPacksTest, TheCatRisesInPitchFromTheLeftOfTheKeyboardToTheRight)
{
    load("cat");
    const double scale = engine->currentPitchScale();
    EXPECT_GT(scale, 1.0);
    // Home row and number row, left to right (macOS key codes), pitch variety off.
    for (const std::vector<std::int64_t>& row : {std::vector<std::int64_t>{0, 1, 2, 3, 5, 4, 38, 40, 37, 41},
                                                 std::vector<std::int64_t>{18, 19, 20, 21, 23, 22, 26, 28, 25, 29}})
    {
        std::vector<double> rows;
        for (std::int64_t code : row)
            rows.push_back(playedRow(KeyMap::info(code).semitones));
        EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
        // From one end to the other the meow moves by at least three semitones.
        EXPECT_GE(rows.back() - rows.front(), 3.0);
    }
}

TEST_F(ShippedPacksTest, TheKalimbaStaysInTuneAndItsNotesFollowTheKeyboard)
{
    load("kalimba");
    std::set<double> heard;
    for (std::int64_t code = 0; code < 51; ++code)
    {
        const KeyInfo info = KeyMap::info(code);
        // With pitch variety at its largest, a press lands half a semitone either side.
        for (double jitter : {-0.5, 0.0, 0.5})
        {
            const double row = playedRow(info.semitones + jitter);
            EXPECT_EQ(row, std::round(row)) << "key " << code << " plays out of tune";
            heard.insert(row);
        }
    }
    // More than one row is reached, so typing moves between registers.
    EXPECT_GE(heard.size(), 2u);
    EXPECT_LT(playedRow(KeyMap::info(0).semitones), playedRow(KeyMap::info(24).semitones)); // "A" below "="
}

TEST_F(ShippedPacksTest, PacksSitAtOneLoudnessAndTheDogIsQuieter)
{
    // The synthesized catalogue's key presses set the level.
    std::vector<double> synthesized;
    for (const SoundProfile& profile : Profiles::synthesized())
    {
        load(profile.id);
        synthesized.push_back(meanLoudness(SoundRole::keyDown));
    }
    std::sort(synthesized.begin(), synthesized.end());
    const double reference = (synthesized[6] + synthesized[7]) / 2.0;

    std::map<std::string, double> packs;
    for (const SoundProfile& profile : Profiles::all())
    {
        if (!profile.samplePackID || !manifest().packs.count(*profile.samplePackID))
            continue;
        load(profile.id);
        packs[profile.id] = meanLoudness(SoundRole::keyDown);
        if (profile.id != "dog")
        {
            // Packs already at full scale (the keyboard, the clickers, glass) may sit lower on this
            // measure; a slip in a gain (3.3 for 0.33) is far outside it.
            EXPECT_NEAR(packs[profile.id], reference, 7.0) << profile.id;
        }
    }
    for (const SoundProfile& profile : Profiles::fun())
    {
        if (profile.id != "dog")
        {
            EXPECT_LT(packs.at("dog"), packs.at(profile.id) - 4.0) << "the dog is not quieter than " << profile.id;
        }
    }
}

TEST(SampleFolderLocation, TheBuildTreeFindsTheShippedSamples)
{
    ::unsetenv("CLICKORY_SAMPLES");
    const auto found = SoundEngine::locateSamplesFolder();
    ASSERT_TRUE(found.has_value());
    EXPECT_TRUE(fs::equivalent(*found, samplesFolder)) << *found;
}

} // namespace
} // namespace clickory
