// The pixel format table and the size limits every reader checks before allocating.
#include "graphics/image/PixelData.h"

#include <gtest/gtest.h>

using namespace Tarv;

TEST(PixelFormatTable, RowsMatchTheFormats)
{
    const int expected[5][6] = {
        {1, 8, 0, 0, 0, 8}, {2, 16, 5, 6, 5, 0}, {3, 24, 8, 8, 8, 0}, {4, 32, 8, 8, 8, 8}, {0, 32, 5, 6, 5, 5}};
    for (int f = 0; f < 5; ++f) {
        const PixelFormatInfo* info = PixelData::GetFormatInfo(f);
        EXPECT_EQ(info->bytesPerPixel, expected[f][0]);
        EXPECT_EQ(info->bitsPerPixel, expected[f][1]);
        EXPECT_EQ(info->redBits, expected[f][2]);
        EXPECT_EQ(info->greenBits, expected[f][3]);
        EXPECT_EQ(info->blueBits, expected[f][4]);
        EXPECT_EQ(info->alphaBits, expected[f][5]);
    }
}

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
