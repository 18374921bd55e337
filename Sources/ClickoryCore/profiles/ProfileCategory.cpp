// SPDX-License-Identifier: MIT
#include "ClickoryCore/profiles/ProfileCategory.h"

namespace clickory {

std::string_view rawValue(ProfileCategory category)
{
    switch (category) {
    case ProfileCategory::recorded: return "Recorded";
    case ProfileCategory::imported: return "Imported";
    case ProfileCategory::fun: return "Fun";
    case ProfileCategory::calm: return "Calm";
    case ProfileCategory::switches: return "Synthesized: Switches";
    case ProfileCategory::thock: return "Synthesized: Thock";
    case ProfileCategory::vintage: return "Synthesized: Vintage";
    case ProfileCategory::playful: return "Synthesized: Playful";
    case ProfileCategory::soft: return "Synthesized: Soft";
    }
    return "Recorded";
}

std::optional<ProfileCategory> profileCategoryFromRaw(std::string_view raw)
{
    for (ProfileCategory category : allProfileCategories()) {
        if (rawValue(category) == raw) {
            return category;
        }
    }
    return std::nullopt;
}

} // namespace clickory
