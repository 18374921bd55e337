// SPDX-License-Identifier: MIT
// The engine on a real PulseAudio daemon of the test's own, recorded from its null sink's monitor.
#include "ClickoryApp/engine/PlayerPool.h"
#include "ClickoryApp/engine/SoundEngine.h"
#include "ClickoryApp/platform/ThreadWorkQueue.h"
#include "ClickoryApp/platform/ffmpeg/FfmpegSoundFileReader.h"
#include "ClickoryApp/platform/pulse/PulseAudioOutput.h"
#include "ClickoryApp/platform/pulse/PulseOutputDevice.h"
#include "ClickoryCore/profiles/Profiles.h"
#include "ClickoryCore/synth/Synth.h"
#include "EndToEnd/PrivatePulseServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <iostream>
#include <thread>

namespace clickory {
namespace {

using namespace std::chrono_literals;

struct Peaks
{
    float left = 0.0f;
    float right = 0.0f;
};

Peaks peaks(const std::vector<float>& stereo)
{
    Peaks result;
    for (std::size_t i = 0; i + 1 < stereo.size(); i += 2)
    {
        result.left = std::max(result.left, std::abs(stereo[i]));
        result.right = std::max(result.right, std::abs(stereo[i + 1]));
    }
    return result;
}

class PulseEngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(server.start(error)) << error;
        engine = std::make_unique<SoundEngine>(output, queue, reader, std::nullopt);
        engine->setLogger([this](const std::string& line) {
            std::lock_guard lock(logMutex);
            logs.push_back(line);
        });
        ASSERT_EQ(engine->start(), std::nullopt);
        engine->setMaster(1.0f);
        engine->load("tactile", ScrollStyle::off, std::nullopt);
        engine->setLowLatency(true);
        queue.sync([] {});
    }
    void TearDown() override { engine.reset(); }

    // Waits until the recorder has heard something above `threshold`, or the time is up.
    bool waitForSound(MonitorRecorder& recorder, float threshold, std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline)
        {
            const Peaks p = peaks(recorder.samples());
            if (std::max(p.left, p.right) > threshold)
                return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    bool outputRunning()
    {
        bool running = false;
        queue.sync([&] { running = output.isRunning(); });
        return running;
    }

    PrivatePulseServer server;
    ThreadWorkQueue queue;
    PulseAudioOutput output;
    FfmpegSoundFileReader reader;
    std::unique_ptr<SoundEngine> engine;
    std::mutex logMutex;
    std::vector<std::string> logs;
};

TEST_F(PulseEngineTest, AKeySoundPannedLeftArrivesLouderOnTheLeftAtTheExpectedLevel)
{
    EXPECT_EQ(output.sampleRate(), 48000.0);
    MonitorRecorder recorder;
    std::this_thread::sleep_for(300ms);
    recorder.clear();
    engine->play(SoundRole::keyDown, 0.0, 0.8f, -0.6f, std::nullopt);
    ASSERT_TRUE(waitForSound(recorder, 0.01f, 2000ms)) << "no sound reached the null sink";
    std::this_thread::sleep_for(300ms);
    const Peaks heard = peaks(recorder.samples());

    // Every take of a synthesized voice peaks at the voice's level; constant-power pan at -0.6.
    const float level = Synth::peak(engine->bank().at(SoundRole::keyDown).takes[4][0]->samples());
    const auto [l, r] = PlayerPool::panFactors(-0.6f);
    std::cout << "heard left " << heard.left << " right " << heard.right << ", expected " << level * 0.8f * l << " "
              << level * 0.8f * r << "\n";
    EXPECT_NEAR(heard.left, level * 0.8f * l, 0.03f * level);
    EXPECT_NEAR(heard.right, level * 0.8f * r, 0.03f * level);
    EXPECT_GT(heard.left, 2.0f * heard.right);
    EXPECT_EQ(engine->playedCount(), 1);
}

TEST_F(PulseEngineTest, TheStreamIsCorkedAfterFourIdleSecondsAndTheNextSoundUncorksIt)
{
    engine->play(SoundRole::keyDown, 0.0, 0.8f, 0.0f, std::nullopt);
    std::this_thread::sleep_for(3500ms);
    EXPECT_TRUE(outputRunning());
    std::this_thread::sleep_for(1000ms);
    EXPECT_FALSE(outputRunning()) << "the stream should be corked 4 s after the last sound";
    EXPECT_TRUE(engine->isRunning());

    MonitorRecorder recorder;
    std::this_thread::sleep_for(300ms);
    recorder.clear();
    engine->play(SoundRole::keyDown, 0.0, 0.8f, 0.0f, std::nullopt);
    ASSERT_TRUE(waitForSound(recorder, 0.01f, 2000ms)) << "no sound after resuming";
    EXPECT_TRUE(outputRunning());
    double resumeMs = -1.0;
    queue.sync([&] { resumeMs = engine->lastResumeMs(); });
    std::cout << "resume from idle took " << resumeMs << " ms\n";
    EXPECT_GT(resumeMs, 0.0);
    EXPECT_LT(resumeMs, 500.0);
}

TEST_F(PulseEngineTest, KillingAndRestartingTheDaemonIsFollowedByRecoveryAndSoundAgain)
{
    server.kill();
    std::this_thread::sleep_for(500ms);
    EXPECT_FALSE(engine->isRunning());
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;

    MonitorRecorder recorder;
    bool heard = false;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!heard && std::chrono::steady_clock::now() < deadline)
    {
        engine->play(SoundRole::keyDown, 0.0, 0.8f, 0.0f, std::nullopt);
        heard = waitForSound(recorder, 0.01f, 400ms);
    }
    EXPECT_TRUE(heard) << "no sound after the server came back";
    EXPECT_TRUE(engine->isRunning());
    std::lock_guard lock(logMutex);
    ASSERT_FALSE(logs.empty());
    bool loggedFailure = false;
    for (const std::string& line : logs)
        loggedFailure = loggedFailure || line.rfind("Clickory: could not restart audio: ", 0) == 0;
    EXPECT_TRUE(loggedFailure);
}

// The mixer, counting how often the output asks it for samples.
class CountingMixer final : public AudioRenderer
{
public:
    void render(float* stereo, std::size_t frames) override
    {
        calls.fetch_add(1, std::memory_order_relaxed);
        mixer.render(stereo, frames);
    }
    bool isSilent() const override { return mixer.isSilent(); }

    Mixer mixer;
    std::atomic<int> calls{0};
};

TEST_F(PulseEngineTest, ASilentStreamStopsAskingAndWakesForTheNextSoundWithoutCountingUnderruns)
{
    CountingMixer renderer;
    PlayerPool pool(renderer.mixer);
    PulseAudioOutput quiet;
    ASSERT_TRUE(quiet.start(renderer)) << quiet.lastError();
    pool.build();
    renderer.mixer.setMaster(1.0f);
    MonitorRecorder recorder;
    const PcmBufferPtr tone = PcmBuffer::make(std::vector<float>(9600, 0.5f)); // 0.2 s at 48 kHz

    for (int round = 0; round < 3; ++round)
    {
        // Settle: whatever was queued plays out, then the stream no longer asks for samples.
        std::this_thread::sleep_for(400ms);
        const int before = renderer.calls.load();
        std::this_thread::sleep_for(500ms);
        EXPECT_EQ(renderer.calls.load(), before) << "a silent stream kept asking for samples (round " << round << ")";
        EXPECT_TRUE(quiet.isRunning());

        recorder.clear();
        queue.sync([&] {
            pool.schedule(tone, 1.0f, 0.0f);
            quiet.wake();
        });
        ASSERT_TRUE(waitForSound(recorder, 0.2f, 2000ms)) << "no sound after waking the stream (round " << round << ")";
        EXPECT_GT(renderer.calls.load(), before);
    }
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(quiet.underrunCount(), 0u) << "running dry on purpose counts as an underrun";
    pool.clear();
    quiet.stop();
}

TEST_F(PulseEngineTest, ReportsLatencyWithLowLatencyOnAndOffAndTheNullSinksFacts)
{
    // Let timing information arrive.
    engine->play(SoundRole::keyDown, 0.0, 0.1f, 0.0f, std::nullopt);
    std::this_thread::sleep_for(300ms);
    std::optional<std::uint32_t> lowFrames;
    std::optional<double> lowLatency;
    queue.sync([&] {
        lowFrames = engine->applyLowLatency(true);
    });
    std::this_thread::sleep_for(300ms);
    queue.sync([&] { lowLatency = output.latencyMs(); });
    std::optional<std::uint32_t> normalFrames;
    std::optional<double> normalLatency;
    queue.sync([&] { normalFrames = engine->applyLowLatency(false); });
    engine->play(SoundRole::keyDown, 0.0, 0.1f, 0.0f, std::nullopt);
    std::this_thread::sleep_for(300ms);
    queue.sync([&] { normalLatency = output.latencyMs(); });
    ASSERT_TRUE(lowFrames && normalFrames && lowLatency && normalLatency);
    std::cout << "low latency on: period " << *lowFrames << " frames, stream latency " << *lowLatency << " ms\n"
              << "low latency off: period " << *normalFrames << " frames, stream latency " << *normalLatency
              << " ms\n";
    ::testing::Test::RecordProperty("lowLatencyOnMs", std::to_string(*lowLatency));
    ::testing::Test::RecordProperty("lowLatencyOffMs", std::to_string(*normalLatency));
    EXPECT_LE(*lowFrames, *normalFrames);
    EXPECT_GE(*lowFrames, 1u);

    PulseOutputDevice device(&output);
    EXPECT_EQ(device.kind(), OutputKind::unknown); // a null sink is neither speakers nor headphones
    EXPECT_FALSE(device.isBluetooth());
    const std::optional<double> estimate = device.estimatedLatencyMs(48000.0);
    ASSERT_TRUE(estimate);
    std::cout << "estimated output latency " << *estimate << " ms\n";
    EXPECT_GE(*estimate, 2.0 * *normalFrames / 48.0);
    std::optional<std::uint32_t> granted;
    queue.sync([&] { granted = device.requestBufferFrames(256); });
    EXPECT_TRUE(granted);
}

TEST(PulseOutputDeviceFacts, ClassifiesSinksByBusFormFactorAndPort)
{
    PulseSinkFacts facts;
    EXPECT_EQ(PulseOutputDevice::classify(facts), OutputKind::unknown);
    facts.bus = "bluetooth";
    EXPECT_EQ(PulseOutputDevice::classify(facts), OutputKind::headphones);
    EXPECT_TRUE(PulseOutputDevice::isBluetooth(facts));
    facts.bus = "usb";
    EXPECT_EQ(PulseOutputDevice::classify(facts), OutputKind::external);
    facts.bus = "pci";
    facts.portType = PA_DEVICE_PORT_TYPE_HDMI;
    EXPECT_EQ(PulseOutputDevice::classify(facts), OutputKind::external);
    facts.portType = PA_DEVICE_PORT_TYPE_HEADPHONES;
    EXPECT_EQ(PulseOutputDevice::classify(facts), OutputKind::headphones);
    facts.portType = PA_DEVICE_PORT_TYPE_SPEAKER;
    EXPECT_EQ(PulseOutputDevice::classify(facts), OutputKind::builtInSpeakers);
    facts.portType.reset();
    facts.portName = "analog-output-headphones";
    EXPECT_EQ(PulseOutputDevice::classify(facts), OutputKind::headphones);
    facts.portName = "analog-output-speaker";
    EXPECT_EQ(PulseOutputDevice::classify(facts), OutputKind::builtInSpeakers);
    facts.portName = "analog-output-lineout";
    EXPECT_EQ(PulseOutputDevice::classify(facts), OutputKind::unknown);
    facts.bus = "network";
    facts.portName = "analog-output-speaker";
    EXPECT_EQ(PulseOutputDevice::classify(facts), OutputKind::unknown);
}

TEST(PulseOutputDeviceFacts, WithoutAServerThereIsNoDeviceAndNoEstimate)
{
    ::setenv("PULSE_SERVER", "unix:/nonexistent/clickory/native", 1);
    PulseOutputDevice device(nullptr, 0.5);
    EXPECT_EQ(device.kind(), OutputKind::unknown);
    EXPECT_FALSE(device.estimatedLatencyMs(48000.0));
    EXPECT_FALSE(device.requestBufferFrames(128));
    PulseAudioOutput output(0.5);
    Mixer mixer;
    EXPECT_FALSE(output.start(mixer));
    EXPECT_FALSE(output.lastError().empty());
}

} // namespace
} // namespace clickory
