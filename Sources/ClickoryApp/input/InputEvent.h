// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <iosfwd>
#include <variant>

namespace clickory {

// A point in global display coordinates: origin at the top-left of the primary screen, y growing
// downward.
struct Point
{
    double x = 0.0;
    double y = 0.0;

    friend bool operator==(const Point&, const Point&) = default;
};

// Where an event happened when the input source cannot tell (libinput sees no screens): a point
// outside every screen, so that anything placed by location falls back to the centre.
inline constexpr Point unknownLocation{-1.0e6, -1.0e6};

// A press (`down`) or release of a key that is not a modifier. `code` is a macOS virtual key code;
// `flags` holds the modifier-flag bits (Shift 0x20000, Control 0x40000, Option 0x80000, Command
// 0x100000, Caps Lock 0x10000) of the modifiers held when the event happened.
struct KeyEvent
{
    std::int64_t code = 0;
    bool down = false;
    bool isRepeat = false;
    std::uint64_t flags = 0;

    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

// A modifier key (codes 54-63) went down or up. `down` is whether the modifier's flag bit is set
// after the event: releasing one Shift while the other is held is still `down`; Caps Lock is `down`
// while its lock is on.
struct ModifierEvent
{
    std::int64_t code = 0;
    bool down = false;

    friend bool operator==(const ModifierEvent&, const ModifierEvent&) = default;
};

// A mouse button went down or up: `button` is 0 for the left, 1 for the right, 2 for any other.
struct MouseEvent
{
    std::int64_t button = 0;
    bool down = false;
    Point location;

    friend bool operator==(const MouseEvent&, const MouseEvent&) = default;
};

// One scroll on the vertical axis. Positive `delta` scrolls the content's view up (wheel turned away
// from the user). `continuous` devices (touchpads) report points, others lines. `momentum` marks
// inertial scrolling after the fingers lifted; it is always false on Linux.
struct ScrollEvent
{
    double delta = 0.0;
    bool continuous = false;
    bool momentum = false;
    Point location;

    friend bool operator==(const ScrollEvent&, const ScrollEvent&) = default;
};

// One normalised input event. A plain value, copied freely.
using InputEvent = std::variant<KeyEvent, ModifierEvent, MouseEvent, ScrollEvent>;

// Readable forms, for test failure messages. Never used for logging: key codes are not logged.
std::ostream& operator<<(std::ostream& out, const Point& point);
std::ostream& operator<<(std::ostream& out, const KeyEvent& event);
std::ostream& operator<<(std::ostream& out, const ModifierEvent& event);
std::ostream& operator<<(std::ostream& out, const MouseEvent& event);
std::ostream& operator<<(std::ostream& out, const ScrollEvent& event);
std::ostream& operator<<(std::ostream& out, const InputEvent& event);

} // namespace clickory
