// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/EventMonitor.h"
#include "ClickoryApp/platform/linux/InputPlatform.h"
#include "ClickoryApp/platform/linux/PollMainQueue.h"
#include "ClickoryApp/platform/x11/X11InputSource.h"
#include "ClickoryApp/platform/x11/XTestInputInjector.h"
#include "Platform/XvfbServer.h"

#include <gtest/gtest.h>

#include <memory>
#include <unistd.h>
#include <vector>

namespace clickory {
namespace {

// One private X server for the suite; the test of a vanishing server brings its own.
class X11InputSourceTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        server = std::make_unique<XvfbServer>();
        if (!server->start())
        {
            serverError = server->error();
        }
    }

    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(serverError.empty()) << serverError;
        source = std::make_unique<X11InputSource>(queue, server->displayName());
        monitor = std::make_unique<EventMonitor>(*source);
        monitor->handler = [this](const InputEvent& event) { received.push_back(event); };
        injector = std::make_unique<XTestInputInjector>(server->displayName());
        ASSERT_TRUE(injector->isOpen()) << injector->lastError();
        ASSERT_TRUE(monitor->start()) << monitor->lastError();
    }

    // Runs the main queue until `count` events have arrived (or 5 s pass).
    bool waitFor(std::size_t count)
    {
        EXPECT_TRUE(injector->flush()) << injector->lastError();
        return queue.runUntil([&] { return received.size() >= count; }, 5.0);
    }

    // Posts a press and release of each key (macOS codes) and returns the events that arrive.
    std::vector<InputEvent> tap(std::initializer_list<std::int64_t> codes)
    {
        const std::size_t before = received.size();
        for (const std::int64_t code : codes)
        {
            EXPECT_TRUE(injector->key(code, true)) << injector->lastError();
            EXPECT_TRUE(injector->key(code, false)) << injector->lastError();
        }
        EXPECT_TRUE(waitFor(before + 2 * codes.size()));
        return received;
    }

    static inline std::unique_ptr<XvfbServer> server;
    static inline std::string serverError;

    PollMainQueue queue;
    std::unique_ptr<X11InputSource> source;
    std::unique_ptr<EventMonitor> monitor;
    std::unique_ptr<XTestInputInjector> injector;
    std::vector<InputEvent> received;
};

InputEvent key(std::int64_t code, bool down, std::uint64_t flags = 0, bool isRepeat = false)
{
    return KeyEvent{code, down, isRepeat, flags};
}

TEST_F(X11InputSourceTest, KeysArriveWithTheirMacCodes)
{
    // A, Space, Return, left arrow, keypad 5, F5.
    const auto events = tap({0, 49, 36, 123, 87, 96});
    const std::vector<InputEvent> expected{key(0, true),   key(0, false),   key(49, true),  key(49, false),
                                           key(36, true),  key(36, false),  key(123, true), key(123, false),
                                           key(87, true),  key(87, false),  key(96, true),  key(96, false)};
    EXPECT_EQ(events, expected);
}

TEST_F(X11InputSourceTest, CtrlCArrivesWithTheCommandBit)
{
    injector->key(55, true);  // left Ctrl
    injector->key(8, true);   // C
    injector->key(8, false);
    injector->key(55, false);
    ASSERT_TRUE(waitFor(4));
    const std::vector<InputEvent> expected{ModifierEvent{55, true}, key(8, true, 0x100000), key(8, false, 0x100000),
                                           ModifierEvent{55, false}};
    EXPECT_EQ(received, expected);
}

TEST_F(X11InputSourceTest, ReleasingOneOfTwoShiftsStaysDown)
{
    injector->key(56, true);
    injector->key(60, true);
    injector->key(0, true);
    injector->key(0, false);
    injector->key(56, false);
    injector->key(60, false);
    ASSERT_TRUE(waitFor(6));
    const std::vector<InputEvent> expected{ModifierEvent{56, true}, ModifierEvent{60, true}, key(0, true, 0x20000),
                                           key(0, false, 0x20000),  ModifierEvent{56, true}, ModifierEvent{60, false}};
    EXPECT_EQ(received, expected);
}

TEST_F(X11InputSourceTest, CapsLockTurnsOnAndOff)
{
    injector->key(57, true);
    injector->key(57, false);
    injector->key(0, true);
    injector->key(0, false);
    injector->key(57, true);
    injector->key(57, false);
    ASSERT_TRUE(waitFor(4));
    const std::vector<InputEvent> expected{ModifierEvent{57, true}, key(0, true, 0x10000), key(0, false, 0x10000),
                                           ModifierEvent{57, false}};
    EXPECT_EQ(received, expected);
    // A new start reads the lock state from the server: it is off again.
    monitor->stop();
    ASSERT_TRUE(monitor->start());
    received.clear();
    tap({0});
    EXPECT_EQ(received.front(), key(0, true, 0));
}

TEST_F(X11InputSourceTest, HeldKeysRepeat)
{
    injector->key(1, true);  // S, held for a second: the server's delay is 0.66 s, then 25 per second
    ASSERT_TRUE(injector->flush());
    queue.runFor(1.0);
    injector->key(1, false);
    ASSERT_TRUE(waitFor(received.size() + 1));
    ASSERT_GE(received.size(), 5u);
    EXPECT_EQ(received.front(), key(1, true));
    for (std::size_t i = 1; i + 1 < received.size(); ++i)
    {
        EXPECT_EQ(received[i], key(1, true, 0, true)) << "event " << i;
    }
    EXPECT_EQ(received.back(), key(1, false));
    // Nothing repeats after the release.
    const std::size_t count = received.size();
    queue.runFor(0.8);
    EXPECT_EQ(received.size(), count);
}

TEST_F(X11InputSourceTest, ButtonsArriveWithTheirLocations)
{
    // The location is the pointer's when the event is read, so each click is read before the pointer
    // moves on.
    const auto click = [this](std::int64_t button, Point location) {
        const std::size_t before = received.size();
        EXPECT_TRUE(injector->mouse(button, true, location)) << injector->lastError();
        EXPECT_TRUE(injector->mouse(button, false, location)) << injector->lastError();
        EXPECT_TRUE(waitFor(before + 2));
    };
    click(0, {300, 300});
    click(1, {410, 220});
    click(2, {5, 790});
    ASSERT_TRUE(injector->button(8, true));  // an extra button (back), where the pointer is
    ASSERT_TRUE(injector->button(8, false));
    ASSERT_TRUE(waitFor(8));
    const std::vector<InputEvent> expected{
        MouseEvent{0, true, {300, 300}}, MouseEvent{0, false, {300, 300}}, MouseEvent{1, true, {410, 220}},
        MouseEvent{1, false, {410, 220}}, MouseEvent{2, true, {5, 790}},   MouseEvent{2, false, {5, 790}},
        MouseEvent{2, true, {5, 790}},   MouseEvent{2, false, {5, 790}}};
    EXPECT_EQ(received, expected);
}

TEST_F(X11InputSourceTest, WheelNotchesArriveAsLines)
{
    ASSERT_TRUE(injector->mouse(0, false, {100, 120}));  // just to place the pointer
    ASSERT_TRUE(waitFor(1));
    received.clear();
    ASSERT_TRUE(injector->scrollPixels(14));
    ASSERT_TRUE(injector->scrollPixels(-14));
    ASSERT_TRUE(injector->scrollPixels(-3));
    ASSERT_TRUE(waitFor(3));
    const std::vector<InputEvent> expected{ScrollEvent{1.0, false, false, {100, 120}},
                                           ScrollEvent{-1.0, false, false, {100, 120}},
                                           ScrollEvent{-1.0, false, false, {100, 120}}};
    EXPECT_EQ(received, expected);
    // Horizontal wheel buttons give nothing.
    injector->button(6, true);
    injector->button(6, false);
    tap({0});
    EXPECT_EQ(received.size(), 5u);
}

TEST_F(X11InputSourceTest, StartStopAndStartAgain)
{
    EXPECT_TRUE(monitor->isRunning());
    EXPECT_TRUE(monitor->start());  // already running
    monitor->stop();
    EXPECT_FALSE(monitor->isRunning());
    injector->key(0, true);
    injector->key(0, false);
    injector->flush();
    queue.runFor(0.2);
    EXPECT_TRUE(received.empty());
    ASSERT_TRUE(monitor->start());
    EXPECT_EQ(tap({49}), (std::vector<InputEvent>{key(49, true), key(49, false)}));
}

TEST_F(X11InputSourceTest, TheHandlerMayStopTheMonitor)
{
    monitor->handler = [this](const InputEvent& event) {
        received.push_back(event);
        monitor->stop();
    };
    injector->key(0, true);
    injector->key(0, false);
    injector->flush();
    queue.runFor(0.3);
    EXPECT_EQ(received.size(), 1u);
    EXPECT_FALSE(monitor->isRunning());
}

TEST_F(X11InputSourceTest, ReadingX11NeedsNoPermission)
{
    EXPECT_TRUE(monitor->hasPermission());
}

TEST_F(X11InputSourceTest, TheInjectorRefusesCodesNoKeyProduces)
{
    EXPECT_FALSE(injector->key(52, true));
    EXPECT_EQ(injector->lastError(), "no X11 key produces key code 52");
}

TEST(X11InputSource, StartFailsWithoutAnXServer)
{
    PollMainQueue queue;
    X11InputSource source(queue, ":4999");
    EventMonitor monitor(source);
    EXPECT_FALSE(monitor.start());
    EXPECT_FALSE(monitor.isRunning());
    EXPECT_EQ(monitor.lastError(), "could not connect to the X server \":4999\"");
    XTestInputInjector injector(":4999");
    EXPECT_FALSE(injector.isOpen());
    EXPECT_FALSE(injector.key(0, true));
}

TEST(InputPlatform, MakesTheSourceAndInjectorOfEachBackend)
{
    PollMainQueue queue;
    EXPECT_NE(dynamic_cast<X11InputSource*>(InputPlatform::makeSource(InputBackend::x11, queue).get()), nullptr);
    EXPECT_EQ(dynamic_cast<X11InputSource*>(InputPlatform::makeSource(InputBackend::libinput, queue).get()), nullptr);
    if (::access("/dev/uinput", W_OK) != 0)
    {
        std::string error;
        EXPECT_EQ(InputPlatform::makeInjector(InputBackend::libinput, error), nullptr);
        EXPECT_EQ(error.rfind("could not open /dev/uinput: ", 0), 0u) << error;
    }
}

TEST(X11InputSource, SurvivesTheXServerGoingAway)
{
    XvfbServer server;
    ASSERT_TRUE(server.start()) << server.error();
    const int display = server.displayNumber();
    PollMainQueue queue;
    X11InputSource source(queue, server.displayName());
    EventMonitor monitor(source);
    std::vector<InputEvent> received;
    std::vector<std::string> stops;
    monitor.handler = [&](const InputEvent& event) { received.push_back(event); };
    monitor.onStopped = [&](const std::string& reason) { stops.push_back(reason); };
    ASSERT_TRUE(monitor.start()) << monitor.lastError();

    server.stop();
    ASSERT_TRUE(queue.runUntil([&] { return !monitor.isRunning(); }, 5.0));
    EXPECT_EQ(stops, std::vector<std::string>{"the connection to the X server was lost"});
    EXPECT_FALSE(monitor.start());  // the watchdog's retry while the server is down

    // The server comes back on the same display: a later start succeeds and events flow again.
    ASSERT_TRUE(server.start(display)) << server.error();
    ASSERT_TRUE(monitor.start()) << monitor.lastError();
    XTestInputInjector injector(server.displayName());
    ASSERT_TRUE(injector.key(12, true));
    ASSERT_TRUE(injector.key(12, false));
    ASSERT_TRUE(injector.flush());
    ASSERT_TRUE(queue.runUntil([&] { return received.size() >= 2; }, 5.0));
    EXPECT_EQ(received, (std::vector<InputEvent>{key(12, true), key(12, false)}));
}

} // namespace
} // namespace clickory
