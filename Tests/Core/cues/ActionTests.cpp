// SPDX-License-Identifier: MIT
#include "ClickoryCore/cues/ActionCue.h"
#include "ClickoryCore/cues/ActionKind.h"
#include "ClickoryCore/cues/ActionMap.h"
#include "ClickoryCore/cues/CueStyle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

namespace clickory {
namespace {

constexpr std::uint64_t shift = 0x20000;
constexpr std::uint64_t control = 0x40000;
constexpr std::uint64_t option = 0x80000;
constexpr std::uint64_t command = 0x100000;
constexpr std::uint64_t capsLock = 0x10000;
constexpr std::uint64_t numericPad = 0x200000;
constexpr std::uint64_t function = 0x800000;

// Key codes by ANSI key position.
constexpr int keyA = 0, keyS = 1, keyF = 3, keyZ = 6, keyX = 7, keyC = 8, keyV = 9, keyW = 13, keyT = 17;
constexpr int key1 = 18, key3 = 20, key4 = 21, key5 = 23;

struct Shortcut
{
    int keyCode;
    std::uint64_t flags;
    ActionKind kind;
};

const Shortcut shortcuts[] = {
    {keyC, command, ActionKind::copy},
    {keyX, command, ActionKind::cut},
    {keyV, command, ActionKind::paste},
    {keyZ, command, ActionKind::undo},
    {keyZ, command | shift, ActionKind::redo},
    {keyA, command, ActionKind::selectAll},
    {keyS, command, ActionKind::save},
    {keyF, command, ActionKind::find},
    {keyT, command, ActionKind::newTab},
    {keyW, command, ActionKind::closeWindow},
    {key3, command | shift, ActionKind::screenshot},
    {key4, command | shift, ActionKind::screenshot},
    {key5, command | shift, ActionKind::screenshot},
};

TEST(ActionMap, RecognisesEveryShortcut)
{
    std::set<ActionKind> seen;
    for (const Shortcut& s : shortcuts) {
        EXPECT_EQ(ActionMap::match(s.keyCode, s.flags), s.kind) << "key " << s.keyCode;
        seen.insert(s.kind);
    }
    EXPECT_EQ(seen.size(), actionKindCount);
}

TEST(ActionMap, IgnoresCapsLockFunctionAndNumericPadFlags)
{
    for (const Shortcut& s : shortcuts) {
        EXPECT_EQ(ActionMap::match(s.keyCode, s.flags | capsLock | function | numericPad), s.kind);
    }
}

TEST(ActionMap, RejectsAnyShortcutWithAMissingOrExtraModifier)
{
    for (const Shortcut& s : shortcuts) {
        SCOPED_TRACE(std::string(rawValue(s.kind)) + " key " + std::to_string(s.keyCode));
        EXPECT_EQ(ActionMap::match(s.keyCode, s.flags & ~command), std::nullopt);
        EXPECT_EQ(ActionMap::match(s.keyCode, s.flags | control), std::nullopt);
        EXPECT_EQ(ActionMap::match(s.keyCode, s.flags | option), std::nullopt);
        EXPECT_EQ(ActionMap::match(s.keyCode, s.flags | control | option), std::nullopt);
        // Shift toggled: only Z has a meaning both ways (undo and redo).
        const std::optional<ActionKind> toggled = ActionMap::match(s.keyCode, s.flags ^ shift);
        if (s.keyCode == keyZ) {
            EXPECT_EQ(toggled, s.kind == ActionKind::undo ? ActionKind::redo : ActionKind::undo);
        } else {
            EXPECT_EQ(toggled, std::nullopt);
        }
    }
}

TEST(ActionMap, MatchesNothingWithoutCommandOrOnOtherKeys)
{
    EXPECT_EQ(ActionMap::match(keyC, 0), std::nullopt);
    EXPECT_EQ(ActionMap::match(keyC, shift), std::nullopt);
    EXPECT_EQ(ActionMap::match(keyS, command | shift), std::nullopt);
    EXPECT_EQ(ActionMap::match(key1, command), std::nullopt);
    EXPECT_EQ(ActionMap::match(key1, command | shift), std::nullopt);
    EXPECT_EQ(ActionMap::match(key3, command), std::nullopt);
    EXPECT_EQ(ActionMap::match(22, command | shift), std::nullopt); // the 6 key
    EXPECT_EQ(ActionMap::match(-1, command), std::nullopt);
    EXPECT_EQ(ActionMap::match(0x10000 + keyC, command), std::nullopt);
    // Codes 18 and above never match without Shift.
    for (int code = 18; code < 128; ++code) {
        EXPECT_EQ(ActionMap::match(code, command), std::nullopt) << code;
    }
}

TEST(ActionMap, DefaultOnHoldsTheSixEverydayShortcuts)
{
    const std::set<ActionKind> on(ActionMap::defaultOn.begin(), ActionMap::defaultOn.end());
    EXPECT_EQ(on, (std::set<ActionKind>{ActionKind::copy, ActionKind::cut, ActionKind::paste, ActionKind::undo,
                                        ActionKind::redo, ActionKind::save}));
    for (ActionKind kind : allActionKinds()) {
        EXPECT_EQ(ActionMap::isDefaultOn(kind), on.count(kind) == 1) << rawValue(kind);
    }
}

TEST(ActionKind, RawValuesLabelsAndClipboardFlagInCaseOrder)
{
    struct Row
    {
        const char* raw;
        const char* label;
        bool changesClipboard;
        CueStyle style;
    };
    const Row rows[] = {
        {"copy", "Copy (Ctrl+C)", true, CueStyle::glass},
        {"cut", "Cut (Ctrl+X)", true, CueStyle::zip},
        {"paste", "Paste (Ctrl+V)", false, CueStyle::marimba},
        {"undo", "Undo (Ctrl+Z)", false, CueStyle::glideDown},
        {"redo", "Redo (Shift+Ctrl+Z)", false, CueStyle::glideUp},
        {"selectAll", "Select all (Ctrl+A)", false, CueStyle::chime},
        {"save", "Save (Ctrl+S)", false, CueStyle::sparkle},
        {"find", "Find (Ctrl+F)", false, CueStyle::tick},
        {"newTab", "New tab (Ctrl+T)", false, CueStyle::pop},
        {"closeWindow", "Close window or tab (Ctrl+W)", false, CueStyle::bell},
        {"screenshot", "Screenshot (Shift+Ctrl+3, 4 or 5)", false, CueStyle::shutter},
    };
    const auto kinds = allActionKinds();
    ASSERT_EQ(std::size(rows), kinds.size());
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(kinds[i]), i);
        EXPECT_EQ(rawValue(kinds[i]), rows[i].raw);
        EXPECT_EQ(label(kinds[i]), rows[i].label);
        EXPECT_EQ(changesClipboard(kinds[i]), rows[i].changesClipboard) << rows[i].raw;
        EXPECT_EQ(defaultStyle(kinds[i]), rows[i].style) << rows[i].raw;
        EXPECT_EQ(actionKindFromRaw(rows[i].raw), kinds[i]);
    }
}

TEST(ActionKind, UnknownRawValuesAreRejected)
{
    EXPECT_EQ(actionKindFromRaw(""), std::nullopt);
    EXPECT_EQ(actionKindFromRaw("Copy"), std::nullopt);
    EXPECT_EQ(actionKindFromRaw("select_all"), std::nullopt);
    EXPECT_EQ(actionKindFromRaw("copy "), std::nullopt);
    EXPECT_EQ(actionKindFromRaw("Copy (Ctrl+C)"), std::nullopt);
}

TEST(CueStyle, RawValuesLabelsAndLengthsInCaseOrder)
{
    struct Row
    {
        const char* raw;
        const char* label;
        float length;
    };
    const Row rows[] = {
        {"glass", "Glass", 0.5f},      {"chime", "Chime", 0.5f},
        {"marimba", "Marimba", 0.28f}, {"bell", "Bell", 0.7f},
        {"sparkle", "Sparkle", 0.5f},  {"pop", "Pop", 0.12f},
        {"tick", "Tick", 0.05f},       {"shutter", "Shutter", 0.16f},
        {"glideUp", "Glide up", 0.2f}, {"glideDown", "Glide down", 0.2f},
        {"zip", "Zip", 0.16f},
    };
    const auto styles = allCueStyles();
    ASSERT_EQ(std::size(rows), styles.size());
    for (std::size_t i = 0; i < styles.size(); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(styles[i]), i);
        EXPECT_EQ(rawValue(styles[i]), rows[i].raw);
        EXPECT_EQ(label(styles[i]), rows[i].label);
        EXPECT_EQ(cueLength(styles[i]), rows[i].length) << rows[i].raw;
        EXPECT_EQ(cueStyleFromRaw(rows[i].raw), styles[i]);
    }
    EXPECT_EQ(cueStyleFromRaw("Glass"), std::nullopt);
    EXPECT_EQ(cueStyleFromRaw("glide up"), std::nullopt);
    EXPECT_EQ(cueStyleFromRaw(""), std::nullopt);
}

TEST(ActionCue, ConstructorClampsTheGain)
{
    EXPECT_EQ(ActionCue(true, CueStyle::glass, std::nullopt, 2.0).gain, 1.5);
    EXPECT_EQ(ActionCue(true, CueStyle::glass, std::nullopt, -1.0).gain, 0.0);
    EXPECT_EQ(ActionCue(true, CueStyle::glass, std::nullopt, std::nan("")).gain, 0.0);
    EXPECT_EQ(ActionCue(true, CueStyle::glass, std::nullopt, std::numeric_limits<double>::infinity()).gain, 1.5);
    EXPECT_EQ(ActionCue(true, CueStyle::glass, std::nullopt, -std::numeric_limits<double>::infinity()).gain, 0.0);
    EXPECT_EQ(ActionCue(true, CueStyle::glass, std::nullopt, 1.5).gain, 1.5);
    EXPECT_EQ(ActionCue(true, CueStyle::glass, std::nullopt, 0.0).gain, 0.0);
    EXPECT_EQ(ActionCue(true, CueStyle::glass, std::nullopt, 0.75).gain, 0.75);
}

TEST(ActionCue, DefaultCuesFollowTheDefaultOnSetAndStyles)
{
    const ActionCue find = ActionCue::defaultCue(ActionKind::find);
    EXPECT_FALSE(find.enabled);
    EXPECT_EQ(find.style, CueStyle::tick);
    EXPECT_EQ(find.customPath, std::nullopt);
    EXPECT_EQ(find.gain, 0.6);

    const ActionCue copy = ActionCue::defaultCue(ActionKind::copy);
    EXPECT_TRUE(copy.enabled);
    EXPECT_EQ(copy.style, CueStyle::glass);
    EXPECT_EQ(copy.gain, 0.6);

    int enabled = 0;
    for (ActionKind kind : allActionKinds()) {
        const ActionCue cue = ActionCue::defaultCue(kind);
        enabled += cue.enabled ? 1 : 0;
        EXPECT_EQ(cue, ActionCue(ActionMap::isDefaultOn(kind), defaultStyle(kind), std::nullopt, 0.6));
    }
    EXPECT_EQ(enabled, 6);
}

TEST(ActionCue, EqualityComparesEveryField)
{
    const ActionCue base(true, CueStyle::pop, std::string("/tmp/a.wav"), 0.5);
    EXPECT_EQ(base, ActionCue(true, CueStyle::pop, std::string("/tmp/a.wav"), 0.5));
    EXPECT_NE(base, ActionCue(false, CueStyle::pop, std::string("/tmp/a.wav"), 0.5));
    EXPECT_NE(base, ActionCue(true, CueStyle::zip, std::string("/tmp/a.wav"), 0.5));
    EXPECT_NE(base, ActionCue(true, CueStyle::pop, std::string("/tmp/b.wav"), 0.5));
    EXPECT_NE(base, ActionCue(true, CueStyle::pop, std::nullopt, 0.5));
    EXPECT_NE(base, ActionCue(true, CueStyle::pop, std::string(""), 0.5));
    EXPECT_NE(base, ActionCue(true, CueStyle::pop, std::string("/tmp/a.wav"), 0.55));
}

} // namespace
} // namespace clickory
