// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/InputInjector.h"

#include <string>

namespace clickory {

// Synthetic input through a virtual keyboard-and-mouse device made with uinput, for sessions read
// through libinput. Needs /dev/uinput to be writable. The device has no absolute position, so mouse
// locations are ignored; scrollPixels() posts one wheel notch (with its high-resolution step) in the
// direction of the delta. A new device takes the session a moment to notice: post after a short
// pause.
//
// Thread: one at a time. Each method fails when the device could not be made.
class UinputInputInjector final : public InputInjector
{
public:
    // Creates the device; isOpen() tells whether that worked. `path` is the uinput node.
    explicit UinputInputInjector(const std::string& path = "/dev/uinput");
    ~UinputInputInjector() override;
    UinputInputInjector(const UinputInputInjector&) = delete;
    UinputInputInjector& operator=(const UinputInputInjector&) = delete;

    bool isOpen() const { return m_fd >= 0; }

    bool key(std::int64_t code, bool down) override;
    bool mouse(std::int64_t button, bool down, Point location) override;
    bool scrollPixels(double delta) override;
    // Events are written at once; nothing to flush.
    bool flush() override { return isOpen(); }
    std::string lastError() const override { return m_lastError; }

private:
    bool emit(int type, int code, int value);
    bool sync();

    int m_fd = -1;
    std::string m_lastError;
};

} // namespace clickory
