// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/libinput/LibinputInputSource.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <libinput.h>
#include <libudev.h>
#include <linux/input-event-codes.h>
#include <unistd.h>

namespace clickory {
namespace {

int openRestricted(const char* path, int flags, void*)
{
    const int fd = ::open(path, flags | O_CLOEXEC);
    return fd < 0 ? -errno : fd;
}

void closeRestricted(int fd, void*)
{
    ::close(fd);
}

constexpr libinput_interface deviceAccess{openRestricted, closeRestricted};

// libinput reports positive values for scrolling down; ours are positive for scrolling up.
constexpr double libinputToOurs = -1.0;
constexpr double v120PerNotch = 120.0;

} // namespace

LibinputInputSource::LibinputInputSource(MainQueue& queue, std::string seat) : m_queue(queue), m_seat(std::move(seat))
{
    if (m_seat.empty())
    {
        const char* fromSession = std::getenv("XDG_SEAT");
        m_seat = fromSession != nullptr && *fromSession != '\0' ? fromSession : "seat0";
    }
}

LibinputInputSource::~LibinputInputSource()
{
    stop();
}

bool LibinputInputSource::start(InputSink& sink)
{
    if (m_libinput != nullptr)
    {
        return true;
    }
    m_lastError.clear();
    m_udev = udev_new();
    if (m_udev == nullptr)
    {
        m_lastError = "could not open udev";
        return false;
    }
    m_libinput = libinput_udev_create_context(&deviceAccess, this, m_udev);
    if (m_libinput == nullptr || libinput_udev_assign_seat(m_libinput, m_seat.c_str()) != 0)
    {
        close();
        m_lastError = "could not open the input devices of seat \"" + m_seat + "\"";
        return false;
    }
    m_devices = 0;
    m_keyboard.reset(false);
    m_wheel.reset();
    // The devices present now arrive as the first events.
    if (libinput_dispatch(m_libinput) == 0)
    {
        while (libinput_event* event = libinput_get_event(m_libinput))
        {
            handle(event);
            libinput_event_destroy(event);
        }
    }
    if (m_devices == 0)
    {
        close();
        m_lastError = "no input device can be read (reading /dev/input needs membership of the group input)";
        return false;
    }
    m_sink = &sink;
    m_watch = m_queue.watchReadable(libinput_get_fd(m_libinput), [this] { readEvents(); });
    return true;
}

void LibinputInputSource::stop()
{
    close();
}

void LibinputInputSource::close()
{
    m_queue.cancel(m_watch);
    m_watch = 0;
    m_sink = nullptr;
    m_devices = 0;
    if (m_libinput != nullptr)
    {
        libinput_unref(m_libinput);
        m_libinput = nullptr;
    }
    if (m_udev != nullptr)
    {
        udev_unref(m_udev);
        m_udev = nullptr;
    }
}

void LibinputInputSource::fail(const std::string& reason)
{
    InputSink* sink = m_sink;
    close();
    m_lastError = reason;
    if (sink != nullptr)
    {
        sink->sourceStopped(reason);
    }
}

void LibinputInputSource::readEvents()
{
    libinput* context = m_libinput;
    if (context == nullptr)
    {
        return;
    }
    if (const int status = libinput_dispatch(context); status != 0)
    {
        fail(std::string("reading the input devices failed: ") + std::strerror(-status));
        return;
    }
    while (m_libinput == context)
    {
        libinput_event* event = libinput_get_event(context);
        if (event == nullptr)
        {
            break;
        }
        handle(event);  // may stop the source through the sink
        libinput_event_destroy(event);
    }
    if (m_libinput == context && m_devices == 0)
    {
        fail("every input device went away");
    }
}

void LibinputInputSource::handle(libinput_event* event)
{
    std::optional<InputEvent> converted;
    switch (libinput_event_get_type(event))
    {
    case LIBINPUT_EVENT_DEVICE_ADDED:
        ++m_devices;
        break;
    case LIBINPUT_EVENT_DEVICE_REMOVED:
        --m_devices;
        break;
    case LIBINPUT_EVENT_KEYBOARD_KEY: {
        libinput_event_keyboard* key = libinput_event_get_keyboard_event(event);
        converted = m_keyboard.convert(static_cast<int>(libinput_event_keyboard_get_key(key)),
                                       libinput_event_keyboard_get_key_state(key) == LIBINPUT_KEY_STATE_PRESSED);
        break;
    }
    case LIBINPUT_EVENT_POINTER_BUTTON: {
        libinput_event_pointer* pointer = libinput_event_get_pointer_event(event);
        const std::uint32_t button = libinput_event_pointer_get_button(pointer);
        converted = MouseEvent{button == BTN_LEFT ? 0 : button == BTN_RIGHT ? 1 : 2,
                               libinput_event_pointer_get_button_state(pointer) == LIBINPUT_BUTTON_STATE_PRESSED,
                               unknownLocation};
        break;
    }
    case LIBINPUT_EVENT_POINTER_SCROLL_WHEEL: {
        libinput_event_pointer* pointer = libinput_event_get_pointer_event(event);
        if (libinput_event_pointer_has_axis(pointer, LIBINPUT_POINTER_AXIS_SCROLL_VERTICAL))
        {
            const double v120 =
                libinput_event_pointer_get_scroll_value_v120(pointer, LIBINPUT_POINTER_AXIS_SCROLL_VERTICAL);
            const double notches = m_wheel.add(libinputToOurs * v120, v120PerNotch);
            if (notches != 0.0)
            {
                converted = ScrollEvent{notches, false, false, unknownLocation};
            }
        }
        break;
    }
    case LIBINPUT_EVENT_POINTER_SCROLL_FINGER:
    case LIBINPUT_EVENT_POINTER_SCROLL_CONTINUOUS: {
        libinput_event_pointer* pointer = libinput_event_get_pointer_event(event);
        if (libinput_event_pointer_has_axis(pointer, LIBINPUT_POINTER_AXIS_SCROLL_VERTICAL))
        {
            // A zero value marks the end of a finger scroll: nothing to hear.
            const double points =
                libinput_event_pointer_get_scroll_value(pointer, LIBINPUT_POINTER_AXIS_SCROLL_VERTICAL);
            if (points != 0.0)
            {
                converted = ScrollEvent{libinputToOurs * points, true, false, unknownLocation};
            }
        }
        break;
    }
    default:
        break;
    }
    if (converted && m_sink != nullptr)
    {
        m_sink->receive(*converted);
    }
}

bool LibinputInputSource::canReadInput() const
{
    udev* context = udev_new();
    if (context == nullptr)
    {
        return false;
    }
    bool readable = false;
    udev_enumerate* enumerate = udev_enumerate_new(context);
    if (enumerate != nullptr)
    {
        udev_enumerate_add_match_subsystem(enumerate, "input");
        udev_enumerate_add_match_property(enumerate, "ID_INPUT_KEYBOARD", "1");
        udev_enumerate_add_match_sysname(enumerate, "event*");
        udev_enumerate_scan_devices(enumerate);
        for (udev_list_entry* entry = udev_enumerate_get_list_entry(enumerate); entry != nullptr && !readable;
             entry = udev_list_entry_get_next(entry))
        {
            udev_device* device = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
            if (device == nullptr)
            {
                continue;
            }
            if (const char* node = udev_device_get_devnode(device))
            {
                const int fd = ::open(node, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0)
                {
                    readable = true;
                    ::close(fd);
                }
            }
            udev_device_unref(device);
        }
        udev_enumerate_unref(enumerate);
    }
    udev_unref(context);
    return readable;
}

} // namespace clickory
