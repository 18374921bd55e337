// SPDX-License-Identifier: MIT
#pragma once

#include <X11/Xlib.h>

namespace clickory {

// A window or device can vanish between its notification and our question about it: the error
// that answers such a query must not end the process. Installed only around our own round trips,
// for one scope, on the thread that owns the connection.
class ProtocolErrorsIgnored
{
public:
    ProtocolErrorsIgnored() : m_previous(XSetErrorHandler(ignore)) {}
    ~ProtocolErrorsIgnored() { XSetErrorHandler(m_previous); }
    ProtocolErrorsIgnored(const ProtocolErrorsIgnored&) = delete;
    ProtocolErrorsIgnored& operator=(const ProtocolErrorsIgnored&) = delete;

private:
    static int ignore(Display*, XErrorEvent*) { return 0; }

    XErrorHandler m_previous;
};

} // namespace clickory
