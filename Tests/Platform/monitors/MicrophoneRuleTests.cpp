// SPDX-License-Identifier: MIT
// The microphone rule against a private PulseAudio: a parec recording makes the default source run.
#include "ClickoryApp/monitors/MuteMonitor.h"
#include "ClickoryApp/platform/linux/PollMainQueue.h"
#include "ClickoryApp/platform/pulse/PulseAudioDevices.h"
#include "EndToEnd/PrivatePulseServer.h"
#include "Fakes/FakeWorkspace.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace clickory {
namespace {

// Records from the default source with parec until stopped.
class Recording
{
public:
    Recording()
    {
        m_pid = ::fork();
        if (m_pid == 0)
        {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execlp("parec", "parec", "--raw", static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~Recording() { stop(); }
    void stop()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
};

TEST(MicrophoneRule, ParecRecordingMutesAndStoppingItUnmutes)
{
    ASSERT_EQ(::system("command -v parec >/dev/null"), 0) << "parec is missing: install pulseaudio-utils";
    PrivatePulseServer server;
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;

    PollMainQueue queue;
    PulseAudioDevices devices(queue, 2.0, 0.2);
    FakeWorkspace workspace;
    MuteMonitor mute(workspace, devices);
    int changes = 0;
    mute.start();
    devices.watch([&] {
        ++changes;
        mute.refresh();
    });
    FeelSettings settings;
    ASSERT_TRUE(queue.runUntil([&] { return devices.isConnected(); }, 10.0));
    queue.runFor(0.3);
    EXPECT_FALSE(mute.microphoneInUse());
    EXPECT_FALSE(mute.isMuted(settings));
    // A null sink has no bus or port: its kind is unknown, which never mutes.
    EXPECT_EQ(mute.outputKind(), OutputKind::unknown);
    settings.outputRule = OutputRule::headphonesOnly;
    EXPECT_FALSE(mute.isMuted(settings));

    {
        Recording recording;
        ASSERT_TRUE(queue.runUntil([&] { return mute.microphoneInUse(); }, 10.0)) << server.log();
        EXPECT_TRUE(mute.isMuted(settings));
        settings.muteWhenMicrophoneInUse = false;
        EXPECT_FALSE(mute.isMuted(settings));
        settings.muteWhenMicrophoneInUse = true;
        recording.stop();
        ASSERT_TRUE(queue.runUntil([&] { return !mute.microphoneInUse(); }, 10.0));
    }
    EXPECT_FALSE(mute.isMuted(settings));
    EXPECT_GE(changes, 2);

    // The server going away: nothing known, then the next server is found again.
    {
        Recording recording;
        ASSERT_TRUE(queue.runUntil([&] { return mute.microphoneInUse(); }, 10.0));
        server.kill();
        ASSERT_TRUE(queue.runUntil([&] { return !mute.microphoneInUse(); }, 10.0));
    }
    EXPECT_FALSE(devices.isConnected());
    ASSERT_TRUE(server.start(error)) << error;
    EXPECT_TRUE(queue.runUntil([&] { return devices.isConnected(); }, 10.0));
}

TEST(MicrophoneRule, WithoutAServerNothingIsKnownAndNothingBlocks)
{
    ::setenv("PULSE_SERVER", "unix:/nonexistent/clickory-no-server", 1);
    PollMainQueue queue;
    PulseAudioDevices devices(queue, 0.5, 10.0);
    FakeWorkspace workspace;
    MuteMonitor mute(workspace, devices);
    const double before = queue.now();
    mute.start();
    EXPECT_LT(queue.now() - before, 0.1);
    queue.runFor(0.3);
    EXPECT_FALSE(devices.isConnected());
    EXPECT_FALSE(mute.microphoneInUse());
    EXPECT_EQ(mute.outputKind(), OutputKind::unknown);
}

} // namespace
} // namespace clickory
