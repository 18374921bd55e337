// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/AudioDevices.h"

namespace clickory {

// Device facts on demand; change() sets them and calls the handler as a server event would.
class FakeAudioDevices final : public AudioDevices
{
public:
    void watch(std::function<void()> onChange) override { handler = std::move(onChange); }
    void unwatch() override { handler = nullptr; }
    bool defaultInputIsRunning() const override { return inputRunning; }
    OutputKind outputKind() const override { return kind; }

    void change(bool running, OutputKind newKind)
    {
        inputRunning = running;
        kind = newKind;
        if (handler)
            handler();
    }

    bool inputRunning = false;
    OutputKind kind = OutputKind::unknown;
    std::function<void()> handler;
};

} // namespace clickory
