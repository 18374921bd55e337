// SPDX-License-Identifier: MIT
// The mute and context monitors on fakes: the rules they answer and the caches they keep.
#include "ClickoryApp/monitors/ContextMonitor.h"
#include "ClickoryApp/monitors/MuteMonitor.h"
#include "Fakes/FakeAudioDevices.h"
#include "Fakes/FakeCameraProbe.h"
#include "Fakes/FakeClock.h"
#include "Fakes/FakeMainQueue.h"
#include "Fakes/FakeWorkspace.h"

#include <gtest/gtest.h>

#include <memory>

namespace clickory {
namespace {

struct MuteRig
{
    FakeWorkspace workspace;
    FakeAudioDevices devices;
    MuteMonitor mute{workspace, devices};
    FeelSettings settings;
};

TEST(MuteMonitor, KnowsNothingBeforeStartSoSoundPlays)
{
    MuteRig rig;
    rig.workspace.frontmostID = "zoom";
    rig.devices.inputRunning = true;
    rig.devices.kind = OutputKind::builtInSpeakers;
    rig.settings.mutedBundleIDs = {"zoom"};
    rig.settings.outputRule = OutputRule::headphonesOnly;
    EXPECT_FALSE(rig.mute.isMuted(rig.settings));
    EXPECT_EQ(rig.mute.outputKind(), OutputKind::unknown);
    rig.mute.start();
    EXPECT_TRUE(rig.mute.isMuted(rig.settings));
    EXPECT_EQ(rig.mute.frontmostBundleID(), "zoom");
}

TEST(MuteMonitor, MutedApplicationsAreComparedExactly)
{
    MuteRig rig;
    rig.settings.mutedBundleIDs = {"us.zoom.Zoom", "com.obsproject.Studio"};
    rig.mute.start();
    std::vector<std::optional<std::string>> told;
    rig.mute.onFrontmostChange = [&](const std::optional<std::string>& id) { told.push_back(id); };
    rig.workspace.activate("us.zoom.Zoom");
    EXPECT_TRUE(rig.mute.isMuted(rig.settings));
    rig.workspace.activate("us.zoom.zoom");
    EXPECT_FALSE(rig.mute.isMuted(rig.settings));
    rig.workspace.activate("us.zoom.Zoom ");
    EXPECT_FALSE(rig.mute.isMuted(rig.settings));
    rig.workspace.activate(std::nullopt);
    EXPECT_FALSE(rig.mute.isMuted(rig.settings));
    EXPECT_EQ(told.size(), 4u);
    EXPECT_EQ(told[0], "us.zoom.Zoom");
    EXPECT_EQ(told[3], std::nullopt);
}

TEST(MuteMonitor, MicrophoneRuleFollowsDeviceChangesAtOnce)
{
    MuteRig rig;
    rig.mute.start();
    EXPECT_FALSE(rig.mute.isMuted(rig.settings));
    rig.devices.change(true, OutputKind::unknown);
    EXPECT_TRUE(rig.mute.isMuted(rig.settings));
    rig.settings.muteWhenMicrophoneInUse = false;
    EXPECT_FALSE(rig.mute.isMuted(rig.settings));
}

TEST(MuteMonitor, HeadphonesOnlySilencesTheBuiltInSpeakersAlone)
{
    MuteRig rig;
    rig.mute.start();
    rig.settings.outputRule = OutputRule::headphonesOnly;
    const std::pair<OutputKind, bool> cases[] = {{OutputKind::builtInSpeakers, true},
                                                 {OutputKind::headphones, false},
                                                 {OutputKind::external, false},
                                                 {OutputKind::unknown, false}};
    for (const auto& [kind, muted] : cases)
    {
        rig.devices.change(false, kind);
        EXPECT_EQ(rig.mute.isMuted(rig.settings), muted) << rawValue(kind);
    }
    rig.settings.outputRule = OutputRule::everywhere;
    rig.devices.change(false, OutputKind::builtInSpeakers);
    EXPECT_FALSE(rig.mute.isMuted(rig.settings));
}

TEST(MuteMonitor, RemovesItsHandlersWhenGone)
{
    FakeWorkspace workspace;
    FakeAudioDevices devices;
    {
        MuteMonitor mute(workspace, devices);
        mute.start();
        EXPECT_TRUE(static_cast<bool>(devices.handler));
    }
    EXPECT_FALSE(static_cast<bool>(devices.handler));
    EXPECT_FALSE(static_cast<bool>(workspace.frontmostHandler));
}

struct ContextRig
{
    ContextRig()
    {
        workspace.frontmostPID = 42;
        workspace.screenFrames = {{0, 0, 1920, 1080}, {1920, 0, 2560, 1440}};
    }
    FakeMainQueue queue;
    FakeClock clock{queue};
    FakeWorkspace workspace;
    FakeCameraProbe camera;
    ContextMonitor context{workspace, camera, clock};

    bool fullScreenAfterASecond()
    {
        queue.advance(1.0);
        return context.frontAppIsFullScreen();
    }
};

TEST(ContextMonitor, FullScreenWithinTwoPointsOfAScreen)
{
    ContextRig rig;
    rig.workspace.windows = {{42, 0, {100, 100, 1918.5, 1078.5}, false}};
    EXPECT_TRUE(rig.fullScreenAfterASecond());
    rig.workspace.windows = {{42, 0, {100, 100, 1918.0, 1078.0}, false}};
    EXPECT_FALSE(rig.fullScreenAfterASecond());
    rig.workspace.windows = {{42, 0, {1920, 0, 2561.9, 1438.1}, false}}; // the second screen
    EXPECT_TRUE(rig.fullScreenAfterASecond());
    rig.workspace.windows = {{42, 0, {0, 0, 1920, 1440}, false}}; // one side of each screen
    EXPECT_FALSE(rig.fullScreenAfterASecond());
}

TEST(ContextMonitor, OtherApplicationsAndOtherLayersDoNotCount)
{
    ContextRig rig;
    rig.workspace.windows = {{7, 0, {0, 0, 1920, 1080}, true}, {42, 3, {0, 0, 1920, 1080}, true},
                             {42, 0, {0, 0, 800, 600}, false}};
    EXPECT_FALSE(rig.fullScreenAfterASecond());
    rig.workspace.windows.push_back({42, 0, {0, 0, 1280, 720}, true}); // marked full screen by the WM
    EXPECT_TRUE(rig.fullScreenAfterASecond());
    rig.workspace.frontmostPID.reset();
    EXPECT_FALSE(rig.fullScreenAfterASecond());
}

TEST(ContextMonitor, AnswersAreCachedForOneSecond)
{
    ContextRig rig;
    rig.workspace.windows = {{42, 0, {0, 0, 1920, 1080}, false}};
    EXPECT_TRUE(rig.context.frontAppIsFullScreen()); // the cache starts 10 s in the past
    rig.workspace.windows.clear();
    rig.queue.advance(0.5);
    EXPECT_TRUE(rig.context.frontAppIsFullScreen());
    EXPECT_EQ(rig.workspace.windowQueries, 1);
    rig.queue.advance(0.5);
    EXPECT_FALSE(rig.context.frontAppIsFullScreen());
    EXPECT_EQ(rig.workspace.windowQueries, 2);

    rig.camera.inUse = true;
    EXPECT_TRUE(rig.context.cameraInUse());
    rig.camera.inUse = false;
    rig.queue.advance(0.75);
    EXPECT_TRUE(rig.context.cameraInUse());
    EXPECT_FALSE(rig.context.queryCamera()); // uncached
    rig.queue.advance(0.25);
    EXPECT_FALSE(rig.context.cameraInUse());
    EXPECT_EQ(rig.camera.queries, 3);
    EXPECT_EQ(rig.context.cameraCache().at, 2.0);
}

} // namespace
} // namespace clickory
