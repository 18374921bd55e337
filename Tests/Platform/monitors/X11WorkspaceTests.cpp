// SPDX-License-Identifier: MIT
// The X11 workspace under a private Xvfb. There is no window manager: the test plays its part by
// setting the root's _NET_ACTIVE_WINDOW and _NET_CLIENT_LIST itself.
#include "ClickoryApp/monitors/ContextMonitor.h"
#include "ClickoryApp/platform/linux/MonotonicClock.h"
#include "ClickoryApp/platform/linux/PollMainQueue.h"
#include "ClickoryApp/platform/x11/X11Workspace.h"
#include "Fakes/FakeCameraProbe.h"
#include "Platform/XvfbServer.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <vector>

namespace clickory {
namespace {

class X11Desktop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start()) << server.error();
        display = XOpenDisplay(server.displayName().c_str());
        ASSERT_NE(display, nullptr);
        root = DefaultRootWindow(display);
    }
    void TearDown() override
    {
        if (display)
            XCloseDisplay(display);
    }

    Atom atom(const char* name) { return XInternAtom(display, name, False); }

    Window makeWindow(int width, int height, const char* windowClass, long pid, const char* gtkID = nullptr)
    {
        const Window window = XCreateSimpleWindow(display, root, 0, 0, width, height, 0, 0, 0);
        XClassHint hint{const_cast<char*>("name"), const_cast<char*>(windowClass)};
        XSetClassHint(display, window, &hint);
        XChangeProperty(display, window, atom("_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&pid), 1);
        if (gtkID)
            XChangeProperty(display, window, atom("_GTK_APPLICATION_ID"), atom("UTF8_STRING"), 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(gtkID), static_cast<int>(std::strlen(gtkID)));
        XMapWindow(display, window);
        windows.push_back(window);
        std::vector<long> list(windows.begin(), windows.end());
        XChangeProperty(display, root, atom("_NET_CLIENT_LIST"), XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(list.data()), static_cast<int>(list.size()));
        XSync(display, False);
        return window;
    }

    void activate(Window window)
    {
        long id = static_cast<long>(window);
        XChangeProperty(display, root, atom("_NET_ACTIVE_WINDOW"), XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&id), 1);
        XSync(display, False);
    }

    void setAtoms(Window window, const char* property, std::vector<Atom> values)
    {
        std::vector<long> list(values.begin(), values.end());
        XChangeProperty(display, window, atom(property), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(list.data()), static_cast<int>(list.size()));
        XSync(display, False);
    }

    XvfbServer server;
    Display* display = nullptr;
    Window root = 0;
    std::vector<Window> windows;
    PollMainQueue queue;
};

TEST_F(X11Desktop, FollowsTheActiveWindowsApplication)
{
    const int width = DisplayWidth(display, DefaultScreen(display));
    const int height = DisplayHeight(display, DefaultScreen(display));
    const Window terminal = makeWindow(400, 300, "Gnome-terminal", 1234, "org.gnome.Terminal");
    const Window browser = makeWindow(500, 400, "firefox", 99);
    activate(terminal);

    X11Workspace workspace(queue, server.displayName());
    ASSERT_TRUE(workspace.open()) << workspace.lastError();
    EXPECT_EQ(workspace.frontmostApplicationID(), "org.gnome.Terminal");
    EXPECT_EQ(workspace.frontmostProcessID(), 1234);
    ASSERT_EQ(workspace.screens().size(), 1u);
    EXPECT_EQ(workspace.screens()[0], (Rect{0, 0, double(width), double(height)}));

    std::vector<std::optional<std::string>> told;
    workspace.setFrontmostHandler([&](const std::optional<std::string>& id) { told.push_back(id); });
    activate(browser);
    ASSERT_TRUE(queue.runUntil([&] { return !told.empty(); }, 5.0));
    EXPECT_EQ(told[0], "firefox"); // no desktop-entry id: the window class
    EXPECT_EQ(workspace.frontmostProcessID(), 99);

    // Another window of the same application is not another application.
    const Window secondBrowser = makeWindow(300, 200, "firefox", 99);
    activate(secondBrowser);
    activate(0);
    ASSERT_TRUE(queue.runUntil([&] { return told.size() >= 2; }, 5.0));
    queue.runFor(0.1);
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[1], std::nullopt);
}

TEST_F(X11Desktop, WindowsCarryTheirProcessLayerSizeAndFullScreenState)
{
    const int width = DisplayWidth(display, DefaultScreen(display));
    const int height = DisplayHeight(display, DefaultScreen(display));
    const Window game = makeWindow(width, height, "game", 50);
    const Window panel = makeWindow(width, 30, "panel", 60);
    setAtoms(panel, "_NET_WM_WINDOW_TYPE", {atom("_NET_WM_WINDOW_TYPE_DOCK")});
    const Window player = makeWindow(640, 480, "player", 70);
    setAtoms(player, "_NET_WM_WINDOW_TYPE", {atom("_NET_WM_WINDOW_TYPE_NORMAL")});
    setAtoms(player, "_NET_WM_STATE", {atom("_NET_WM_STATE_ABOVE"), atom("_NET_WM_STATE_FULLSCREEN")});
    const Window hidden = makeWindow(width, height, "hidden", 80);
    XUnmapWindow(display, hidden);
    XSync(display, False);

    X11Workspace workspace(queue, server.displayName());
    ASSERT_TRUE(workspace.open());
    std::vector<WindowInfo> list;
    workspace.onScreenWindows(list);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].pid, 50);
    EXPECT_EQ(list[0].layer, 0);
    EXPECT_EQ(list[0].bounds.width, width);
    EXPECT_EQ(list[0].bounds.height, height);
    EXPECT_FALSE(list[0].fullScreenState);
    EXPECT_EQ(list[1].layer, 1);
    // 30 points high at the top of the screen: in bottom-left coordinates its lower edge is at height - 30.
    EXPECT_EQ(list[1].bounds.y, height - 30);
    EXPECT_EQ(list[2].layer, 0);
    EXPECT_TRUE(list[2].fullScreenState);

    // The context monitor's rule on these windows.
    MonotonicClock clock;
    FakeCameraProbe camera;
    activate(game);
    queue.runFor(0.05);
    EXPECT_TRUE(ContextMonitor(workspace, camera, clock).frontAppIsFullScreen());
    activate(panel);
    queue.runFor(0.05);
    EXPECT_FALSE(ContextMonitor(workspace, camera, clock).frontAppIsFullScreen());
    activate(player);
    queue.runFor(0.05);
    EXPECT_TRUE(ContextMonitor(workspace, camera, clock).frontAppIsFullScreen());
}

TEST(X11Workspace, WithoutAnXServerEveryFactIsAbsent)
{
    PollMainQueue queue;
    X11Workspace workspace(queue, ":4999");
    EXPECT_FALSE(workspace.open());
    EXPECT_FALSE(workspace.lastError().empty());
    EXPECT_EQ(workspace.frontmostApplicationID(), std::nullopt);
    EXPECT_EQ(workspace.frontmostProcessID(), std::nullopt);
    EXPECT_TRUE(workspace.screens().empty());
    std::vector<WindowInfo> list{WindowInfo{}};
    workspace.onScreenWindows(list);
    EXPECT_TRUE(list.empty());
}

TEST(LogindWakeWatch, WakeSignalReachesTheHandlerThroughTheQueue)
{
    PollMainQueue queue;
    LogindWakeWatch watch(queue);
    int wakes = 0;
    watch.start([&] { ++wakes; }); // may fail without a system bus; the signal path is the same
    watch.sleepSignal(true);
    watch.sleepSignal(false);
    EXPECT_EQ(wakes, 0);
    queue.runFor(0.05);
    EXPECT_EQ(wakes, 1);
}

} // namespace
} // namespace clickory
