// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/InputBackend.h"

#include <cstdlib>
#include <string>

namespace clickory {

std::string_view rawValue(InputBackend backend)
{
    switch (backend)
    {
    case InputBackend::x11:
        return "x11";
    case InputBackend::libinput:
        return "libinput";
    }
    return "x11";
}

std::optional<InputBackend> inputBackendFromRaw(std::string_view raw)
{
    for (InputBackend backend : allInputBackends())
    {
        if (rawValue(backend) == raw)
        {
            return backend;
        }
    }
    return std::nullopt;
}

Expected<InputBackend> chooseInputBackend(const SessionEnvironment& environment)
{
    if (!environment.forced.empty())
    {
        if (const auto forced = inputBackendFromRaw(environment.forced))
        {
            return *forced;
        }
        return Expected<InputBackend>::failure("CLICKORY_INPUT must be \"x11\" or \"libinput\", not \"" +
                                               std::string(environment.forced) + "\"");
    }
    const bool wayland = environment.sessionType == "wayland" || !environment.waylandDisplay.empty();
    if (!environment.display.empty() && !wayland)
    {
        return InputBackend::x11;
    }
    return InputBackend::libinput;
}

Expected<InputBackend> chooseInputBackendFromEnvironment()
{
    const auto read = [](const char* name) -> std::string_view {
        const char* value = std::getenv(name);
        return value != nullptr ? std::string_view(value) : std::string_view();
    };
    return chooseInputBackend({read("DISPLAY"), read("WAYLAND_DISPLAY"), read("XDG_SESSION_TYPE"),
                               read("CLICKORY_INPUT")});
}

} // namespace clickory
