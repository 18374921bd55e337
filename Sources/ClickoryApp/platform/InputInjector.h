// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/input/InputEvent.h"

#include <cstdint>
#include <string>

namespace clickory {

// Posts synthetic input into the session, for the self-test. The events reach every application
// like real input, so callers guard its use (the self-test asks for an explicit environment
// switch). Thread: main (one thread at a time). Every method returns false on failure, with the
// reason in lastError().
class InputInjector
{
public:
    virtual ~InputInjector() = default;

    // Presses or releases the key with this macOS virtual key code.
    virtual bool key(std::int64_t code, bool down) = 0;

    // Moves the pointer to `location` (global coordinates) and presses or releases `button`
    // (0 left, 1 right, 2 middle). Sources without pointer positions ignore the location.
    virtual bool mouse(std::int64_t button, bool down, Point location) = 0;

    // Scrolls by `delta` points on the vertical axis (positive scrolls the view up). Where the
    // session has no pixel scrolling to post, one wheel notch in the direction of `delta` is posted.
    virtual bool scrollPixels(double delta) = 0;

    // Sends everything posted so far to the session.
    virtual bool flush() = 0;

    virtual std::string lastError() const = 0;
};

} // namespace clickory
