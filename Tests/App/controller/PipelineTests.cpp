// SPDX-License-Identifier: MIT
// The event pipeline on fakes: what the engine is asked to play, with which role, gain, pitch and
// pan, in which order of checks and random draws.
#include "App/controller/ControllerRig.h"

#include "ClickoryCore/input/KeyMap.h"
#include "ClickoryCore/input/Pan.h"

#include <gtest/gtest.h>

namespace clickory {
namespace {

constexpr std::uint64_t command = 0x100000;
constexpr std::uint64_t capsLock = 0x10000;
constexpr std::uint64_t hyper = 0x1C0000; // Control, Option, Command
constexpr std::int64_t kKey = 40, nKey = 45, cKey = 8, vKey = 9, aKey = 0, space = 49;

class Pipeline : public ::testing::Test
{
protected:
    void SetUp() override
    {
        rig.start();
        // Quiet defaults for exact numbers; single tests turn things back on.
        rig.set([](FeelSettings& s) {
            s.volumeVariation = 0.0;
            s.pitchVariation = 0.0;
            s.typingDynamics = false;
            s.muteWhenCameraInUse = false;
        });
        rig.controller->onHotkey = [this](const Hotkey& hotkey) { hotkeys.push_back(hotkey); };
    }

    ControllerRig rig;
    std::vector<Hotkey> hotkeys;
};

TEST_F(Pipeline, HotkeysWorkWhileSoundIsOffAndIgnoreCapsLock)
{
    rig.set([](FeelSettings& s) { s.enabled = false; });
    rig.handle(keyDown(kKey, hyper));
    rig.handle(keyDown(nKey, hyper | capsLock));
    ASSERT_EQ(hotkeys.size(), 2u);
    EXPECT_EQ(hotkeys[0], Hotkey::toggleDefault);
    EXPECT_EQ(hotkeys[1], Hotkey::nextSoundDefault);

    // With Shift added it is no hotkey; with sound on it plays as a key (no shortcut either).
    rig.handle(keyDown(kKey, hyper | 0x20000));
    EXPECT_EQ(hotkeys.size(), 2u);
    EXPECT_TRUE(rig.engine.plays.empty());
    rig.set([](FeelSettings& s) { s.enabled = true; });
    rig.handle(keyDown(kKey, hyper | 0x20000));
    ASSERT_EQ(rig.engine.plays.size(), 1u);
    EXPECT_EQ(rig.engine.plays[0].role, SoundRole::keyDown);
}

TEST_F(Pipeline, HotkeyPressIsSilentButItsReleaseIsAnOrdinaryRelease)
{
    rig.handle(keyDown(kKey, hyper));
    EXPECT_TRUE(rig.engine.plays.empty());
    rig.handle(keyUp(kKey, hyper));
    ASSERT_EQ(rig.engine.plays.size(), 1u);
    EXPECT_EQ(rig.engine.plays[0].role, SoundRole::keyUp);
}

TEST_F(Pipeline, HotkeysOffMakesTheCombinationAnOrdinaryKey)
{
    rig.set([](FeelSettings& s) { s.hotkeysEnabled = false; });
    rig.handle(keyDown(kKey, hyper));
    EXPECT_TRUE(hotkeys.empty());
    ASSERT_EQ(rig.engine.plays.size(), 1u);
    EXPECT_EQ(rig.engine.plays[0].keyCode, kKey);
}

TEST_F(Pipeline, MuteRulesApplyInOrderAndStopBeforeSlowerQuestions)
{
    rig.workspace.screenFrames = {{0, 0, 1920, 1080}};
    rig.set([](FeelSettings& s) {
        s.muteWhenCameraInUse = true;
        s.silentInFullScreen = true;
        s.mutedBundleIDs = {"org.gnome.Terminal"};
        s.outputRule = OutputRule::headphonesOnly;
    });
    rig.workspace.activate("org.gnome.Terminal", 10);
    rig.devices.change(true, OutputKind::builtInSpeakers);
    rig.camera.inUse = true;
    rig.workspace.windows = {{10, 0, {0, 0, 1920, 1080}, false}};

    auto soundsAfter = [&] {
        rig.engine.plays.clear();
        rig.queue.advance(1.0); // every cache is stale
        rig.handle(keyDown(aKey));
        rig.handle(keyUp(aKey));
        return rig.engine.plays.size();
    };
    // 1. muted application: nothing else is asked.
    EXPECT_EQ(soundsAfter(), 0u);
    EXPECT_EQ(rig.camera.queries, 0);
    // 2. microphone.
    rig.workspace.activate("org.gnome.terminal", 10);
    EXPECT_EQ(soundsAfter(), 0u);
    EXPECT_EQ(rig.camera.queries, 0);
    // 3. output rule: built-in speakers under headphonesOnly.
    rig.devices.change(false, OutputKind::builtInSpeakers);
    EXPECT_EQ(soundsAfter(), 0u);
    EXPECT_EQ(rig.camera.queries, 0);
    // 4. camera (asked once per second at most), before the window list is read.
    rig.devices.change(false, OutputKind::headphones);
    EXPECT_EQ(soundsAfter(), 0u);
    EXPECT_EQ(rig.camera.queries, 1);
    EXPECT_EQ(rig.workspace.windowQueries, 0);
    // 5. full screen.
    rig.camera.inUse = false;
    EXPECT_EQ(soundsAfter(), 0u);
    EXPECT_EQ(rig.workspace.windowQueries, 1);
    // Nothing left: both sounds play.
    rig.workspace.windows.clear();
    EXPECT_EQ(soundsAfter(), 2u);
}

TEST_F(Pipeline, CameraAnswerIsCachedForOneSecond)
{
    rig.set([](FeelSettings& s) { s.muteWhenCameraInUse = true; });
    rig.camera.inUse = true;
    rig.handle(keyDown(aKey));
    rig.camera.inUse = false;
    rig.queue.advance(0.999);
    rig.handle(keyDown(aKey));
    EXPECT_TRUE(rig.engine.plays.empty());
    EXPECT_EQ(rig.camera.queries, 1);
    rig.queue.advance(0.001);
    rig.handle(keyDown(aKey));
    EXPECT_EQ(rig.camera.queries, 2);
    EXPECT_EQ(rig.engine.plays.size(), 1u);
}

TEST_F(Pipeline, CopyWithoutClipboardChangePlaysTheDudAfterADelayAndSilencesTheKey)
{
    rig.handle(keyDown(cKey, command));
    EXPECT_TRUE(rig.engine.plays.empty());
    EXPECT_TRUE(rig.engine.cues.empty()); // never waited for
    rig.queue.advance(0.279);
    EXPECT_TRUE(rig.engine.cues.empty());
    rig.queue.advance(0.001);
    ASSERT_EQ(rig.engine.cues.size(), 1u);
    EXPECT_FALSE(rig.engine.cues[0].kind.has_value());
    EXPECT_FLOAT_EQ(rig.engine.cues[0].gain, 0.6f);
    rig.handle(keyUp(cKey, command));
    EXPECT_TRUE(rig.engine.plays.empty());
    // Only that one release was silenced.
    rig.handle(keyDown(cKey));
    rig.handle(keyUp(cKey));
    EXPECT_EQ(rig.engine.plays.size(), 2u);
}

TEST_F(Pipeline, CopyThatChangedTheClipboardPlaysTheCopyCue)
{
    rig.handle(keyDown(cKey, command));
    rig.queue.advance(0.1);
    rig.pasteboard.copyHappened();
    rig.queue.advance(0.2);
    ASSERT_EQ(rig.engine.cues.size(), 1u);
    EXPECT_EQ(rig.engine.cues[0].kind, ActionKind::copy);
}

TEST_F(Pipeline, ClipboardCheckOfAControllerThatIsGonePlaysNothing)
{
    rig.handle(keyDown(cKey, command));
    rig.controller.reset();
    rig.queue.advance(1.0);
    EXPECT_TRUE(rig.engine.cues.empty());
}

TEST_F(Pipeline, CopyWithoutConfirmationAndWithKeyClickPlaysBoth)
{
    rig.set([](FeelSettings& s) {
        s.confirmClipboard = false;
        s.replaceKeyClickForActions = false;
    });
    rig.handle(keyDown(cKey, command));
    ASSERT_EQ(rig.engine.cues.size(), 1u);
    EXPECT_EQ(rig.engine.cues[0].kind, ActionKind::copy);
    rig.handle(keyUp(cKey, command));
    ASSERT_EQ(rig.engine.plays.size(), 2u);
    EXPECT_EQ(rig.engine.plays[0].role, SoundRole::keyDown);
    EXPECT_EQ(rig.engine.plays[1].role, SoundRole::keyUp);
}

TEST_F(Pipeline, CuesPlayWhileTheKeyboardSwitchIsOff)
{
    rig.set([](FeelSettings& s) {
        s.keyboardEnabled = false;
        s.actionCues.insert_or_assign("paste", ActionCue(true, CueStyle::pop, std::nullopt, 1.2));
    });
    rig.handle(keyDown(vKey, command));
    ASSERT_EQ(rig.engine.cues.size(), 1u);
    EXPECT_EQ(rig.engine.cues[0].kind, ActionKind::paste);
    EXPECT_FLOAT_EQ(rig.engine.cues[0].gain, 1.2f);
    rig.handle(keyDown(aKey));
    EXPECT_TRUE(rig.engine.plays.empty());
}

TEST_F(Pipeline, DisabledCueOrCuesOffPlaysTheKeyClick)
{
    rig.set([](FeelSettings& s) { s.actionCues.insert_or_assign("paste", ActionCue(false, CueStyle::pop, std::nullopt, 0.6)); });
    rig.handle(keyDown(vKey, command));
    rig.set([](FeelSettings& s) { s.actionCuesEnabled = false; });
    rig.handle(keyDown(cKey, command));
    EXPECT_TRUE(rig.engine.cues.empty());
    EXPECT_EQ(rig.engine.plays.size(), 2u);
    EXPECT_TRUE(rig.controller->suppressedKeyUps().empty());
}

TEST_F(Pipeline, HeldKeyWithoutRepeatSoundsPlaysOnePressAndOneRelease)
{
    rig.handle(keyDown(aKey));
    for (int i = 0; i < 5; ++i)
        rig.handle(keyDown(aKey, 0, true));
    rig.handle(keyUp(aKey));
    ASSERT_EQ(rig.engine.plays.size(), 2u);
    EXPECT_EQ(rig.engine.plays[0].role, SoundRole::keyDown);
    EXPECT_EQ(rig.engine.plays[1].role, SoundRole::keyUp);
}

TEST_F(Pipeline, RepeatsPlayAndTapButDoNotRaiseTheTypingRate)
{
    rig.set([](FeelSettings& s) {
        s.playOnKeyRepeat = true;
        s.hapticsOnKeys = true;
        s.typingDynamics = true;
        s.dynamicsAmount = 1.0;
    });
    rig.handle(keyDown(aKey));
    for (int i = 0; i < 20; ++i)
    {
        rig.queue.advance(0.03);
        rig.handle(keyDown(aKey, 0, true));
    }
    EXPECT_EQ(rig.engine.plays.size(), 21u);
    EXPECT_EQ(rig.performer.taps.size(), 21u);
    EXPECT_EQ(rig.controller->dynamics().stamps().size(), 1u);
    EXPECT_FLOAT_EQ(rig.controller->dynamicsGain(), 1.0f);
    for (const auto& play : rig.engine.plays)
        EXPECT_FLOAT_EQ(play.gain, 1.0f);
}

TEST_F(Pipeline, FastTypingIsQuieterAndReleasesTakeTheLastPressSoftness)
{
    rig.set([](FeelSettings& s) {
        s.typingDynamics = true;
        s.dynamicsAmount = 1.0;
    });
    // Eight presses in one second: rate 8, factor 1 - 0.45 x 0.5 = 0.775.
    for (int i = 0; i < 8; ++i)
    {
        rig.handle(keyDown(aKey));
        rig.queue.advance(0.125);
    }
    EXPECT_FLOAT_EQ(rig.engine.plays.back().gain, 0.775f);
    rig.queue.advance(5.0);
    rig.handle(keyUp(aKey));
    EXPECT_FLOAT_EQ(rig.engine.plays.back().gain, 0.775f);
    // Modifiers are never softened.
    rig.handle(ModifierEvent{56, true});
    EXPECT_FLOAT_EQ(rig.engine.plays.back().gain, 0.8f);
}

TEST_F(Pipeline, SpaceGainExample)
{
    rig.set([](FeelSettings& s) {
        s.keysGain = 1.0;
        s.spaceGain = 0.5;
    });
    rig.handle(keyDown(space));
    ASSERT_EQ(rig.engine.plays.size(), 1u);
    EXPECT_EQ(rig.engine.plays[0].role, SoundRole::spaceDown);
    EXPECT_EQ(rig.engine.plays[0].gain, 0.5f);
}

TEST_F(Pipeline, KeyGainPitchAndPanFromTheDraws)
{
    rig.set([](FeelSettings& s) {
        s.volumeVariation = 0.35;
        s.pitchVariation = 0.5;
        s.keysGain = 0.8;
        s.spaceGain = 0.9;
        s.stereoWidth = 0.6;
    });
    rig.engine.unitValues = {0.5f};
    rig.engine.signedValues = {-0.5f};
    rig.handle(keyDown(space));
    const auto& play = rig.engine.plays.at(0);
    EXPECT_EQ(rig.engine.draws, "us"); // keys: gain first, then pitch
    EXPECT_EQ(play.gain, (1.0f - 0.35f * 0.35f * 0.5f) * 0.8f * 0.9f);
    const KeyInfo info = KeyMap::info(space);
    EXPECT_DOUBLE_EQ(play.semitones, info.semitones - 0.125);
    EXPECT_EQ(play.pan, Pan::value(info.x, 0.6));
    EXPECT_EQ(play.keyCode, space);
}

TEST_F(Pipeline, ModifierDrawsPitchFirstAndUsesModifierGain)
{
    rig.set([](FeelSettings& s) {
        s.volumeVariation = 1.0;
        s.pitchVariation = 1.0;
        s.keysGain = 0.5;
        s.modifierGain = 0.8;
    });
    rig.engine.unitValues = {0.25f};
    rig.engine.signedValues = {0.5f};
    rig.handle(ModifierEvent{56, true});
    rig.handle(ModifierEvent{56, false});
    EXPECT_EQ(rig.engine.draws, "susu");
    const auto& down = rig.engine.plays.at(0);
    EXPECT_EQ(down.role, SoundRole::modifierDown);
    EXPECT_EQ(down.gain, (1.0f - 0.35f * 1.0f * 0.25f) * 0.5f * 0.8f);
    EXPECT_DOUBLE_EQ(down.semitones, KeyMap::info(56).semitones + 0.25);
    EXPECT_EQ(down.keyCode, 56);
    EXPECT_EQ(rig.engine.plays.at(1).role, SoundRole::modifierUp);

    rig.set([](FeelSettings& s) { s.keyReleaseEnabled = false; });
    rig.handle(ModifierEvent{56, false});
    rig.set([](FeelSettings& s) { s.modifierKeysEnabled = false; });
    rig.handle(ModifierEvent{56, true});
    EXPECT_EQ(rig.engine.plays.size(), 2u);
}

TEST_F(Pipeline, RightAndMiddleClicks)
{
    rig.set([](FeelSettings& s) {
        s.rippleEnabled = true;
        s.hapticsOnClick = true;
        s.mouseGain = 0.5;
    });
    rig.handle(MouseEvent{1, true, {960, 540}});
    rig.handle(MouseEvent{1, false, {960, 540}});
    rig.handle(MouseEvent{2, true, {960, 540}});
    rig.handle(MouseEvent{2, false, {960, 540}});
    ASSERT_EQ(rig.engine.plays.size(), 4u);
    EXPECT_EQ(rig.engine.plays[0].role, SoundRole::mouseRightDown);
    EXPECT_EQ(rig.engine.plays[1].role, SoundRole::mouseRightUp);
    EXPECT_EQ(rig.engine.plays[2].role, SoundRole::mouseDown);
    EXPECT_EQ(rig.engine.plays[3].role, SoundRole::mouseUp);
    EXPECT_EQ(rig.engine.plays[0].gain, 0.5f);
    EXPECT_FALSE(rig.engine.plays[0].keyCode.has_value());
    EXPECT_EQ(rig.engine.draws, "susususu");
    // Presses only: a tap and a ripple each.
    EXPECT_EQ(rig.performer.taps.size(), 2u);
    ASSERT_EQ(rig.ripple.shown.size(), 2u);
    EXPECT_EQ(rig.ripple.shown[1].button, 2);
    EXPECT_EQ(rig.ripple.shown[1].at, (Point{960, 540}));
}

TEST_F(Pipeline, ClickPanFollowsTheScreenPosition)
{
    rig.workspace.screenFrames = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    rig.handle(MouseEvent{0, true, {2240, 100}});
    EXPECT_EQ(rig.engine.plays.back().pan, Pan::value(0.25, 0.6));
    rig.handle(MouseEvent{0, true, unknownLocation});
    EXPECT_EQ(rig.engine.plays.back().pan, 0.0f);
}

TEST_F(Pipeline, ScreenPositionIsHalfOpenAndCentredOutside)
{
    rig.workspace.screenFrames = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    const Controller& c = *rig.controller;
    EXPECT_DOUBLE_EQ(c.screenPosition({0, 1079}), 0.0);
    EXPECT_DOUBLE_EQ(c.screenPosition({1920, 500}), 0.0); // the right edge belongs to the next screen
    EXPECT_DOUBLE_EQ(c.screenPosition({2240, 100}), 0.25);
    EXPECT_DOUBLE_EQ(c.screenPosition({2240, 1080}), 0.25); // flipped to y' = 0: the bottom row is inside
    EXPECT_DOUBLE_EQ(c.screenPosition({100, 0}), 0.5);      // flipped to y' = 1080: the top edge is outside
    EXPECT_DOUBLE_EQ(c.screenPosition({2240, 50}), 0.5);    // above the shorter second screen
    EXPECT_DOUBLE_EQ(c.screenPosition({-5, 10}), 0.5);
    rig.workspace.screenFrames.clear();
    EXPECT_DOUBLE_EQ(c.screenPosition({100, 100}), 0.5);
}

TEST_F(Pipeline, StereoOffGivesPanZeroEverywhere)
{
    rig.set([](FeelSettings& s) { s.stereoEnabled = false; });
    rig.handle(keyDown(12));
    rig.handle(ModifierEvent{54, true});
    rig.handle(MouseEvent{0, true, {10, 10}});
    rig.handle(ScrollEvent{1.0, false, false, {10, 10}});
    ASSERT_EQ(rig.engine.plays.size(), 4u);
    for (const auto& play : rig.engine.plays)
        EXPECT_EQ(play.pan, 0.0f);
}

TEST_F(Pipeline, WheelLinesAreFedAsSpacingAndTrackpadDeltasAsTheyCome)
{
    rig.handle(ScrollEvent{0.5, false, false, {10, 10}});
    EXPECT_DOUBLE_EQ(rig.controller->pacer().accumulated, 14.0);
    rig.queue.advance(1.0);
    rig.handle(ScrollEvent{3.0, true, false, {10, 10}});
    EXPECT_DOUBLE_EQ(rig.controller->pacer().accumulated, 3.0);
    EXPECT_TRUE(rig.engine.plays.empty());
    rig.queue.advance(1.0);
    rig.handle(ScrollEvent{1.0, false, false, {10, 10}});
    ASSERT_EQ(rig.engine.plays.size(), 1u);
    EXPECT_EQ(rig.engine.plays[0].role, SoundRole::scrollTick);
    EXPECT_EQ(rig.engine.draws, "su");
}

TEST_F(Pipeline, ScrollGainPitchAndHalfWidthPan)
{
    rig.set([](FeelSettings& s) {
        s.volumeVariation = 0.5;
        s.pitchVariation = 1.0;
        s.scrollGain = 0.7;
    });
    rig.engine.signedValues = {1.0f};
    rig.engine.unitValues = {0.5f};
    rig.handle(ScrollEvent{-1.0, false, false, {480, 10}});
    const auto& play = rig.engine.plays.at(0);
    EXPECT_DOUBLE_EQ(play.semitones, 1.0 * 1.0 * 0.5 * 0.6);
    EXPECT_EQ(play.gain, 1.0f * (1.0f - 0.35f * 0.5f * 0.5f) * 0.7f);
    EXPECT_EQ(play.pan, Pan::value(0.25, 0.3));
}

TEST_F(Pipeline, MomentumIsSofterAndNeverTaps)
{
    // Continuous ticks 0.1 s apart: each delta of 30 is a fresh gesture worth one tick.
    rig.handle(ScrollEvent{30, true, false, {10, 10}});
    rig.queue.advance(0.3);
    rig.handle(ScrollEvent{30, true, true, {10, 10}});
    rig.queue.advance(0.3);
    rig.handle(ScrollEvent{3, false, false, {10, 10}});
    ASSERT_EQ(rig.engine.plays.size(), 3u);
    EXPECT_EQ(rig.engine.plays[0].gain, 0.7f);
    EXPECT_EQ(rig.engine.plays[1].gain, 0.8f * 1.0f * 0.7f);
    EXPECT_EQ(rig.engine.plays[2].gain, 0.7f);
    EXPECT_EQ(rig.performer.taps.size(), 1u); // trackpad, no momentum only
}

TEST_F(Pipeline, ScrollTapsAreGatedFortyMillisecondsApart)
{
    rig.set([](FeelSettings& s) { s.scrollStyle = ScrollStyle::pencil; }); // spacing 20
    // Big deltas 50 ms apart tick every time (gap 45 ms); the gate passes at 40 ms or more.
    for (int i = 0; i < 4; ++i)
    {
        rig.handle(ScrollEvent{200, true, false, {10, 10}});
        rig.queue.advance(0.05);
    }
    EXPECT_EQ(rig.engine.plays.size(), 4u);
    EXPECT_EQ(rig.performer.taps.size(), 4u);
    rig.set([](FeelSettings& s) { s.hapticsOnScroll = false; });
    rig.handle(ScrollEvent{200, true, false, {10, 10}});
    EXPECT_EQ(rig.engine.plays.size(), 5u);
    EXPECT_EQ(rig.performer.taps.size(), 4u);
}

TEST_F(Pipeline, ScrollStyleOffIsSilent)
{
    rig.set([](FeelSettings& s) { s.scrollStyle = ScrollStyle::off; });
    rig.handle(ScrollEvent{5, false, false, {10, 10}});
    EXPECT_TRUE(rig.engine.plays.empty());
    EXPECT_EQ(rig.controller->pacer().accumulated, 0.0);
}

TEST_F(Pipeline, OnEventSeesEveryEventEvenWhenSilent)
{
    std::vector<InputEvent> seen;
    rig.controller->onEvent = [&](const InputEvent& e) { seen.push_back(e); };
    rig.set([](FeelSettings& s) { s.enabled = false; });
    rig.handle(keyDown(aKey));
    rig.handle(keyDown(kKey, hyper));
    EXPECT_EQ(seen.size(), 2u);
}

} // namespace
} // namespace clickory
