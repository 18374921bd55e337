// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/RippleView.h"

#include <vector>

namespace clickory {

// Records every ripple asked for.
class FakeRippleView final : public RippleView
{
public:
    struct Shown
    {
        Point at;
        std::int64_t button;
        RippleStyle style;
    };
    void show(Point at, std::int64_t button, const FeelSettings& settings) override
    {
        shown.push_back({at, button, settings.rippleStyle});
    }
    std::vector<Shown> shown;
};

} // namespace clickory
