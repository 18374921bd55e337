// SPDX-License-Identifier: MIT
#include "ClickoryCore/synth/SplitMix64.h"
#include "ClickoryCore/synth/Variation.h"

#include <gtest/gtest.h>

#include <cstdint>

using clickory::SplitMix64;
using clickory::Variation;

namespace {

constexpr std::uint64_t golden = 0x9E3779B97F4A7C15ull;
constexpr std::uint64_t mul1 = 0xBF58476D1CE4E5B9ull;
constexpr std::uint64_t mul2 = 0x94D049BB133111EBull;

// The published SplitMix64 finaliser, and its inverse, so that a test can choose the next output.
std::uint64_t mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * mul1;
    z = (z ^ (z >> 27)) * mul2;
    return z ^ (z >> 31);
}

std::uint64_t inverseOf(std::uint64_t odd)
{
    std::uint64_t x = odd; // correct to 3 bits; each Newton step doubles that
    for (int step = 0; step < 6; ++step)
    {
        x *= 2 - odd * x;
    }
    return x;
}

std::uint64_t unshiftXor(std::uint64_t z, int shift)
{
    std::uint64_t x = z;
    for (int step = 0; step < 64 / shift + 1; ++step)
    {
        x = z ^ (x >> shift);
    }
    return x;
}

std::uint64_t unmix(std::uint64_t z)
{
    z = unshiftXor(z, 31) * inverseOf(mul2);
    z = unshiftXor(z, 27) * inverseOf(mul1);
    return unshiftXor(z, 30);
}

// A generator whose next output is exactly `output`.
SplitMix64 generatorYielding(std::uint64_t output)
{
    SplitMix64 rng(0);
    rng.state = unmix(output) - golden;
    return rng;
}

} // namespace

TEST(SplitMix64, SeedZeroStartsOneIncrementInAndYieldsTheMixOfTwoIncrements)
{
    SplitMix64 rng(0);
    EXPECT_EQ(rng.state, 0x9E3779B97F4A7C15ull);
    // The reference generator started at state 0 yields 0xE220A8397B1DCDAF, 0x6E789E6AA1B965F4, ...;
    // this one is one increment further along.
    const std::uint64_t first = rng.next();
    EXPECT_EQ(first, mix(0x3C6EF372FE94F82Aull));
    EXPECT_EQ(first, 0x6E789E6AA1B965F4ull);
    EXPECT_EQ(rng.state, 0x3C6EF372FE94F82Aull);
    EXPECT_EQ(rng.next(), mix(0x3C6EF372FE94F82Aull + golden));
}

TEST(SplitMix64, StateArithmeticWraps)
{
    SplitMix64 rng(~0ull);
    EXPECT_EQ(rng.state, golden - 1);
    EXPECT_EQ(rng.next(), mix(2 * golden - 1));
}

TEST(SplitMix64, EveryDrawAdvancesByExactlyOneStep)
{
    SplitMix64 a(42);
    SplitMix64 b(42);
    a.next();
    b.unit();
    EXPECT_EQ(a, b);
    a.next();
    b.signedUnit();
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.state, 42 + 3 * golden);
}

TEST(SplitMix64, UnitUsesTheTop24BitsAndStaysBelowOne)
{
    auto allOnes = generatorYielding(~0ull);
    EXPECT_EQ(allOnes.unit(), 1.0f - 0x1p-24f);
    auto allOnesSigned = generatorYielding(~0ull);
    EXPECT_EQ(allOnesSigned.signedUnit(), 1.0f - 0x1p-23f);

    // Only the top 24 bits count: the low 40 bits are dropped, not rounded.
    auto topBitOnly = generatorYielding(0x8000'00FF'FFFF'FFFFull);
    EXPECT_EQ(topBitOnly.unit(), 0.5f);

    SplitMix64 rng(7);
    for (int i = 0; i < 100000; ++i)
    {
        const float u = rng.unit();
        ASSERT_GE(u, 0.0f);
        ASSERT_LT(u, 1.0f);
    }
}

TEST(SplitMix64, SignedUnitReachesExactlyMinusOne)
{
    auto rng = generatorYielding(0x0000'00AB'CDEF'0123ull);
    EXPECT_EQ(rng.signedUnit(), -1.0f);

    auto zero = generatorYielding(0x0000'00AB'CDEF'0123ull);
    EXPECT_EQ(zero.unit(), 0.0f);
}

TEST(Variation, SemitonesGiveOctavePitchFactorsAndKeepTheSeed)
{
    EXPECT_EQ(Variation::semitones(12, 5), (Variation{2.0f, 5}));
    EXPECT_EQ(Variation::semitones(0, 6), (Variation{1.0f, 6}));
    EXPECT_EQ(Variation::semitones(-12, 7), (Variation{0.5f, 7}));
    // Computed in double, stored as float.
    EXPECT_EQ(Variation::semitones(1, 0).pitch, 1.0594631f);
    EXPECT_EQ(Variation::semitones(-0.3, 0).pitch, static_cast<float>(0.98282059705803316));

    Variation v;
    v.setPitch(1.5f);
    v.setSeed(99);
    EXPECT_EQ(v, (Variation{1.5f, 99}));
}
