// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/HapticPerformer.h"

#include <vector>

namespace clickory {

// Records every tap.
class FakeHapticPerformer final : public HapticPerformer
{
public:
    void perform(HapticPattern pattern) override { taps.push_back(pattern); }
    std::vector<HapticPattern> taps;
};

} // namespace clickory
