// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace clickory {

// The groups of the sound catalogue. The raw value of each case is its display title; the
// declaration order is the display order of the menus.
enum class ProfileCategory
{
    recorded,
    imported,
    fun,
    calm,
    switches,
    thock,
    vintage,
    playful,
    soft,
};

inline constexpr std::size_t profileCategoryCount = 9;

// All categories in declaration (display) order.
constexpr std::array<ProfileCategory, profileCategoryCount> allProfileCategories()
{
    return {ProfileCategory::recorded, ProfileCategory::imported, ProfileCategory::fun,
            ProfileCategory::calm,     ProfileCategory::switches, ProfileCategory::thock,
            ProfileCategory::vintage,  ProfileCategory::playful,  ProfileCategory::soft};
}

// The display title, e.g. "Synthesized: Thock"; it is also the stored form.
std::string_view rawValue(ProfileCategory category);
std::optional<ProfileCategory> profileCategoryFromRaw(std::string_view raw);

// The menu title; the same text as the raw value.
inline std::string_view label(ProfileCategory category)
{
    return rawValue(category);
}

} // namespace clickory
