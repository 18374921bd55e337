// SPDX-License-Identifier: MIT
#include "ClickoryCore/settings/ActionCueJson.h"

#include "ClickoryCore/cues/CueStyle.h"

#include <nlohmann/json.hpp>

#include <string>

namespace clickory {

namespace {

using Json = nlohmann::json;

Expected<ActionCue> failure(const char* key, const std::string& problem)
{
    return Expected<ActionCue>::failure(std::string("key \"") + key + "\" " + problem);
}

std::string found(const Json& value)
{
    return std::string("found ") + value.type_name();
}

} // namespace

Json toJSON(const ActionCue& cue)
{
    Json object = Json::object();
    object["enabled"] = cue.enabled;
    object["style"] = std::string(rawValue(cue.style));
    if (cue.customPath) {
        object["customPath"] = *cue.customPath;
    }
    object["gain"] = cue.gain;
    return object;
}

Expected<ActionCue> actionCueFromJSON(const Json& object)
{
    if (!object.is_object()) {
        return Expected<ActionCue>::failure("expected an object, " + found(object));
    }
    const auto enabled = object.find("enabled");
    if (enabled == object.end() || enabled->is_null()) {
        return failure("enabled", "is missing or null");
    }
    if (!enabled->is_boolean()) {
        return failure("enabled", "expected true or false, " + found(*enabled));
    }
    const auto style = object.find("style");
    if (style == object.end() || style->is_null()) {
        return failure("style", "is missing or null");
    }
    if (!style->is_string()) {
        return failure("style", "expected a text, " + found(*style));
    }
    const auto cueStyle = cueStyleFromRaw(style->get_ref<const std::string&>());
    if (!cueStyle) {
        return failure("style", "is not a cue style");
    }
    const auto gain = object.find("gain");
    if (gain == object.end() || gain->is_null()) {
        return failure("gain", "is missing or null");
    }
    if (!gain->is_number()) {
        return failure("gain", "expected a number, " + found(*gain));
    }
    std::optional<std::string> customPath;
    const auto path = object.find("customPath");
    if (path != object.end() && !path->is_null()) {
        if (!path->is_string()) {
            return failure("customPath", "expected a text, " + found(*path));
        }
        customPath = path->get<std::string>();
    }
    ActionCue cue(enabled->get<bool>(), *cueStyle, std::move(customPath), 0.0);
    // Kept as stored; the constructor would have clamped it.
    cue.gain = gain->get<double>();
    return cue;
}

} // namespace clickory
