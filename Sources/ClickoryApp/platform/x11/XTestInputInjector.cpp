// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/x11/XTestInputInjector.h"

#include "ClickoryApp/input/EvdevKeyMap.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xrandr.h>

namespace clickory {
namespace {

int quietIOErrorHandler(Display*)
{
    return 0;
}

} // namespace

XTestInputInjector::XTestInputInjector(std::string displayName)
{
    Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (display == nullptr)
    {
        m_lastError = "could not connect to the X server";
        return;
    }
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor))
    {
        m_lastError = "the X server has no XTest extension";
        XCloseDisplay(display);
        return;
    }
    XSetIOErrorHandler(quietIOErrorHandler);
    XSetIOErrorExitHandler(display, &XTestInputInjector::connectionLost, this);
    m_display = display;
}

XTestInputInjector::~XTestInputInjector()
{
    if (m_display != nullptr)
    {
        XCloseDisplay(m_display);
    }
}

void XTestInputInjector::connectionLost(Display*, void* self)
{
    static_cast<XTestInputInjector*>(self)->m_lost = true;
}

bool XTestInputInjector::usable()
{
    if (m_display == nullptr)
    {
        return false;
    }
    if (m_lost)
    {
        m_lastError = "the connection to the X server was lost";
        return false;
    }
    return true;
}

bool XTestInputInjector::key(std::int64_t code, bool down)
{
    if (!usable())
    {
        return false;
    }
    const auto linuxCode = EvdevKeyMap::evdevCode(code);
    if (!linuxCode || *linuxCode + 8 > 255)
    {
        m_lastError = "no X11 key produces key code " + std::to_string(code);
        return false;
    }
    XTestFakeKeyEvent(m_display, static_cast<unsigned int>(*linuxCode + 8), down ? True : False, CurrentTime);
    return !m_lost;
}

bool XTestInputInjector::button(unsigned int x11Button, bool down)
{
    if (!usable())
    {
        return false;
    }
    XTestFakeButtonEvent(m_display, x11Button, down ? True : False, CurrentTime);
    return !m_lost;
}

bool XTestInputInjector::mouse(std::int64_t button, bool down, Point location)
{
    if (!usable())
    {
        return false;
    }
    // From global coordinates (primary monitor's corner) to the root window's.
    const Window root = DefaultRootWindow(m_display);
    int originX = 0;
    int originY = 0;
    int count = 0;
    if (XRRMonitorInfo* monitors = XRRGetMonitors(m_display, root, True, &count))
    {
        for (int i = 0; i < count; ++i)
        {
            if (monitors[i].primary)
            {
                originX = monitors[i].x;
                originY = monitors[i].y;
            }
        }
        XRRFreeMonitors(monitors);
    }
    XTestFakeMotionEvent(m_display, -1, static_cast<int>(location.x) + originX, static_cast<int>(location.y) + originY,
                         CurrentTime);
    const unsigned int x11Button = button == 0 ? 1 : button == 1 ? 3 : 2;
    return this->button(x11Button, down);
}

bool XTestInputInjector::scrollPixels(double delta)
{
    if (delta == 0.0)
    {
        return usable();
    }
    const unsigned int wheel = delta > 0.0 ? 4 : 5;
    return button(wheel, true) && button(wheel, false);
}

bool XTestInputInjector::flush()
{
    if (!usable())
    {
        return false;
    }
    XFlush(m_display);
    return !m_lost;
}

} // namespace clickory
