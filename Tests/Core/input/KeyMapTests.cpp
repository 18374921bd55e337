// SPDX-License-Identifier: MIT
#include "ClickoryCore/input/KeyMap.h"

#include <gtest/gtest.h>

#include <set>

namespace clickory {
namespace {

constexpr double tolerance = 1e-12;

void expectInfo(std::int64_t code, KeyClass keyClass, double x, double semitones)
{
    SCOPED_TRACE(code);
    const KeyInfo info = KeyMap::info(code);
    EXPECT_EQ(info.keyClass, keyClass);
    EXPECT_NEAR(info.x, x, tolerance);
    EXPECT_NEAR(info.semitones, semitones, tolerance);
}

TEST(KeyMap, PositionsHoldTheFortyFiveLetterBlockKeysWithTheirRows)
{
    const auto& positions = KeyMap::positions();
    EXPECT_EQ(positions.size(), 45u);
    EXPECT_EQ(positions.at(18), (KeyMap::Position{0.0, 0}));
    EXPECT_NEAR(positions.at(0).x, 0.06, tolerance);
    EXPECT_EQ(positions.at(0).row, 2);
    EXPECT_NEAR(positions.at(44).x, 0.82, tolerance);
    EXPECT_EQ(positions.at(44).row, 3);
    EXPECT_EQ(&positions, &KeyMap::positions());
}

TEST(KeyMap, RightmostKeysOfTheRowsStayInsideTheKeyboardWithoutClamping)
{
    EXPECT_NEAR(KeyMap::positions().at(24).x, 0.88, tolerance);  // "="
    EXPECT_NEAR(KeyMap::positions().at(30).x, 0.92, tolerance);  // "]"
    for (const auto& [code, position] : KeyMap::positions()) {
        EXPECT_GE(position.x, 0.0) << code;
        EXPECT_LE(position.x, 0.92 + tolerance) << code;
    }
}

TEST(KeyMap, LetterBlockPitchRisesToTheRightAndFallsPerRow)
{
    expectInfo(18, KeyClass::character, 0.0, -0.35);     // "1"
    expectInfo(24, KeyClass::character, 0.88, 0.266);    // "="
    expectInfo(0, KeyClass::character, 0.06, -0.548);    // "A"
    expectInfo(44, KeyClass::character, 0.82, -0.136);   // "/"
    expectInfo(30, KeyClass::character, 0.92, 0.174);      // "]", row 1
    expectInfo(6, KeyClass::character, 0.1, -0.28 - 0.36);    // "Z"
}

TEST(KeyMap, ClassifiesSpaceReturnAndKeypadEnter)
{
    expectInfo(49, KeyClass::space, 0.45, -0.4);
    expectInfo(36, KeyClass::enter, 0.92, -0.6);
    expectInfo(76, KeyClass::enter, 0.97, -0.6);
}

TEST(KeyMap, GivesEditingKeysTheirFixedPlaces)
{
    expectInfo(48, KeyClass::character, 0.04, -0.7);   // Tab
    expectInfo(51, KeyClass::character, 0.97, -0.9);   // Delete
    expectInfo(117, KeyClass::character, 0.97, -0.9);  // Forward Delete
    expectInfo(53, KeyClass::character, 0.02, 0.8);    // Escape
}

TEST(KeyMap, PlacesRightHandModifiersRightAndCapsLockAndFnLeft)
{
    for (std::int64_t code : {54, 60, 61, 62}) {
        expectInfo(code, KeyClass::modifier, 0.93, -0.3);
    }
    for (std::int64_t code : {55, 56, 57, 58, 59, 63}) {
        expectInfo(code, KeyClass::modifier, 0.06, -0.3);
    }
}

TEST(KeyMap, FunctionArrowAndNavigationKeysArePitchedUp)
{
    for (std::int64_t code : {122, 120, 99, 118, 96, 97, 98, 100, 101, 109, 103, 111, 105, 107, 113, 106, 64, 79, 80,
                              90}) {
        expectInfo(code, KeyClass::character, 0.5, 1.0);
    }
    for (std::int64_t code : {123, 124, 125, 126}) {
        expectInfo(code, KeyClass::character, 0.9, 0.6);
    }
    for (std::int64_t code : {114, 115, 116, 119, 121}) {
        expectInfo(code, KeyClass::character, 0.9, 0.5);
    }
}

TEST(KeyMap, KeypadColumnsSetPositionAndPitch)
{
    for (std::int64_t code : {82, 83, 86, 89}) {
        expectInfo(code, KeyClass::character, 0.84, 0.35);
    }
    for (std::int64_t code : {84, 87, 91}) {
        expectInfo(code, KeyClass::character, 0.88, 0.25);
    }
    for (std::int64_t code : {85, 88, 92}) {
        expectInfo(code, KeyClass::character, 0.92, 0.15);
    }
    for (std::int64_t code : {65, 67, 69, 71, 75, 78, 81}) {
        expectInfo(code, KeyClass::character, 0.96, 0.05);
    }
}

TEST(KeyMap, UnknownCodesAreOtherKeysInTheCentre)
{
    for (std::int64_t code : {10, 42, 50, 52, 66, 68, 70, 72, 73, 74, 77, 93, 94, 95, 102, 104, 108, 110, 112, 127,
                              128, 1000, -1}) {
        expectInfo(code, KeyClass::other, 0.5, 0.0);
    }
    expectInfo(std::numeric_limits<std::int64_t>::min(), KeyClass::other, 0.5, 0.0);
    expectInfo(std::numeric_limits<std::int64_t>::max(), KeyClass::other, 0.5, 0.0);
}

TEST(KeyMap, EveryClassOfKeyMapsToItsPressAndReleaseRoles)
{
    EXPECT_EQ(KeyMap::role(0, true), SoundRole::keyDown);
    EXPECT_EQ(KeyMap::role(0, false), SoundRole::keyUp);
    EXPECT_EQ(KeyMap::role(49, true), SoundRole::spaceDown);
    EXPECT_EQ(KeyMap::role(49, false), SoundRole::spaceUp);
    EXPECT_EQ(KeyMap::role(57, true), SoundRole::modifierDown);
    EXPECT_EQ(KeyMap::role(62, false), SoundRole::modifierUp);
    EXPECT_EQ(KeyMap::role(10, true), SoundRole::keyDown);
    EXPECT_EQ(KeyMap::role(10, false), SoundRole::keyUp);
}

TEST(KeyMap, EnterReleasePlaysAnOrdinaryKeyUp)
{
    EXPECT_EQ(KeyMap::role(36, true), SoundRole::enterDown);
    EXPECT_EQ(KeyMap::role(36, false), SoundRole::keyUp);
    EXPECT_EQ(KeyMap::role(76, false), SoundRole::keyUp);
}

TEST(KeyMap, ModifierKeysControlTheirFlagBits)
{
    EXPECT_EQ(KeyMap::modifierMask(54), 0x100000u);
    EXPECT_EQ(KeyMap::modifierMask(55), 0x100000u);
    EXPECT_EQ(KeyMap::modifierMask(56), 0x20000u);
    EXPECT_EQ(KeyMap::modifierMask(60), 0x20000u);
    EXPECT_EQ(KeyMap::modifierMask(57), 0x10000u);
    EXPECT_EQ(KeyMap::modifierMask(58), 0x80000u);
    EXPECT_EQ(KeyMap::modifierMask(61), 0x80000u);
    EXPECT_EQ(KeyMap::modifierMask(59), 0x40000u);
    EXPECT_EQ(KeyMap::modifierMask(62), 0x40000u);
    EXPECT_EQ(KeyMap::modifierMask(63), 0x800000u);
}

TEST(KeyMap, OnlyModifierCodesHaveAMask)
{
    EXPECT_EQ(KeyMap::modifierMask(0), std::nullopt);
    EXPECT_EQ(KeyMap::modifierMask(53), std::nullopt);
    EXPECT_EQ(KeyMap::modifierMask(64), std::nullopt);
    EXPECT_EQ(KeyMap::modifierMask(-1), std::nullopt);
    for (std::int64_t code : KeyMap::modifierCodes) {
        EXPECT_TRUE(KeyMap::modifierMask(code).has_value()) << code;
        EXPECT_TRUE(KeyMap::isModifierCode(code)) << code;
        EXPECT_EQ(KeyMap::info(code).keyClass, KeyClass::modifier) << code;
    }
}

TEST(KeyMap, NoKeyCodeAppearsInTwoPlacesOfTheRows)
{
    std::set<std::int64_t> seen;
    std::size_t count = 0;
    for (const auto& row : KeyMap::rows) {
        for (std::int64_t code : row.codes) {
            seen.insert(code);
            ++count;
        }
    }
    EXPECT_EQ(count, 45u);
    EXPECT_EQ(seen.size(), 45u);
}

} // namespace
} // namespace clickory
