// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/settings/OutputKind.h"

#include <functional>

namespace clickory {

// The two sound-device facts behind the mute rules: whether the default input (microphone) is
// running for some program, and the kind of the default output. Implementations keep both up to
// date from the sound server's change events, so reading them never waits.
//
// Thread: main for every call; the change handler runs on the main thread. Failure: without a
// sound server the input counts as not running and the kind as unknown.
class AudioDevices
{
public:
    virtual ~AudioDevices() = default;

    // Starts following the server; `onChange` is called (on the main thread) after any change of
    // the default devices, the input's running state or the output's port. Calling it again
    // replaces the handler.
    virtual void watch(std::function<void()> onChange) = 0;

    // Stops calling the handler.
    virtual void unwatch() = 0;

    // The last known facts.
    virtual bool defaultInputIsRunning() const = 0;
    virtual OutputKind outputKind() const = 0;
};

} // namespace clickory
