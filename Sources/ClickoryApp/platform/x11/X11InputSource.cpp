// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/x11/X11InputSource.h"
#include "ClickoryApp/platform/x11/X11ProtocolErrors.h"

#include <cstring>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/Xrandr.h>

namespace clickory {
namespace {

// Xlib calls the process-wide handler first, then the connection's exit handler. The default one
// prints and exits; ours stays quiet and lets the exit handler decide.
int quietIOErrorHandler(Display*)
{
    return 0;
}

std::optional<X11RawInput> rawInput(const XIRawEvent& raw)
{
    X11RawInput input;
    switch (raw.evtype)
    {
    case XI_RawKeyPress:
        input.type = X11RawInput::Type::keyPress;
        break;
    case XI_RawKeyRelease:
        input.type = X11RawInput::Type::keyRelease;
        break;
    case XI_RawButtonPress:
        input.type = X11RawInput::Type::buttonPress;
        break;
    case XI_RawButtonRelease:
        input.type = X11RawInput::Type::buttonRelease;
        break;
    case XI_RawMotion:
        input.type = X11RawInput::Type::motion;
        break;
    default:
        return std::nullopt;
    }
    input.detail = raw.detail;
    input.emulated = (raw.flags & XIPointerEmulated) != 0;
    input.sourceId = raw.sourceid;
    input.valuatorMask = raw.valuators.mask;
    input.valuatorMaskLength = raw.valuators.mask_len;
    input.valuatorValues = raw.valuators.values;
    return input;
}

} // namespace

X11InputSource::X11InputSource(MainQueue& queue, std::string displayName)
    : m_queue(queue),
      m_displayName(std::move(displayName)),
      m_converter([this] { return pointerLocation(); }, [this](int id) { return scrollAxis(id); }),
      m_repeater(queue, [this](int evdevCode) { repeat(evdevCode); })
{
}

X11InputSource::~X11InputSource()
{
    stop();
}

bool X11InputSource::start(InputSink& sink)
{
    if (m_display != nullptr)
    {
        return true;
    }
    m_lastError.clear();
    Display* display = XOpenDisplay(m_displayName.empty() ? nullptr : m_displayName.c_str());
    if (display == nullptr)
    {
        const char* name = m_displayName.empty() ? XDisplayName(nullptr) : m_displayName.c_str();
        m_lastError = std::string("could not connect to the X server \"") + (name != nullptr ? name : "") + "\"";
        return false;
    }
    XSetIOErrorHandler(quietIOErrorHandler);
    XSetIOErrorExitHandler(display, &X11InputSource::connectionLost, this);

    int event = 0;
    int error = 0;
    int major = 2;
    int minor = 2;
    if (!XQueryExtension(display, "XInputExtension", &m_xiOpcode, &event, &error) ||
        XIQueryVersion(display, &major, &minor) != Success || major < 2)
    {
        m_lastError = "the X server has no XInput 2 extension";
        XCloseDisplay(display);
        return false;
    }

    const Window root = DefaultRootWindow(display);
    unsigned char rawMask[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(rawMask, XI_RawKeyPress);
    XISetMask(rawMask, XI_RawKeyRelease);
    XISetMask(rawMask, XI_RawButtonPress);
    XISetMask(rawMask, XI_RawButtonRelease);
    XISetMask(rawMask, XI_RawMotion);
    unsigned char hierarchyMask[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(hierarchyMask, XI_HierarchyChanged);
    XIEventMask masks[2] = {
        {XIAllMasterDevices, static_cast<int>(sizeof rawMask), rawMask},
        {XIAllDevices, static_cast<int>(sizeof hierarchyMask), hierarchyMask},
    };
    XISelectEvents(display, root, masks, 2);

    // The server's auto-repeat: on or off, per-key switches, delay and rate.
    KeyRepeater::Settings repeat;
    XKeyboardState keyboard{};
    XGetKeyboardControl(display, &keyboard);
    repeat.enabled = keyboard.global_auto_repeat == AutoRepeatModeOn;
    repeat.repeating.reset();
    for (int keycode = 8; keycode < 256; ++keycode)
    {
        if ((keyboard.auto_repeats[keycode / 8] & (1 << (keycode % 8))) != 0)
        {
            repeat.repeating.set(static_cast<std::size_t>(keycode - 8));
        }
    }
    unsigned int delayMs = 0;
    unsigned int intervalMs = 0;
    if (XkbGetAutoRepeatRate(display, XkbUseCoreKbd, &delayMs, &intervalMs) && intervalMs > 0)
    {
        repeat.delay = delayMs / 1000.0;
        repeat.interval = intervalMs / 1000.0;
    }
    m_repeater.configure(repeat);

    XkbStateRec state{};
    const bool capsLock = XkbGetState(display, XkbUseCoreKbd, &state) == Success && (state.locked_mods & LockMask) != 0;
    m_converter.keyboard().reset(capsLock);

    XSync(display, False);
    m_display = display;
    m_sink = &sink;
    m_connectionLost = false;
    m_axes.clear();
    m_watch = m_queue.watchReadable(ConnectionNumber(display), [this] { readEvents(); });
    // XSync may have read events into Xlib's queue already; the descriptor would not show them.
    // A cancellable task, so that a source stopped or destroyed first is never called.
    m_firstRead = m_queue.postAfter(0.0, [this] {
        m_firstRead = 0;
        readEvents();
    });
    return true;
}

void X11InputSource::stop()
{
    if (m_display == nullptr)
    {
        return;
    }
    closeDisplay();
}

void X11InputSource::closeDisplay()
{
    m_queue.cancel(m_watch);
    m_watch = 0;
    m_queue.cancel(m_firstRead);
    m_firstRead = 0;
    m_repeater.cancel();
    Display* display = m_display;
    m_display = nullptr;
    m_sink = nullptr;
    m_axes.clear();
    // After a lost connection Xlib only frees its memory here; the socket is gone already.
    XCloseDisplay(display);
}

void X11InputSource::connectionLost(Display*, void* self)
{
    // Xlib returns to the failing call after this; the connection is unusable from now on.
    static_cast<X11InputSource*>(self)->m_connectionLost = true;
}

void X11InputSource::readEvents()
{
    Display* display = m_display;
    while (m_display == display && display != nullptr && !m_connectionLost && XPending(display) > 0)
    {
        XEvent event;
        XNextEvent(display, &event);
        if (m_connectionLost)
        {
            break;
        }
        XGenericEventCookie* cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != m_xiOpcode || !XGetEventData(display, cookie))
        {
            continue;
        }
        std::optional<InputEvent> converted;
        int keyPressed = -1;
        int keyReleased = -1;
        if (cookie->evtype == XI_HierarchyChanged)
        {
            m_axes.clear();  // devices came or went: their scroll classes are read again when used
        }
        else
        {
            const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
            if (const auto input = rawInput(*raw))
            {
                converted = m_converter.convert(*input);
            }
            if (raw->evtype == XI_RawKeyPress)
            {
                keyPressed = raw->detail - 8;
            }
            else if (raw->evtype == XI_RawKeyRelease)
            {
                keyReleased = raw->detail - 8;
            }
        }
        XFreeEventData(display, cookie);
        if (keyPressed >= 0)
        {
            m_repeater.pressed(keyPressed);
        }
        if (keyReleased >= 0)
        {
            m_repeater.released(keyReleased);
        }
        deliver(converted);  // may stop this source: the loop condition checks
    }
    if (m_connectionLost && m_display == display && display != nullptr)
    {
        loseConnection();
    }
}

void X11InputSource::deliver(const std::optional<InputEvent>& event)
{
    if (event && m_sink != nullptr)
    {
        m_sink->receive(*event);
    }
}

void X11InputSource::repeat(int evdevCode)
{
    if (m_display != nullptr && m_converter.keyboard().isDown(evdevCode))
    {
        deliver(m_converter.keyboard().convert(evdevCode, true));
    }
}

void X11InputSource::loseConnection()
{
    InputSink* sink = m_sink;
    closeDisplay();
    m_lastError = "the connection to the X server was lost";
    if (sink != nullptr)
    {
        sink->sourceStopped(m_lastError);
    }
}

Point X11InputSource::pointerLocation()
{
    Display* display = m_display;
    if (display == nullptr || m_connectionLost)
    {
        return unknownLocation;
    }
    const Window root = DefaultRootWindow(display);
    Window rootReturn = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int winX = 0;
    int winY = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(display, root, &rootReturn, &child, &rootX, &rootY, &winX, &winY, &mask) || m_connectionLost)
    {
        return unknownLocation;
    }
    // Global coordinates start at the primary monitor's top-left corner, which need not be the
    // root window's.
    int originX = 0;
    int originY = 0;
    int count = 0;
    const ProtocolErrorsIgnored guard;
    if (XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count))
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
    return Point{static_cast<double>(rootX - originX), static_cast<double>(rootY - originY)};
}

X11ScrollAxis X11InputSource::scrollAxis(int deviceId)
{
    const auto known = m_axes.find(deviceId);
    if (known != m_axes.end())
    {
        return known->second;
    }
    X11ScrollAxis axis;
    if (m_display != nullptr && !m_connectionLost)
    {
        int count = 0;
        const ProtocolErrorsIgnored guard;
        if (XIDeviceInfo* info = XIQueryDevice(m_display, deviceId, &count))
        {
            for (int c = 0; c < info->num_classes; ++c)
            {
                const XIAnyClassInfo* any = info->classes[c];
                if (any->type == XIScrollClass)
                {
                    const auto* scroll = reinterpret_cast<const XIScrollClassInfo*>(any);
                    if (scroll->scroll_type == XIScrollTypeVertical && scroll->increment != 0.0)
                    {
                        axis.valuator = scroll->number;
                        axis.increment = scroll->increment;
                    }
                }
                else if (any->type == XITouchClass)
                {
                    const auto* touch = reinterpret_cast<const XITouchClassInfo*>(any);
                    axis.touchpad = axis.touchpad || touch->mode == XIDependentTouch;
                }
            }
            // Touchpads driven by the libinput or synaptics drivers announce no touch class.
            const std::string_view name = info->name != nullptr ? info->name : "";
            axis.touchpad = axis.touchpad || name.find("Touchpad") != std::string_view::npos ||
                            name.find("touchpad") != std::string_view::npos ||
                            name.find("Trackpad") != std::string_view::npos;
            XIFreeDeviceInfo(info);
        }
    }
    m_axes.emplace(deviceId, axis);
    return axis;
}

} // namespace clickory
