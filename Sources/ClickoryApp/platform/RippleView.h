// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/input/InputEvent.h"
#include "ClickoryCore/settings/FeelSettings.h"

#include <cstdint>

namespace clickory {

// Draws the animated ripple of one click on top of everything. Implemented by the shell's overlay
// windows; the pipeline only asks.
//
// Thread: main. show() returns at once; the animation runs on the toolkit's event loop. `at` is in
// global display coordinates (origin top-left of the primary screen, y downwards); `button` is the
// event's button number (0 left, 1 right, 2 other). The settings are read during the call only.
class RippleView
{
public:
    virtual ~RippleView() = default;
    virtual void show(Point at, std::int64_t button, const FeelSettings& settings) = 0;
};

} // namespace clickory
