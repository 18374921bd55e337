// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace clickory {

// A rectangle in the screens' coordinate system: origin at the bottom-left of the primary screen,
// y upwards (so a window's or screen's `y` is its lower edge).
struct Rect
{
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;

    double minX() const { return x; }
    double minY() const { return y; }
    double maxX() const { return x + width; }
    double maxY() const { return y + height; }

    // Half-open: minX <= px < maxX and minY <= py < maxY.
    bool contains(double px, double py) const { return px >= minX() && px < maxX() && py >= minY() && py < maxY(); }

    friend bool operator==(const Rect&, const Rect&) = default;
};

// One on-screen window as the full-screen rule sees it.
struct WindowInfo
{
    // The owning process.
    std::int64_t pid = 0;
    // 0 for a normal application window; anything else (docks, panels, desktop, menus, tooltips)
    // never counts as full screen.
    int layer = 0;
    Rect bounds;
    // The window manager marks the window full screen (_NET_WM_STATE_FULLSCREEN).
    bool fullScreenState = false;

    friend bool operator==(const WindowInfo&, const WindowInfo&) = default;
};

// The desktop session as the controller and its monitors see it: which application is in front,
// its windows, the screens, and the system waking from sleep.
//
// Thread: main for every call and every handler. Failure: facts that cannot be read are absent
// (no application, no windows, no screens); no call waits on anything slow.
class Workspace
{
public:
    virtual ~Workspace() = default;

    // The frontmost application's identifier (on Linux its desktop-entry id, else its window class),
    // none when unknown.
    virtual std::optional<std::string> frontmostApplicationID() = 0;

    // The frontmost application's process id, none when unknown.
    virtual std::optional<std::int64_t> frontmostProcessID() = 0;

    // Fills `out` (cleared first; its capacity is reused) with the on-screen windows, front to back
    // or in any stable order.
    virtual void onScreenWindows(std::vector<WindowInfo>& out) = 0;

    // The screens' frames, the primary screen first. Kept current by the implementation; the
    // reference stays valid until the next call on the main thread. Read for every click and scroll,
    // so it must not allocate or ask the display server.
    virtual const std::vector<Rect>& screens() = 0;

    // Called with the new identifier whenever another application comes to the front. One handler;
    // setting another replaces it, an empty function removes it.
    virtual void setFrontmostHandler(std::function<void(const std::optional<std::string>&)> handler) = 0;

    // Called after the system woke from sleep. One handler, as above.
    virtual void setWakeHandler(std::function<void()> handler) = 0;
};

} // namespace clickory
