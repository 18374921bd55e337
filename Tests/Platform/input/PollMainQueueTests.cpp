// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/linux/PollMainQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <unistd.h>

namespace clickory {
namespace {

TEST(PollMainQueue, RunsDelayedTasksInDueOrder)
{
    PollMainQueue queue;
    std::string order;
    queue.postAfter(0.03, [&] { order += 'c'; });
    queue.postAfter(0.01, [&] { order += 'a'; });
    queue.postAfter(0.02, [&] { order += 'b'; });
    const MainQueue::Token cancelled = queue.postAfter(0.015, [&] { order += 'x'; });
    queue.cancel(cancelled);
    queue.post([&] { order += '0'; });
    EXPECT_TRUE(queue.runUntil([&] { return order.size() == 4; }, 2.0));
    EXPECT_EQ(order, "0abc");
}

TEST(PollMainQueue, RepeatsTimersUntilCancelled)
{
    PollMainQueue queue;
    int ticks = 0;
    MainQueue::Token timer = 0;
    timer = queue.startTimer(0.005, [&] {
        if (++ticks == 3)
        {
            queue.cancel(timer);  // from inside its own callback
        }
    });
    queue.runFor(0.1);
    EXPECT_EQ(ticks, 3);
}

TEST(PollMainQueue, WatchesReadableDescriptors)
{
    PollMainQueue queue;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::string got;
    const MainQueue::Token watch = queue.watchReadable(fds[0], [&] {
        char c = 0;
        if (::read(fds[0], &c, 1) == 1)
        {
            got += c;
        }
    });
    ASSERT_EQ(::write(fds[1], "hi", 2), 2);
    EXPECT_TRUE(queue.runUntil([&] { return got == "hi"; }, 2.0));
    queue.cancel(watch);
    ASSERT_EQ(::write(fds[1], "!", 1), 1);
    queue.runFor(0.05);
    EXPECT_EQ(got, "hi");
    ::close(fds[0]);
    ::close(fds[1]);
}

TEST(PollMainQueue, PostFromAnotherThreadWakesTheLoop)
{
    PollMainQueue queue;
    EXPECT_EQ(queue.lastError(), "");
    std::thread other([&] { queue.post([&] { queue.quit(); }); });
    const double start = queue.now();
    queue.run();  // would wait forever without the wake-up
    other.join();
    EXPECT_LT(queue.now() - start, 5.0);
}

} // namespace
} // namespace clickory
