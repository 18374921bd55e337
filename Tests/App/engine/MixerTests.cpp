// SPDX-License-Identifier: MIT
#include "ClickoryApp/engine/Mixer.h"
#include "ClickoryApp/engine/PlayerPool.h"
#include "ClickoryApp/engine/SpscQueue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

namespace clickory {
namespace {

PcmBufferPtr constant(float value, std::size_t frames)
{
    return PcmBuffer::make(std::vector<float>(frames, value));
}

std::vector<float> renderFrames(Mixer& mixer, std::size_t frames)
{
    std::vector<float> out(frames * 2, 123.0f); // garbage that render must overwrite
    mixer.render(out.data(), frames);
    return out;
}

TEST(SpscQueue, DeliversInOrderAndRefusesWhenFull)
{
    SpscQueue<int, 4> queue;
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(queue.push(i));
    EXPECT_FALSE(queue.push(99));
    int value = -1;
    for (int i = 0; i < 4; ++i)
    {
        ASSERT_TRUE(queue.pop(value));
        EXPECT_EQ(value, i);
    }
    EXPECT_FALSE(queue.pop(value));
    // The indices wrap around the slots.
    EXPECT_TRUE(queue.push(7));
    ASSERT_TRUE(queue.pop(value));
    EXPECT_EQ(value, 7);
}

TEST(SpscQueue, PassesEveryItemBetweenTwoThreadsOnce)
{
    SpscQueue<std::uint64_t, 64> queue;
    constexpr std::uint64_t count = 200000;
    std::thread producer([&] {
        for (std::uint64_t i = 1; i <= count; ++i)
            while (!queue.push(i))
                std::this_thread::yield();
    });
    std::uint64_t expected = 1;
    std::uint64_t value = 0;
    while (expected <= count)
    {
        if (queue.pop(value))
        {
            ASSERT_EQ(value, expected);
            ++expected;
        }
    }
    producer.join();
}

TEST(PlayerPool, PanLawIsConstantPowerWithCentreAtMinusThreeDecibels)
{
    const auto [l0, r0] = PlayerPool::panFactors(0.0f);
    EXPECT_NEAR(l0, 0.70710678f, 1e-6f);
    EXPECT_NEAR(r0, 0.70710678f, 1e-6f);
    const auto [lLeft, rLeft] = PlayerPool::panFactors(-1.0f);
    EXPECT_NEAR(lLeft, 1.0f, 1e-6f);
    EXPECT_NEAR(rLeft, 0.0f, 1e-6f);
    const auto [lRight, rRight] = PlayerPool::panFactors(1.0f);
    EXPECT_NEAR(lRight, 0.0f, 1e-6f);
    EXPECT_NEAR(rRight, 1.0f, 1e-6f);
    for (float pan = -1.0f; pan <= 1.0f; pan += 0.125f)
    {
        const auto [l, r] = PlayerPool::panFactors(pan);
        EXPECT_NEAR(l * l + r * r, 1.0f, 1e-5f) << pan;
    }
}

TEST(Mixer, AppliesGainPanAndMasterToAPlayedBuffer)
{
    Mixer mixer;
    PlayerPool pool(mixer);
    pool.build();
    mixer.setMaster(0.5f);
    ASSERT_EQ(pool.schedule(constant(0.8f, 64), 0.5f, -0.5f), 0);
    const std::vector<float> out = renderFrames(mixer, 32);
    const auto [l, r] = PlayerPool::panFactors(-0.5f);
    for (std::size_t k = 0; k < 32; ++k)
    {
        EXPECT_FLOAT_EQ(out[2 * k], 0.8f * (0.5f * l) * 0.5f);
        EXPECT_FLOAT_EQ(out[2 * k + 1], 0.8f * (0.5f * r) * 0.5f);
    }
    EXPECT_GT(out[0], out[1]); // panned left is louder on the left
}

TEST(Mixer, SumsPlayersAndFillsSilenceAfterTheBufferEnds)
{
    Mixer mixer;
    PlayerPool pool(mixer);
    pool.build();
    mixer.setMaster(1.0f);
    pool.schedule(constant(0.25f, 10), 1.0f, -1.0f);
    pool.schedule(constant(0.5f, 20), 1.0f, -1.0f);
    const std::vector<float> out = renderFrames(mixer, 16);
    EXPECT_NEAR(out[0], 0.75f, 1e-6f);
    EXPECT_NEAR(out[2 * 9], 0.75f, 1e-6f);
    EXPECT_NEAR(out[2 * 10], 0.5f, 1e-6f);
    EXPECT_NEAR(out[1], 0.0f, 1e-6f);
    // The second buffer continues across render calls, then silence.
    const std::vector<float> next = renderFrames(mixer, 8);
    EXPECT_NEAR(next[2 * 3], 0.5f, 1e-6f);
    EXPECT_EQ(next[2 * 4], 0.0f);
    EXPECT_EQ(mixer.activePlayers(), 0u);
}

TEST(Mixer, IsSilentOnlyWithNoCommandWaitingAndNoPlayerSounding)
{
    Mixer mixer;
    PlayerPool pool(mixer);
    pool.build();
    mixer.setMaster(1.0f);
    EXPECT_TRUE(mixer.isSilent());
    pool.schedule(constant(0.5f, 12), 1.0f, 0.0f);
    EXPECT_FALSE(mixer.isSilent()) << "a command waiting for the next render is work";
    renderFrames(mixer, 8);
    EXPECT_FALSE(mixer.isSilent()) << "four frames are still to come";
    const std::vector<float> tail = renderFrames(mixer, 8);
    EXPECT_GT(tail[2 * 3], 0.0f);
    EXPECT_EQ(tail[2 * 4], 0.0f);
    EXPECT_TRUE(mixer.isSilent());
    // Silent renders overwrite the whole block with zeros.
    const std::vector<float> quiet = renderFrames(mixer, 32);
    for (const float sample : quiet)
        ASSERT_EQ(sample, 0.0f);
    pool.clear();
    EXPECT_FALSE(mixer.isSilent()) << "a stop command still waits to be applied";
    renderFrames(mixer, 4);
    EXPECT_TRUE(mixer.isSilent());
}

TEST(Mixer, GainAndPanAreClampedAndNanIsSilentOrCentred)
{
    Mixer mixer;
    PlayerPool pool(mixer);
    pool.build();
    mixer.setMaster(1.0f);
    pool.schedule(constant(1.0f, 4), 3.0f, -7.0f);
    std::vector<float> out = renderFrames(mixer, 1);
    EXPECT_NEAR(out[0], 1.0f, 1e-6f);
    EXPECT_NEAR(out[1], 0.0f, 1e-6f);
    pool.schedule(constant(1.0f, 4), std::nanf(""), std::nanf(""));
    out = renderFrames(mixer, 1);
    EXPECT_NEAR(out[0], 1.0f, 1e-6f); // the first sound continues; the NaN one is silent
}

TEST(PlayerPool, NinthSoundReusesPlayerZeroAndCutsTheFirst)
{
    Mixer mixer;
    PlayerPool pool(mixer);
    pool.build();
    mixer.setMaster(1.0f);
    std::vector<std::int64_t> used;
    for (int i = 0; i < 8; ++i)
        used.push_back(*pool.schedule(constant(0.01f * static_cast<float>(i + 1), 1000), 1.0f, -1.0f));
    EXPECT_EQ(used, (std::vector<std::int64_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(pool.cursor(), 0);
    renderFrames(mixer, 10);
    EXPECT_EQ(mixer.activePlayers(), 8u);

    // The ninth sound replaces the first (0.01) on player 0.
    EXPECT_EQ(pool.schedule(constant(0.5f, 1000), 1.0f, -1.0f), 0);
    EXPECT_EQ(pool.cursor(), 1);
    const std::vector<float> out = renderFrames(mixer, 1);
    const float others = 0.02f + 0.03f + 0.04f + 0.05f + 0.06f + 0.07f + 0.08f;
    EXPECT_NEAR(out[0], 0.5f + others, 1e-5f);
}

TEST(PlayerPool, ReleasesAReplacedBufferOnlyAfterTheMixerAppliedTheReplacement)
{
    Mixer mixer;
    PlayerPool pool(mixer);
    pool.build();
    std::weak_ptr<const PcmBuffer> first;
    {
        PcmBufferPtr buffer = constant(0.1f, 100);
        first = buffer;
        pool.schedule(buffer, 1.0f, 0.0f);
    }
    renderFrames(mixer, 4);
    for (int i = 0; i < 8; ++i)
        pool.schedule(constant(0.2f, 100), 1.0f, 0.0f);
    // Player 0 got a new buffer, but the audio thread has not seen the command yet.
    pool.releaseFinished();
    EXPECT_FALSE(first.expired());
    renderFrames(mixer, 4);
    pool.releaseFinished();
    EXPECT_TRUE(first.expired());
    EXPECT_EQ(pool.heldBuffers(), 8u);
}

TEST(PlayerPool, AnEmptyPoolOrAFullQueuePlaysNothing)
{
    Mixer mixer;
    PlayerPool pool(mixer);
    EXPECT_FALSE(pool.schedule(constant(0.1f, 10), 1.0f, 0.0f));
    pool.build();
    EXPECT_FALSE(pool.schedule(nullptr, 1.0f, 0.0f));
    for (std::size_t i = 0; i < Mixer::commandCapacity; ++i)
        EXPECT_TRUE(pool.schedule(constant(0.1f, 10), 1.0f, 0.0f));
    EXPECT_FALSE(pool.schedule(constant(0.1f, 10), 1.0f, 0.0f));
    EXPECT_EQ(pool.dropped(), 1u);
    renderFrames(mixer, 1);
    EXPECT_TRUE(pool.schedule(constant(0.1f, 10), 1.0f, 0.0f));
}

TEST(PlayerPool, ClearSilencesEveryPlayer)
{
    Mixer mixer;
    PlayerPool pool(mixer);
    pool.build();
    mixer.setMaster(1.0f);
    pool.schedule(constant(0.3f, 1000), 1.0f, 0.0f);
    renderFrames(mixer, 2);
    pool.clear();
    EXPECT_TRUE(pool.empty());
    const std::vector<float> out = renderFrames(mixer, 2);
    EXPECT_EQ(out[0], 0.0f);
    pool.releaseFinished();
    EXPECT_EQ(pool.heldBuffers(), 0u);
}

} // namespace
} // namespace clickory
