// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/input/KeyboardState.h"
#include "ClickoryApp/input/ScrollAccumulator.h"
#include "ClickoryApp/platform/InputSource.h"
#include "ClickoryApp/platform/MainQueue.h"

#include <string>

struct libinput;
struct libinput_event;
struct udev;

namespace clickory {

// Global input where there is no X server to ask (Wayland, the console): the devices of a udev seat
// read through libinput. Reading /dev/input needs membership of the group `input`. Keyboard keys,
// pointer buttons and vertical scrolling are reported; locations are unknown (`unknownLocation`).
// libinput has no auto-repeat: holding a key gives one press. Caps Lock is taken as off when the
// source starts. Wheels report lines (high-resolution steps summed to whole notches), touchpads
// and other continuous sources points.
//
// The source stops by itself, telling the sink, when libinput fails or the last device goes away;
// start() may open it again.
//
// Thread: main. The queue must outlive the source.
class LibinputInputSource final : public InputSource
{
public:
    // `seat` is the udev seat; empty means $XDG_SEAT, or "seat0".
    explicit LibinputInputSource(MainQueue& queue, std::string seat = {});
    ~LibinputInputSource() override;
    LibinputInputSource(const LibinputInputSource&) = delete;
    LibinputInputSource& operator=(const LibinputInputSource&) = delete;

    bool start(InputSink& sink) override;
    void stop() override;
    bool isRunning() const override { return m_libinput != nullptr; }
    // True when at least one keyboard device of the system can be opened for reading.
    bool canReadInput() const override;
    std::string lastError() const override { return m_lastError; }

    // How many devices the running source reads.
    int deviceCount() const { return m_devices; }

private:
    void readEvents();
    void handle(libinput_event* event);
    void fail(const std::string& reason);
    void close();

    MainQueue& m_queue;
    std::string m_seat;
    udev* m_udev = nullptr;
    libinput* m_libinput = nullptr;
    InputSink* m_sink = nullptr;
    MainQueue::Token m_watch = 0;
    int m_devices = 0;
    KeyboardState m_keyboard;
    ScrollAccumulator m_wheel;
    std::string m_lastError;
};

} // namespace clickory
