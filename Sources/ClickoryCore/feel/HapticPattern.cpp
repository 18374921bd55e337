// SPDX-License-Identifier: MIT
#include "ClickoryCore/feel/HapticPattern.h"

namespace clickory {

std::string_view rawValue(HapticPattern pattern)
{
    switch (pattern) {
    case HapticPattern::generic: return "generic";
    case HapticPattern::alignment: return "alignment";
    case HapticPattern::levelChange: return "levelChange";
    }
    return "generic";
}

std::optional<HapticPattern> hapticPatternFromRaw(std::string_view raw)
{
    for (HapticPattern pattern : allHapticPatterns()) {
        if (rawValue(pattern) == raw) {
            return pattern;
        }
    }
    return std::nullopt;
}

std::string_view label(HapticPattern pattern)
{
    switch (pattern) {
    case HapticPattern::generic: return "Light";
    case HapticPattern::alignment: return "Snap";
    case HapticPattern::levelChange: return "Step";
    }
    return "Light";
}

} // namespace clickory
