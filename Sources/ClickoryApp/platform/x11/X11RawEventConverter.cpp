// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/x11/X11RawEventConverter.h"

#include <utility>

namespace clickory {
namespace {

constexpr int x11KeyCodeOffset = 8;

} // namespace

X11RawEventConverter::X11RawEventConverter(std::function<Point()> pointerLocation,
                                           std::function<X11ScrollAxis(int deviceId)> scrollAxis)
    : m_pointerLocation(std::move(pointerLocation)), m_scrollAxis(std::move(scrollAxis))
{
}

std::optional<InputEvent> X11RawEventConverter::convert(const XIRawEvent& raw)
{
    switch (raw.evtype)
    {
    case XI_RawKeyPress:
    case XI_RawKeyRelease:
        return m_keyboard.convert(raw.detail - x11KeyCodeOffset, raw.evtype == XI_RawKeyPress);
    case XI_RawButtonPress:
    case XI_RawButtonRelease: {
        const bool down = raw.evtype == XI_RawButtonPress;
        switch (raw.detail)
        {
        case 4:
        case 5:
            // Emulated from smooth scrolling (counted through the valuators), or the release half of a
            // notch: nothing.
            if ((raw.flags & XIPointerEmulated) != 0 || !down)
            {
                return std::nullopt;
            }
            return ScrollEvent{raw.detail == 4 ? 1.0 : -1.0, false, false, m_pointerLocation()};
        case 6:
        case 7:
            return std::nullopt;
        default:
            return MouseEvent{raw.detail == 1 ? 0 : raw.detail == 3 ? 1 : 2, down, m_pointerLocation()};
        }
    }
    case XI_RawMotion:
        return convertMotion(raw);
    default:
        return std::nullopt;
    }
}

std::optional<InputEvent> X11RawEventConverter::convertMotion(const XIRawEvent& raw)
{
    // Most motion is plain pointer movement; find out cheaply whether any valuator could scroll.
    const X11ScrollAxis axis = m_scrollAxis(raw.sourceid);
    if (axis.valuator < 0 || axis.valuator >= raw.valuators.mask_len * 8 ||
        !XIMaskIsSet(raw.valuators.mask, axis.valuator) || axis.increment == 0.0)
    {
        return std::nullopt;
    }
    // Values are packed: one per set bit of the mask, in bit order.
    int index = 0;
    for (int bit = 0; bit < axis.valuator; ++bit)
    {
        if (XIMaskIsSet(raw.valuators.mask, bit))
        {
            ++index;
        }
    }
    const double value = raw.valuators.values[index];
    if (value == 0.0)
    {
        return std::nullopt;
    }
    // X11 valuators grow downward; our delta is positive when scrolling the view up.
    if (axis.touchpad)
    {
        return ScrollEvent{-value / axis.increment * pointsPerIncrement, true, false, m_pointerLocation()};
    }
    const double notches = m_wheel.add(-value, axis.increment < 0 ? -axis.increment : axis.increment);
    if (notches == 0.0)
    {
        return std::nullopt;
    }
    return ScrollEvent{axis.increment < 0 ? -notches : notches, false, false, m_pointerLocation()};
}

} // namespace clickory
