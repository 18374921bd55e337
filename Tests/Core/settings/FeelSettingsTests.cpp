// SPDX-License-Identifier: MIT
#include "ClickoryCore/settings/FeelSettings.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <limits>
#include <string>

namespace clickory {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// Every number of the record with its allowed range.
struct Range
{
    const char* name;
    double FeelSettings::*field;
    double lo;
    double hi;
};

const Range ranges[] = {
    {"masterVolume", &FeelSettings::masterVolume, 0.0, 1.0},
    {"stereoWidth", &FeelSettings::stereoWidth, 0.0, 1.0},
    {"pitchVariation", &FeelSettings::pitchVariation, 0.0, 1.0},
    {"volumeVariation", &FeelSettings::volumeVariation, 0.0, 1.0},
    {"rippleSize", &FeelSettings::rippleSize, 16.0, 160.0},
    {"rippleOpacity", &FeelSettings::rippleOpacity, 0.05, 1.0},
    {"rippleDuration", &FeelSettings::rippleDuration, 0.15, 2.0},
    {"dynamicsAmount", &FeelSettings::dynamicsAmount, 0.0, 1.0},
    {"keysGain", &FeelSettings::keysGain, 0.0, 1.5},
    {"mouseGain", &FeelSettings::mouseGain, 0.0, 1.5},
    {"scrollGain", &FeelSettings::scrollGain, 0.0, 1.5},
    {"spaceGain", &FeelSettings::spaceGain, 0.0, 1.5},
    {"modifierGain", &FeelSettings::modifierGain, 0.0, 1.5},
};

double clampedValue(double FeelSettings::*field, double value)
{
    FeelSettings settings;
    settings.*field = value;
    settings.clamp();
    return settings.*field;
}

TEST(FeelSettingsClamp, DefaultsAreAlreadyInRange)
{
    FeelSettings settings;
    settings.clamp();
    EXPECT_EQ(settings, FeelSettings());
}

TEST(FeelSettingsClamp, NumbersGoToTheNearestBoundAndNotANumberToTheLowerOne)
{
    for (const Range& range : ranges) {
        SCOPED_TRACE(range.name);
        EXPECT_EQ(clampedValue(range.field, range.lo - 0.01), range.lo);
        EXPECT_EQ(clampedValue(range.field, range.hi + 0.01), range.hi);
        EXPECT_EQ(clampedValue(range.field, -inf), range.lo);
        EXPECT_EQ(clampedValue(range.field, inf), range.hi);
        EXPECT_EQ(clampedValue(range.field, nan), range.lo);
        // The bounds themselves and values inside stay exactly as they are (nothing is rounded).
        EXPECT_EQ(clampedValue(range.field, range.lo), range.lo);
        EXPECT_EQ(clampedValue(range.field, range.hi), range.hi);
        const double inside = range.lo + (range.hi - range.lo) / 3.0;
        EXPECT_EQ(clampedValue(range.field, inside), inside);
    }
}

TEST(FeelSettingsClamp, DescribedExamples)
{
    EXPECT_EQ(clampedValue(&FeelSettings::masterVolume, 3.0), 1.0);
    EXPECT_EQ(clampedValue(&FeelSettings::masterVolume, -0.5), 0.0);
    EXPECT_EQ(clampedValue(&FeelSettings::rippleSize, 10.0), 16.0);
    EXPECT_EQ(clampedValue(&FeelSettings::rippleSize, 500.0), 160.0);
    EXPECT_EQ(clampedValue(&FeelSettings::rippleOpacity, 0.0), 0.05);
    EXPECT_EQ(clampedValue(&FeelSettings::rippleDuration, 5.0), 2.0);
}

TEST(FeelSettingsClamp, ProfileIDFallsBackToTactileUnlessBuiltInOrImported)
{
    struct Row
    {
        const char* id;
        const char* expected;
    };
    const Row table[] = {
        {"tactile", "tactile"},
        {"marble", "marble"},
        {"marble-drop", "marble-drop"},
        {"typewriter", "typewriter"},
        {"cat", "cat"},
        {"imported:no-such-pack", "imported:no-such-pack"},
        {"imported:", "imported:"},
        {"no-such-profile", "tactile"},
        {"", "tactile"},
        {"Tactile", "tactile"},
        {"imported", "tactile"},
        {" imported:abc", "tactile"},
    };
    for (const Row& row : table) {
        FeelSettings settings;
        settings.profileID = row.id;
        settings.clamp();
        EXPECT_EQ(settings.profileID, row.expected) << row.id;
    }
}

TEST(FeelSettingsClamp, ActionCuesKeepOnlyKnownKindsWithGainsInRange)
{
    FeelSettings settings;
    settings.actionCues.emplace("copy", ActionCue(true, CueStyle::bell, "/tmp/copy.wav", 0.0));
    settings.actionCues.at("copy").gain = 2.0;
    settings.actionCues.emplace("paste", ActionCue(false, CueStyle::pop, std::nullopt, 0.0));
    settings.actionCues.at("paste").gain = -1.0;
    settings.actionCues.emplace("undo", ActionCue(true, CueStyle::tick, std::nullopt, 0.0));
    settings.actionCues.at("undo").gain = nan;
    settings.actionCues.emplace("save", ActionCue(true, CueStyle::zip, std::nullopt, 1.25));
    settings.actionCues.emplace("print", ActionCue(true, CueStyle::glass, std::nullopt, 1.0));
    settings.actionCues.emplace("Copy", ActionCue(true, CueStyle::glass, std::nullopt, 1.0));
    settings.actionCues.emplace("", ActionCue(true, CueStyle::glass, std::nullopt, 1.0));
    settings.clamp();

    ASSERT_EQ(settings.actionCues.size(), 4u);
    EXPECT_EQ(settings.actionCues.at("copy"), ActionCue(true, CueStyle::bell, "/tmp/copy.wav", 1.5));
    EXPECT_EQ(settings.actionCues.at("paste").gain, 0.0);
    EXPECT_EQ(settings.actionCues.at("undo").gain, 0.0);
    EXPECT_EQ(settings.actionCues.at("save").gain, 1.25);
    EXPECT_EQ(settings.actionCues.at("save").style, CueStyle::zip);
}

TEST(FeelSettingsClamp, AppProfilesNeedAnIdentifierAndAKnownOrImportedProfile)
{
    FeelSettings settings;
    settings.appProfiles = {
        {"", "tactile"},
        {"org.example.editor", "no-such-profile"},
        {"org.example.browser", "imported:gone"},
        {"org.example.terminal", "typewriter"},
        {"org.example.mail", ""},
        {"org.example.chat", "marble-drop"},
    };
    settings.clamp();
    const std::map<std::string, std::string> expected = {
        {"org.example.browser", "imported:gone"},
        {"org.example.terminal", "typewriter"},
        {"org.example.chat", "marble-drop"},
    };
    EXPECT_EQ(settings.appProfiles, expected);
}

TEST(FeelSettingsClamp, LeavesTextsListsAndSwitchesAlone)
{
    FeelSettings settings;
    settings.rippleLeftColor = "not a colour";
    settings.rippleRightColor = "";
    settings.mutedBundleIDs = {"", "org.example.player", "org.example.player"};
    settings.customSoundPath = "";
    settings.enabled = false;
    settings.scrollStyle = ScrollStyle::off;
    FeelSettings expected = settings;
    settings.clamp();
    EXPECT_EQ(settings, expected);
}

TEST(FeelSettingsCue, StoredEntryElseTheKindsDefault)
{
    FeelSettings settings;
    for (ActionKind kind : allActionKinds()) {
        EXPECT_EQ(settings.cue(kind), ActionCue::defaultCue(kind)) << rawValue(kind);
    }
    const ActionCue custom(false, CueStyle::shutter, "/tmp/cut.wav", 0.9);
    settings.actionCues.emplace("cut", custom);
    EXPECT_EQ(settings.cue(ActionKind::cut), custom);
    EXPECT_EQ(settings.cue(ActionKind::copy), ActionCue::defaultCue(ActionKind::copy));
}

TEST(FeelSettingsEquality, EveryFieldCounts)
{
    // Changing any one key must make the record unequal to the defaults.
    const FeelSettings defaults;
    nlohmann::json changed = defaults.toJSON();
    EXPECT_EQ(FeelSettings::jsonKeys().size(), FeelSettings::fieldCount);
    for (std::string_view key : FeelSettings::jsonKeys()) {
        FeelSettings settings;
        if (key == "customSoundPath") {
            settings.customSoundPath = "/tmp/a.wav";
        } else if (key == "actionCues") {
            settings.actionCues.emplace("copy", ActionCue::defaultCue(ActionKind::copy));
        } else if (key == "appProfiles") {
            settings.appProfiles.emplace("org.example.app", "tactile");
        } else if (key == "mutedBundleIDs") {
            settings.mutedBundleIDs.push_back("org.example.app");
        } else {
            nlohmann::json json = defaults.toJSON();
            nlohmann::json& value = json[std::string(key)];
            if (value.is_boolean()) {
                value = !value.get<bool>();
            } else if (value.is_number()) {
                value = value.get<double>() + 0.125;
            } else if (key == "scrollStyle") {
                value = "rice";
            } else if (key == "hapticPattern") {
                value = "generic";
            } else if (key == "rippleStyle") {
                value = "dot";
            } else if (key == "outputRule") {
                value = "headphonesOnly";
            } else if (key == "profileID") {
                value = "felt";
            } else {
                value = value.get<std::string>() + "0";
            }
            auto decoded = FeelSettings::fromJSON(json);
            ASSERT_TRUE(decoded) << key << ": " << decoded.error();
            settings = decoded.value();
        }
        EXPECT_NE(settings, defaults) << key;
    }
}

} // namespace
} // namespace clickory
