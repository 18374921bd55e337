// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/InputEvent.h"

#include <ios>
#include <ostream>

namespace clickory {

std::ostream& operator<<(std::ostream& out, const Point& point)
{
    return out << '(' << point.x << ", " << point.y << ')';
}

std::ostream& operator<<(std::ostream& out, const KeyEvent& event)
{
    return out << "key(code: " << event.code << ", down: " << std::boolalpha << event.down
               << ", isRepeat: " << event.isRepeat << ", flags: 0x" << std::hex << event.flags << std::dec << ')';
}

std::ostream& operator<<(std::ostream& out, const ModifierEvent& event)
{
    return out << "modifier(code: " << event.code << ", down: " << std::boolalpha << event.down << ')';
}

std::ostream& operator<<(std::ostream& out, const MouseEvent& event)
{
    return out << "mouse(button: " << event.button << ", down: " << std::boolalpha << event.down
               << ", location: " << event.location << ')';
}

std::ostream& operator<<(std::ostream& out, const ScrollEvent& event)
{
    return out << "scroll(delta: " << event.delta << ", continuous: " << std::boolalpha << event.continuous
               << ", momentum: " << event.momentum << ", location: " << event.location << ')';
}

std::ostream& operator<<(std::ostream& out, const InputEvent& event)
{
    std::visit([&out](const auto& e) { out << e; }, event);
    return out;
}

} // namespace clickory
