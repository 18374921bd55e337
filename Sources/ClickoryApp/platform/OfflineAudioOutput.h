// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/AudioOutput.h"

#include <atomic>
#include <cstddef>
#include <mutex>
#include <vector>

namespace clickory {

// An output without a device: it renders only when pull() asks, on the caller's thread. Used by the
// tests and the benchmarks, and wherever sound must be computed but not heard.
class OfflineAudioOutput final : public AudioOutput
{
public:
    explicit OfflineAudioOutput(double sampleRate = 48000.0) : m_rate(sampleRate) {}

    bool start(AudioRenderer& renderer) override;
    double sampleRate() const override { return m_rate; }
    bool pause() override;
    bool resume() override;
    void stop() override;
    bool isRunning() const override;
    std::optional<std::uint32_t> requestBufferFrames(std::uint32_t frames) override;
    std::optional<std::uint32_t> bufferFrames() const override;
    std::optional<double> latencyMs() const override;
    std::uint64_t underrunCount() const override { return m_underruns.load(); }
    void setConfigurationChangeHandler(std::function<void()> handler) override;
    std::string lastError() const override;

    // Renders `frames` stereo frames through the renderer when started and not paused, as the audio
    // thread would; otherwise answers silence without calling it. Interleaved left, right.
    std::vector<float> pull(std::size_t frames);

    // Scripting for tests.
    void setSampleRate(double rate) { m_rate = rate; }
    void failNextStart(std::string reason);
    void failNextResume(std::string reason);
    void addUnderruns(std::uint64_t count) { m_underruns += count; }
    // Calls the configuration-change handler as the output's own thread would.
    void simulateConfigurationChange();
    // Start, pause, resume and stop calls so far.
    int starts() const { return m_starts; }
    int pauses() const { return m_pauses; }
    int resumes() const { return m_resumes; }
    bool isPaused() const { return m_paused; }
    // The smallest period the "server" grants.
    void setMinimumFrames(std::uint32_t frames) { m_minimumFrames = frames; }

private:
    mutable std::mutex m_mutex;
    double m_rate;
    AudioRenderer* m_renderer = nullptr;
    bool m_paused = false;
    std::uint32_t m_frames = 512;
    std::uint32_t m_minimumFrames = 1;
    std::atomic<std::uint64_t> m_underruns{0};
    std::function<void()> m_handler;
    std::string m_error;
    std::string m_failStart;
    std::string m_failResume;
    int m_starts = 0;
    int m_pauses = 0;
    int m_resumes = 0;
};

} // namespace clickory
