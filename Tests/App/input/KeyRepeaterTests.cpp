// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/KeyRepeater.h"

#include "Fakes/FakeMainQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace clickory {
namespace {

constexpr int keyA = 30;
constexpr int keyB = 48;
constexpr int leftShift = 42;

struct KeyRepeaterTest : testing::Test
{
    FakeMainQueue queue;
    std::vector<std::pair<double, int>> repeats;
    KeyRepeater repeater{queue, [this](int code) { repeats.emplace_back(queue.now(), code); }};

    void SetUp() override
    {
        KeyRepeater::Settings settings;
        settings.delay = 0.5;
        settings.interval = 0.1;
        settings.repeating.reset(leftShift);
        repeater.configure(settings);
    }
};

TEST_F(KeyRepeaterTest, RepeatsAfterTheDelayAtTheInterval)
{
    repeater.pressed(keyA);
    queue.advance(0.49);
    EXPECT_TRUE(repeats.empty());
    queue.advance(0.51);  // held for 1.0 s: repeats at 0.5, 0.6, ..., 1.0
    ASSERT_EQ(repeats.size(), 6u);
    EXPECT_DOUBLE_EQ(repeats.front().first, 0.5);
    EXPECT_NEAR(repeats.back().first, 1.0, 1e-9);
    for (const auto& [time, code] : repeats)
    {
        EXPECT_EQ(code, keyA);
    }
}

TEST_F(KeyRepeaterTest, ReleaseStopsTheRepeat)
{
    repeater.pressed(keyA);
    queue.advance(0.65);
    repeater.released(keyA);
    queue.advance(2.0);
    EXPECT_EQ(repeats.size(), 2u);
    EXPECT_EQ(queue.pendingTimers(), 0u);
}

TEST_F(KeyRepeaterTest, TheLastRepeatingKeyPressedTakesOver)
{
    repeater.pressed(keyA);
    queue.advance(0.65);  // A repeats at 0.5 and 0.6
    repeater.pressed(keyB);
    queue.advance(0.55);  // B's first repeat after its own delay, at 1.15
    repeater.released(keyA);  // releasing A changes nothing now
    queue.advance(0.1);
    ASSERT_EQ(repeats.size(), 4u);
    EXPECT_EQ(repeats[1].second, keyA);
    EXPECT_EQ(repeats[2].second, keyB);
    EXPECT_NEAR(repeats[2].first, 1.15, 1e-9);
    EXPECT_EQ(repeats[3].second, keyB);
}

TEST_F(KeyRepeaterTest, AKeyThatDoesNotRepeatLeavesTheRepeatRunning)
{
    repeater.pressed(keyA);
    queue.advance(0.3);
    repeater.pressed(leftShift);
    queue.advance(0.3);
    EXPECT_EQ(repeats.size(), 2u);
    EXPECT_EQ(repeater.heldKey(), keyA);
}

TEST_F(KeyRepeaterTest, NothingRepeatsWhenTheServerRepeatIsOff)
{
    KeyRepeater::Settings off;
    off.enabled = false;
    repeater.configure(off);
    repeater.pressed(keyA);
    queue.advance(3.0);
    EXPECT_TRUE(repeats.empty());
}

TEST_F(KeyRepeaterTest, CancelAndDestructionLeaveNoTimers)
{
    repeater.pressed(keyA);
    queue.advance(0.7);
    repeater.cancel();
    EXPECT_EQ(queue.pendingTimers(), 0u);
    {
        KeyRepeater other(queue, [](int) {});
        other.pressed(keyA);
        EXPECT_EQ(queue.pendingTimers(), 1u);
    }
    EXPECT_EQ(queue.pendingTimers(), 0u);
}

} // namespace
} // namespace clickory
