// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace clickory {

// Fills the output's sample buffers. Called on the audio thread.
class AudioRenderer
{
public:
    virtual ~AudioRenderer() = default;

    // Thread: audio. RT-safe: must not lock, allocate, free or make a system call.
    // Writes `frames` interleaved stereo float frames (left, right) into `stereo`, always all of
    // them (silence when nothing sounds). `frames` varies from call to call.
    virtual void render(float* stereo, std::size_t frames) = 0;

    // Thread: audio (or whoever holds the output's lock in place of the audio thread). RT-safe.
    // True when nothing sounds and no work waits, so render() would give only zeros until new work
    // arrives (announced through AudioOutput::wake). An output may then stop asking for samples.
    virtual bool isSilent() const { return false; }
};

// A stereo float output stream at the default device's rate. Every method except the renderer's
// callback is called from the engine's work queue (or, before the engine starts, from its owner);
// implementations serialise their own internal threads.
class AudioOutput
{
public:
    virtual ~AudioOutput() = default;

    // Opens the stream and starts pulling from `renderer`, which must outlive the stream (until
    // stop() or destruction). False on failure, with the reason in lastError(). Starting an output
    // that is running restarts it.
    virtual bool start(AudioRenderer& renderer) = 0;

    // The stream's sample rate in Hz; valid after a successful start (48000 when it cannot be read).
    virtual double sampleRate() const = 0;

    // Suspends pulling (the stream costs the server nothing while paused). False on failure.
    virtual bool pause() = 0;

    // Resumes after pause(). False on failure, with the reason in lastError().
    virtual bool resume() = 0;

    // Closes the stream; the renderer is no longer called once this returns.
    virtual void stop() = 0;

    // True while the stream exists and is pulling (false while paused, stopped or broken).
    virtual bool isRunning() const = 0;

    // Asks for a buffer of about `frames` frames per period for this stream only (never for other
    // programs on the device). Answers the period in force, or nothing when it cannot be known.
    virtual std::optional<std::uint32_t> requestBufferFrames(std::uint32_t frames) = 0;

    // The period in force, in frames, or nothing without a stream.
    virtual std::optional<std::uint32_t> bufferFrames() const = 0;

    // The latency the stream reports from a write to the speaker, in milliseconds, or nothing.
    virtual std::optional<double> latencyMs() const = 0;

    // Called after new work was handed to the renderer. An output that stopped pulling while the
    // renderer was silent starts pulling again now, without waiting for its next period.
    virtual void wake() {}

    // Times the stream ran dry since start (each is a potential click in the sound). Running out of
    // silence on purpose, while the renderer is silent, does not count.
    virtual std::uint64_t underrunCount() const = 0;

    // Called, on an internal thread of the output, when the configuration changes under the stream:
    // the server restarts or goes away, the default device changes, or the stream fails. The
    // handler should only hand the news to the work queue. Set before start().
    virtual void setConfigurationChangeHandler(std::function<void()> handler) = 0;

    // The reason of the last failure, empty when none.
    virtual std::string lastError() const = 0;
};

} // namespace clickory
