// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/input/InputEvent.h"
#include "ClickoryApp/input/KeyboardState.h"
#include "ClickoryApp/input/ScrollAccumulator.h"

#include <functional>
#include <optional>

#include <X11/extensions/XInput2.h>

namespace clickory {

// How a pointer device scrolls, from its XInput2 scroll classes.
struct X11ScrollAxis
{
    int valuator = -1;         // the vertical scroll valuator, -1 when the device has none
    double increment = 1.0;    // valuator units per line (one wheel notch); negative when inverted
    bool touchpad = false;     // pixel-precise: reports points, `continuous`
};

// Converts XInput2 raw events into InputEvents. Key codes go through the keyboard state (X11 key
// codes are Linux codes + 8). Buttons 1 and 3 are left and right; 4 and 5 are wheel notches up and
// down unless the server emulated them from a smooth-scrolling device, whose valuator motion is
// used instead; 6 and 7 (horizontal) give nothing; any other button is button 2. Wheel valuators
// sum to whole notches; touchpad valuators give points (15 per increment, libinput's scale).
//
// Thread: main. Keeps no history beyond the keyboard state.
class X11RawEventConverter
{
public:
    // Points per valuator increment of a touchpad.
    static constexpr double pointsPerIncrement = 15.0;

    // `pointerLocation` answers where the pointer is now (global coordinates); `scrollAxis` how the
    // device with this XInput2 id scrolls.
    X11RawEventConverter(std::function<Point()> pointerLocation, std::function<X11ScrollAxis(int deviceId)> scrollAxis);

    KeyboardState& keyboard() { return m_keyboard; }

    // The event of one raw event (XI_RawKeyPress/Release, XI_RawButtonPress/Release, XI_RawMotion),
    // or nothing.
    std::optional<InputEvent> convert(const XIRawEvent& raw);

private:
    std::optional<InputEvent> convertMotion(const XIRawEvent& raw);

    std::function<Point()> m_pointerLocation;
    std::function<X11ScrollAxis(int)> m_scrollAxis;
    KeyboardState m_keyboard;
    ScrollAccumulator m_wheel;
};

} // namespace clickory
