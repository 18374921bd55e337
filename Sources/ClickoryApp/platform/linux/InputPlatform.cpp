// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/linux/InputPlatform.h"

#include "ClickoryApp/platform/libinput/LibinputInputSource.h"
#include "ClickoryApp/platform/linux/UinputInputInjector.h"
#include "ClickoryApp/platform/x11/X11InputSource.h"
#include "ClickoryApp/platform/x11/XTestInputInjector.h"

namespace clickory::InputPlatform {

std::unique_ptr<InputSource> makeSource(InputBackend backend, MainQueue& queue)
{
    switch (backend)
    {
    case InputBackend::x11:
        return std::make_unique<X11InputSource>(queue);
    case InputBackend::libinput:
        return std::make_unique<LibinputInputSource>(queue);
    }
    return nullptr;
}

std::unique_ptr<InputInjector> makeInjector(InputBackend backend, std::string& error)
{
    if (backend == InputBackend::x11)
    {
        auto injector = std::make_unique<XTestInputInjector>();
        if (!injector->isOpen())
        {
            error = injector->lastError();
            return nullptr;
        }
        return injector;
    }
    auto injector = std::make_unique<UinputInputInjector>();
    if (!injector->isOpen())
    {
        error = injector->lastError();
        return nullptr;
    }
    return injector;
}

} // namespace clickory::InputPlatform
