// RNG: the reference MT19937 sequence, reseeding in mid-sequence, and the range of GetFloat.
#include "engine/core/RNG.h"

#include "engine/core/SmartPtr.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace
{

// The first output of this seed is 4294967279, within 2^8 of the top of the range.
constexpr std::uint32_t SEED_WITH_TOP_FIRST_OUTPUT = 14784396u;

} // namespace

TEST(RNG, Seed5489GivesTheReferenceSequence)
{
    Tarv::RNG rng(5489u);
    EXPECT_EQ(rng.GetU32(), 3499211612u);
    for (int i = 2; i < 10000; ++i)
        rng.GetU32();
    EXPECT_EQ(rng.GetU32(), 4123659995u);
}

TEST(RNG, MatchesTheStandardMersenneTwisterAcrossSeveralRegenerations)
{
    for (std::uint32_t seed : {0u, 1u, 42u, 0xFFFFFFFFu}) {
        Tarv::RNG rng(seed);
        std::mt19937 reference(seed);
        for (int i = 0; i < 3 * 624 + 5; ++i)
            ASSERT_EQ(rng.GetU32(), reference()) << "seed " << seed << " output " << i;
    }
}

TEST(RNG, ReseedInMidSequenceStartsTheSequenceOver)
{
    Tarv::RNG rng(5489u);
    for (int i = 0; i < 100; ++i)
        rng.GetU32();
    rng.Seed(5489u);
    EXPECT_EQ(rng.GetU32(), 3499211612u);

    Tarv::RNG other(123u);
    for (int i = 0; i < 700; ++i)
        other.GetU32();
    other.Seed(99u);
    Tarv::RNG fresh(99u);
    for (int i = 0; i < 1300; ++i)
        ASSERT_EQ(other.GetU32(), fresh.GetU32()) << "output " << i;
}

TEST(RNG, GetFloatUsesTheTopTwentyFourBits)
{
    Tarv::RNG floats(2024u);
    Tarv::RNG words(2024u);
    for (int i = 0; i < 2000; ++i) {
        const double expected = static_cast<double>(words.GetU32() >> 8) / 16777216.0;
        ASSERT_EQ(floats.GetFloat(), expected);
    }
}

TEST(RNG, GetFloatStaysBelowOneAtTheTopOfTheRange)
{
    Tarv::RNG words(SEED_WITH_TOP_FIRST_OUTPUT);
    ASSERT_GE(words.GetU32(), 4294967168u);

    Tarv::RNG rng(SEED_WITH_TOP_FIRST_OUTPUT);
    const double top = rng.GetFloat();
    EXPECT_LT(top, 1.0);
    EXPECT_EQ(top, 1.0 - 1.0 / 16777216.0);
    EXPECT_LT(static_cast<int>(top * 10), 10);
}

