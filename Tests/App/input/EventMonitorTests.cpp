// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/EventMonitor.h"

#include "Fakes/FakeInputSource.h"

#include <gtest/gtest.h>

#include <vector>

namespace clickory {
namespace {

struct EventMonitorTest : testing::Test
{
    FakeInputSource source;
    EventMonitor monitor{source};
    std::vector<InputEvent> received;

    void SetUp() override
    {
        monitor.handler = [this](const InputEvent& event) { received.push_back(event); };
    }
};

TEST_F(EventMonitorTest, HandsEveryEventToTheHandlerInOrder)
{
    ASSERT_TRUE(monitor.start());
    const std::vector<InputEvent> events{KeyEvent{0, true, false, 0}, ModifierEvent{56, true},
                                         MouseEvent{1, true, {3, 4}}, ScrollEvent{-1, false, false, {3, 4}}};
    for (const InputEvent& event : events)
    {
        source.emit(event);
    }
    EXPECT_EQ(received, events);
}

TEST_F(EventMonitorTest, StartingTwiceOpensTheSourceOnce)
{
    EXPECT_TRUE(monitor.start());
    EXPECT_TRUE(monitor.start());
    EXPECT_EQ(source.starts, 1);
    EXPECT_TRUE(monitor.isRunning());
}

TEST_F(EventMonitorTest, AFailedStartKeepsNoStateAndSaysWhy)
{
    source.opens = false;
    EXPECT_FALSE(monitor.start());
    EXPECT_FALSE(monitor.isRunning());
    EXPECT_EQ(monitor.lastError(), "no source");
    EXPECT_FALSE(source.emit(KeyEvent{}));
    source.opens = true;
    EXPECT_TRUE(monitor.start());
}

TEST_F(EventMonitorTest, StopEndsDeliveryAndStartResumesIt)
{
    ASSERT_TRUE(monitor.start());
    monitor.stop();
    EXPECT_FALSE(monitor.isRunning());
    EXPECT_FALSE(source.emit(KeyEvent{}));
    ASSERT_TRUE(monitor.start());
    EXPECT_TRUE(source.emit(KeyEvent{}));
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(EventMonitorTest, ALostSourceStopsTheMonitorAndALaterStartSucceeds)
{
    std::vector<std::string> reasons;
    monitor.onStopped = [&reasons](const std::string& reason) { reasons.push_back(reason); };
    ASSERT_TRUE(monitor.start());
    source.fail("the connection to the X server was lost");
    EXPECT_FALSE(monitor.isRunning());
    EXPECT_EQ(reasons, std::vector<std::string>{"the connection to the X server was lost"});
    EXPECT_EQ(monitor.lastError(), "the connection to the X server was lost");
    ASSERT_TRUE(monitor.start());
    EXPECT_EQ(monitor.lastError(), "");
    EXPECT_TRUE(source.emit(KeyEvent{}));
}

TEST_F(EventMonitorTest, EventsWithoutAHandlerAreDropped)
{
    monitor.handler = nullptr;
    ASSERT_TRUE(monitor.start());
    EXPECT_TRUE(source.emit(KeyEvent{}));
    EXPECT_TRUE(received.empty());
}

TEST_F(EventMonitorTest, PermissionIsTheSourcesAnswer)
{
    source.permission = false;
    EXPECT_FALSE(monitor.hasPermission());
    source.permission = true;
    EXPECT_TRUE(monitor.hasPermission());
}

} // namespace
} // namespace clickory
