// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/EventMonitor.h"
#include "ClickoryApp/platform/libinput/LibinputInputSource.h"
#include "ClickoryApp/platform/linux/PollMainQueue.h"
#include "ClickoryApp/platform/linux/UinputInputInjector.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <unistd.h>
#include <vector>

namespace clickory {
namespace {

bool haveInputDevices()
{
    std::error_code error;
    return std::filesystem::is_directory("/dev/input", error);
}

TEST(LibinputInputSource, StartAndPermissionAgreeWithTheDevicesPresent)
{
    PollMainQueue queue;
    LibinputInputSource source(queue);
    EventMonitor monitor(source);
    if (!haveInputDevices())
    {
        std::cout << "NOTE: this machine has no /dev/input: the libinput source can read nothing here, so only "
                     "its refusal to start is tested.\n";
        EXPECT_FALSE(monitor.hasPermission());
        EXPECT_FALSE(monitor.start());
        EXPECT_FALSE(monitor.isRunning());
        EXPECT_EQ(monitor.lastError(),
                  "no input device can be read (reading /dev/input needs membership of the group input)");
        return;
    }
    const bool started = monitor.start();
    std::cout << "NOTE: /dev/input exists; libinput " << (started ? "opened " : "opened no ")
              << "device" << (started ? "s" : "") << ", keyboard readable: " << std::boolalpha
              << monitor.hasPermission() << '\n';
    EXPECT_EQ(started, source.deviceCount() > 0);
    if (!started)
    {
        EXPECT_FALSE(monitor.lastError().empty());
    }
    monitor.stop();
    EXPECT_FALSE(monitor.isRunning());
}

TEST(LibinputInputSource, ReadsKeysButtonsAndWheelFromAVirtualDevice)
{
    if (!haveInputDevices() || ::access("/dev/uinput", W_OK) != 0)
    {
        std::cout << "NOTE: no writable /dev/uinput and /dev/input here: the libinput source's events are not "
                     "tested on this machine.\n";
        GTEST_SKIP() << "needs /dev/input and a writable /dev/uinput";
    }
    UinputInputInjector injector;
    ASSERT_TRUE(injector.isOpen()) << injector.lastError();
    PollMainQueue queue;
    LibinputInputSource source(queue);
    EventMonitor monitor(source);
    std::vector<InputEvent> received;
    monitor.handler = [&](const InputEvent& event) { received.push_back(event); };
    queue.runFor(0.5);  // let udev announce the new device
    ASSERT_TRUE(monitor.start()) << monitor.lastError();
    queue.runFor(0.3);
    received.clear();

    injector.key(55, true);  // left Ctrl
    injector.key(8, true);   // C
    injector.key(8, false);
    injector.key(55, false);
    injector.mouse(1, true, {});
    injector.mouse(1, false, {});
    injector.scrollPixels(-14);
    ASSERT_TRUE(queue.runUntil([&] { return received.size() >= 7; }, 5.0));
    const std::vector<InputEvent> expected{ModifierEvent{55, true},
                                           KeyEvent{8, true, false, 0x100000},
                                           KeyEvent{8, false, false, 0x100000},
                                           ModifierEvent{55, false},
                                           MouseEvent{1, true, unknownLocation},
                                           MouseEvent{1, false, unknownLocation},
                                           ScrollEvent{-1.0, false, false, unknownLocation}};
    EXPECT_EQ(received, expected);
}

} // namespace
} // namespace clickory
