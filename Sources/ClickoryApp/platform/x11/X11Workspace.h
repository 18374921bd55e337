// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/MainQueue.h"
#include "ClickoryApp/platform/Workspace.h"
#include "ClickoryApp/platform/linux/LogindWakeWatch.h"

#include <optional>
#include <string>
#include <vector>

// Xlib stays out of this header (its macros clash with Qt and GoogleTest).
struct _XDisplay;

namespace clickory {

// The desktop from an X11 session with an EWMH window manager, plus logind for wake-up.
//
// - Frontmost application: the window named by the root's _NET_ACTIVE_WINDOW; its identifier is its
//   desktop-entry id where the window names one (_GTK_APPLICATION_ID, then _KDE_NET_WM_DESKTOP_FILE),
//   else its WM_CLASS class; its process is _NET_WM_PID. Changes of _NET_ACTIVE_WINDOW are read from
//   the X connection on the main queue; the handler is told when the identifier or process changes.
// - Windows: the root's _NET_CLIENT_LIST, viewable ones only, with their size and position, layer 0
//   for normal windows (_NET_WM_WINDOW_TYPE absent or _NET_WM_WINDOW_TYPE_NORMAL) and 1 for the rest,
//   and _NET_WM_STATE_FULLSCREEN.
// - Screens: RandR monitors, the primary first, in the bottom-left coordinate system of Workspace;
//   re-read when the screen configuration changes.
//
// Without an X server (Wayland without Xwayland, a console) open() fails, every fact is absent
// and no handler is ever called; wake-up still comes from logind.
//
// Thread: main. The queue must outlive the workspace.
class X11Workspace final : public Workspace
{
public:
    // `displayName` empty: $DISPLAY.
    explicit X11Workspace(MainQueue& queue, std::string displayName = {});
    ~X11Workspace() override;
    X11Workspace(const X11Workspace&) = delete;
    X11Workspace& operator=(const X11Workspace&) = delete;

    // Connects to the X server and the system bus; false when there is no X server (reason in
    // lastError()). Without the system bus only the wake-up is missing.
    bool open();
    void close();
    bool isOpen() const { return m_display != nullptr; }
    const std::string& lastError() const { return m_lastError; }
    LogindWakeWatch& wakeWatch() { return m_wake; }

    std::optional<std::string> frontmostApplicationID() override { return m_frontmostID; }
    std::optional<std::int64_t> frontmostProcessID() override { return m_frontmostPID; }
    void onScreenWindows(std::vector<WindowInfo>& out) override;
    const std::vector<Rect>& screens() override { return m_screens; }
    void setFrontmostHandler(std::function<void(const std::optional<std::string>&)> handler) override;
    void setWakeHandler(std::function<void()> handler) override;

    // Reads the pending X events now (the main queue does this when the connection is readable).
    void readEvents();

private:
    static void connectionLost(_XDisplay* display, void* self);
    void readActiveWindow(bool notify);
    void readScreens();
    std::optional<std::string> applicationID(unsigned long window);
    std::optional<std::int64_t> processID(unsigned long window);
    Rect toScreenRect(int x, int y, int width, int height) const;

    MainQueue& m_queue;
    std::string m_displayName;
    _XDisplay* m_display = nullptr;
    unsigned long m_root = 0; // Window
    int m_randrEvent = -1;
    bool m_lost = false;
    MainQueue::Token m_watch = 0;
    std::string m_lastError;

    // Atoms.
    unsigned long m_activeWindow = 0, m_clientList = 0, m_pid = 0, m_windowType = 0, m_typeNormal = 0, m_state = 0,
         m_fullScreen = 0, m_gtkID = 0, m_kdeDesktop = 0, m_utf8 = 0;

    std::optional<std::string> m_frontmostID;
    std::optional<std::int64_t> m_frontmostPID;
    std::vector<Rect> m_screens;
    int m_primaryX = 0;
    int m_primaryY = 0;
    int m_primaryHeight = 0;
    std::function<void(const std::optional<std::string>&)> m_onFrontmost;
    LogindWakeWatch m_wake;
    std::function<void()> m_onWake;
};

} // namespace clickory
