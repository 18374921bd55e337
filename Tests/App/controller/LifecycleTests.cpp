// SPDX-License-Identifier: MIT
// The controller's lifecycle on fakes: start, live application of settings, per-application sounds,
// preview and next sound, the watchdog and wake.
#include "App/controller/ControllerRig.h"

#include "ClickoryCore/profiles/Profiles.h"

#include <gtest/gtest.h>

namespace clickory {
namespace {

const std::string& builtIn(std::size_t index)
{
    return Profiles::all().at(index).id;
}

TEST(ControllerLifecycle, StartLoadsOnceAndWiresEverything)
{
    ControllerRig rig;
    rig.start();
    EXPECT_EQ(rig.engine.starts, 1);
    // Two applies (the direct one and the subscription's first delivery): one load, one latency.
    ASSERT_EQ(rig.engine.loads.size(), 1u);
    EXPECT_EQ(rig.engine.loads[0].profileID, "tactile");
    EXPECT_EQ(rig.engine.loads[0].scroll, ScrollStyle::softTick);
    EXPECT_EQ(rig.engine.cueLoads, 2);
    EXPECT_EQ(rig.engine.latencies, std::vector<bool>{true});
    EXPECT_FLOAT_EQ(rig.engine.masters.back(), 0.7f);
    EXPECT_TRUE(static_cast<bool>(rig.tap.handler));
    EXPECT_TRUE(static_cast<bool>(rig.workspace.wakeHandler));
    EXPECT_TRUE(rig.controller->hasWatchdog());
    EXPECT_TRUE(rig.logLines.empty());

    // Events reach the pipeline through the tap.
    rig.tap.emit(KeyEvent{0, true, false, 0});
    EXPECT_EQ(rig.engine.plays.size(), 1u);
}

TEST(ControllerLifecycle, EngineStartFailureIsLoggedAndTheRestStarts)
{
    ControllerRig rig;
    rig.engine.startFailure = "no sound server";
    rig.start();
    ASSERT_EQ(rig.logLines.size(), 1u);
    EXPECT_EQ(rig.logLines[0], "Clickory: audio engine failed to start: no sound server");
    EXPECT_EQ(rig.engine.loads.size(), 1u);
}

TEST(ControllerLifecycle, SettingsArriveThroughTheMainQueue)
{
    ControllerRig rig;
    rig.start();
    rig.store->update([](FeelSettings& s) { s.keysGain = 0.25; });
    EXPECT_EQ(rig.controller->cfg().keysGain, 1.0);
    rig.queue.runPosted();
    EXPECT_EQ(rig.controller->cfg().keysGain, 0.25);
}

TEST(ControllerLifecycle, VolumeChangeReloadsNothing)
{
    ControllerRig rig;
    rig.start();
    rig.set([](FeelSettings& s) { s.masterVolume = 1.4; });
    EXPECT_EQ(rig.engine.loads.size(), 1u);
    EXPECT_EQ(rig.engine.latencies.size(), 1u);
    EXPECT_EQ(rig.engine.masters.back(), 1.0f);
    rig.set([](FeelSettings& s) { s.masterVolume = 0.3; });
    EXPECT_EQ(rig.engine.masters.back(), 0.3f);
    EXPECT_EQ(rig.engine.loads.size(), 1u);
}

TEST(ControllerLifecycle, ScrollStyleChangeReloadsAndChangesTheSpacing)
{
    ControllerRig rig;
    rig.start();
    EXPECT_EQ(rig.controller->pacer().spacing, 28.0);
    rig.set([](FeelSettings& s) { s.scrollStyle = ScrollStyle::pencil; });
    ASSERT_EQ(rig.engine.loads.size(), 2u);
    EXPECT_EQ(rig.engine.loads[1].scroll, ScrollStyle::pencil);
    EXPECT_EQ(rig.controller->pacer().spacing, 20.0);
    rig.set([](FeelSettings& s) { s.scrollStyle = ScrollStyle::off; });
    EXPECT_EQ(rig.engine.loads.size(), 3u);
    EXPECT_TRUE(std::isinf(rig.controller->pacer().spacing));
}

TEST(ControllerLifecycle, CustomSoundAndLatencyChangesAreAppliedOnce)
{
    ControllerRig rig;
    rig.start();
    rig.set([](FeelSettings& s) { s.customSoundPath = "/tmp/click.wav"; });
    rig.set([](FeelSettings& s) { s.lowLatency = false; });
    rig.set([](FeelSettings& s) { s.lowLatency = false; });
    ASSERT_EQ(rig.engine.loads.size(), 2u);
    EXPECT_EQ(rig.engine.loads[1].customPath, "/tmp/click.wav");
    EXPECT_EQ(rig.engine.latencies, (std::vector<bool>{true, false}));
}

TEST(ControllerLifecycle, PerApplicationProfileSwitchesAndBack)
{
    ControllerRig rig;
    rig.workspace.frontmostID = "org.gnome.Nautilus";
    rig.start();
    const std::string other = builtIn(2);
    rig.set([&](FeelSettings& s) { s.appProfiles["org.gnome.Terminal"] = other; });
    ASSERT_EQ(rig.engine.loads.size(), 1u);

    rig.workspace.activate("org.gnome.Terminal");
    ASSERT_EQ(rig.engine.loads.size(), 2u);
    EXPECT_EQ(rig.engine.loads[1].profileID, other);
    EXPECT_EQ(rig.controller->lastSound().profile, other);

    rig.workspace.activate("org.mozilla.firefox");
    ASSERT_EQ(rig.engine.loads.size(), 3u);
    EXPECT_EQ(rig.engine.loads[2].profileID, "tactile");

    // Between two applications without entries nothing is loaded.
    rig.workspace.activate("org.gnome.gedit");
    rig.workspace.activate(std::nullopt);
    EXPECT_EQ(rig.engine.loads.size(), 3u);
}

TEST(ControllerLifecycle, PreviewSwitchesClearsTheCustomSoundAndPlaysTheNotes)
{
    ControllerRig rig;
    rig.start();
    rig.set([](FeelSettings& s) { s.customSoundPath = "/tmp/click.wav"; });
    const std::string target = builtIn(3);
    rig.controller->preview(target);
    EXPECT_EQ(rig.store->settings().profileID, target);
    EXPECT_FALSE(rig.store->settings().customSoundPath.has_value());
    rig.queue.runPosted();
    EXPECT_EQ(rig.engine.loads.back().profileID, target);
    EXPECT_FALSE(rig.engine.loads.back().customPath.has_value());

    rig.queue.advance(0.199);
    EXPECT_TRUE(rig.engine.plays.empty());
    rig.queue.advance(0.001);
    ASSERT_EQ(rig.engine.plays.size(), 1u);
    rig.queue.advance(1.0);
    ASSERT_EQ(rig.engine.plays.size(), 6u);
    const SoundRole roles[] = {SoundRole::keyDown, SoundRole::keyUp,     SoundRole::keyDown,
                               SoundRole::keyUp,   SoundRole::spaceDown, SoundRole::spaceUp};
    const double semitones[] = {-0.3, -0.3, 0.3, 0.3, 0.0, 0.0};
    const float pans[] = {-0.2f, -0.2f, 0.2f, 0.2f, 0.0f, 0.0f};
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(rig.engine.plays[i].role, roles[i]) << i;
        EXPECT_EQ(rig.engine.plays[i].semitones, semitones[i]) << i;
        EXPECT_EQ(rig.engine.plays[i].pan, pans[i]) << i;
        EXPECT_EQ(rig.engine.plays[i].gain, 0.9f) << i;
        EXPECT_FALSE(rig.engine.plays[i].keyCode.has_value()) << i;
    }
}

TEST(ControllerLifecycle, PreviewNotesKeepTheirTimes)
{
    ControllerRig rig;
    rig.controller->playPreviewNotes();
    EXPECT_EQ(rig.engine.plays.size(), 1u);
    const double times[] = {0.09, 0.26, 0.35, 0.56, 0.68};
    double now = 0.0;
    for (std::size_t i = 0; i < 5; ++i)
    {
        rig.queue.advance(times[i] - now - 0.001);
        EXPECT_EQ(rig.engine.plays.size(), i + 1);
        rig.queue.advance(0.001);
        EXPECT_EQ(rig.engine.plays.size(), i + 2);
        now = times[i];
    }
}

TEST(ControllerLifecycle, NextProfileWrapsFromTheLastImportedToTheFirstBuiltIn)
{
    ControllerRig rig;
    rig.start();
    ImportedPack pack;
    pack.id = "typewriter";
    pack.name = "Typewriter";
    Profiles::setImported({Profiles::importedProfile(pack)});

    rig.set([](FeelSettings& s) { s.profileID = "imported:typewriter"; });
    rig.controller->nextProfile();
    EXPECT_EQ(rig.store->settings().profileID, builtIn(0));

    rig.controller->nextProfile();
    EXPECT_EQ(rig.store->settings().profileID, builtIn(1));

    rig.set([&](FeelSettings& s) { s.profileID = Profiles::all().back().id; });
    rig.controller->nextProfile();
    EXPECT_EQ(rig.store->settings().profileID, "imported:typewriter");
    Profiles::setImported({});
}

TEST(ControllerLifecycle, NextProfileWithAnUnknownIdDoesNothing)
{
    ControllerRig rig;
    rig.start();
    rig.set([](FeelSettings& s) { s.profileID = "imported:gone"; });
    rig.controller->nextProfile();
    EXPECT_EQ(rig.store->settings().profileID, "imported:gone");
    rig.queue.advance(1.0);
    EXPECT_TRUE(rig.engine.plays.empty());
}

TEST(ControllerLifecycle, WatchdogRestartsAStoppedEngineAndRepairsADisabledTap)
{
    ControllerRig rig;
    rig.start();
    rig.tap.tap = true;
    rig.tap.enabled = false;
    rig.tap.enableWorks = false;
    rig.engine.running = false;
    rig.queue.advance(59.9);
    EXPECT_EQ(rig.engine.restarts, 0);
    rig.queue.advance(0.1);
    EXPECT_EQ(rig.engine.restarts, 1);
    EXPECT_EQ(rig.tap.enables, 1);
    EXPECT_EQ(rig.tap.stops, 1);
    EXPECT_EQ(rig.tap.startCalls, 1);
    EXPECT_TRUE(rig.tap.isEnabled());
    EXPECT_TRUE(rig.logLines.empty());

    // A running engine and an enabled tap are left alone.
    rig.queue.advance(60.0);
    EXPECT_EQ(rig.engine.restarts, 1);
    EXPECT_EQ(rig.tap.startCalls, 1);
}

TEST(ControllerLifecycle, WatchdogStartsAMissingTapAndLogsAFailure)
{
    ControllerRig rig;
    rig.start();
    rig.tap.startWorks = false;
    rig.queue.advance(60.0);
    EXPECT_EQ(rig.tap.startCalls, 1);
    ASSERT_EQ(rig.logLines.size(), 1u);
    EXPECT_EQ(rig.logLines[0], "Clickory: input monitoring is not running");

    // Without permission the tap is left alone.
    rig.tap.permission = false;
    rig.queue.advance(60.0);
    EXPECT_EQ(rig.tap.startCalls, 1);
}

TEST(ControllerLifecycle, WakeRestartsTheEngineRepairsTheTapAndReapplies)
{
    ControllerRig rig;
    rig.start();
    const int cueLoads = rig.engine.cueLoads;
    rig.workspace.wake();
    EXPECT_EQ(rig.engine.restarts, 1);
    EXPECT_EQ(rig.tap.startCalls, 1);
    EXPECT_EQ(rig.engine.cueLoads, cueLoads + 1);

    rig.tap.permission = false;
    rig.tap.stop();
    rig.workspace.wake();
    EXPECT_EQ(rig.tap.startCalls, 1);
    EXPECT_EQ(rig.engine.restarts, 2);
}

TEST(ControllerLifecycle, NothingRunsOnceTheControllerIsGone)
{
    ControllerRig rig;
    rig.start();
    rig.controller->preview(builtIn(1));
    rig.controller.reset();
    EXPECT_FALSE(static_cast<bool>(rig.tap.handler));
    EXPECT_FALSE(static_cast<bool>(rig.workspace.wakeHandler));
    EXPECT_EQ(rig.queue.pendingTimers(), 1u); // the preview's delayed notes, now inert
    rig.queue.advance(120.0);
    rig.store->update([](FeelSettings& s) { s.masterVolume = 0.1; });
    rig.queue.runPosted();
    EXPECT_TRUE(rig.engine.plays.empty());
    EXPECT_EQ(rig.engine.restarts, 0);
}

} // namespace
} // namespace clickory
