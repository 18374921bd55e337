// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/input/InputEvent.h"

#include <string>

namespace clickory {

// Receives what an input source reads. Thread: main, always.
class InputSink
{
public:
    virtual ~InputSink() = default;

    // One converted event, in the order the user produced them.
    virtual void receive(const InputEvent& event) = 0;

    // The source stopped by itself (the X server went away, the input devices failed). It has
    // released everything already; the reason is a plain sentence without key codes. A later
    // start() may succeed.
    virtual void sourceStopped(const std::string& reason) = 0;
};

// A listen-only source of the session's global input: keys, modifiers, mouse buttons, scrolling.
// It never changes, delays or swallows input, keeps no text and no key history, and logs no key
// code. Thread: main, for every method.
class InputSource
{
public:
    virtual ~InputSource() = default;

    // Opens the source and delivers events to `sink` (through the main queue) until stop(). True if
    // the source is running afterwards; on failure it keeps no state and lastError() says why.
    // Starting a running source does nothing and returns true. The sink must outlive the run.
    virtual bool start(InputSink& sink) = 0;

    // Closes the source; no sink call happens after it returns. Stopping a stopped source does
    // nothing.
    virtual void stop() = 0;

    virtual bool isRunning() const = 0;

    // Whether this session lets us read global input at all (the Linux form of the Input Monitoring
    // permission). X11: always. libinput: at least one keyboard device can be opened.
    virtual bool canReadInput() const = 0;

    // The last failure as a plain sentence, empty when there was none.
    virtual std::string lastError() const = 0;
};

} // namespace clickory
