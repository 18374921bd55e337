// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/Expected.h"

#include <array>
#include <optional>
#include <string_view>

namespace clickory {

// Which global input source serves the session.
enum class InputBackend
{
    x11,
    libinput,
};

std::string_view rawValue(InputBackend backend);
std::optional<InputBackend> inputBackendFromRaw(std::string_view raw);
constexpr std::array<InputBackend, 2> allInputBackends()
{
    return {InputBackend::x11, InputBackend::libinput};
}

// The session facts that decide the source, as read from the environment.
struct SessionEnvironment
{
    std::string_view display;         // DISPLAY
    std::string_view waylandDisplay;  // WAYLAND_DISPLAY
    std::string_view sessionType;     // XDG_SESSION_TYPE
    std::string_view forced;          // CLICKORY_INPUT: "x11", "libinput" or empty
};

// CLICKORY_INPUT, when set, decides. Otherwise X11 when DISPLAY is set and the session is not
// Wayland (an X server under Wayland sees only its own clients' input), libinput everywhere else.
// An unknown CLICKORY_INPUT value is an error.
Expected<InputBackend> chooseInputBackend(const SessionEnvironment& environment);

// The same, from this process's environment.
Expected<InputBackend> chooseInputBackendFromEnvironment();

} // namespace clickory
