// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/EvdevKeyMap.h"
#include "ClickoryCore/input/KeyMap.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <vector>

namespace clickory {
namespace {

// Linux key codes of the four letter-block rows, left to right, as laid out on a PC keyboard
// (linux/input-event-codes.h numbers each row consecutively).
struct LinuxRow
{
    int first;
    int count;
    double offset;  // the row's stagger in key widths
};
constexpr std::array<LinuxRow, 4> linuxRows{{
    {2, 12, 0.0},    // KEY_1 .. KEY_EQUAL
    {16, 12, 0.5},   // KEY_Q .. KEY_RIGHTBRACE
    {30, 11, 0.75},  // KEY_A .. KEY_APOSTROPHE
    {44, 10, 1.25},  // KEY_Z .. KEY_SLASH
}};

TEST(EvdevKeyMap, LetterBlockKeysLandOnTheirRowAndPosition)
{
    for (int row = 0; row < 4; ++row)
    {
        const LinuxRow& linuxRow = linuxRows[static_cast<std::size_t>(row)];
        for (int i = 0; i < linuxRow.count; ++i)
        {
            const int linuxCode = linuxRow.first + i;
            const std::int64_t code = EvdevKeyMap::macCode(linuxCode);
            const auto position = KeyMap::positions().find(code);
            ASSERT_NE(position, KeyMap::positions().end()) << "Linux key " << linuxCode;
            EXPECT_EQ(position->second.row, row) << "Linux key " << linuxCode;
            EXPECT_DOUBLE_EQ(position->second.x, (linuxRow.offset + i) / 12.5) << "Linux key " << linuxCode;
            EXPECT_EQ(KeyMap::info(code).keyClass, KeyClass::character);
        }
    }
}

TEST(EvdevKeyMap, NamedKeysGetTheirClassPositionAndPitch)
{
    struct Case
    {
        int linuxCode;
        std::int64_t code;
        KeyInfo info;
    };
    const std::vector<Case> cases{
        {28, 36, {KeyClass::enter, 0.92, -0.6}},       // Return
        {96, 76, {KeyClass::enter, 0.97, -0.6}},       // keypad Enter
        {57, 49, {KeyClass::space, 0.45, -0.4}},       // Space
        {15, 48, {KeyClass::character, 0.04, -0.7}},   // Tab
        {14, 51, {KeyClass::character, 0.97, -0.9}},   // Backspace is Delete
        {111, 117, {KeyClass::character, 0.97, -0.9}}, // Delete is Forward Delete
        {1, 53, {KeyClass::character, 0.02, 0.8}},     // Escape
        {105, 123, {KeyClass::character, 0.9, 0.6}},   // left
        {106, 124, {KeyClass::character, 0.9, 0.6}},   // right
        {108, 125, {KeyClass::character, 0.9, 0.6}},   // down
        {103, 126, {KeyClass::character, 0.9, 0.6}},   // up
        {110, 114, {KeyClass::character, 0.9, 0.5}},   // Insert is Help
        {102, 115, {KeyClass::character, 0.9, 0.5}},   // Home
        {104, 116, {KeyClass::character, 0.9, 0.5}},   // Page Up
        {107, 119, {KeyClass::character, 0.9, 0.5}},   // End
        {109, 121, {KeyClass::character, 0.9, 0.5}},   // Page Down
        {41, 50, {KeyClass::other, 0.5, 0.0}},         // grave accent
        {86, 10, {KeyClass::other, 0.5, 0.0}},         // ISO section key (the extra key of ISO boards)
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(EvdevKeyMap::macCode(c.linuxCode), c.code) << "Linux key " << c.linuxCode;
        EXPECT_EQ(KeyMap::info(EvdevKeyMap::macCode(c.linuxCode)), c.info) << "Linux key " << c.linuxCode;
    }
}

TEST(EvdevKeyMap, FunctionKeysFollowTheKeyMapsOrder)
{
    const std::array<int, 20> linuxF{59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 87, 88, 183, 184, 185, 186, 187, 188, 189, 190};
    const std::array<std::int64_t, 20> macF{122, 120, 99, 118, 96, 97, 98, 100, 101, 109,
                                            103, 111, 105, 107, 113, 106, 64, 79, 80, 90};
    for (std::size_t i = 0; i < linuxF.size(); ++i)
    {
        EXPECT_EQ(EvdevKeyMap::macCode(linuxF[i]), macF[i]) << "F" << i + 1;
        EXPECT_EQ(KeyMap::info(macF[i]), (KeyInfo{KeyClass::character, 0.5, 1.0})) << "F" << i + 1;
    }
}

TEST(EvdevKeyMap, KeypadKeysLandInTheirColumn)
{
    struct Case
    {
        int linuxCode;
        int column;
    };
    // KP0 KP1 KP4 KP7 | KP2 KP5 KP8 | KP3 KP6 KP9 | . * + Clear(NumLock) / - =
    const std::vector<Case> cases{{82, 0}, {79, 0}, {75, 0}, {71, 0}, {80, 1}, {76, 1}, {72, 1},
                                  {81, 2}, {77, 2}, {73, 2}, {83, 3}, {55, 3}, {78, 3}, {69, 3},
                                  {98, 3}, {74, 3}, {117, 3}};
    for (const Case& c : cases)
    {
        const KeyInfo info = KeyMap::info(EvdevKeyMap::macCode(c.linuxCode));
        EXPECT_EQ(info.keyClass, KeyClass::character) << "Linux key " << c.linuxCode;
        EXPECT_DOUBLE_EQ(info.x, 0.84 + 0.04 * c.column) << "Linux key " << c.linuxCode;
        EXPECT_DOUBLE_EQ(info.semitones, 0.35 - 0.1 * c.column) << "Linux key " << c.linuxCode;
    }
}

TEST(EvdevKeyMap, ModifiersPlayTheirLinuxRoles)
{
    struct Case
    {
        int linuxCode;
        std::int64_t code;
        std::uint64_t mask;
        double x;
    };
    const std::vector<Case> cases{
        {29, 55, 0x100000, 0.06},   // left Ctrl -> left Command
        {97, 54, 0x100000, 0.93},   // right Ctrl -> right Command
        {125, 59, 0x40000, 0.06},   // left Super -> left Control
        {126, 62, 0x40000, 0.93},   // right Super -> right Control
        {56, 58, 0x80000, 0.06},    // left Alt -> left Option
        {100, 61, 0x80000, 0.93},   // right Alt -> right Option
        {42, 56, 0x20000, 0.06},    // left Shift
        {54, 60, 0x20000, 0.93},    // right Shift
        {58, 57, 0x10000, 0.06},    // Caps Lock
        {0x1d0, 63, 0x800000, 0.06}, // Fn
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(EvdevKeyMap::macCode(c.linuxCode), c.code) << "Linux key " << c.linuxCode;
        EXPECT_EQ(KeyMap::modifierMask(c.code), c.mask) << "Linux key " << c.linuxCode;
        EXPECT_EQ(KeyMap::info(c.code), (KeyInfo{KeyClass::modifier, c.x, -0.3})) << "Linux key " << c.linuxCode;
    }
}

TEST(EvdevKeyMap, EveryKeyTheKeyMapKnowsComesFromOneLinuxKeyAndBack)
{
    std::set<std::int64_t> produced;
    for (const EvdevKeyMap::Entry& entry : EvdevKeyMap::entries())
    {
        EXPECT_TRUE(produced.insert(entry.macCode).second) << "two Linux keys produce " << entry.macCode;
        EXPECT_EQ(EvdevKeyMap::macCode(entry.evdevCode), entry.macCode);
        EXPECT_EQ(EvdevKeyMap::evdevCode(entry.macCode), entry.evdevCode);
    }
    for (std::int64_t code = 0; code < 128; ++code)
    {
        if (KeyMap::info(code).keyClass != KeyClass::other)
        {
            EXPECT_TRUE(produced.count(code)) << "no Linux key produces " << code;
        }
    }
}

TEST(EvdevKeyMap, UnmappedKeysArriveAsOtherAndKeepTheirIdentity)
{
    // KEY_SYSRQ (Print Screen), KEY_PAUSE, KEY_COMPOSE, KEY_RESERVED, and codes out of range.
    for (const int linuxCode : {99, 119, 127, 0, 0x2ff, -5, 100000})
    {
        const std::int64_t code = EvdevKeyMap::macCode(linuxCode);
        EXPECT_EQ(code, EvdevKeyMap::unmappedBase + linuxCode);
        EXPECT_EQ(KeyMap::info(code), (KeyInfo{KeyClass::other, 0.5, 0.0})) << "Linux key " << linuxCode;
    }
    EXPECT_EQ(EvdevKeyMap::evdevCode(EvdevKeyMap::unmappedBase + 99), 99);
    // Codes no Linux key produces.
    EXPECT_EQ(EvdevKeyMap::evdevCode(52), std::nullopt);
    EXPECT_EQ(EvdevKeyMap::evdevCode(-1), std::nullopt);
    EXPECT_EQ(EvdevKeyMap::evdevCode(EvdevKeyMap::unmappedBase + 30), std::nullopt);  // A is mapped
    EXPECT_EQ(EvdevKeyMap::evdevCode(EvdevKeyMap::unmappedBase + 0x300), std::nullopt);
}

} // namespace
} // namespace clickory
