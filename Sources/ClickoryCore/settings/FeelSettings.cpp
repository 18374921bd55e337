// SPDX-License-Identifier: MIT
#include "ClickoryCore/settings/FeelSettings.h"

#include "ClickoryCore/BoundedJson.h"
#include "ClickoryCore/profiles/Profiles.h"
#include "ClickoryCore/settings/ActionCueJson.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <utility>

namespace clickory {

namespace {

using Json = nlohmann::json;

// Calls visit(key, field) for every field in declaration order. The one list behind the key list,
// the encoder and the decoder, so that they cannot drift apart.
template <typename Settings, typename Visitor> void forEachField(Settings& s, Visitor&& visit)
{
    visit("enabled", s.enabled);
    visit("masterVolume", s.masterVolume);
    visit("profileID", s.profileID);
    visit("keyboardEnabled", s.keyboardEnabled);
    visit("keyReleaseEnabled", s.keyReleaseEnabled);
    visit("playOnKeyRepeat", s.playOnKeyRepeat);
    visit("modifierKeysEnabled", s.modifierKeysEnabled);
    visit("mouseEnabled", s.mouseEnabled);
    visit("mouseReleaseEnabled", s.mouseReleaseEnabled);
    visit("scrollStyle", s.scrollStyle);
    visit("stereoEnabled", s.stereoEnabled);
    visit("stereoWidth", s.stereoWidth);
    visit("pitchVariation", s.pitchVariation);
    visit("volumeVariation", s.volumeVariation);
    visit("hapticsOnClick", s.hapticsOnClick);
    visit("hapticsOnScroll", s.hapticsOnScroll);
    visit("hapticsOnKeys", s.hapticsOnKeys);
    visit("hapticPattern", s.hapticPattern);
    visit("rippleEnabled", s.rippleEnabled);
    visit("rippleStyle", s.rippleStyle);
    visit("rippleSize", s.rippleSize);
    visit("rippleOpacity", s.rippleOpacity);
    visit("rippleDuration", s.rippleDuration);
    visit("rippleLeftColor", s.rippleLeftColor);
    visit("rippleRightColor", s.rippleRightColor);
    visit("rippleOtherColor", s.rippleOtherColor);
    visit("mutedBundleIDs", s.mutedBundleIDs);
    visit("muteWhenMicrophoneInUse", s.muteWhenMicrophoneInUse);
    visit("customSoundPath", s.customSoundPath);
    visit("typingDynamics", s.typingDynamics);
    visit("dynamicsAmount", s.dynamicsAmount);
    visit("keysGain", s.keysGain);
    visit("mouseGain", s.mouseGain);
    visit("scrollGain", s.scrollGain);
    visit("appProfiles", s.appProfiles);
    visit("outputRule", s.outputRule);
    visit("hotkeysEnabled", s.hotkeysEnabled);
    visit("lowLatency", s.lowLatency);
    visit("spaceGain", s.spaceGain);
    visit("modifierGain", s.modifierGain);
    visit("muteWhenCameraInUse", s.muteWhenCameraInUse);
    visit("silentInFullScreen", s.silentInFullScreen);
    visit("showMenuBarIcon", s.showMenuBarIcon);
    visit("actionCuesEnabled", s.actionCuesEnabled);
    visit("confirmClipboard", s.confirmClipboard);
    visit("replaceKeyClickForActions", s.replaceKeyClickForActions);
    visit("actionCues", s.actionCues);
}

// Writes one field into a JSON object.
struct Encoder
{
    Json& object;

    void operator()(const char* key, bool value) { object[key] = value; }
    void operator()(const char* key, double value) { object[key] = value; }
    void operator()(const char* key, const std::string& value) { object[key] = value; }
    void operator()(const char* key, ScrollStyle value) { object[key] = std::string(rawValue(value)); }
    void operator()(const char* key, HapticPattern value) { object[key] = std::string(rawValue(value)); }
    void operator()(const char* key, RippleStyle value) { object[key] = std::string(rawValue(value)); }
    void operator()(const char* key, OutputRule value) { object[key] = std::string(rawValue(value)); }
    void operator()(const char* key, const std::vector<std::string>& value) { object[key] = value; }
    void operator()(const char* key, const std::map<std::string, std::string>& value) { object[key] = value; }

    void operator()(const char* key, const std::optional<std::string>& value)
    {
        if (value) {
            object[key] = *value;
        }
    }

    void operator()(const char* key, const std::map<std::string, ActionCue>& value)
    {
        Json cues = Json::object();
        for (const auto& [kind, cue] : value) {
            cues[kind] = toJSON(cue);
        }
        object[key] = std::move(cues);
    }
};

// Reads one field from a JSON object. A missing or null key leaves the field as it is; the first
// problem is kept in `error` and stops all further reading.
struct Decoder
{
    const Json& object;
    std::optional<std::string> error;

    // The present, non-null value under key, or null when there is none or an error happened.
    const Json* find(const char* key) const
    {
        if (error) {
            return nullptr;
        }
        const auto it = object.find(key);
        if (it == object.end() || it->is_null()) {
            return nullptr;
        }
        return &*it;
    }

    void fail(const char* key, const std::string& problem)
    {
        error = std::string("settings key \"") + key + "\": " + problem;
    }

    void wrongType(const char* key, const char* expected, const Json& value)
    {
        fail(key, std::string("expected ") + expected + ", found " + value.type_name());
    }

    void operator()(const char* key, bool& field)
    {
        if (const Json* value = find(key)) {
            if (!value->is_boolean()) {
                return wrongType(key, "true or false", *value);
            }
            field = value->get<bool>();
        }
    }

    void operator()(const char* key, double& field)
    {
        if (const Json* value = find(key)) {
            // Integers are numbers too: 1 is as good as 1.0.
            if (!value->is_number()) {
                return wrongType(key, "a number", *value);
            }
            field = value->get<double>();
        }
    }

    void operator()(const char* key, std::string& field)
    {
        if (const Json* value = find(key)) {
            if (!value->is_string()) {
                return wrongType(key, "a text", *value);
            }
            field = value->get<std::string>();
        }
    }

    void operator()(const char* key, std::optional<std::string>& field)
    {
        if (const Json* value = find(key)) {
            if (!value->is_string()) {
                return wrongType(key, "a text", *value);
            }
            field = value->get<std::string>();
        }
    }

    template <typename Enumeration>
    void enumeration(const char* key, Enumeration& field, std::optional<Enumeration> (*fromRaw)(std::string_view),
                     const char* noun)
    {
        if (const Json* value = find(key)) {
            if (!value->is_string()) {
                return wrongType(key, "a text", *value);
            }
            const auto parsed = fromRaw(value->get_ref<const std::string&>());
            if (!parsed) {
                return fail(key, quoted(value->get_ref<const std::string&>()) + " is not " + noun);
            }
            field = *parsed;
        }
    }

    void operator()(const char* key, ScrollStyle& field)
    {
        enumeration(key, field, &scrollStyleFromRaw, "a scroll style");
    }
    void operator()(const char* key, HapticPattern& field)
    {
        enumeration(key, field, &hapticPatternFromRaw, "a haptic pattern");
    }
    void operator()(const char* key, RippleStyle& field)
    {
        enumeration(key, field, &rippleStyleFromRaw, "a ripple style");
    }
    void operator()(const char* key, OutputRule& field)
    {
        enumeration(key, field, &outputRuleFromRaw, "an output rule");
    }

    void operator()(const char* key, std::vector<std::string>& field)
    {
        if (const Json* value = find(key)) {
            if (!value->is_array()) {
                return wrongType(key, "a list of texts", *value);
            }
            std::vector<std::string> list;
            list.reserve(value->size());
            for (const Json& item : *value) {
                if (!item.is_string()) {
                    return fail(key, std::string("item ") + std::to_string(list.size()) + ": expected a text, found " +
                                         item.type_name());
                }
                list.push_back(item.get<std::string>());
            }
            field = std::move(list);
        }
    }

    void operator()(const char* key, std::map<std::string, std::string>& field)
    {
        if (const Json* value = find(key)) {
            if (!value->is_object()) {
                return wrongType(key, "an object of texts", *value);
            }
            std::map<std::string, std::string> map;
            for (const auto& [entryKey, entry] : value->items()) {
                if (!entry.is_string()) {
                    return fail(key, "entry " + quoted(entryKey) + ": expected a text, found " + entry.type_name());
                }
                map.emplace(entryKey, entry.get<std::string>());
            }
            field = std::move(map);
        }
    }

    void operator()(const char* key, std::map<std::string, ActionCue>& field)
    {
        if (const Json* value = find(key)) {
            if (!value->is_object()) {
                return wrongType(key, "an object of cues", *value);
            }
            std::map<std::string, ActionCue> map;
            for (const auto& [entryKey, entry] : value->items()) {
                auto cue = actionCueFromJSON(entry);
                if (!cue) {
                    return fail(key, "entry " + quoted(entryKey) + ": " + cue.error());
                }
                map.emplace(entryKey, std::move(cue).value());
            }
            field = std::move(map);
        }
    }

    // A value from the data, quoted for a message and cut short if long.
    static std::string quoted(const std::string& text)
    {
        constexpr std::size_t maxShown = 40;
        if (text.size() <= maxShown) {
            return "\"" + text + "\"";
        }
        return "\"" + text.substr(0, maxShown) + "...\"";
    }
};

// Brings a value into [lo, hi]; below the range or not a number gives lo.
double clamped(double value, double lo, double hi)
{
    if (!(value >= lo)) {
        return lo;
    }
    return std::min(hi, value);
}

bool startsWithImportedPrefix(std::string_view id)
{
    return id.starts_with(Profiles::importedPrefix);
}

bool isBuiltInProfile(std::string_view id)
{
    const auto& all = Profiles::all();
    return std::any_of(all.begin(), all.end(), [id](const SoundProfile& profile) { return profile.id == id; });
}

} // namespace

const std::array<std::string_view, FeelSettings::fieldCount>& FeelSettings::jsonKeys()
{
    static const std::array<std::string_view, fieldCount> keys = [] {
        std::array<std::string_view, fieldCount> list{};
        std::size_t next = 0;
        FeelSettings settings;
        forEachField(settings, [&](const char* key, auto&) { list[next++] = key; });
        return list;
    }();
    return keys;
}

void FeelSettings::clamp()
{
    masterVolume = clamped(masterVolume, 0.0, 1.0);

    stereoWidth = clamped(stereoWidth, 0.0, 1.0);
    pitchVariation = clamped(pitchVariation, 0.0, 1.0);
    volumeVariation = clamped(volumeVariation, 0.0, 1.0);

    rippleSize = clamped(rippleSize, 16.0, 160.0);
    rippleOpacity = clamped(rippleOpacity, 0.05, 1.0);
    rippleDuration = clamped(rippleDuration, 0.15, 2.0);

    // An imported id is kept even if its pack is gone; the loader falls back when it cannot find it.
    if (!startsWithImportedPrefix(profileID) && !isBuiltInProfile(profileID)) {
        profileID = std::string(Profiles::defaultID);
    }

    dynamicsAmount = clamped(dynamicsAmount, 0.0, 1.0);

    spaceGain = clamped(spaceGain, 0.0, 1.5);
    modifierGain = clamped(modifierGain, 0.0, 1.5);

    std::erase_if(actionCues, [](const auto& entry) { return !actionKindFromRaw(entry.first).has_value(); });
    for (auto& [kind, cue] : actionCues) {
        cue.gain = ActionCue::clampGain(cue.gain);
    }

    keysGain = clamped(keysGain, 0.0, 1.5);
    mouseGain = clamped(mouseGain, 0.0, 1.5);
    scrollGain = clamped(scrollGain, 0.0, 1.5);

    std::erase_if(appProfiles, [](const auto& entry) {
        const auto& [bundleID, profile] = entry;
        return bundleID.empty() || !(startsWithImportedPrefix(profile) || isBuiltInProfile(profile));
    });
}

ActionCue FeelSettings::cue(ActionKind kind) const
{
    const auto it = actionCues.find(std::string(rawValue(kind)));
    if (it != actionCues.end()) {
        return it->second;
    }
    return ActionCue::defaultCue(kind);
}

Expected<FeelSettings> FeelSettings::decodeJSON(std::string_view bytes)
{
    auto json = parseBoundedJson(bytes);
    if (!json) {
        return Expected<FeelSettings>::failure("the settings could not be read: " + json.error());
    }
    return fromJSON(json.value());
}

Expected<FeelSettings> FeelSettings::fromJSON(const Json& object)
{
    if (!object.is_object()) {
        return Expected<FeelSettings>::failure(std::string("the settings are not a JSON object (found ") +
                                               object.type_name() + ")");
    }
    FeelSettings settings;
    Decoder decoder{object, std::nullopt};
    forEachField(settings, decoder);
    if (decoder.error) {
        return Expected<FeelSettings>::failure(*decoder.error);
    }
    settings.clamp();
    return settings;
}

Json FeelSettings::toJSON() const
{
    Json object = Json::object();
    forEachField(*this, Encoder{object});
    return object;
}

std::string FeelSettings::encodeJSON() const
{
    return toJSON().dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace clickory
