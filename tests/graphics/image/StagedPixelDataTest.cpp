// Texture staging: power-of-two sizes, the format mapping, red/blue order, 565 widening,
// run-length decoding and edge padding.
#include "graphics/image/StagedPixelData.h"

#include "graphics/image/MemPixelData.h"
#include "graphics/image/PixelDataRLE.h"

#include <gtest/gtest.h>
#include <GLES2/gl2.h>

#include <cstring>
#include <vector>

using namespace Tarv;

namespace
{

SmartPtr<MemPixelData> Filled(int width, int height, PixelFormat format)
{
    SmartPtr<MemPixelData> image(new MemPixelData(width, height, format));
    for (std::size_t i = 0; i < image->GetByteSize(); ++i)
        image->GetPixels()[i] = std::uint8_t(i + 1);
    return image;
}

} // namespace

TEST(StagedPixelDataSize, PowersOfTwo)
{
    const int sizes[][2] = {{100, 128}, {60, 64}, {64, 64}, {1, 1}, {0, 1}, {-5, 1}};
    for (const auto& [side, texture] : sizes)
        EXPECT_EQ(StagedPixelData::TextureSize(side), texture) << side;
    StagedPixelData data(Filled(100, 60, PIXEL_FORMAT_RGB888).Get());
    EXPECT_FLOAT_EQ(data.GetUScale(), 1.0f / 128);
    EXPECT_FLOAT_EQ(data.GetVScale(), 1.0f / 64);
}

TEST(StagedPixelDataFormat, EmptyTargetsMapOddFormatsToRgb)
{
    EXPECT_EQ(StagedPixelData(8, 8, PIXEL_FORMAT_RGB565).GetFormat(), PIXEL_FORMAT_RGB888);
    StagedPixelData target(8, 8, PIXEL_FORMAT_RLE);
    EXPECT_EQ(target.GetFormat(), PIXEL_FORMAT_RGB888);
    EXPECT_EQ(target.GetUploadInfo()->internalFormat, std::uint32_t(GL_RGB));
    EXPECT_EQ(target.GetUploadInfo()->stagedPixels, nullptr);
}

// Sources filled with 1, 2, 3, ... are staged in GL's order (red first), each row padded with its
// last pixel and the last row repeated downwards; 565 widens by bit replication.
TEST(StagedPixelDataStaging, SwapsRedAndBluePadsAndWidens)
{
    SmartPtr<MemPixelData> rgb565(new MemPixelData(2, 1, PIXEL_FORMAT_RGB565));
    const std::uint8_t words[4] = {0xFF, 0xFF, 0x10, 0x84}; // 0xFFFF, 0x8410
    std::memcpy(rgb565->GetPixels(), words, 4);
    const struct {
        SmartPtr<MemPixelData> source;
        int width, height;
        std::vector<std::uint8_t> staged; // the first bytes
    } cases[] = {
        {Filled(3, 1, PIXEL_FORMAT_RGB888), 4, 1, {3, 2, 1, 6, 5, 4, 9, 8, 7, 9, 8, 7}},
        {Filled(2, 1, PIXEL_FORMAT_A8), 4, 2, {1, 2, 2, 2, 1, 2, 2, 2}},
        {rgb565, 2, 1, {255, 255, 255, 132, 130, 132}},
    };
    for (const auto& c : cases) {
        auto staged = StagedPixelData::StagePixels(c.source.Get(), c.width, c.height);
        ASSERT_NE(staged, nullptr);
        EXPECT_EQ(std::vector<std::uint8_t>(staged.get(), staged.get() + c.staged.size()), c.staged);
    }
    auto rgba = StagedPixelData::StagePixels(Filled(3, 3, PIXEL_FORMAT_RGBA8888).Get(), 4, 4);
    const std::uint8_t last[4] = {35, 34, 33, 36};
    EXPECT_EQ(0, std::memcmp(rgba.get() + 3 * 16, rgba.get() + 2 * 16, 16));
    EXPECT_EQ(0, std::memcmp(rgba.get() + 2 * 16 + 8, last, 4));
    EXPECT_EQ(0, std::memcmp(rgba.get() + 2 * 16 + 12, last, 4));
}

TEST(StagedPixelDataStaging, RunLengthBecomesRgbaWithTransparentZeros)
{
    const std::uint8_t data[] = {10, 8, 0, 4, 1, 0, 0x00, 0xF8, 0, 1, 0};
    SmartPtr<PixelDataRLE> source = PixelDataRLE::Create(2, 1, int(sizeof(data)), data);
    ASSERT_TRUE(source);
    StagedPixelData texture(source.Get());
    EXPECT_EQ(texture.GetFormat(), PIXEL_FORMAT_RGBA8888);
    const std::uint8_t* staged = texture.GetUploadInfo()->stagedPixels.get();
    ASSERT_NE(staged, nullptr);
    const std::uint8_t expected[8] = {255, 0, 0, 255, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(staged, expected, 8));
}

TEST(StagedPixelDataStaging, RefusesSourcesItCannotStage)
{
    EXPECT_EQ(StagedPixelData::StagePixels(nullptr, 4, 4), nullptr);
    MemPixelData empty(0, 0, PIXEL_FORMAT_RGB888);
    EXPECT_EQ(StagedPixelData::StagePixels(&empty, 4, 4), nullptr);
    SmartPtr<MemPixelData> source = Filled(4, 4, PIXEL_FORMAT_RGB888);
    EXPECT_EQ(StagedPixelData::StagePixels(source.Get(), 2, 4), nullptr);
}
