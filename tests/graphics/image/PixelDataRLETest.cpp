// Run-length pixel data: the checked factory admits only data that decodes to its size.
#include "graphics/image/PixelDataRLE.h"

#include <gtest/gtest.h>

using namespace Tarv;

TEST(PixelDataRLE, HoldsACopyOfTheEncodedData)
{
    std::uint8_t data[] = {10, 3, 0, 0, 2, 0};
    SmartPtr<PixelDataRLE> pixels = PixelDataRLE::Create(2, 1, 6, data);
    ASSERT_TRUE(pixels);
    data[0] = 0;
    EXPECT_EQ(pixels->GetPixelsConst()[0], 10);
    EXPECT_EQ(pixels->GetSize(), 6);
    EXPECT_EQ(pixels->GetFormat(), PIXEL_FORMAT_RLE);
    EXPECT_EQ(pixels->GetPitch(), 0);
    EXPECT_EQ(pixels->GetKind(), PIXEL_DATA_KIND_RLE);
    EXPECT_EQ(pixels->GetPixel(0, 0), (Color{0, 0, 0, 255}));
}

TEST(PixelDataRLE, CreateRefusesDataThatDoesNotMatchTheSize)
{
    const std::uint8_t data[] = {10, 3, 0, 0, 2, 0};
    EXPECT_FALSE(PixelDataRLE::Create(3, 1, 6, data));
    EXPECT_FALSE(PixelDataRLE::Create(2, 2, 6, data));
    EXPECT_FALSE(PixelDataRLE::Create(2, 1, 5, data));
    EXPECT_FALSE(PixelDataRLE::Create(2, 1, 0, data));
    EXPECT_FALSE(PixelDataRLE::Create(100000, 1, 6, data));
}
