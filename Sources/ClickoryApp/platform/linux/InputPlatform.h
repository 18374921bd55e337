// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/input/InputBackend.h"
#include "ClickoryApp/platform/InputInjector.h"
#include "ClickoryApp/platform/InputSource.h"
#include "ClickoryApp/platform/MainQueue.h"

#include <memory>
#include <string>

namespace clickory {

// The Linux implementations of global input, picked by backend (see chooseInputBackend): for use by
// the program's entry point and its self-test.
namespace InputPlatform {

// The X11 source ($DISPLAY) or the libinput source ($XDG_SEAT or seat0). Not started.
std::unique_ptr<InputSource> makeSource(InputBackend backend, MainQueue& queue);

// XTest on X11, uinput for libinput. Null when it cannot be opened, with the reason in `error`.
std::unique_ptr<InputInjector> makeInjector(InputBackend backend, std::string& error);

} // namespace InputPlatform
} // namespace clickory
