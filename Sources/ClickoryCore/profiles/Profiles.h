// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/profiles/ImportedPack.h"
#include "ClickoryCore/profiles/ProfileCategory.h"
#include "ClickoryCore/profiles/SoundProfile.h"

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace clickory {

// The profiles of one category, in catalogue order.
struct ProfileGroup
{
    ProfileCategory category;
    std::vector<SoundProfile> profiles;

    friend bool operator==(const ProfileGroup&, const ProfileGroup&) = default;
};

// The sound catalogue. The built-in lists are built once, on first use, and never change; the list
// of imported profiles is replaced as a whole by the pack library (possibly from a background
// thread) and read through snapshots.
namespace Profiles {

// The profile used when an id is unknown.
inline constexpr std::string_view defaultID = "tactile";
// The id prefix of profiles made from imported packs.
inline constexpr std::string_view importedPrefix = "imported:";

// Recorded sample packs of real keyboards.
const std::vector<SoundProfile>& recorded();
// Playful sample packs (animals, toys).
const std::vector<SoundProfile>& fun();
// Calm sample packs.
const std::vector<SoundProfile>& calm();
// Synthesized voices.
const std::vector<SoundProfile>& synthesized();
// recorded + fun + calm + synthesized, in that order; never contains imported profiles.
const std::vector<SoundProfile>& all();

// The current list of imported profiles (empty at start). The snapshot stays valid and unchanged
// while another thread replaces the list.
std::shared_ptr<const std::vector<SoundProfile>> imported();
// Publishes a new list of imported profiles as a whole; safe against concurrent readers.
void setImported(std::vector<SoundProfile> profiles);

// The first profile of all() with this id, else the first of imported(), else none.
std::optional<SoundProfile> find(std::string_view id);
// As find(), but an unknown id yields the defaultID profile; it never fails.
SoundProfile profile(std::string_view id);

// The catalogue profile of an imported pack: id "imported:" + pack id, category imported, the
// key-down voice of brown-bump.
SoundProfile importedProfile(const ImportedPack& pack);

// For every category in display order, the profiles of all() and then of imported() that belong to
// it; categories without profiles are left out.
std::vector<ProfileGroup> byCategory();

} // namespace Profiles

} // namespace clickory
