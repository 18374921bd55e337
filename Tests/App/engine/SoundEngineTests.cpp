// SPDX-License-Identifier: MIT
#include "ClickoryApp/engine/SoundEngine.h"
#include "ClickoryApp/platform/OfflineAudioOutput.h"
#include "ClickoryCore/cues/CueSynth.h"
#include "ClickoryCore/profiles/Profiles.h"
#include "ClickoryCore/synth/Synth.h"
#include "Fakes/FakeSoundFileReader.h"
#include "Fakes/FakeWorkQueue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace clickory {
namespace {

namespace fs = std::filesystem;

std::vector<float> ramp(std::size_t frames, float peak = 0.5f)
{
    std::vector<float> samples(frames);
    for (std::size_t i = 0; i < frames; ++i)
        samples[i] = peak * static_cast<float>(i + 1) / static_cast<float>(frames);
    return samples;
}

// A temporary folder removed at the end of the test.
struct TempFolder
{
    fs::path path;
    TempFolder()
    {
        path = fs::temp_directory_path() / ("clickory-engine-" + std::to_string(::getpid()) + "-" +
                                            std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder() { fs::remove_all(path); }
    void write(const fs::path& relative, const std::string& text) const
    {
        fs::create_directories((path / relative).parent_path());
        std::ofstream(path / relative) << text;
    }
};

class SoundEngineTest : public ::testing::Test
{
protected:
    void make(std::optional<fs::path> samples = std::nullopt)
    {
        engine = std::make_unique<SoundEngine>(output, queue, reader, samples);
        engine->setLogger([this](const std::string& line) { logs.push_back(line); });
    }
    void startEngine()
    {
        if (!engine)
            make();
        ASSERT_EQ(engine->start(), std::nullopt);
    }
    void load(const std::string& id, ScrollStyle scroll = ScrollStyle::softTick,
              std::optional<std::string> custom = std::nullopt)
    {
        engine->load(id, scroll, std::move(custom));
        queue.runPending();
    }
    // Plays and answers the buffer that was started, or null when nothing played.
    PcmBufferPtr play(SoundRole role, double semitones = 0.0, std::optional<std::int64_t> key = std::nullopt)
    {
        const std::int64_t before = engine->playedCount();
        output.pull(1); // lets the mixer take the earlier commands, as the audio thread would
        const std::int64_t player = engine->cursor();
        engine->play(role, semitones, 1.0f, 0.0f, key);
        queue.runPending();
        if (engine->playedCount() == before)
            return nullptr;
        return engine->pool().current(player);
    }
    // Row and take of a buffer in a bank; (-1, -1) when it is not there.
    static std::pair<int, int> locate(const SoundBank& bank, const PcmBufferPtr& buffer)
    {
        for (std::size_t row = 0; row < bank.takes.size(); ++row)
            for (std::size_t take = 0; take < bank.takes[row].size(); ++take)
                if (bank.takes[row][take] == buffer)
                    return {static_cast<int>(row), static_cast<int>(take)};
        return {-1, -1};
    }
    ImportedPack pack(std::map<std::string, std::vector<std::string>> perKey, std::vector<std::string> fallback)
    {
        ImportedPack result{"test-pack", "Test pack", "/packs/test-pack", std::move(perKey), std::move(fallback),
                            "a folder of sounds"};
        std::vector<SoundProfile> imported{Profiles::importedProfile(result)};
        Profiles::setImported(imported);
        return result;
    }

    OfflineAudioOutput output{48000.0};
    FakeWorkQueue queue;
    FakeSoundFileReader reader;
    std::unique_ptr<SoundEngine> engine;
    std::vector<std::string> logs;
};

// ---- Starting and the synthesized banks ----

TEST_F(SoundEngineTest, StartBuildsEightPlayersAtTheOutputRate)
{
    output.setSampleRate(44100.0);
    startEngine();
    EXPECT_EQ(engine->players(), 8);
    EXPECT_EQ(engine->sampleRate(), 44100.0);
    EXPECT_TRUE(engine->isRunning());
}

TEST_F(SoundEngineTest, AFailedStartReportsTheErrorAndPlaysNothing)
{
    make();
    output.failNextStart("no server");
    EXPECT_EQ(engine->start(), std::optional<std::string>("no server"));
    load("tactile");
    EXPECT_EQ(play(SoundRole::keyDown), nullptr);
    EXPECT_EQ(engine->playedCount(), 0);
}

TEST_F(SoundEngineTest, ASynthesizedProfileHasNineSeededRowsPerRoleAndASummary)
{
    startEngine();
    load("tactile", ScrollStyle::softTick);
    const SoundProfile profile = Profiles::profile("tactile");
    ASSERT_EQ(engine->bank().size(), 12u);
    for (const auto& [role, bank] : engine->bank())
    {
        EXPECT_FALSE(bank.isRecorded) << rawValue(role);
        EXPECT_EQ(bank.pitches, std::vector<double>(SoundEngine::synthGrid.begin(), SoundEngine::synthGrid.end()));
        ASSERT_EQ(bank.takes.size(), 9u);
        for (const auto& row : bank.takes)
            EXPECT_EQ(row.size(), 1u);
    }
    // Seeds 17 + 31 H + 7919 i, with H the fixed hash of the role's raw value.
    const std::uint64_t h = SoundEngine::seedHash("keyUp");
    for (std::size_t i : {0u, 4u, 8u})
    {
        const std::vector<float> expected = Synth::render(
            profile.voice(SoundRole::keyUp), Variation::semitones(SoundEngine::synthGrid[i], 17 + 31 * h + 7919 * i),
            48000.0);
        EXPECT_EQ(engine->bank().at(SoundRole::keyUp).takes[i][0]->samples(), expected) << i;
    }
    // Scroll ticks use the style's voice with seeds 900 + i.
    const std::vector<float> tick =
        Synth::render(*voice(ScrollStyle::softTick), Variation::semitones(SoundEngine::synthGrid[2], 902), 48000.0);
    EXPECT_EQ(engine->bank().at(SoundRole::scrollTick).takes[2][0]->samples(), tick);

    EXPECT_EQ(engine->debugSummary(),
              "engineRunning=true sampleRate=48000 players=8 samples=none bank[enterDown=1s keyDown=1s keyUp=1s "
              "modifierDown=1s modifierUp=1s mouseDown=1s mouseRightDown=1s mouseRightUp=1s mouseUp=1s "
              "scrollTick=1s spaceDown=1s spaceUp=1s]");
}

TEST_F(SoundEngineTest, SeedHashIsFnv1aAndFixed)
{
    EXPECT_EQ(SoundEngine::seedHash(""), 0xCBF29CE484222325ull);
    EXPECT_EQ(SoundEngine::seedHash("a"), 0xAF63DC4C8601EC8Cull);
    EXPECT_NE(SoundEngine::seedHash("keyDown"), SoundEngine::seedHash("keyUp"));
}

TEST_F(SoundEngineTest, ScrollOffHasNoScrollBankAndEveryProfilePlaysBySynthesis)
{
    startEngine();
    for (const SoundProfile& profile : Profiles::all())
    {
        load(profile.id, ScrollStyle::off);
        EXPECT_EQ(engine->bank().count(SoundRole::scrollTick), 0u) << profile.id;
        ASSERT_EQ(engine->bank().size(), 11u) << profile.id;
        EXPECT_FALSE(engine->bank().at(SoundRole::keyDown).isRecorded) << profile.id;
        EXPECT_NE(play(SoundRole::keyDown), nullptr) << profile.id;
    }
    EXPECT_EQ(play(SoundRole::scrollTick), nullptr);
}

// ---- Choosing what plays ----

TEST_F(SoundEngineTest, NothingPlaysWithoutBanks)
{
    startEngine();
    EXPECT_EQ(play(SoundRole::keyDown), nullptr);
    EXPECT_EQ(engine->playedCount(), 0);
    EXPECT_FALSE(engine->idleTimerArmed());
}

TEST_F(SoundEngineTest, PitchRowTieGoesToTheLowerRowAndRecordedBanksDrawOnlyTheTake)
{
    reader.files["custom.wav"] = ramp(480);
    startEngine();
    load("tactile", ScrollStyle::off, "/sounds/custom.wav");
    const SoundBank& bank = engine->bank().at(SoundRole::keyDown);
    ASSERT_TRUE(bank.isRecorded);
    engine->setRandom(SplitMix64(42));
    // -0.175 lies exactly between the rows at -0.35 (index 3) and 0 (index 4).
    EXPECT_EQ(locate(bank, play(SoundRole::keyDown, -0.175)).first, 3);
    EXPECT_EQ(locate(bank, play(SoundRole::keyDown, 0.2)).first, 5);
    EXPECT_EQ(locate(bank, play(SoundRole::keyDown, -9.0)).first, 0);
    EXPECT_EQ(locate(bank, play(SoundRole::keyDown, std::nan(""))).first, 0);
    // Four plays of a recorded bank drew exactly four values (the takes), no jitter.
    SplitMix64 expected(42);
    for (int i = 0; i < 4; ++i)
        expected.unit();
    EXPECT_EQ(engine->randomUnit(), expected.unit());
}

TEST_F(SoundEngineTest, JitterOfSynthesizedBanksFollowsTheDrawsAndStaysInRange)
{
    startEngine();
    load("tactile", ScrollStyle::off);
    const SoundBank& bank = engine->bank().at(SoundRole::keyDown);
    engine->setRandom(SplitMix64(7));
    SplitMix64 mirror(7);
    std::map<int, int> counts;
    for (int n = 0; n < 600; ++n)
    {
        const double semitones = n % 3 == 0 ? -5.0 : (n % 3 == 1 ? 5.0 : 0.0);
        const int own = n % 3 == 0 ? 0 : (n % 3 == 1 ? 8 : 4);
        int row = own;
        if (mirror.unit() < 0.35f)
            row = mirror.unit() < 0.5f ? std::max(0, row - 1) : std::min(8, row + 1);
        mirror.unit(); // the take (one per row)
        const int chosen = locate(bank, play(SoundRole::keyDown, semitones)).first;
        ASSERT_EQ(chosen, row) << n;
        ASSERT_LE(std::abs(chosen - own), 1);
        counts[chosen - own]++;
    }
    // From the middle row roughly 65 % stay, 17.5 % step each way.
    EXPECT_GT(counts[0], 600 * 0.6);
    EXPECT_GT(counts[-1], 20);
    EXPECT_GT(counts[1], 20);
}

TEST_F(SoundEngineTest, TakeIsChosenByTruncatingTheDrawTimesTheCount)
{
    reader.files["a.wav"] = ramp(100);
    reader.files["b.wav"] = ramp(110);
    reader.files["c.wav"] = ramp(120);
    const ImportedPack imported = pack({}, {"a.wav", "b.wav", "c.wav"});
    startEngine();
    load("imported:test-pack", ScrollStyle::off);
    const SoundBank& bank = engine->bank().at(SoundRole::keyDown);
    ASSERT_EQ(bank.takes[1].size(), 3u);
    engine->setRandom(SplitMix64(99));
    SplitMix64 mirror(99);
    for (int n = 0; n < 30; ++n)
    {
        const double u = static_cast<double>(mirror.unit());
        const int take = static_cast<int>(std::trunc(u * 3.0)) % 3;
        EXPECT_EQ(locate(bank, play(SoundRole::keyDown)), std::make_pair(1, take));
    }
}

TEST_F(SoundEngineTest, PitchScaleOfTheRecordedPackScalesTheTarget)
{
    TempFolder folder;
    const SoundProfile recorded = Profiles::recorded().front();
    folder.write("manifest.json", R"({"version":1,"packs":{")" + *recorded.samplePackID +
                                      R"(":{"name":"R","roles":{"keyDown":["k.wav"]},"sources":[],"pitchScale":2.0}}})");
    reader.files["k.wav"] = ramp(300);
    make(folder.path);
    startEngine();
    load(recorded.id, ScrollStyle::off);
    EXPECT_EQ(engine->currentPitchScale(), 2.0);
    const SoundBank& bank = engine->bank().at(SoundRole::keyDown);
    // 0.3 semitones x 2 = 0.6 is nearest the +0.7 row.
    EXPECT_EQ(locate(bank, play(SoundRole::keyDown, 0.3)).first, 2);
}

// ---- Per-key banks, the silent bank, imported packs ----

TEST_F(SoundEngineTest, ImportedPacksPlayPerKeyBanksOnPressesAndAreSilentOnReleases)
{
    reader.files["k12.wav"] = ramp(50);
    reader.files["kneg.wav"] = ramp(60);
    reader.files["fallback.wav"] = ramp(70);
    pack({{"12", {"k12.wav"}}, {"-4", {"kneg.wav"}}, {"+7", {"k12.wav"}}, {"x1", {"k12.wav"}},
          {"3", {"missing.wav"}}},
         {"fallback.wav"});
    startEngine();
    load("imported:test-pack", ScrollStyle::off);

    std::vector<std::int64_t> keys;
    for (const auto& [key, bank] : engine->keyBanks())
        keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::int64_t>{-4, 7, 12})); // "x1" ignored, key 3 had no readable file
    const SoundBank& key12 = engine->keyBanks().at(12);
    EXPECT_TRUE(key12.isRecorded);
    EXPECT_EQ(key12.pitches, (std::vector<double>{-0.7, 0.0, 0.7}));

    EXPECT_NE(locate(key12, play(SoundRole::keyDown, 0.0, 12)).first, -1);
    EXPECT_NE(locate(key12, play(SoundRole::modifierDown, 0.0, 12)).first, -1);
    const SoundBank& fallback = engine->bank().at(SoundRole::keyDown);
    EXPECT_NE(locate(fallback, play(SoundRole::keyDown, 0.0, 3)).first, -1);
    EXPECT_NE(locate(fallback, play(SoundRole::keyDown, 0.0, 99)).first, -1);
    // mouseDown is not a key role: the key code does not pick the key's bank.
    EXPECT_NE(locate(engine->bank().at(SoundRole::mouseDown), play(SoundRole::mouseDown, 0.0, 12)).first, -1);

    // Up roles are the silent bank: present, playing nothing.
    const std::int64_t played = engine->playedCount();
    for (const SoundRole role : {SoundRole::keyUp, SoundRole::spaceUp, SoundRole::modifierUp, SoundRole::mouseUp,
                                 SoundRole::mouseRightUp})
    {
        ASSERT_EQ(engine->bank().count(role), 1u);
        EXPECT_TRUE(engine->bank().at(role).takes.at(0).empty());
        EXPECT_EQ(play(role, 0.0, 12), nullptr);
    }
    EXPECT_EQ(engine->playedCount(), played);
    EXPECT_NE(engine->debugSummary().find("keyUp=0r"), std::string::npos);
    Profiles::setImported({});
}

TEST_F(SoundEngineTest, AnImportedPackWithoutReadableFilesIsSilentEverywhere)
{
    pack({}, {"gone.wav"});
    startEngine();
    load("imported:test-pack", ScrollStyle::off);
    for (const auto& [role, bank] : engine->bank())
        EXPECT_TRUE(bank.takes.at(0).empty()) << rawValue(role);
    EXPECT_EQ(play(SoundRole::keyDown, 0.0, 5), nullptr);
    EXPECT_EQ(engine->playedCount(), 0);
    Profiles::setImported({});
}

// ---- Recorded banks from the manifest ----

class RecordedBankTest : public SoundEngineTest
{
protected:
    void SetUp() override
    {
        profile = Profiles::recorded().front();
        for (const char* name : {"d1.wav", "d2.wav", "u1.wav", "m-down.wav", "m-up.wav", "tick.wav"})
            reader.files[name] = ramp(200);
    }
    void manifest(const std::string& packBody, const std::string& rest = "")
    {
        folder.write("manifest.json",
                     R"({"version":1,"packs":{")" + *profile.samplePackID + R"(":)" + packBody + "}" + rest + "}");
        make(folder.path);
        startEngine();
    }

    TempFolder folder;
    SoundProfile profile;
};

TEST_F(RecordedBankTest, RolesUseTheirRowTablesAndFallBackToKeyFiles)
{
    manifest(R"({"name":"R","roles":{"keyDown":["d1.wav","d2.wav"],"keyUp":["u1.wav"]},"sources":[],"gain":0.5})",
             R"(,"mouse":{"roles":{"mouseDown":["m-down.wav"],"mouseUp":["m-up.wav"]},"sources":[]})");
    ASSERT_TRUE(engine->manifest().has_value());
    load(profile.id, ScrollStyle::off);
    const auto& bank = engine->bank();

    const SoundBank& keyDown = bank.at(SoundRole::keyDown);
    EXPECT_TRUE(keyDown.isRecorded);
    EXPECT_EQ(keyDown.pitches, (std::vector<double>{-0.7, 0.0, 0.7}));
    ASSERT_EQ(keyDown.takes[1].size(), 2u);
    // Row 0 offset is played unshifted, with the pack's gain applied.
    std::vector<float> expected = ramp(200);
    for (float& s : expected)
        s *= 0.5f;
    EXPECT_EQ(keyDown.takes[1][0]->samples(), expected);
    EXPECT_EQ(keyDown.takes[0][0]->frameCount(), static_cast<std::size_t>(200 / std::pow(2.0, -0.7 / 12.0)));

    // Enter and space without files of their own use keyDown's; spaceUp uses keyUp's.
    EXPECT_EQ(bank.at(SoundRole::enterDown).takes[1].size(), 2u);
    EXPECT_EQ(bank.at(SoundRole::spaceDown).takes[1].size(), 2u);
    EXPECT_EQ(bank.at(SoundRole::spaceUp).takes[1].size(), 1u);
    EXPECT_TRUE(bank.at(SoundRole::spaceUp).isRecorded);

    EXPECT_EQ(bank.at(SoundRole::modifierDown).pitches, (std::vector<double>{-2.2, -1.6, -1.0}));
    EXPECT_EQ(bank.at(SoundRole::modifierUp).pitches, (std::vector<double>{-2.2, -1.6, -1.0}));
    EXPECT_EQ(bank.at(SoundRole::mouseDown).pitches, (std::vector<double>{-0.7, 0.0, 0.7}));
    EXPECT_EQ(bank.at(SoundRole::mouseRightDown).pitches, (std::vector<double>{-1.9, -1.5, -1.1}));
    EXPECT_EQ(bank.at(SoundRole::mouseRightUp).pitches, (std::vector<double>{-1.9, -1.5, -1.1}));
    EXPECT_TRUE(bank.at(SoundRole::mouseUp).isRecorded);
    EXPECT_EQ(engine->samplesFolder(), std::optional<fs::path>(folder.path));
    EXPECT_NE(engine->debugSummary().find("keyDown=2r"), std::string::npos);
}

TEST_F(RecordedBankTest, MouseFromKeysShiftsTheBinsAndSilentRolesStaySilent)
{
    manifest(R"({"name":"R","roles":{"keyDown":["d1.wav"]},"sources":[],"mouseFromKeys":true,)"
             R"("pitchBins":[-1.0,0.0,1.0],"silent":["keyUp","mouseUp"]})");
    load(profile.id, ScrollStyle::off);
    const auto& bank = engine->bank();
    EXPECT_EQ(bank.at(SoundRole::keyDown).pitches, (std::vector<double>{-1.0, 0.0, 1.0}));
    EXPECT_EQ(bank.at(SoundRole::mouseDown).pitches, (std::vector<double>{-2.5, -1.5, -0.5}));
    EXPECT_EQ(bank.at(SoundRole::mouseRightDown).pitches, (std::vector<double>{-4.0, -3.0, -2.0}));
    // Silent even though the profile could synthesize them.
    EXPECT_TRUE(bank.at(SoundRole::keyUp).isRecorded);
    EXPECT_TRUE(bank.at(SoundRole::keyUp).takes.at(0).empty());
    EXPECT_TRUE(bank.at(SoundRole::mouseUp).takes.at(0).empty());
    EXPECT_EQ(play(SoundRole::keyUp), nullptr);
    // No files at all for modifierUp (keyUp has none): synthesized.
    EXPECT_FALSE(bank.at(SoundRole::modifierUp).isRecorded);
}

TEST_F(RecordedBankTest, MissingFilesAndAMissingFolderFallBackToSynthesis)
{
    manifest(R"({"name":"R","roles":{"keyDown":["nowhere.wav"]},"sources":[]})");
    load(profile.id, ScrollStyle::off);
    EXPECT_FALSE(engine->bank().at(SoundRole::keyDown).isRecorded);

    SoundEngine noFolder(output, queue, reader, std::nullopt);
    noFolder.render(profile.id, ScrollStyle::off, std::nullopt);
    EXPECT_FALSE(noFolder.bank().at(SoundRole::keyDown).isRecorded);
    EXPECT_EQ(noFolder.bank().at(SoundRole::keyDown).takes.size(), 9u);
}

TEST_F(RecordedBankTest, RecordedScrollSetsReplaceTheTickVoice)
{
    manifest(R"({"name":"R","roles":{},"sources":[]})",
             R"(,"scroll":{"brush":{"files":["tick.wav","gone.wav"],"gain":0.25,"sources":[]}})");
    load(profile.id, ScrollStyle::brush);
    const SoundBank& scroll = engine->bank().at(SoundRole::scrollTick);
    EXPECT_TRUE(scroll.isRecorded);
    EXPECT_EQ(scroll.pitches, (std::vector<double>{-0.8, 0.0, 0.8}));
    ASSERT_EQ(scroll.takes[1].size(), 1u);
    EXPECT_FLOAT_EQ(scroll.takes[1][0]->samples().back(), 0.5f * 0.25f);
    // A recorded style without a set plays its synthesized tick.
    load(profile.id, ScrollStyle::pencil);
    EXPECT_FALSE(engine->bank().at(SoundRole::scrollTick).isRecorded);
}

TEST_F(RecordedBankTest, AnUnreadableManifestMeansNoRecordings)
{
    folder.write("manifest.json", R"({"version":1})");
    make(folder.path);
    startEngine();
    EXPECT_FALSE(engine->manifest().has_value());
    load(profile.id, ScrollStyle::off);
    EXPECT_FALSE(engine->bank().at(SoundRole::keyDown).isRecorded);
}

// ---- The custom sound ----

TEST_F(SoundEngineTest, ACustomSoundReplacesOnlyTheSixDownRoles)
{
    reader.files["mine.wav"] = ramp(1000);
    startEngine();
    load("tactile", ScrollStyle::softTick, "/home/u/mine.wav");
    EXPECT_EQ(reader.lastMaxSeconds, 1.5);
    for (const auto& [role, bank] : engine->bank())
    {
        const bool down = role == SoundRole::keyDown || role == SoundRole::spaceDown || role == SoundRole::enterDown ||
                          role == SoundRole::modifierDown || role == SoundRole::mouseDown ||
                          role == SoundRole::mouseRightDown;
        EXPECT_EQ(bank.isRecorded, down) << rawValue(role);
        EXPECT_EQ(bank.takes.size(), 9u);
    }
    const SoundBank& keyDown = engine->bank().at(SoundRole::keyDown);
    EXPECT_EQ(keyDown.takes[4][0]->samples(), ramp(1000)); // offset 0 leaves the sound as it is
    EXPECT_EQ(keyDown.takes[8][0]->frameCount(), static_cast<std::size_t>(1000 / std::pow(2.0, 1.4 / 12.0)));

    // A custom file that cannot be read leaves the profile's sounds.
    load("tactile", ScrollStyle::softTick, "/home/u/broken.wav");
    EXPECT_FALSE(engine->bank().at(SoundRole::keyDown).isRecorded);
}

// ---- Building blocks ----

TEST_F(SoundEngineTest, PitchedInterpolatesLinearlyAndNeverGivesFewerThanSixteenFrames)
{
    make();
    const PcmBufferPtr up = engine->pitched({0.0f, 1.0f, 2.0f, 3.0f}, 12.0);
    ASSERT_NE(up, nullptr);
    ASSERT_EQ(up->frameCount(), 16u);
    EXPECT_EQ(up->samples()[0], 0.0f);
    EXPECT_EQ(up->samples()[1], 2.0f);
    EXPECT_EQ(up->samples()[2], 0.0f); // past the end reads as 0

    const PcmBufferPtr down = engine->pitched({0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f, 10.0f,
                                               11.0f, 12.0f, 13.0f, 14.0f, 15.0f, 16.0f, 17.0f},
                                              -12.0);
    ASSERT_EQ(down->frameCount(), 36u);
    EXPECT_FLOAT_EQ(down->samples()[3], 1.5f);
    EXPECT_FLOAT_EQ(down->samples()[35], 8.5f); // a = 17, b = 0 past the end

    EXPECT_EQ(engine->pitched({}, 3.0)->frameCount(), 16u);
    EXPECT_EQ(engine->pitched({1.0f}, -400.0), nullptr); // absurd lengths are refused
    EXPECT_EQ(engine->buffer({}), nullptr);
}

TEST_F(SoundEngineTest, LoadFileAsksForOneAndAHalfSecondsAndNormalizesOnRequest)
{
    reader.files["quiet.wav"] = ramp(100, 0.25f);
    reader.files["silent.wav"] = std::vector<float>(100, 0.0f);
    reader.files["empty.wav"] = {};
    make();
    const auto plain = engine->loadFile("/x/quiet.wav", false);
    ASSERT_TRUE(plain);
    EXPECT_EQ(*plain, ramp(100, 0.25f));
    EXPECT_EQ(reader.lastMaxSeconds, 1.5);
    EXPECT_EQ(reader.lastSampleRate, 48000.0);
    const auto loud = engine->loadFile("/x/quiet.wav", true);
    EXPECT_FLOAT_EQ(Synth::peak(*loud), 0.85f);
    EXPECT_EQ(*engine->loadFile("/x/silent.wav", true), std::vector<float>(100, 0.0f));
    EXPECT_FALSE(engine->loadFile("/x/empty.wav", false));
    EXPECT_FALSE(engine->loadFile("/x/unknown.txt", false));
}

// ---- The cache ----

TEST_F(SoundEngineTest, TheCacheKeepsFourSetsEvictedInOrderOfBuilding)
{
    startEngine();
    load("tactile", ScrollStyle::off);
    const PcmBufferPtr first = engine->bank().at(SoundRole::keyDown).takes[4][0];
    load("tactile", ScrollStyle::softTick);
    load("tactile", ScrollStyle::off); // a hit: same buffers, order unchanged
    EXPECT_EQ(engine->bank().at(SoundRole::keyDown).takes[4][0], first);
    EXPECT_EQ(engine->cacheOrder(), (std::vector<std::string>{"tactile|off|", "tactile|softTick|"}));

    const std::vector<SoundProfile>& synthesized = Profiles::synthesized();
    ASSERT_GE(synthesized.size(), 4u);
    std::vector<std::string> ids;
    for (const SoundProfile& p : synthesized)
        if (p.id != "tactile" && ids.size() < 3)
            ids.push_back(p.id);
    load(ids[0], ScrollStyle::off);
    load(ids[1], ScrollStyle::off);
    load("tactile", ScrollStyle::off); // used most recently, but built first
    load(ids[2], ScrollStyle::off);
    EXPECT_EQ(engine->cacheOrder(), (std::vector<std::string>{"tactile|softTick|", ids[0] + "|off|",
                                                              ids[1] + "|off|", ids[2] + "|off|"}));
    EXPECT_EQ(engine->loaded().size(), 4u);
    EXPECT_EQ(engine->loaded().count("tactile|off|"), 0u);
    load("tactile", ScrollStyle::off); // rebuilt: new buffers
    EXPECT_NE(engine->bank().at(SoundRole::keyDown).takes[4][0], first);
    EXPECT_EQ(engine->cacheOrder().back(), "tactile|off|");
    EXPECT_EQ(SoundEngine::cacheKey("a", ScrollStyle::rice, "/p.wav"), "a|rice|/p.wav");
}

// ---- Cues ----

TEST_F(SoundEngineTest, CuesAreRenderedOnceAndAgainOnlyWhenTheirKeyChanges)
{
    reader.files["cue.wav"] = ramp(500, 0.2f);
    startEngine();
    FeelSettings settings;
    engine->loadCues(settings);
    queue.runPending();
    EXPECT_EQ(engine->cueBank().size(), 12u);
    EXPECT_EQ(engine->cueKeys().at("copy"),
              "style:" + std::string(rawValue(settings.cue(ActionKind::copy).style)) + ":48000");
    EXPECT_EQ(engine->cueBank().at("dud")->samples(), CueSynth::dud(48000.0));
    EXPECT_EQ(engine->cueBank().at("paste")->samples(), CueSynth::render(settings.cue(ActionKind::paste).style, 48000.0));
    const PcmBufferPtr copy = engine->cueBank().at("copy");
    const PcmBufferPtr paste = engine->cueBank().at("paste");
    const PcmBufferPtr dud = engine->cueBank().at("dud");
    const PcmBufferPtr cut = engine->cueBank().at("cut");

    ActionCue changed = settings.cue(ActionKind::copy);
    changed.style = changed.style == CueStyle::zip ? CueStyle::pop : CueStyle::zip;
    settings.actionCues.insert_or_assign("copy", changed);
    ActionCue custom = settings.cue(ActionKind::paste);
    custom.customPath = "/cues/cue.wav";
    settings.actionCues.insert_or_assign("paste", custom);
    ActionCue broken = settings.cue(ActionKind::undo);
    broken.customPath = "/cues/broken.wav";
    settings.actionCues.insert_or_assign("undo", broken);
    engine->loadCues(settings);
    queue.runPending();

    EXPECT_NE(engine->cueBank().at("copy"), copy);
    EXPECT_EQ(engine->cueBank().at("copy")->samples(), CueSynth::render(changed.style, 48000.0));
    EXPECT_FLOAT_EQ(Synth::peak(engine->cueBank().at("paste")->samples()), 0.85f); // normalized custom file
    EXPECT_EQ(engine->cueKeys().at("paste"), "/cues/cue.wav");
    EXPECT_EQ(engine->cueBank().at("undo")->samples(), CueSynth::render(broken.style, 48000.0));
    EXPECT_NE(engine->cueBank().at("paste"), paste);
    EXPECT_EQ(engine->cueBank().at("cut"), cut); // untouched kinds keep their buffers
    EXPECT_EQ(engine->cueBank().at("dud"), dud);

    // playCue: a kind plays its cue; no kind plays the dud, centred.
    engine->playCue(std::nullopt, 0.5f);
    queue.runPending();
    EXPECT_EQ(engine->pool().current(0), dud);
    engine->playCue(ActionKind::copy, 0.5f);
    queue.runPending();
    EXPECT_EQ(engine->pool().current(1), engine->cueBank().at("copy"));
    EXPECT_EQ(engine->playedCount(), 2);
}

// ---- Idle suspension ----

TEST_F(SoundEngineTest, PausesFourSecondsAfterTheLastSoundAndResumesOnTheNext)
{
    startEngine();
    load("tactile", ScrollStyle::off);
    play(SoundRole::keyDown);
    queue.advance(3.9);
    play(SoundRole::keyDown); // 3.9 s after the first: no pause yet
    queue.advance(3.9);
    EXPECT_FALSE(engine->paused());
    EXPECT_EQ(output.pauses(), 0);
    queue.advance(0.15);
    EXPECT_TRUE(engine->paused());
    EXPECT_EQ(output.pauses(), 1);
    EXPECT_FALSE(output.isRunning());
    EXPECT_TRUE(engine->isRunning()); // idle-paused counts as healthy
    EXPECT_EQ(queue.delayedCount(), 0u); // only one check was ever outstanding

    EXPECT_NE(play(SoundRole::keyDown), nullptr);
    EXPECT_FALSE(engine->paused());
    EXPECT_EQ(output.resumes(), 1);
    EXPECT_GE(engine->lastResumeMs(), 0.0);
    EXPECT_TRUE(output.isRunning());
}

TEST_F(SoundEngineTest, AFailedResumeIsLoggedAndRetriedOnTheNextSound)
{
    startEngine();
    load("tactile", ScrollStyle::off);
    play(SoundRole::keyDown);
    queue.advance(4.5);
    ASSERT_TRUE(engine->paused());
    output.failNextResume("device busy");
    EXPECT_NE(play(SoundRole::keyDown), nullptr); // still scheduled
    EXPECT_TRUE(engine->paused());
    EXPECT_EQ(logs, (std::vector<std::string>{"Clickory: could not resume audio: device busy"}));
    play(SoundRole::keyDown);
    EXPECT_FALSE(engine->paused());
}

// ---- Low latency and underruns ----

TEST(SoundEngineStatic, BufferFramesComeFromTheEnvironmentOnlyWhenItIsANumber)
{
    EXPECT_EQ(SoundEngine::lowLatencyFrames(true, nullptr), 128u);
    EXPECT_EQ(SoundEngine::lowLatencyFrames(false, nullptr), 512u);
    EXPECT_EQ(SoundEngine::lowLatencyFrames(true, "256"), 256u);
    EXPECT_EQ(SoundEngine::lowLatencyFrames(false, "256"), 256u);
    EXPECT_EQ(SoundEngine::lowLatencyFrames(false, "+64"), 64u);
    EXPECT_EQ(SoundEngine::lowLatencyFrames(true, "4294967295"), 4294967295u);
    for (const char* bad : {"-5", "abc", "", "+", "12x", "4294967296", " 64", "++5"})
        EXPECT_EQ(SoundEngine::lowLatencyFrames(true, bad), 128u) << bad;
}

TEST_F(SoundEngineTest, LowLatencyRequestsTheBufferAndLogsTheSizeInForce)
{
    startEngine();
    output.setMinimumFrames(192);
    ::unsetenv("CLICKORY_BUFFER_FRAMES");
    EXPECT_EQ(engine->applyLowLatency(true), 192u);
    ::setenv("CLICKORY_BUFFER_FRAMES", "256", 1);
    engine->setLowLatency(false);
    queue.runPending();
    ::unsetenv("CLICKORY_BUFFER_FRAMES");
    EXPECT_EQ(output.bufferFrames(), 256u);
    EXPECT_EQ(logs, (std::vector<std::string>{"Clickory: output buffer 192 frames",
                                              "Clickory: output buffer 256 frames"}));
}

TEST_F(SoundEngineTest, UnderrunsGrowTheBufferStepByStepAndLogOnce)
{
    startEngine();
    load("tactile", ScrollStyle::off);
    engine->applyLowLatency(true);
    logs.clear();
    output.addUnderruns(3);
    play(SoundRole::keyDown);
    EXPECT_EQ(output.bufferFrames(), 256u);
    output.addUnderruns(1);
    play(SoundRole::keyDown);
    EXPECT_EQ(output.bufferFrames(), 512u);
    play(SoundRole::keyDown); // no new underruns: unchanged
    EXPECT_EQ(output.bufferFrames(), 512u);
    EXPECT_EQ(logs, (std::vector<std::string>{"Clickory: audio underruns; output buffer raised to 256 frames"}));
    // A later low-latency request does not shrink it below what stopped the underruns.
    EXPECT_EQ(engine->applyLowLatency(true), 512u);
}

// ---- Recovery ----

TEST_F(SoundEngineTest, AConfigurationChangeRebuildsTheOutputBanksAndEmptiesTheCaches)
{
    startEngine();
    load("tactile", ScrollStyle::off);
    load("tactile", ScrollStyle::softTick);
    engine->loadCues(FeelSettings{});
    queue.runPending();
    const PcmBufferPtr before = engine->bank().at(SoundRole::keyDown).takes[4][0];
    output.setSampleRate(44100.0);
    output.simulateConfigurationChange();
    queue.runPending();
    EXPECT_EQ(output.starts(), 2);
    EXPECT_EQ(engine->sampleRate(), 44100.0);
    EXPECT_EQ(engine->cacheOrder(), (std::vector<std::string>{"tactile|softTick|"}));
    EXPECT_TRUE(engine->cueBank().empty());
    EXPECT_TRUE(engine->cueKeys().empty());
    EXPECT_NE(engine->bank().at(SoundRole::keyDown).takes[4][0], before);
    EXPECT_NE(play(SoundRole::keyDown), nullptr);
}

TEST_F(SoundEngineTest, AFailedRecoveryIsLoggedOnceAndRetriedUntilTheOutputIsBack)
{
    startEngine();
    load("tactile", ScrollStyle::off);
    output.failNextStart("Connection refused");
    engine->restartAfterWake();
    queue.runPending();
    EXPECT_EQ(engine->players(), 0);
    EXPECT_EQ(play(SoundRole::keyDown), nullptr);
    EXPECT_EQ(logs, (std::vector<std::string>{"Clickory: could not restart audio: Connection refused"}));
    output.failNextStart("Connection refused");
    queue.advance(2.0);
    EXPECT_EQ(logs.size(), 1u);
    queue.advance(2.0);
    EXPECT_EQ(engine->players(), 8);
    EXPECT_NE(play(SoundRole::keyDown), nullptr);
    EXPECT_EQ(output.starts(), 4);
}

TEST_F(SoundEngineTest, MasterIsClampedAndAppliedToTheMix)
{
    startEngine();
    engine->setMaster(2.0f);
    EXPECT_EQ(engine->master(), 1.0f);
    EXPECT_EQ(engine->mixer().master(), 1.0f);
    engine->setMaster(std::nanf(""));
    EXPECT_EQ(engine->mixer().master(), 0.0f);
    engine->setMaster(0.25f);
    load("tactile", ScrollStyle::off);
    reader.files["one.wav"] = std::vector<float>(64, 1.0f);
    load("tactile", ScrollStyle::off, "/one.wav");
    engine->play(SoundRole::keyDown, 0.0, 0.5f, -1.0f, std::nullopt);
    queue.runPending();
    const std::vector<float> out = output.pull(4);
    EXPECT_NEAR(out[0], 1.0f * 0.5f * 0.25f, 1e-6f);
    EXPECT_NEAR(out[1], 0.0f, 1e-6f);
}

// ---- Locating the samples ----

TEST(SoundEngineStatic, SamplesFolderIsFoundBesideTheExecutableThenByEnvironmentThenBySource)
{
    TempFolder root;
    root.write("install/share/clickory/Samples/manifest.json", "{}");
    root.write("repo/assets/samples/manifest.json", "{}");
    fs::create_directories(root.path / "install/bin");
    fs::create_directories(root.path / "repo/a/b/c/d");
    const fs::path bin = root.path / "install/bin";
    EXPECT_EQ(SoundEngine::locateSamplesFolder(bin, "/env", root.path / "repo/a"),
              (root.path / "install/share/clickory/Samples").lexically_normal());
    EXPECT_EQ(SoundEngine::locateSamplesFolder(root.path / "elsewhere", "/env", root.path / "repo/a"),
              fs::path("/env"));
    EXPECT_EQ(SoundEngine::locateSamplesFolder(std::nullopt, "", root.path / "repo/a/b/c/d"),
              root.path / "repo/assets/samples");
    // Five folders in all: from five levels below, the repository is out of reach.
    fs::create_directories(root.path / "repo/a/b/c/d/e");
    EXPECT_EQ(SoundEngine::locateSamplesFolder(std::nullopt, nullptr, root.path / "repo/a/b/c/d/e"), std::nullopt);
}

} // namespace
} // namespace clickory
