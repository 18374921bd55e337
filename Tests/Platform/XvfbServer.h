// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

namespace clickory {

// A private virtual X server for tests and benchmarks: Xvfb on a free display (or a given one),
// started here and ended by stop() or the destructor. A missing Xvfb is an error naming the package
// to install, never a reason to skip.
class XvfbServer
{
public:
    XvfbServer() = default;
    ~XvfbServer() { stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Starts Xvfb and waits until it accepts connections. False on failure, with the reason in
    // error().
    bool start(std::optional<int> displayNumber = std::nullopt, double timeoutSeconds = 15.0);

    // Ends the server and waits for it.
    void stop();

    bool isRunning() const { return m_pid > 0; }
    int displayNumber() const { return m_display; }
    // ":N", for XOpenDisplay.
    std::string displayName() const { return ":" + std::to_string(m_display); }
    const std::string& error() const { return m_error; }

private:
    pid_t m_pid = -1;
    int m_display = -1;
    std::string m_error;
};

} // namespace clickory
