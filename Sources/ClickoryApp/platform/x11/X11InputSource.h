// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/input/KeyRepeater.h"
#include "ClickoryApp/platform/InputSource.h"
#include "ClickoryApp/platform/MainQueue.h"
#include "ClickoryApp/platform/x11/X11RawEventConverter.h"

#include <memory>
#include <string>
#include <unordered_map>

struct _XDisplay;

namespace clickory {

// Global input of an X11 session: XInput2 raw key, button and motion events selected on the root
// window of a connection of our own, read on the main thread whenever the connection's descriptor
// is readable. Listen-only; needs no privilege. Click and scroll locations come from a pointer
// query, relative to the primary monitor's top-left corner. Raw events carry no auto-repeat, so
// held keys are repeated here with the server's repeat settings (see KeyRepeater).
//
// A lost connection (the server went away) is noticed on the next read: the source releases the
// connection and tells the sink; start() may then connect again.
//
// Thread: main. The queue must outlive the source.
class X11InputSource final : public InputSource
{
public:
    // `displayName` as for XOpenDisplay; empty means $DISPLAY.
    explicit X11InputSource(MainQueue& queue, std::string displayName = {});
    ~X11InputSource() override;
    X11InputSource(const X11InputSource&) = delete;
    X11InputSource& operator=(const X11InputSource&) = delete;

    bool start(InputSink& sink) override;
    void stop() override;
    bool isRunning() const override { return m_display != nullptr; }
    // Reading X11 input needs no permission.
    bool canReadInput() const override { return true; }
    std::string lastError() const override { return m_lastError; }

private:
    static void connectionLost(_XDisplay* display, void* self);

    void readEvents();
    void deliver(const std::optional<InputEvent>& event);
    void repeat(int evdevCode);
    Point pointerLocation();
    X11ScrollAxis scrollAxis(int deviceId);
    void loseConnection();
    void closeDisplay();

    MainQueue& m_queue;
    std::string m_displayName;
    _XDisplay* m_display = nullptr;
    InputSink* m_sink = nullptr;
    int m_xiOpcode = 0;
    bool m_connectionLost = false;
    MainQueue::Token m_watch = 0;
    MainQueue::Token m_firstRead = 0;
    X11RawEventConverter m_converter;
    KeyRepeater m_repeater;
    std::unordered_map<int, X11ScrollAxis> m_axes;
    std::string m_lastError;
};

} // namespace clickory
