// The pixel format table's guard and the size limits every reader checks before allocating.
#include "graphics/render/PixelData.h"

#include <gtest/gtest.h>

using namespace Tarv;

TEST(PixelFormatTable, OutOfRangeFormatGetsTheFirstRow)
{
    EXPECT_EQ(PixelData::GetFormatInfo(5), PixelData::GetFormatInfo(0));
    EXPECT_EQ(PixelData::GetFormatInfo(-1), PixelData::GetFormatInfo(0));
}

TEST(PixelDataSize, LimitsSidesAndBytes)
{
    EXPECT_TRUE(PixelData::IsSizeAllowed(1, 1));
    EXPECT_TRUE(PixelData::IsSizeAllowed(4096, 4096));
    EXPECT_TRUE(PixelData::IsSizeAllowed(MAX_IMAGE_SIDE, 16));
    EXPECT_FALSE(PixelData::IsSizeAllowed(0, 5));
    EXPECT_FALSE(PixelData::IsSizeAllowed(5, -1));
    EXPECT_FALSE(PixelData::IsSizeAllowed(MAX_IMAGE_SIDE + 1, 1));
    EXPECT_FALSE(PixelData::IsSizeAllowed(4097, 4096));
    EXPECT_FALSE(PixelData::IsSizeAllowed(100000, 100000));
    EXPECT_FALSE(PixelData::IsSizeAllowed(std::int64_t(1) << 40, 1));
}
