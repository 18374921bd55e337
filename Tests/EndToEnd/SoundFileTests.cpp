// SPDX-License-Identifier: MIT
// The FFmpeg reader and the engine's recorded banks on real files written into a temporary folder.
#include "ClickoryApp/engine/SoundEngine.h"
#include "ClickoryApp/platform/OfflineAudioOutput.h"
#include "ClickoryApp/platform/ffmpeg/FfmpegSoundFileReader.h"
#include "ClickoryCore/profiles/Profiles.h"
#include "ClickoryCore/samples/WAV.h"
#include "Fakes/FakeWorkQueue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace clickory {
namespace {

namespace fs = std::filesystem;

class SoundFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("clickory-files-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        std::ofstream out(folder / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return folder / name;
    }
    fs::path writeWav(const std::string& name, const std::vector<float>& samples, std::uint32_t rate)
    {
        return writeBytes(name, WAV::data(samples, rate));
    }
    // A 16-bit stereo WAV with the given left and right constant values.
    fs::path writeStereo(const std::string& name, std::size_t frames, std::int16_t left, std::int16_t right)
    {
        std::vector<std::uint8_t> bytes = WAV::data(std::vector<float>(frames * 2, 0.0f), 48000);
        bytes[22] = 2;                                               // channels
        const std::uint32_t byteRate = 48000 * 4;
        std::memcpy(&bytes[28], &byteRate, 4);
        bytes[32] = 4;                                               // bytes per frame
        for (std::size_t i = 0; i < frames; ++i)
        {
            std::memcpy(&bytes[44 + 4 * i], &left, 2);
            std::memcpy(&bytes[44 + 4 * i + 2], &right, 2);
        }
        return writeBytes(name, bytes);
    }

    static std::vector<float> sine(std::size_t frames, double rate, double frequency, float amplitude)
    {
        std::vector<float> samples(frames);
        for (std::size_t i = 0; i < frames; ++i)
            samples[i] = amplitude * static_cast<float>(std::sin(2.0 * 3.141592653589793 * frequency * i / rate));
        return samples;
    }

    fs::path folder;
    FfmpegSoundFileReader reader;
};

TEST_F(SoundFileTest, ReadsAWavAtItsOwnRateSampleForSample)
{
    const std::vector<float> samples = sine(4800, 48000.0, 440.0, 0.5f);
    const auto read = reader.read(writeWav("a.wav", samples, 48000), 48000.0, 1.5);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        ASSERT_NEAR((*read)[i], samples[i], 1.0f / 32767.0f) << i;
}

TEST_F(SoundFileTest, ConvertsTheRateAndCutsAtOneAndAHalfSeconds)
{
    // Three seconds at 44.1 kHz, read at 48 kHz: the first 1.5 s, i.e. 72000 frames (give or take
    // the resampler's edges).
    const auto read = reader.read(writeWav("long.wav", sine(3 * 44100, 44100.0, 220.0, 0.4f), 44100), 48000.0, 1.5);
    ASSERT_TRUE(read);
    EXPECT_NEAR(static_cast<double>(read->size()), 72000.0, 64.0);
    // The tone survives the conversion at its level.
    float peak = 0.0f;
    for (const float s : *read)
        peak = std::max(peak, std::abs(s));
    EXPECT_NEAR(peak, 0.4f, 0.01f);
    // A short file is read whole.
    const auto shortRead = reader.read(writeWav("short.wav", sine(2400, 48000.0, 220.0, 0.4f), 48000), 48000.0, 1.5);
    ASSERT_TRUE(shortRead);
    EXPECT_EQ(shortRead->size(), 2400u);
}

TEST_F(SoundFileTest, MixesStereoToTheMeanOfItsChannels)
{
    const auto read = reader.read(writeStereo("stereo.wav", 1000, 16384, -8192), 48000.0, 1.5);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 1000u);
    EXPECT_NEAR((*read)[500], (16384.0f - 8192.0f) / 2.0f / 32768.0f, 1e-4f);
}

TEST_F(SoundFileTest, GivesNothingForFilesThatAreNotUsableAudio)
{
    EXPECT_FALSE(reader.read(folder / "missing.wav", 48000.0, 1.5));
    std::ofstream(folder / "notes.txt") << "This is not a sound, just a few words of text.\n";
    EXPECT_FALSE(reader.read(folder / "notes.txt", 48000.0, 1.5));
    writeBytes("empty.wav", {});
    EXPECT_FALSE(reader.read(folder / "empty.wav", 48000.0, 1.5));
    writeWav("silence.wav", {}, 48000); // a valid header with no samples
    EXPECT_FALSE(reader.read(folder / "silence.wav", 48000.0, 1.5));
    // A header promising a second of sound followed by a tenth of it: cut off.
    std::vector<std::uint8_t> truncated = WAV::data(sine(48000, 48000.0, 300.0, 0.3f), 48000);
    truncated.resize(44 + 2 * 4800);
    EXPECT_FALSE(reader.read(writeBytes("truncated.wav", truncated), 48000.0, 1.5));
    // Only the first bytes of the header.
    truncated.resize(20);
    EXPECT_FALSE(reader.read(writeBytes("header.wav", truncated), 48000.0, 1.5));
    // A name that looks like a URL is still a local file name.
    EXPECT_FALSE(reader.read("http://127.0.0.1:9/x.wav", 48000.0, 1.5));
    // Nonsense rates are refused before anything is read.
    const fs::path good = writeWav("good.wav", sine(480, 48000.0, 300.0, 0.3f), 48000);
    EXPECT_FALSE(reader.read(good, 0.0, 1.5));
    EXPECT_FALSE(reader.read(good, std::nan(""), 1.5));
    EXPECT_TRUE(reader.read(good, 48000.0, 1.5));
}

TEST_F(SoundFileTest, TheEngineBuildsRecordedBanksFromAManifestAndWavFiles)
{
    const SoundProfile profile = Profiles::recorded().front();
    writeWav("down-1.wav", sine(2400, 48000.0, 500.0, 0.6f), 48000);
    writeWav("down-2.wav", sine(3600, 44100.0, 700.0, 0.6f), 44100);
    writeWav("up-1.wav", sine(1200, 48000.0, 900.0, 0.3f), 48000);
    std::ofstream(folder / "broken.wav") << "RIFF";
    std::ofstream(folder / "manifest.json")
        << R"({"version":1,"packs":{")" << *profile.samplePackID
        << R"(":{"name":"Test","roles":{"keyDown":["down-1.wav","broken.wav","down-2.wav"],"keyUp":["up-1.wav"]},)"
        << R"("sources":[{"title":"t","author":"a","url":"u","license":"l"}]}}})";

    OfflineAudioOutput output;
    FakeWorkQueue queue;
    SoundEngine engine(output, queue, reader, folder);
    ASSERT_EQ(engine.start(), std::nullopt);
    engine.load(profile.id, ScrollStyle::off, std::nullopt);
    queue.runPending();

    const SoundBank& keyDown = engine.bank().at(SoundRole::keyDown);
    EXPECT_TRUE(keyDown.isRecorded);
    ASSERT_EQ(keyDown.takes.size(), 3u);
    ASSERT_EQ(keyDown.takes[1].size(), 2u); // the broken file is skipped
    EXPECT_EQ(keyDown.takes[1][0]->frameCount(), 2400u);
    EXPECT_NEAR(static_cast<double>(keyDown.takes[1][1]->frameCount()), 3600.0 * 48000.0 / 44100.0, 8.0);
    EXPECT_TRUE(engine.bank().at(SoundRole::spaceUp).isRecorded); // from keyUp's files
    EXPECT_FALSE(engine.bank().at(SoundRole::mouseUp).isRecorded); // no mouse recordings: synthesized
    EXPECT_NE(engine.debugSummary().find("samples=" + folder.string()), std::string::npos);
}

} // namespace
} // namespace clickory
