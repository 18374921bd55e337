// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/RippleView.h"

namespace clickory {

// The ripple view where no overlay can be drawn: asks are ignored.
class NoRippleView final : public RippleView
{
public:
    void show(Point, std::int64_t, const FeelSettings&) override {}
};

} // namespace clickory
