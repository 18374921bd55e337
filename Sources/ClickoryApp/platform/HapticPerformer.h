// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/feel/HapticPattern.h"

namespace clickory {

// Performs one trackpad tap of a pattern immediately. Without hardware that can tap, it silently
// does nothing; nothing is detected or reported to the caller.
//
// Thread: main. Must return at once (it runs inside the event pipeline).
class HapticPerformer
{
public:
    virtual ~HapticPerformer() = default;
    virtual void perform(HapticPattern pattern) = 0;
};

} // namespace clickory
