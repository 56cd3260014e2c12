// "C565" reading: raw RGB565 words top row first; short files and huge headers give null.
#include "graphics/image/ImageLoader565.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Tarv;
using Bytes = std::vector<std::uint8_t>;

namespace
{

Bytes MakeC565(std::uint32_t width, std::uint32_t height, const Bytes& pixels)
{
    Bytes file{'C', '5', '6', '5'};
    for (std::uint32_t v : {width, height})
        for (int i = 0; i < 4; ++i)
            file.push_back(std::uint8_t(v >> (8 * i)));
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

SmartPtr<PixelData> Load(const Bytes& file)
{
    ImageLoader565 loader;
    return loader.Decode(file.data(), file.size());
}

} // namespace

TEST(ImageLoader565, LoadsWordsAsFormatOne)
{
    const Bytes pixels = {0xFF, 0xFF, 0x00, 0xF8, 0x1F, 0x00, 0xE0, 0x07, 0, 0, 1, 2};
    SmartPtr<PixelData> image = Load(MakeC565(3, 2, pixels));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetFormat(), PIXEL_FORMAT_RGB565);
    EXPECT_EQ(image->GetPitch(), 6);
    EXPECT_EQ(0, std::memcmp(image->GetPixelsConst(), pixels.data(), pixels.size()));
    EXPECT_EQ(image->GetPixel(1, 0), (Color{248, 0, 0, 255}));
    EXPECT_EQ(image->GetPixel(0, 1), (Color{0, 252, 0, 255}));
}

TEST(ImageLoader565, TruncationsAndZeroOrHugeSizesGiveNull)
{
    const Bytes file = MakeC565(2, 2, Bytes(8, 0x55));
    for (std::size_t cut = 0; cut < file.size(); ++cut)
        EXPECT_FALSE(Load(Bytes(file.begin(), file.begin() + cut))) << cut;
    EXPECT_TRUE(Load(file));
    for (const auto& [width, height] : {std::pair<std::uint32_t, std::uint32_t>{0, 2}, {100000, 100000}, {0x80000000u, 2}})
        EXPECT_FALSE(Load(MakeC565(width, height, Bytes(8, 0)))) << width << "x" << height;
}
