// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/input/InputEvent.h"
#include "ClickoryApp/input/KeyboardState.h"
#include "ClickoryApp/input/ScrollAccumulator.h"

#include <functional>
#include <optional>

namespace clickory {

// How a pointer device scrolls, from its XInput2 scroll classes.
struct X11ScrollAxis
{
    int valuator = -1;         // the vertical scroll valuator, -1 when the device has none
    double increment = 1.0;    // valuator units per line (one wheel notch); negative when inverted
    bool touchpad = false;     // pixel-precise: reports points, `continuous`
};

// The parts of an XInput2 raw event (XIRawEvent) that matter here, without Xlib's headers, whose
// macros (None, Bool, Status) must not leak into the rest of the program.
struct X11RawInput
{
    enum class Type
    {
        keyPress,
        keyRelease,
        buttonPress,
        buttonRelease,
        motion,
    };

    Type type = Type::motion;
    int detail = 0;            // key code or button number
    bool emulated = false;     // XIPointerEmulated: a wheel button made up from smooth scrolling
    int sourceId = 0;          // the slave device
    const unsigned char* valuatorMask = nullptr;  // bit per valuator number
    int valuatorMaskLength = 0;                   // bytes
    const double* valuatorValues = nullptr;       // one per set bit, in bit order
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

    // The event of one raw event, or nothing.
    std::optional<InputEvent> convert(const X11RawInput& raw);

private:
    std::optional<InputEvent> convertMotion(const X11RawInput& raw);

    std::function<Point()> m_pointerLocation;
    std::function<X11ScrollAxis(int)> m_scrollAxis;
    KeyboardState m_keyboard;
    ScrollAccumulator m_wheel;
};

} // namespace clickory
