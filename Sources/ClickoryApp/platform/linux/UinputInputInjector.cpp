// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/linux/UinputInputInjector.h"

#include "ClickoryApp/input/EvdevKeyMap.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace clickory {

UinputInputInjector::UinputInputInjector(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
    {
        m_lastError = "could not open " + path + ": " + std::strerror(errno);
        return;
    }
    bool ok = ::ioctl(fd, UI_SET_EVBIT, EV_KEY) == 0 && ::ioctl(fd, UI_SET_EVBIT, EV_REL) == 0 &&
              ::ioctl(fd, UI_SET_EVBIT, EV_SYN) == 0;
    for (int code = 1; ok && code < 256; ++code)
    {
        ok = ::ioctl(fd, UI_SET_KEYBIT, code) == 0;
    }
    for (const int code : {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE})
    {
        ok = ok && ::ioctl(fd, UI_SET_KEYBIT, code) == 0;
    }
    for (const int code : {REL_X, REL_Y, REL_WHEEL, REL_WHEEL_HI_RES})
    {
        ok = ok && ::ioctl(fd, UI_SET_RELBIT, code) == 0;
    }
    uinput_setup setup{};
    setup.id.bustype = BUS_VIRTUAL;
    setup.id.vendor = 0x1209;  // pid.codes, for open-source projects
    setup.id.product = 0x0001;
    std::strncpy(setup.name, "Clickory self-test input", UINPUT_MAX_NAME_SIZE - 1);
    ok = ok && ::ioctl(fd, UI_DEV_SETUP, &setup) == 0 && ::ioctl(fd, UI_DEV_CREATE) == 0;
    if (!ok)
    {
        m_lastError = std::string("could not create the uinput device: ") + std::strerror(errno);
        ::close(fd);
        return;
    }
    m_fd = fd;
}

UinputInputInjector::~UinputInputInjector()
{
    if (m_fd >= 0)
    {
        ::ioctl(m_fd, UI_DEV_DESTROY);
        ::close(m_fd);
    }
}

bool UinputInputInjector::emit(int type, int code, int value)
{
    if (m_fd < 0)
    {
        return false;
    }
    input_event event{};
    event.type = static_cast<std::uint16_t>(type);
    event.code = static_cast<std::uint16_t>(code);
    event.value = value;
    if (::write(m_fd, &event, sizeof event) != static_cast<ssize_t>(sizeof event))
    {
        m_lastError = std::string("could not write to the uinput device: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool UinputInputInjector::sync()
{
    return emit(EV_SYN, SYN_REPORT, 0);
}

bool UinputInputInjector::key(std::int64_t code, bool down)
{
    const auto linuxCode = EvdevKeyMap::evdevCode(code);
    if (!linuxCode || *linuxCode >= 256)
    {
        m_lastError = "no Linux key produces key code " + std::to_string(code);
        return false;
    }
    return emit(EV_KEY, *linuxCode, down ? 1 : 0) && sync();
}

bool UinputInputInjector::mouse(std::int64_t button, bool down, Point)
{
    const int code = button == 0 ? BTN_LEFT : button == 1 ? BTN_RIGHT : BTN_MIDDLE;
    return emit(EV_KEY, code, down ? 1 : 0) && sync();
}

bool UinputInputInjector::scrollPixels(double delta)
{
    if (delta == 0.0)
    {
        return isOpen();
    }
    // evdev wheels count up as positive, like our deltas.
    const int notch = delta > 0.0 ? 1 : -1;
    return emit(EV_REL, REL_WHEEL, notch) && emit(EV_REL, REL_WHEEL_HI_RES, notch * 120) && sync();
}

} // namespace clickory
