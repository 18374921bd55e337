// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/Expected.h"
#include "ClickoryCore/cues/ActionCue.h"

#include <nlohmann/json_fwd.hpp>

namespace clickory {

// The JSON form of an action cue inside the settings: {"enabled": bool, "style": raw style,
// "customPath": text (only when present), "gain": number}.
nlohmann::json toJSON(const ActionCue& cue);

// Requires "enabled", "style" and "gain"; "customPath" may be missing or null. The gain is kept as
// stored (the settings clamp it when they sanitise themselves). Fails, naming the key, on a missing
// required key, a wrong value type or an unknown style.
Expected<ActionCue> actionCueFromJSON(const nlohmann::json& object);

} // namespace clickory
