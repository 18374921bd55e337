// SPDX-License-Identifier: MIT
#include "ClickoryCore/input/Hotkey.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace clickory {
namespace {

TEST(Hotkey, DefaultsAreKAndNWithControlOptionAndCommand)
{
    EXPECT_EQ(Hotkey::toggleDefault.keyCode, 40);
    EXPECT_EQ(Hotkey::toggleDefault.modifiers, 0x1C0000u);
    EXPECT_EQ(Hotkey::nextSoundDefault.keyCode, 45);
    EXPECT_EQ(Hotkey::nextSoundDefault.modifiers, 0x1C0000u);
    EXPECT_EQ(Hotkey::control | Hotkey::option | Hotkey::command, 0x1C0000u);
    EXPECT_EQ(Hotkey::shift | Hotkey::control | Hotkey::option | Hotkey::command, Hotkey::relevant);
}

TEST(Hotkey, StoresOnlyTheRelevantModifierBits)
{
    EXPECT_EQ(Hotkey(40, 0x1D0000).modifiers, 0x1C0000u);
    EXPECT_EQ(Hotkey(40, 0x1D0000), Hotkey::toggleDefault);
    EXPECT_EQ(Hotkey(40, 0xFFFFFFFFFFFFFFFFull).modifiers, 0x1E0000u);
}

TEST(Hotkey, MatchesIgnoringCapsLockFnAndDeviceBits)
{
    EXPECT_TRUE(Hotkey::toggleDefault.matches(40, 0x1C0000));
    EXPECT_TRUE(Hotkey::toggleDefault.matches(40, 0x1C0100));   // device-dependent bit
    EXPECT_TRUE(Hotkey::toggleDefault.matches(40, 0x1D0000));   // Caps Lock
    EXPECT_TRUE(Hotkey::toggleDefault.matches(40, 0x9C0000));   // Fn
}

TEST(Hotkey, DoesNotMatchWithAnExtraOrMissingModifier)
{
    EXPECT_FALSE(Hotkey::toggleDefault.matches(40, 0x1E0000));  // Shift added
    EXPECT_FALSE(Hotkey::toggleDefault.matches(40, 0x180000));  // Control missing
    EXPECT_FALSE(Hotkey::toggleDefault.matches(40, 0x140000));  // Option missing
    EXPECT_FALSE(Hotkey::toggleDefault.matches(40, 0x0C0000));  // Command missing
    EXPECT_FALSE(Hotkey::toggleDefault.matches(40, 0));
}

TEST(Hotkey, DoesNotMatchAnotherKey)
{
    EXPECT_FALSE(Hotkey::toggleDefault.matches(45, 0x1C0000));
    EXPECT_TRUE(Hotkey::nextSoundDefault.matches(45, 0x1C0000));
}

TEST(Hotkey, DisplayTextUsesTheLinuxModifierNamesInOrder)
{
    EXPECT_EQ(displayText(Hotkey::toggleDefault), "Super+Alt+Ctrl+K");
    EXPECT_EQ(displayText(Hotkey::nextSoundDefault), "Super+Alt+Ctrl+N");
    EXPECT_EQ(displayText(Hotkey(6, Hotkey::shift | Hotkey::command)), "Shift+Ctrl+Z");
    EXPECT_EQ(displayText(Hotkey(8, 0)), "C");
    EXPECT_EQ(displayText(Hotkey(122, Hotkey::command)), "Ctrl+Key 122");
}

TEST(Hotkey, RoundTripsThroughItsKeyedRecord)
{
    const nlohmann::json json = toJson(Hotkey::toggleDefault);
    EXPECT_EQ(json, nlohmann::json::parse(R"({"keyCode": 40, "modifiers": 1835008})"));
    const auto decoded = hotkeyFromJson(json);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, Hotkey::toggleDefault);
}

TEST(Hotkey, DecodingKeepsTheStoredModifiersAsTheyAre)
{
    const auto decoded = hotkeyFromJson(nlohmann::json::parse(R"({"keyCode": 40, "modifiers": 1900544})"));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->modifiers, 0x1D0000u);
}

TEST(Hotkey, DecodingRejectsMissingOrMistypedFields)
{
    for (const char* text : {R"({"modifiers": 1835008})", R"({"keyCode": 40})", R"({"keyCode": "K", "modifiers": 1})",
                             R"({"keyCode": 40, "modifiers": -1})", R"({"keyCode": 40.5, "modifiers": 1})",
                             R"({"keyCode": 18446744073709551615, "modifiers": 1})", R"([40, 1835008])"}) {
        const auto decoded = hotkeyFromJson(nlohmann::json::parse(text));
        EXPECT_FALSE(decoded) << text;
        if (!decoded) {
            EXPECT_FALSE(decoded.error().empty());
        }
    }
}

} // namespace
} // namespace clickory
