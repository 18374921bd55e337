// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/input/SoundRole.h"
#include "ClickoryCore/profiles/ImportedPack.h"
#include "ClickoryCore/profiles/ProfileCategory.h"
#include "ClickoryCore/synth/Voice.h"

#include <optional>
#include <string>

namespace clickory {

// One choice of the sound catalogue. Every role's voice derives from keyDown, except that space and
// enter may have voices of their own. Sample-pack and imported profiles carry a synthesized keyDown
// too, borrowed from a synthesized profile, for roles their pack does not cover. Compared field by
// field; identified by id.
struct SoundProfile
{
    std::string id;
    std::string name;
    ProfileCategory category;
    // One sentence shown under the name.
    std::string summary;
    Voice keyDown;
    std::optional<Voice> spaceDownOverride;
    std::optional<Voice> enterDownOverride;
    // The recorded sample pack of the manifest this profile plays.
    std::optional<std::string> samplePackID;
    // Present only for profiles made from an imported pack.
    std::optional<ImportedPack> importedPack;

    // The voice of a role: keyDown itself, or one of its derivations.
    Voice voice(SoundRole role) const;

    friend bool operator==(const SoundProfile&, const SoundProfile&) = default;
};

} // namespace clickory
