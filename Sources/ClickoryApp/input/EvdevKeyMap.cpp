// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/EvdevKeyMap.h"

#include <algorithm>
#include <array>

namespace clickory::EvdevKeyMap {
namespace {

// Linux codes from <linux/input-event-codes.h>, written as numbers so that the core of the
// translation needs no system header; the names are in the comments.
constexpr std::array<Entry, 110> table{{
    {1, 53},     // KEY_ESC
    {2, 18},     // KEY_1
    {3, 19},     // KEY_2
    {4, 20},     // KEY_3
    {5, 21},     // KEY_4
    {6, 23},     // KEY_5
    {7, 22},     // KEY_6
    {8, 26},     // KEY_7
    {9, 28},     // KEY_8
    {10, 25},    // KEY_9
    {11, 29},    // KEY_0
    {12, 27},    // KEY_MINUS
    {13, 24},    // KEY_EQUAL
    {14, 51},    // KEY_BACKSPACE -> Delete
    {15, 48},    // KEY_TAB
    {16, 12},    // KEY_Q
    {17, 13},    // KEY_W
    {18, 14},    // KEY_E
    {19, 15},    // KEY_R
    {20, 17},    // KEY_T
    {21, 16},    // KEY_Y
    {22, 32},    // KEY_U
    {23, 34},    // KEY_I
    {24, 31},    // KEY_O
    {25, 35},    // KEY_P
    {26, 33},    // KEY_LEFTBRACE
    {27, 30},    // KEY_RIGHTBRACE
    {28, 36},    // KEY_ENTER -> Return
    {29, 55},    // KEY_LEFTCTRL -> left Command
    {30, 0},     // KEY_A
    {31, 1},     // KEY_S
    {32, 2},     // KEY_D
    {33, 3},     // KEY_F
    {34, 5},     // KEY_G
    {35, 4},     // KEY_H
    {36, 38},    // KEY_J
    {37, 40},    // KEY_K
    {38, 37},    // KEY_L
    {39, 41},    // KEY_SEMICOLON
    {40, 39},    // KEY_APOSTROPHE
    {41, 50},    // KEY_GRAVE -> grave accent
    {42, 56},    // KEY_LEFTSHIFT
    {43, 42},    // KEY_BACKSLASH
    {44, 6},     // KEY_Z
    {45, 7},     // KEY_X
    {46, 8},     // KEY_C
    {47, 9},     // KEY_V
    {48, 11},    // KEY_B
    {49, 45},    // KEY_N
    {50, 46},    // KEY_M
    {51, 43},    // KEY_COMMA
    {52, 47},    // KEY_DOT
    {53, 44},    // KEY_SLASH
    {54, 60},    // KEY_RIGHTSHIFT
    {55, 67},    // KEY_KPASTERISK -> keypad multiply
    {56, 58},    // KEY_LEFTALT -> left Option
    {57, 49},    // KEY_SPACE
    {58, 57},    // KEY_CAPSLOCK
    {59, 122},   // KEY_F1
    {60, 120},   // KEY_F2
    {61, 99},    // KEY_F3
    {62, 118},   // KEY_F4
    {63, 96},    // KEY_F5
    {64, 97},    // KEY_F6
    {65, 98},    // KEY_F7
    {66, 100},   // KEY_F8
    {67, 101},   // KEY_F9
    {68, 109},   // KEY_F10
    {69, 71},    // KEY_NUMLOCK -> keypad Clear, which sits in its place
    {71, 89},    // KEY_KP7
    {72, 91},    // KEY_KP8
    {73, 92},    // KEY_KP9
    {74, 78},    // KEY_KPMINUS
    {75, 86},    // KEY_KP4
    {76, 87},    // KEY_KP5
    {77, 88},    // KEY_KP6
    {78, 69},    // KEY_KPPLUS
    {79, 83},    // KEY_KP1
    {80, 84},    // KEY_KP2
    {81, 85},    // KEY_KP3
    {82, 82},    // KEY_KP0
    {83, 65},    // KEY_KPDOT -> keypad decimal point
    {86, 10},    // KEY_102ND -> ISO section key
    {87, 103},   // KEY_F11
    {88, 111},   // KEY_F12
    {96, 76},    // KEY_KPENTER
    {97, 54},    // KEY_RIGHTCTRL -> right Command
    {98, 75},    // KEY_KPSLASH -> keypad divide
    {100, 61},   // KEY_RIGHTALT -> right Option
    {102, 115},  // KEY_HOME
    {103, 126},  // KEY_UP
    {104, 116},  // KEY_PAGEUP
    {105, 123},  // KEY_LEFT
    {106, 124},  // KEY_RIGHT
    {107, 119},  // KEY_END
    {108, 125},  // KEY_DOWN
    {109, 121},  // KEY_PAGEDOWN
    {110, 114},  // KEY_INSERT -> Help
    {111, 117},  // KEY_DELETE -> Forward Delete
    {117, 81},   // KEY_KPEQUAL
    {125, 59},   // KEY_LEFTMETA (Super) -> left Control
    {126, 62},   // KEY_RIGHTMETA (Super) -> right Control
    {183, 105},  // KEY_F13
    {184, 107},  // KEY_F14
    {185, 113},  // KEY_F15
    {186, 106},  // KEY_F16
    {187, 64},   // KEY_F17
    {188, 79},   // KEY_F18
    {189, 80},   // KEY_F19
    {190, 90},   // KEY_F20
}};
// KEY_FN (0x1d0) is the Fn modifier where a keyboard reports it.
constexpr Entry fnEntry{0x1d0, 63};

constexpr bool sortedByLinuxCode()
{
    for (std::size_t i = 1; i < table.size(); ++i)
    {
        if (table[i - 1].evdevCode >= table[i].evdevCode)
        {
            return false;
        }
    }
    return table.back().evdevCode < fnEntry.evdevCode;
}
static_assert(sortedByLinuxCode());

// Direct lookup by Linux code: -1 where there is no counterpart.
constexpr std::array<std::int16_t, evdevCodeLimit> byLinuxCode = [] {
    std::array<std::int16_t, evdevCodeLimit> result{};
    result.fill(-1);
    for (const Entry& e : table)
    {
        result[static_cast<std::size_t>(e.evdevCode)] = static_cast<std::int16_t>(e.macCode);
    }
    result[fnEntry.evdevCode] = static_cast<std::int16_t>(fnEntry.macCode);
    return result;
}();

// Inverse lookup for the macOS codes 0-127: -1 where no Linux key produces the code.
constexpr std::array<std::int16_t, 128> byMacCode = [] {
    std::array<std::int16_t, 128> result{};
    result.fill(-1);
    for (const Entry& e : table)
    {
        result[static_cast<std::size_t>(e.macCode)] = static_cast<std::int16_t>(e.evdevCode);
    }
    result[fnEntry.macCode] = static_cast<std::int16_t>(fnEntry.evdevCode);
    return result;
}();

constexpr std::array<Entry, table.size() + 1> allEntries = [] {
    std::array<Entry, table.size() + 1> result{};
    std::copy(table.begin(), table.end(), result.begin());
    result.back() = fnEntry;
    return result;
}();

} // namespace

std::span<const Entry> entries()
{
    return allEntries;
}

std::int64_t macCode(int evdevCode)
{
    if (evdevCode >= 0 && evdevCode < evdevCodeLimit)
    {
        const std::int16_t mapped = byLinuxCode[static_cast<std::size_t>(evdevCode)];
        if (mapped >= 0)
        {
            return mapped;
        }
    }
    return unmappedBase + evdevCode;
}

std::optional<int> evdevCode(std::int64_t macCode)
{
    if (macCode >= 0 && macCode < static_cast<std::int64_t>(byMacCode.size()))
    {
        const std::int16_t linuxCode = byMacCode[static_cast<std::size_t>(macCode)];
        if (linuxCode >= 0)
        {
            return linuxCode;
        }
        return std::nullopt;
    }
    if (macCode >= unmappedBase && macCode < unmappedBase + evdevCodeLimit)
    {
        const int linuxCode = static_cast<int>(macCode - unmappedBase);
        if (byLinuxCode[static_cast<std::size_t>(linuxCode)] < 0)
        {
            return linuxCode;
        }
    }
    return std::nullopt;
}

} // namespace clickory::EvdevKeyMap
