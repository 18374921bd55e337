// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/KeyboardState.h"
#include "ClickoryCore/input/Hotkey.h"
#include "ClickoryCore/input/KeyMap.h"

#include <gtest/gtest.h>

namespace clickory {
namespace {

// Linux key codes used below.
constexpr int leftCtrl = 29;
constexpr int leftShift = 42;
constexpr int rightShift = 54;
constexpr int leftAlt = 56;
constexpr int capsLock = 58;
constexpr int leftSuper = 125;
constexpr int keyA = 30;
constexpr int keyC = 46;
constexpr int keyK = 37;

std::optional<InputEvent> key(std::int64_t code, bool down, bool isRepeat, std::uint64_t flags)
{
    return InputEvent{KeyEvent{code, down, isRepeat, flags}};
}

std::optional<InputEvent> modifier(std::int64_t code, bool down)
{
    return InputEvent{ModifierEvent{code, down}};
}

TEST(KeyboardState, CtrlCArrivesWithTheCommandBit)
{
    KeyboardState state;
    EXPECT_EQ(state.convert(leftCtrl, true), modifier(55, true));
    EXPECT_EQ(state.convert(keyC, true), key(8, true, false, 0x100000));
    EXPECT_EQ(state.convert(keyC, false), key(8, false, false, 0x100000));
    EXPECT_EQ(state.convert(leftCtrl, false), modifier(55, false));
    EXPECT_EQ(state.convert(keyC, true), key(8, true, false, 0));
}

TEST(KeyboardState, ReleasingOneOfTwoShiftsKeepsShiftDown)
{
    KeyboardState state;
    EXPECT_EQ(state.convert(leftShift, true), modifier(56, true));
    EXPECT_EQ(state.convert(rightShift, true), modifier(60, true));
    EXPECT_EQ(state.convert(leftShift, false), modifier(56, true));
    EXPECT_EQ(state.flags(), 0x20000u);
    EXPECT_EQ(state.convert(rightShift, false), modifier(60, false));
    EXPECT_EQ(state.flags(), 0u);
}

TEST(KeyboardState, CapsLockReportsItsLockStateOnEachPress)
{
    KeyboardState state;
    EXPECT_EQ(state.convert(capsLock, true), modifier(57, true));
    EXPECT_EQ(state.convert(capsLock, true), std::nullopt);  // held: no toggle
    EXPECT_EQ(state.convert(capsLock, false), std::nullopt);
    EXPECT_EQ(state.convert(keyA, true), key(0, true, false, 0x10000));
    EXPECT_EQ(state.convert(keyA, false), key(0, false, false, 0x10000));
    EXPECT_EQ(state.convert(capsLock, true), modifier(57, false));
    EXPECT_EQ(state.convert(capsLock, false), std::nullopt);
    EXPECT_EQ(state.convert(keyA, true), key(0, true, false, 0));
}

TEST(KeyboardState, StartsWithTheLockStateItIsGiven)
{
    KeyboardState state;
    state.reset(true);
    EXPECT_EQ(state.convert(keyA, true), key(0, true, false, 0x10000));
    EXPECT_EQ(state.convert(capsLock, true), modifier(57, false));
}

TEST(KeyboardState, APressOfAHeldKeyIsARepeat)
{
    KeyboardState state;
    EXPECT_EQ(state.convert(keyA, true), key(0, true, false, 0));
    EXPECT_EQ(state.convert(keyA, true), key(0, true, true, 0));
    EXPECT_EQ(state.convert(keyA, true), key(0, true, true, 0));
    EXPECT_EQ(state.convert(keyA, false), key(0, false, false, 0));
    EXPECT_EQ(state.convert(keyA, true), key(0, true, false, 0));
}

TEST(KeyboardState, RepeatedPressesOfAHeldModifierGiveNothing)
{
    KeyboardState state;
    EXPECT_EQ(state.convert(leftShift, true), modifier(56, true));
    EXPECT_EQ(state.convert(leftShift, true), std::nullopt);
    EXPECT_EQ(state.convert(leftShift, false), modifier(56, false));
    // A release of a modifier that went down before we started listening gives nothing either.
    EXPECT_EQ(state.convert(leftAlt, false), std::nullopt);
}

TEST(KeyboardState, SuperAltCtrlKMatchesTheToggleHotkey)
{
    KeyboardState state;
    EXPECT_EQ(state.convert(leftSuper, true), modifier(59, true));
    EXPECT_EQ(state.convert(leftAlt, true), modifier(58, true));
    EXPECT_EQ(state.convert(leftCtrl, true), modifier(55, true));
    const auto event = state.convert(keyK, true);
    ASSERT_TRUE(event && std::holds_alternative<KeyEvent>(*event));
    const KeyEvent& k = std::get<KeyEvent>(*event);
    EXPECT_EQ(k.flags, 0x1C0000u);
    EXPECT_TRUE(Hotkey::toggleDefault.matches(k.code, k.flags));
    EXPECT_FALSE(Hotkey::nextSoundDefault.matches(k.code, k.flags));
}

TEST(KeyboardState, UnmappedKeysStillArrive)
{
    KeyboardState state;
    const auto event = state.convert(99, true);  // Print Screen
    ASSERT_TRUE(event && std::holds_alternative<KeyEvent>(*event));
    EXPECT_EQ(KeyMap::info(std::get<KeyEvent>(*event).code).keyClass, KeyClass::other);
    // Codes beyond the Linux range are converted, but never counted as held.
    EXPECT_EQ(state.convert(5000, true), key(0x1000 + 5000, true, false, 0));
    EXPECT_EQ(state.convert(5000, true), key(0x1000 + 5000, true, false, 0));
}

TEST(KeyboardState, ResetForgetsHeldKeys)
{
    KeyboardState state;
    state.convert(leftShift, true);
    state.convert(keyA, true);
    state.reset();
    EXPECT_EQ(state.flags(), 0u);
    EXPECT_FALSE(state.isDown(keyA));
    EXPECT_EQ(state.convert(keyA, true), key(0, true, false, 0));
}

} // namespace
} // namespace clickory
