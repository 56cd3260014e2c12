// The volume stage shifts toward minus infinity and never touches bytes beyond the valid ones.
#include "audio/EffectVolumeShift.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{

std::vector<std::int16_t> Shift(unsigned shift, std::vector<std::int16_t> samples, unsigned validBytes)
{
    Tarv::EffectVolumeShift effect({1, 22050}, shift);
    EXPECT_EQ(effect.Process(samples.data(), validBytes, validBytes), validBytes);
    return samples;
}

} // namespace

TEST(EffectVolumeShift, ShiftRoundsTowardMinusInfinity)
{
    EXPECT_EQ(Shift(1, {3, -3, -1}, 6), (std::vector<std::int16_t>{1, -2, -1}));
    EXPECT_EQ(Shift(2, {32767, -32768, 5, -5}, 8), (std::vector<std::int16_t>{8191, -8192, 1, -2}));
}

TEST(EffectVolumeShift, LargeShiftsLeaveOnlyTheSign)
{
    for (unsigned shift : {15u, 16u, 31u, 32u, 1000u})
        EXPECT_EQ(Shift(shift, {1, 32767, 0, -1, -32768}, 10), (std::vector<std::int16_t>{0, 0, 0, -1, -1}))
            << shift;
}

TEST(EffectVolumeShift, ZeroShiftAndShortInputChangeNothing)
{
    EXPECT_EQ(Shift(0, {3, -3}, 4), (std::vector<std::int16_t>{3, -3}));
    EXPECT_EQ(Shift(4, {100, 100}, 1), (std::vector<std::int16_t>{100, 100}));
    // An odd count shifts only the whole samples.
    EXPECT_EQ(Shift(1, {100, 100}, 3), (std::vector<std::int16_t>{50, 100}));
}
