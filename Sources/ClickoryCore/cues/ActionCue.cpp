// SPDX-License-Identifier: MIT
#include "ClickoryCore/cues/ActionCue.h"

#include "ClickoryCore/cues/ActionMap.h"

#include <cmath>
#include <utility>

namespace clickory {

ActionCue::ActionCue(bool enabled, CueStyle style, std::optional<std::string> customPath, double gain)
    : enabled(enabled), style(style), customPath(std::move(customPath)), gain(clampGain(gain))
{
}

double ActionCue::clampGain(double gain)
{
    // Written so that NaN fails both comparisons and ends at 0.
    if (!(gain > 0.0)) {
        return 0.0;
    }
    return gain < maxGain ? gain : maxGain;
}

ActionCue ActionCue::defaultCue(ActionKind kind)
{
    return ActionCue(ActionMap::isDefaultOn(kind), defaultStyle(kind), std::nullopt, 0.6);
}

} // namespace clickory
