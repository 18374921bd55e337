// SPDX-License-Identifier: MIT
#include "ClickoryCore/settings/RippleStyle.h"

namespace clickory {

std::string_view rawValue(RippleStyle style)
{
    switch (style) {
    case RippleStyle::ring:
        return "ring";
    case RippleStyle::doubleRing:
        return "double";
    case RippleStyle::glow:
        return "glow";
    case RippleStyle::dot:
        return "dot";
    }
    return "ring";
}

std::optional<RippleStyle> rippleStyleFromRaw(std::string_view raw)
{
    for (RippleStyle style : allRippleStyles()) {
        if (rawValue(style) == raw) {
            return style;
        }
    }
    return std::nullopt;
}

std::string_view label(RippleStyle style)
{
    switch (style) {
    case RippleStyle::ring:
        return "Ring";
    case RippleStyle::doubleRing:
        return "Double ring";
    case RippleStyle::glow:
        return "Glow";
    case RippleStyle::dot:
        return "Dot";
    }
    return "Ring";
}

} // namespace clickory
