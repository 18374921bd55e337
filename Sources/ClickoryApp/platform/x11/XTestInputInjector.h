// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/InputInjector.h"

#include <string>

struct _XDisplay;

namespace clickory {

// Synthetic input on X11 through the XTest extension, on a connection of its own. Keys are given as
// macOS codes and posted as the Linux keys that produce them. X11 has no pixel scrolling to post:
// scrollPixels() posts one wheel notch (button 4 or 5) in the direction of the delta.
//
// Thread: one at a time. Each method fails when the connection could not be opened or was lost.
class XTestInputInjector final : public InputInjector
{
public:
    // `displayName` as for XOpenDisplay; empty means $DISPLAY. The connection is opened here;
    // isOpen() tells whether that worked.
    explicit XTestInputInjector(std::string displayName = {});
    ~XTestInputInjector() override;
    XTestInputInjector(const XTestInputInjector&) = delete;
    XTestInputInjector& operator=(const XTestInputInjector&) = delete;

    bool isOpen() const { return m_display != nullptr && !m_lost; }

    bool key(std::int64_t code, bool down) override;
    bool mouse(std::int64_t button, bool down, Point location) override;
    bool scrollPixels(double delta) override;
    bool flush() override;
    std::string lastError() const override { return m_lastError; }

    // Presses or releases an X11 pointer button by its number (1-3 buttons, 4-7 wheel, 8 and up
    // extra buttons), without moving the pointer.
    bool button(unsigned int x11Button, bool down);

private:
    static void connectionLost(_XDisplay* display, void* self);
    bool usable();

    _XDisplay* m_display = nullptr;
    bool m_lost = false;
    std::string m_lastError;
};

} // namespace clickory
