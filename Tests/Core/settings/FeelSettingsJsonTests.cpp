// SPDX-License-Identifier: MIT
#include "ClickoryCore/settings/ActionCueJson.h"
#include "ClickoryCore/settings/FeelSettings.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

namespace clickory {
namespace {

using Json = nlohmann::json;

FeelSettings decoded(const Json& json)
{
    auto result = FeelSettings::fromJSON(json);
    EXPECT_TRUE(result) << json.dump() << ": " << result.error();
    return result ? result.value() : FeelSettings();
}

// The decode fails and its message names the key.
void expectFailureNaming(const Json& json, const std::string& key)
{
    auto result = FeelSettings::fromJSON(json);
    ASSERT_FALSE(result) << json.dump();
    EXPECT_NE(result.error().find("\"" + key + "\""), std::string::npos) << result.error();
}

// A record in which every one of the 47 fields differs from its default and is already in range.
FeelSettings everyFieldChanged()
{
    FeelSettings s;
    s.enabled = false;
    s.masterVolume = 0.1 + 0.2;
    s.profileID = "imported:my-pack";
    s.keyboardEnabled = false;
    s.keyReleaseEnabled = false;
    s.playOnKeyRepeat = true;
    s.modifierKeysEnabled = false;
    s.mouseEnabled = false;
    s.mouseReleaseEnabled = false;
    s.scrollStyle = ScrollStyle::sand;
    s.stereoEnabled = false;
    s.stereoWidth = 1.0 / 3.0;
    s.pitchVariation = 0.0;
    s.volumeVariation = 1.0;
    s.hapticsOnClick = true;
    s.hapticsOnScroll = false;
    s.hapticsOnKeys = true;
    s.hapticPattern = HapticPattern::levelChange;
    s.rippleEnabled = true;
    s.rippleStyle = RippleStyle::doubleRing;
    s.rippleSize = 159.999999999;
    s.rippleOpacity = 0.05;
    s.rippleDuration = 1.7;
    s.rippleLeftColor = "#000000";
    s.rippleRightColor = "not a colour";
    s.rippleOtherColor = "";
    s.mutedBundleIDs = {"org.example.zoom", "", "org.example.zoom", "caf\xc3\xa9"};
    s.muteWhenMicrophoneInUse = false;
    s.customSoundPath = "/home/someone/.local/share/Clickory/click \"1\".wav";
    s.typingDynamics = false;
    s.dynamicsAmount = 0.05;
    s.keysGain = 1.5;
    s.mouseGain = 0.0;
    s.scrollGain = 1e-9;
    s.appProfiles = {{"org.example.terminal", "typewriter"}, {"org.example.browser", "imported:x"}};
    s.outputRule = OutputRule::headphonesOnly;
    s.hotkeysEnabled = false;
    s.lowLatency = false;
    s.spaceGain = 1.4;
    s.modifierGain = 0.2;
    s.muteWhenCameraInUse = false;
    s.silentInFullScreen = true;
    s.showMenuBarIcon = false;
    s.actionCuesEnabled = false;
    s.confirmClipboard = false;
    s.replaceKeyClickForActions = false;
    s.actionCues.emplace("copy", ActionCue(false, CueStyle::zip, "/tmp/copy.ogg", 1.5));
    s.actionCues.emplace("screenshot", ActionCue(true, CueStyle::shutter, std::nullopt, 0.0));
    return s;
}

TEST(FeelSettingsJson, EmptyObjectGivesTheDefaults)
{
    EXPECT_EQ(decoded(Json::object()), FeelSettings());
    auto fromText = FeelSettings::decodeJSON("{}");
    ASSERT_TRUE(fromText);
    EXPECT_EQ(fromText.value(), FeelSettings());
}

TEST(FeelSettingsJson, DefaultsAsWritten)
{
    // The stored form of the default record, key by key.
    const Json expected = Json::parse(R"({
        "enabled": true, "masterVolume": 0.7, "profileID": "tactile", "keyboardEnabled": true,
        "keyReleaseEnabled": true, "playOnKeyRepeat": false, "modifierKeysEnabled": true, "mouseEnabled": true,
        "mouseReleaseEnabled": true, "scrollStyle": "softTick", "stereoEnabled": true, "stereoWidth": 0.6,
        "pitchVariation": 0.5, "volumeVariation": 0.35, "hapticsOnClick": false, "hapticsOnScroll": true,
        "hapticsOnKeys": false, "hapticPattern": "alignment", "rippleEnabled": false, "rippleStyle": "ring",
        "rippleSize": 46.0, "rippleOpacity": 0.55, "rippleDuration": 0.55, "rippleLeftColor": "#8A5CF6",
        "rippleRightColor": "#F59E0B", "rippleOtherColor": "#10B981", "mutedBundleIDs": [],
        "muteWhenMicrophoneInUse": true, "typingDynamics": true, "dynamicsAmount": 0.6, "keysGain": 1.0,
        "mouseGain": 1.0, "scrollGain": 0.7, "appProfiles": {}, "outputRule": "everywhere",
        "hotkeysEnabled": true, "lowLatency": true, "spaceGain": 1.0, "modifierGain": 0.8,
        "muteWhenCameraInUse": true, "silentInFullScreen": false, "showMenuBarIcon": true,
        "actionCuesEnabled": true, "confirmClipboard": true, "replaceKeyClickForActions": true, "actionCues": {}
    })");
    // An absent customSoundPath is not written.
    EXPECT_EQ(FeelSettings().toJSON(), expected);
}

TEST(FeelSettingsJson, EveryFieldSurvivesEncodeThenDecode)
{
    const FeelSettings original = everyFieldChanged();
    const Json json = original.toJSON();
    const Json defaults = FeelSettings().toJSON();
    ASSERT_EQ(json.size(), FeelSettings::fieldCount);
    for (std::string_view key : FeelSettings::jsonKeys()) {
        const std::string name(key);
        ASSERT_TRUE(json.contains(name)) << name;
        EXPECT_TRUE(!defaults.contains(name) || json[name] != defaults[name]) << name << " is not changed";
    }
    auto back = FeelSettings::decodeJSON(original.encodeJSON());
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back.value(), original);
}

TEST(FeelSettingsJson, EnumerationsAreWrittenAsRawValues)
{
    const Json json = everyFieldChanged().toJSON();
    EXPECT_EQ(json["rippleStyle"], "double");
    EXPECT_EQ(json["scrollStyle"], "sand");
    EXPECT_EQ(json["hapticPattern"], "levelChange");
    EXPECT_EQ(json["outputRule"], "headphonesOnly");
    EXPECT_EQ(json["actionCues"]["copy"],
              Json::parse(R"({"enabled": false, "style": "zip", "customPath": "/tmp/copy.ogg", "gain": 1.5})"));
    EXPECT_EQ(json["actionCues"]["screenshot"], Json::parse(R"({"enabled": true, "style": "shutter", "gain": 0.0})"));
}

TEST(FeelSettingsJson, MissingOrNullKeysKeepTheirDefaults)
{
    Json allNull = Json::object();
    for (std::string_view key : FeelSettings::jsonKeys()) {
        allNull[std::string(key)] = nullptr;
    }
    EXPECT_EQ(decoded(allNull), FeelSettings());

    const FeelSettings partial = decoded(Json::parse(R"({"masterVolume": 0.2, "customSoundPath": null})"));
    FeelSettings expected;
    expected.masterVolume = 0.2;
    EXPECT_EQ(partial, expected);
    EXPECT_FALSE(partial.customSoundPath.has_value());
    EXPECT_FALSE(partial.toJSON().contains("customSoundPath"));
}

TEST(FeelSettingsJson, DecodingClamps)
{
    const FeelSettings settings = decoded(Json::parse(R"({
        "masterVolume": 3, "rippleSize": 10, "rippleOpacity": 0, "rippleDuration": 5, "keysGain": -2,
        "profileID": "no-such-profile",
        "actionCues": {"bogus": {"enabled": true, "style": "glass", "gain": 1},
                       "copy": {"enabled": true, "style": "glass", "gain": 2.0}},
        "appProfiles": {"": "tactile", "a": "nothing", "b": "imported:p"}
    })"));
    EXPECT_EQ(settings.masterVolume, 1.0);
    EXPECT_EQ(settings.rippleSize, 16.0);
    EXPECT_EQ(settings.rippleOpacity, 0.05);
    EXPECT_EQ(settings.rippleDuration, 2.0);
    EXPECT_EQ(settings.keysGain, 0.0);
    EXPECT_EQ(settings.profileID, "tactile");
    ASSERT_EQ(settings.actionCues.size(), 1u);
    EXPECT_EQ(settings.actionCues.at("copy"), ActionCue(true, CueStyle::glass, std::nullopt, 1.5));
    EXPECT_EQ(settings.appProfiles, (std::map<std::string, std::string>{{"b", "imported:p"}}));
    EXPECT_EQ(decoded(Json::parse(R"({"masterVolume": -0.5})")).masterVolume, 0.0);
}

TEST(FeelSettingsJson, IntegersAreNumbers)
{
    const FeelSettings settings = decoded(Json::parse(R"({
        "masterVolume": 1, "rippleSize": 100, "keysGain": 0, "rippleDuration": 18446744073709551615,
        "actionCues": {"save": {"enabled": true, "style": "sparkle", "gain": 1}}
    })"));
    EXPECT_EQ(settings.masterVolume, 1.0);
    EXPECT_EQ(settings.rippleSize, 100.0);
    EXPECT_EQ(settings.keysGain, 0.0);
    EXPECT_EQ(settings.rippleDuration, 2.0);
    EXPECT_EQ(settings.actionCues.at("save").gain, 1.0);
}

TEST(FeelSettingsJson, AWrongTypeUnderAnyKeyFailsTheWholeDecodeNamingTheKey)
{
    const Json defaults = FeelSettings().toJSON();
    for (std::string_view key : FeelSettings::jsonKeys()) {
        const std::string name(key);
        // A text where a number belongs, a number everywhere else.
        const bool isNumber = defaults.contains(name) && defaults[name].is_number();
        Json json = Json::object();
        json[name] = isNumber ? Json("0.5") : Json(12);
        expectFailureNaming(json, name);
    }
    // Booleans are not numbers, and numbers are not booleans.
    expectFailureNaming(Json::parse(R"({"enabled": 1})"), "enabled");
    expectFailureNaming(Json::parse(R"({"keysGain": true})"), "keysGain");
    expectFailureNaming(Json::parse(R"({"mutedBundleIDs": ["org.example.a", 3]})"), "mutedBundleIDs");
    expectFailureNaming(Json::parse(R"({"mutedBundleIDs": {"a": "b"}})"), "mutedBundleIDs");
    expectFailureNaming(Json::parse(R"({"appProfiles": {"org.example.a": null}})"), "appProfiles");
    expectFailureNaming(Json::parse(R"({"appProfiles": ["tactile"]})"), "appProfiles");
    expectFailureNaming(Json::parse(R"({"actionCues": {"copy": "glass"}})"), "actionCues");
}

TEST(FeelSettingsJson, UnknownEnumerationValuesFailTheDecode)
{
    expectFailureNaming(Json::parse(R"({"scrollStyle": "sideways"})"), "scrollStyle");
    expectFailureNaming(Json::parse(R"({"scrollStyle": "Salt"})"), "scrollStyle");
    expectFailureNaming(Json::parse(R"({"hapticPattern": "Snap"})"), "hapticPattern");
    expectFailureNaming(Json::parse(R"({"rippleStyle": "doubleRing"})"), "rippleStyle");
    expectFailureNaming(Json::parse(R"({"outputRule": ""})"), "outputRule");
    expectFailureNaming(Json::parse(R"({"actionCues": {"copy": {"enabled": true, "style": "kazoo", "gain": 1}}})"),
                        "actionCues");
    // A good value next to a bad one does not rescue the record.
    expectFailureNaming(Json::parse(R"({"masterVolume": 0.1, "outputRule": "nowhere"})"), "outputRule");

    EXPECT_EQ(decoded(Json::parse(R"({"scrollStyle": "off"})")).scrollStyle, ScrollStyle::off);
    EXPECT_EQ(decoded(Json::parse(R"({"rippleStyle": "double"})")).rippleStyle, RippleStyle::doubleRing);
    EXPECT_EQ(decoded(Json::parse(R"({"hapticPattern": "generic"})")).hapticPattern, HapticPattern::generic);
}

TEST(FeelSettingsJson, ActionCueNeedsEnabledStyleAndGain)
{
    const char* broken[] = {
        R"({"style": "glass", "gain": 1})",
        R"({"enabled": true, "gain": 1})",
        R"({"enabled": true, "style": "glass"})",
        R"({"enabled": true, "style": "glass", "gain": null})",
        R"({"enabled": "yes", "style": "glass", "gain": 1})",
        R"({"enabled": true, "style": "glass", "gain": "1"})",
        R"({"enabled": true, "style": "glass", "gain": 1, "customPath": 5})",
    };
    for (const char* cue : broken) {
        EXPECT_FALSE(actionCueFromJSON(Json::parse(cue))) << cue;
        // Even under a key that clamping would drop, a broken cue fails the record.
        expectFailureNaming(Json{{"actionCues", {{"copy", Json::parse(cue)}}}}, "actionCues");
        expectFailureNaming(Json{{"actionCues", {{"bogus", Json::parse(cue)}}}}, "actionCues");
    }
    auto stored = actionCueFromJSON(Json::parse(R"({"enabled": true, "style": "bell", "gain": 7, "customPath": null,
                                                    "extra": 1})"));
    ASSERT_TRUE(stored) << stored.error();
    EXPECT_EQ(stored->gain, 7.0) << "the stored gain is kept until the record is clamped";
    EXPECT_FALSE(stored->customPath.has_value());
}

TEST(FeelSettingsJson, UnknownKeysAreIgnored)
{
    const FeelSettings settings =
        decoded(Json::parse(R"({"futureSetting": {"deep": [1, 2]}, "MasterVolume": "loud", "masterVolume": 0.25})"));
    FeelSettings expected;
    expected.masterVolume = 0.25;
    EXPECT_EQ(settings, expected);
}

TEST(FeelSettingsJson, BadTextFailsCleanly)
{
    const std::string inputs[] = {
        "",
        "not json",
        "[]",
        "null",
        "42",
        R"("settings")",
        R"({"masterVolume": 0.5)",
        R"({"masterVolume": 1e999})",
        "{\"profileID\": \"\xff\xfe\"}",
    };
    for (const std::string& input : inputs) {
        auto result = FeelSettings::decodeJSON(input);
        EXPECT_FALSE(result) << input;
        if (!result) {
            EXPECT_FALSE(result.error().empty());
        }
    }
    auto named = FeelSettings::decodeJSON(R"({"masterVolume": "loud"})");
    ASSERT_FALSE(named);
    EXPECT_NE(named.error().find("\"masterVolume\""), std::string::npos) << named.error();
}

TEST(FeelSettingsJson, DeepNestingAndHugeInputFailWithoutExhaustingTheStack)
{
    const std::string deepArray(200000, '[');
    EXPECT_FALSE(FeelSettings::decodeJSON(deepArray));
    std::string deepInsideKey = R"({"futureSetting": )";
    for (int i = 0; i < 100000; ++i) {
        deepInsideKey += R"({"a":)";
    }
    deepInsideKey += "1" + std::string(100000, '}') + "}";
    EXPECT_FALSE(FeelSettings::decodeJSON(deepInsideKey));

    std::string huge = R"({"mutedBundleIDs": [)";
    while (huge.size() < (9u << 20)) {
        huge += R"("org.example.application.with.a.long.identifier",)";
    }
    huge += R"("last"]})";
    EXPECT_FALSE(FeelSettings::decodeJSON(huge));

    // A long but shallow record within the limits still decodes.
    std::string wide = R"({"mutedBundleIDs": [)";
    for (int i = 0; i < 10000; ++i) {
        wide += "\"org.example.app" + std::to_string(i) + "\",";
    }
    wide += R"("last"]})";
    auto decodedWide = FeelSettings::decodeJSON(wide);
    ASSERT_TRUE(decodedWide) << decodedWide.error();
    EXPECT_EQ(decodedWide->mutedBundleIDs.size(), 10001u);
}

TEST(FeelSettingsJson, EncodingIsCompactJsonThatOmitsAnAbsentCustomSoundPath)
{
    const std::string text = FeelSettings().encodeJSON();
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(text.find("customSoundPath"), std::string::npos);
    const Json json = Json::parse(text);
    EXPECT_EQ(json.size(), FeelSettings::fieldCount - 1);

    FeelSettings withPath;
    withPath.customSoundPath = "";
    EXPECT_EQ(withPath.toJSON()["customSoundPath"], "");
    auto back = FeelSettings::decodeJSON(withPath.encodeJSON());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->customSoundPath, std::optional<std::string>(""));
}

TEST(FeelSettingsJson, EncodingNeverThrowsOnTextThatIsNotUtf8)
{
    FeelSettings settings;
    settings.customSoundPath = "/home/someone/\xff\xfe.wav";
    std::string text;
    EXPECT_NO_THROW(text = settings.encodeJSON());
    auto back = FeelSettings::decodeJSON(text);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->customSoundPath, std::optional<std::string>("/home/someone/\xef\xbf\xbd\xef\xbf\xbd.wav"));
}

} // namespace
} // namespace clickory
