// SPDX-License-Identifier: MIT
#include "ClickoryCore/profiles/Profiles.h"

#include <gtest/gtest.h>

namespace clickory {
namespace {

const SoundProfile& synthesizedProfile(std::string_view id)
{
    for (const SoundProfile& candidate : Profiles::synthesized()) {
        if (candidate.id == id) {
            return candidate;
        }
    }
    ADD_FAILURE() << "no synthesized profile " << id;
    return Profiles::synthesized().front();
}

// A voice unlike every catalogue voice, to tell overrides apart from derivations.
Voice marker(double durationMs)
{
    return Voice{durationMs, 0.5f, 0.1f, 1000, 1, 2, 0.2f, 200, 0.3f, 9, {0.4f}, {1500}, {20}, 0.5f, 800, 7, 0.6f,
                 3000, 11};
}

TEST(RoleVoiceTests, withoutOverridesEveryRoleDerivesFromTheKeyVoice)
{
    const SoundProfile& profile = synthesizedProfile("brown-bump");
    const Voice& key = profile.keyDown;
    const Voice space = key.stabilized(0.7f, 1.25, 1.05f);
    const std::vector<std::pair<SoundRole, Voice>> expected = {
        {SoundRole::keyDown, key},
        {SoundRole::keyUp, key.released(0.5f)},
        {SoundRole::spaceDown, space},
        {SoundRole::spaceUp, space.released(0.55f)},
        {SoundRole::enterDown, key.stabilized(0.8f, 1.2, 1.0f)},
        {SoundRole::modifierDown, key.scaled(0.82f, 0.8f)},
        {SoundRole::modifierUp, key.scaled(0.82f, 0.8f).released(0.5f)},
        {SoundRole::mouseDown, key.scaled(0.9f, 0.95f)},
        {SoundRole::mouseUp, key.scaled(0.9f, 0.95f).released(0.55f)},
        {SoundRole::mouseRightDown, key.scaled(0.78f, 0.95f)},
        {SoundRole::mouseRightUp, key.scaled(0.78f, 0.95f).released(0.55f)},
        {SoundRole::scrollTick, key.tick(1.0f, 0.45f)},
    };
    ASSERT_EQ(expected.size(), allSoundRoles().size());
    for (const auto& [role, voice] : expected) {
        EXPECT_EQ(profile.voice(role), voice) << rawValue(role);
    }
}

// The same rules checked through resulting numbers of brown-bump (key: 50 ms, level 0.8, click
// 3000 Hz, body 600 Hz), so that a wrong argument cannot hide behind the same call on both sides.
TEST(RoleVoiceTests, derivedVoicesOfBrownBumpHaveTheExpectedNumbers)
{
    const SoundProfile& profile = synthesizedProfile("brown-bump");

    const Voice keyUp = profile.voice(SoundRole::keyUp);
    EXPECT_EQ(keyUp.durationMs, 30.0);            // max(50 * 0.6, 25)
    EXPECT_EQ(keyUp.level, 0.8f * 0.5f);

    const Voice spaceDown = profile.voice(SoundRole::spaceDown);
    EXPECT_EQ(spaceDown.durationMs, 50.0 * 1.25);
    EXPECT_EQ(spaceDown.level, 0.8f * 1.05f);
    EXPECT_EQ(spaceDown.clickFreq, 3000.0f * 0.85f);
    EXPECT_EQ(spaceDown.bodyFreq, 600.0f * 0.7f);

    const Voice spaceUp = profile.voice(SoundRole::spaceUp);
    EXPECT_EQ(spaceUp.durationMs, 62.5 * 0.6);
    EXPECT_EQ(spaceUp.level, 0.8f * 1.05f * 0.55f);

    const Voice enter = profile.voice(SoundRole::enterDown);
    EXPECT_EQ(enter.durationMs, 50.0 * 1.2);
    EXPECT_EQ(enter.level, 0.8f);
    EXPECT_EQ(enter.bodyFreq, 600.0f * 0.8f);

    EXPECT_EQ(profile.voice(SoundRole::modifierDown).bodyFreq, 600.0f * 0.82f);
    EXPECT_EQ(profile.voice(SoundRole::modifierDown).level, 0.8f * 0.8f);
    EXPECT_EQ(profile.voice(SoundRole::mouseDown).bodyFreq, 600.0f * 0.9f);
    EXPECT_EQ(profile.voice(SoundRole::mouseRightDown).bodyFreq, 600.0f * 0.78f);
    EXPECT_EQ(profile.voice(SoundRole::mouseRightUp).level, 0.8f * 0.95f * 0.55f);

    const Voice tick = profile.voice(SoundRole::scrollTick);
    EXPECT_EQ(tick.durationMs, 20.0);             // min(50 * 0.4, 45)
    EXPECT_EQ(tick.level, 0.8f * 0.45f);
    EXPECT_EQ(tick.springGain, 0.0f);
}

TEST(RoleVoiceTests, overridesReplaceOnlyTheirOwnRoles)
{
    SoundProfile profile = synthesizedProfile("relay");
    const Voice space = marker(111);
    const Voice enter = marker(222);
    profile.spaceDownOverride = space;
    profile.enterDownOverride = enter;

    EXPECT_EQ(profile.voice(SoundRole::spaceDown), space);
    // The space override also yields the release of the space bar.
    EXPECT_EQ(profile.voice(SoundRole::spaceUp), space.released(0.55f));
    EXPECT_EQ(profile.voice(SoundRole::enterDown), enter);
    // Nothing else looks at the overrides.
    EXPECT_EQ(profile.voice(SoundRole::keyUp), profile.keyDown.released(0.5f));
    EXPECT_EQ(profile.voice(SoundRole::modifierDown), profile.keyDown.scaled(0.82f, 0.8f));
    EXPECT_EQ(profile.voice(SoundRole::scrollTick), profile.keyDown.tick(1.0f, 0.45f));
}

TEST(RoleVoiceTests, typewriterRingsItsBellOnEnterOnly)
{
    const SoundProfile& typewriter = synthesizedProfile("typewriter");
    ASSERT_TRUE(typewriter.enterDownOverride.has_value());
    EXPECT_FALSE(typewriter.spaceDownOverride.has_value());

    const Voice enter = typewriter.voice(SoundRole::enterDown);
    EXPECT_EQ(enter, *typewriter.enterDownOverride);
    EXPECT_EQ(enter.durationMs, 520.0);
    EXPECT_EQ(typewriter.voice(SoundRole::keyUp), typewriter.keyDown.released(0.5f));
    EXPECT_EQ(typewriter.voice(SoundRole::keyUp).durationMs, 90.0 * 0.6);
    EXPECT_EQ(typewriter.voice(SoundRole::spaceDown), typewriter.keyDown.stabilized(0.7f, 1.25, 1.05f));
}

TEST(RoleVoiceTests, voicesWithoutRingsKeepEmptyRingListsInEveryRole)
{
    const SoundProfile& terminal = synthesizedProfile("terminal");
    for (SoundRole role : allSoundRoles()) {
        const Voice voice = terminal.voice(role);
        EXPECT_TRUE(voice.ringGains.empty() && voice.ringFreqs.empty() && voice.ringDecaysMs.empty())
            << rawValue(role);
    }
}

} // namespace
} // namespace clickory
