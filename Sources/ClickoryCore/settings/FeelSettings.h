// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/Expected.h"
#include "ClickoryCore/cues/ActionCue.h"
#include "ClickoryCore/cues/ActionKind.h"
#include "ClickoryCore/feel/HapticPattern.h"
#include "ClickoryCore/profiles/ScrollStyle.h"
#include "ClickoryCore/settings/OutputRule.h"
#include "ClickoryCore/settings/RippleStyle.h"

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace clickory {

// The whole user configuration as one value. Persisted as one JSON object whose keys are the field
// names; decoding is lenient (missing or null keys keep their defaults, out-of-range values are
// clamped) but strict about value types. Compared field by field.
struct FeelSettings
{
    static constexpr std::size_t fieldCount = 47;

    bool enabled = true;
    double masterVolume = 0.7;
    // A built-in profile id, or "imported:" followed by an imported pack's id.
    std::string profileID = "tactile";
    bool keyboardEnabled = true;
    bool keyReleaseEnabled = true;
    bool playOnKeyRepeat = false;
    bool modifierKeysEnabled = true;
    bool mouseEnabled = true;
    bool mouseReleaseEnabled = true;
    ScrollStyle scrollStyle = ScrollStyle::softTick;
    bool stereoEnabled = true;
    double stereoWidth = 0.6;
    double pitchVariation = 0.5;
    double volumeVariation = 0.35;
    bool hapticsOnClick = false;
    bool hapticsOnScroll = true;
    bool hapticsOnKeys = false;
    HapticPattern hapticPattern = HapticPattern::alignment;
    bool rippleEnabled = false;
    RippleStyle rippleStyle = RippleStyle::ring;
    // Screen points.
    double rippleSize = 46.0;
    double rippleOpacity = 0.55;
    // Seconds.
    double rippleDuration = 0.55;
    // "#RRGGBB" as written by the settings window; any text is kept and read through HexColor::parse.
    std::string rippleLeftColor = "#8A5CF6";
    std::string rippleRightColor = "#F59E0B";
    std::string rippleOtherColor = "#10B981";
    // Applications in which the system stays silent.
    std::vector<std::string> mutedBundleIDs;
    bool muteWhenMicrophoneInUse = true;
    // A user-chosen sound file for key and button presses.
    std::optional<std::string> customSoundPath;
    bool typingDynamics = true;
    double dynamicsAmount = 0.6;
    double keysGain = 1.0;
    double mouseGain = 1.0;
    double scrollGain = 0.7;
    // Application identifier -> profile id. A missing entry means the application plays profileID.
    std::map<std::string, std::string> appProfiles;
    OutputRule outputRule = OutputRule::everywhere;
    bool hotkeysEnabled = true;
    bool lowLatency = true;
    double spaceGain = 1.0;
    double modifierGain = 0.8;
    bool muteWhenCameraInUse = true;
    bool silentInFullScreen = false;
    bool showMenuBarIcon = true;
    bool actionCuesEnabled = true;
    bool confirmClipboard = true;
    bool replaceKeyClickForActions = true;
    // ActionKind raw value -> cue. A missing entry stands for the kind's default cue; read through cue().
    std::map<std::string, ActionCue> actionCues;

    // The JSON keys, in declaration order.
    static const std::array<std::string_view, fieldCount>& jsonKeys();

    // Brings every field into its allowed range: numbers are clamped (NaN becomes the lower bound),
    // an unknown profile id becomes "tactile", cue entries under unknown kinds and per-application
    // entries that name no profile are removed. Called at the end of decoding and before each save.
    void clamp();

    // The stored cue of a kind, or its default cue.
    ActionCue cue(ActionKind kind) const;

    // Parses JSON text (with size and nesting limits) and decodes it with fromJSON.
    static Expected<FeelSettings> decodeJSON(std::string_view bytes);
    // Decodes a JSON object: missing or null keys keep their defaults, unknown keys are ignored, and a
    // value of the wrong type or an unknown enumeration value fails the whole decode with a message
    // that names the key. The result is clamped.
    static Expected<FeelSettings> fromJSON(const nlohmann::json& object);

    // One JSON object with every key; customSoundPath is left out when absent. Not clamped: the
    // store clamps a copy before saving. A non-finite number is written as null (which decodes to the
    // field's default).
    nlohmann::json toJSON() const;
    // Compact JSON text of toJSON. Text that is not valid UTF-8 is written with U+FFFD in place of
    // the bad bytes.
    std::string encodeJSON() const;

    friend bool operator==(const FeelSettings&, const FeelSettings&) = default;
};

} // namespace clickory
