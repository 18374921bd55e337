// SPDX-License-Identifier: MIT
#pragma once

#include <sys/types.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace clickory {

// A PulseAudio daemon of the test's own: its own runtime, state and configuration folders in a
// fresh temporary folder, one null sink "clickory_test" (48 kHz float stereo) as the default sink,
// and a socket that only this test uses. The test process is pointed at it through PULSE_SERVER
// and a client configuration without autospawn, so a user's own sound server is never touched.
class PrivatePulseServer
{
public:
    static constexpr const char* sinkName = "clickory_test";

    PrivatePulseServer();
    ~PrivatePulseServer();

    // Starts the daemon and waits for its socket. False with a reason; a missing pulseaudio program
    // is such a failure, naming the package to install.
    bool start(std::string& error);
    // Ends the daemon: politely (SIGTERM) or as a crash would (SIGKILL).
    void stop();
    void kill();

    const std::filesystem::path& folder() const { return m_folder; }
    std::string log() const;

private:
    std::filesystem::path m_folder;
    pid_t m_pid = -1;
};

// Records the null sink's monitor (float stereo, 48 kHz) on a thread of its own, reconnecting when
// the server goes away and comes back.
class MonitorRecorder
{
public:
    MonitorRecorder();
    ~MonitorRecorder();

    // Interleaved stereo frames captured so far; clear() forgets them.
    std::vector<float> samples() const;
    void clear();
    // True once a connection delivered data.
    bool isCapturing() const { return m_capturing.load(); }

private:
    void run();

    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_capturing{false};
    mutable std::mutex m_mutex;
    std::vector<float> m_samples;
    std::thread m_thread;
};

} // namespace clickory
