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

std::optional<InputEvent> X11RawEventConverter::convert(const X11RawInput& raw)
{
    using Type = X11RawInput::Type;
    switch (raw.type)
    {
    case Type::keyPress:
    case Type::keyRelease:
        return m_keyboard.convert(raw.detail - x11KeyCodeOffset, raw.type == Type::keyPress);
    case Type::buttonPress:
    case Type::buttonRelease: {
        const bool down = raw.type == Type::buttonPress;
        switch (raw.detail)
        {
        case 4:
        case 5:
            // Emulated from smooth scrolling (counted through the valuators), or the release half of a
            // notch: nothing.
            if (raw.emulated || !down)
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
    case Type::motion:
        return convertMotion(raw);
    }
    return std::nullopt;
}

std::optional<InputEvent> X11RawEventConverter::convertMotion(const X11RawInput& raw)
{
    const auto isSet = [&raw](int bit) { return (raw.valuatorMask[bit >> 3] & (1 << (bit & 7))) != 0; };
    // Most motion is plain pointer movement; find out cheaply whether any valuator could scroll.
    const X11ScrollAxis axis = m_scrollAxis(raw.sourceId);
    if (axis.valuator < 0 || axis.valuator >= raw.valuatorMaskLength * 8 || raw.valuatorMask == nullptr ||
        raw.valuatorValues == nullptr || !isSet(axis.valuator) || axis.increment == 0.0)
    {
        return std::nullopt;
    }
    // Values are packed: one per set bit of the mask, in bit order.
    int index = 0;
    for (int bit = 0; bit < axis.valuator; ++bit)
    {
        if (isSet(bit))
        {
            ++index;
        }
    }
    const double value = raw.valuatorValues[index];
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
