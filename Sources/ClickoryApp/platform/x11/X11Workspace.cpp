// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/x11/X11Workspace.h"
#include "ClickoryApp/platform/x11/X11ProtocolErrors.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>

namespace clickory {

namespace {

int quietIOErrorHandler(Display*)
{
    return 0;
}

// One property's items (format 32 items come as longs, as Xlib hands them out).
struct Property
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned char* data = nullptr;

    Property() = default;
    Property(const Property&) = delete;
    Property& operator=(const Property&) = delete;
    ~Property()
    {
        if (data)
            XFree(data);
    }
    const long* longs() const { return format == 32 ? reinterpret_cast<const long*>(data) : nullptr; }
};

bool readProperty(Display* display, Window window, Atom name, Property& out)
{
    unsigned long bytesAfter = 0;
    const int status = XGetWindowProperty(display, window, name, 0, 65536, False, AnyPropertyType, &out.type,
                                          &out.format, &out.count, &bytesAfter, &out.data);
    return status == Success && out.data != nullptr && out.type != None;
}

} // namespace

X11Workspace::X11Workspace(MainQueue& queue, std::string displayName)
    : m_queue(queue)
    , m_displayName(std::move(displayName))
    , m_wake(queue)
{
}

X11Workspace::~X11Workspace()
{
    close();
    m_wake.stop();
}

void X11Workspace::connectionLost(Display*, void* self)
{
    // Xlib returns to the failing call; the connection is unusable from now on.
    static_cast<X11Workspace*>(self)->m_lost = true;
}

bool X11Workspace::open()
{
    if (!m_wake.isRunning())
        m_wake.start([this] {
            if (m_onWake)
                m_onWake();
        });
    if (m_display)
        return true;
    m_lastError.clear();
    m_display = XOpenDisplay(m_displayName.empty() ? nullptr : m_displayName.c_str());
    if (!m_display)
    {
        const char* name = m_displayName.empty() ? XDisplayName(nullptr) : m_displayName.c_str();
        m_lastError = std::string("could not connect to the X server \"") + (name ? name : "") + "\"";
        return false;
    }
    m_lost = false;
    XSetIOErrorHandler(quietIOErrorHandler);
    XSetIOErrorExitHandler(m_display, &X11Workspace::connectionLost, this);
    m_root = DefaultRootWindow(m_display);
    auto atom = [this](const char* name) { return XInternAtom(m_display, name, False); };
    m_activeWindow = atom("_NET_ACTIVE_WINDOW");
    m_clientList = atom("_NET_CLIENT_LIST");
    m_pid = atom("_NET_WM_PID");
    m_windowType = atom("_NET_WM_WINDOW_TYPE");
    m_typeNormal = atom("_NET_WM_WINDOW_TYPE_NORMAL");
    m_state = atom("_NET_WM_STATE");
    m_fullScreen = atom("_NET_WM_STATE_FULLSCREEN");
    m_gtkID = atom("_GTK_APPLICATION_ID");
    m_kdeDesktop = atom("_KDE_NET_WM_DESKTOP_FILE");
    m_utf8 = atom("UTF8_STRING");

    XSelectInput(m_display, m_root, PropertyChangeMask | StructureNotifyMask);
    int eventBase = 0;
    int errorBase = 0;
    if (XRRQueryExtension(m_display, &eventBase, &errorBase))
    {
        m_randrEvent = eventBase + RRScreenChangeNotify;
        XRRSelectInput(m_display, m_root, RRScreenChangeNotifyMask);
    }
    readScreens();
    readActiveWindow(false);
    m_watch = m_queue.watchReadable(ConnectionNumber(m_display), [this] { readEvents(); });
    return true;
}

void X11Workspace::close()
{
    if (m_watch)
        m_queue.cancel(m_watch);
    m_watch = 0;
    if (m_display)
        XCloseDisplay(m_display);
    m_display = nullptr;
    m_frontmostID.reset();
    m_frontmostPID.reset();
    m_screens.clear();
}

void X11Workspace::setFrontmostHandler(std::function<void(const std::optional<std::string>&)> handler)
{
    m_onFrontmost = std::move(handler);
}

void X11Workspace::setWakeHandler(std::function<void()> handler)
{
    m_onWake = std::move(handler);
}

void X11Workspace::readEvents()
{
    if (!m_display)
        return;
    bool activeChanged = false;
    bool screensChanged = false;
    while (!m_lost && XPending(m_display) > 0)
    {
        XEvent event;
        XNextEvent(m_display, &event);
        if (event.type == PropertyNotify && event.xproperty.window == m_root && event.xproperty.atom == m_activeWindow)
            activeChanged = true;
        else if (event.type == ConfigureNotify && event.xconfigure.window == m_root)
            screensChanged = true;
        else if (m_randrEvent >= 0 && event.type == m_randrEvent)
        {
            XRRUpdateConfiguration(&event);
            screensChanged = true;
        }
    }
    if (m_lost)
    {
        m_lastError = "the connection to the X server was lost";
        close();
        return;
    }
    if (screensChanged)
        readScreens();
    if (activeChanged)
        readActiveWindow(true);
}

std::optional<std::int64_t> X11Workspace::processID(Window window)
{
    Property pid;
    if (!readProperty(m_display, window, m_pid, pid) || pid.count < 1 || !pid.longs())
        return std::nullopt;
    return static_cast<std::int64_t>(static_cast<std::uint32_t>(pid.longs()[0]));
}

std::optional<std::string> X11Workspace::applicationID(Window window)
{
    for (const Atom name : {m_gtkID, m_kdeDesktop})
    {
        Property text;
        if (readProperty(m_display, window, name, text) && text.format == 8 && text.count > 0)
            return std::string(reinterpret_cast<const char*>(text.data), text.count);
    }
    XClassHint hint{};
    if (XGetClassHint(m_display, window, &hint))
    {
        std::optional<std::string> id;
        if (hint.res_class && *hint.res_class)
            id = hint.res_class;
        if (hint.res_name)
            XFree(hint.res_name);
        if (hint.res_class)
            XFree(hint.res_class);
        return id;
    }
    return std::nullopt;
}

void X11Workspace::readActiveWindow(bool notify)
{
    std::optional<std::string> id;
    std::optional<std::int64_t> pid;
    {
        ProtocolErrorsIgnored ignored;
        Property active;
        if (readProperty(m_display, m_root, m_activeWindow, active) && active.count >= 1 && active.longs() &&
            active.longs()[0] != 0)
        {
            const auto window = static_cast<Window>(active.longs()[0]);
            id = applicationID(window);
            pid = processID(window);
        }
        XSync(m_display, False);
    }
    if (id == m_frontmostID && pid == m_frontmostPID)
        return;
    m_frontmostID = id;
    m_frontmostPID = pid;
    if (notify && m_onFrontmost)
        m_onFrontmost(m_frontmostID);
}

void X11Workspace::readScreens()
{
    struct Monitor
    {
        int x, y, width, height;
        bool primary;
    };
    std::vector<Monitor> monitors;
    int count = 0;
    if (XRRMonitorInfo* info = XRRGetMonitors(m_display, m_root, True, &count))
    {
        for (int i = 0; i < count; ++i)
            monitors.push_back({info[i].x, info[i].y, info[i].width, info[i].height, info[i].primary != 0});
        XRRFreeMonitors(info);
    }
    if (monitors.empty())
    {
        XWindowAttributes root{};
        if (XGetWindowAttributes(m_display, m_root, &root))
            monitors.push_back({0, 0, root.width, root.height, true});
    }
    std::stable_partition(monitors.begin(), monitors.end(), [](const Monitor& m) { return m.primary; });
    m_screens.clear();
    if (monitors.empty())
        return;
    const Monitor& primary = monitors.front();
    m_primaryX = primary.x;
    m_primaryY = primary.y;
    m_primaryHeight = primary.height;
    for (const Monitor& m : monitors)
        m_screens.push_back(toScreenRect(m.x, m.y, m.width, m.height));
}

Rect X11Workspace::toScreenRect(int x, int y, int width, int height) const
{
    // X: origin at the root's top-left, y down. Screens: origin at the primary's bottom-left, y up.
    return Rect{static_cast<double>(x - m_primaryX),
                static_cast<double>(m_primaryHeight - ((y - m_primaryY) + height)), static_cast<double>(width),
                static_cast<double>(height)};
}

void X11Workspace::onScreenWindows(std::vector<WindowInfo>& out)
{
    out.clear();
    if (!m_display)
        return;
    ProtocolErrorsIgnored ignored;
    Property clients;
    if (!readProperty(m_display, m_root, m_clientList, clients) || !clients.longs())
        return;
    for (unsigned long i = 0; i < clients.count; ++i)
    {
        const auto window = static_cast<Window>(clients.longs()[i]);
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(m_display, window, &attributes) || attributes.map_state != IsViewable)
            continue;
        int x = 0;
        int y = 0;
        Window child = 0;
        XTranslateCoordinates(m_display, window, m_root, 0, 0, &x, &y, &child);

        WindowInfo info;
        info.pid = processID(window).value_or(0);
        info.bounds = toScreenRect(x, y, attributes.width, attributes.height);
        Property types;
        if (readProperty(m_display, window, m_windowType, types) && types.longs() && types.count > 0)
        {
            const long* first = types.longs();
            const bool normal = std::find(first, first + types.count, static_cast<long>(m_typeNormal)) !=
                                first + types.count;
            info.layer = normal ? 0 : 1;
        }
        Property state;
        if (readProperty(m_display, window, m_state, state) && state.longs())
        {
            const long* first = state.longs();
            info.fullScreenState =
                std::find(first, first + state.count, static_cast<long>(m_fullScreen)) != first + state.count;
        }
        out.push_back(info);
    }
    XSync(m_display, False);
}

} // namespace clickory
