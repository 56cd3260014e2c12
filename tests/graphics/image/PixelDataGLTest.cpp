// Texture staging: power-of-two sizes, the format mapping, red/blue order, 565 widening,
// run-length decoding and edge padding.
#include "graphics/image/PixelDataGL.h"

#include "graphics/image/MemPixelData.h"
#include "graphics/image/PixelDataRLE.h"

#include <gtest/gtest.h>
#include <GLES2/gl2.h>

#include <cstring>

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

TEST(PixelDataGLSize, PowersOfTwo)
{
    EXPECT_EQ(PixelDataGL::TextureSize(100), 128);
    EXPECT_EQ(PixelDataGL::TextureSize(60), 64);
    EXPECT_EQ(PixelDataGL::TextureSize(64), 64);
    EXPECT_EQ(PixelDataGL::TextureSize(1), 1);
    EXPECT_EQ(PixelDataGL::TextureSize(0), 1);
    EXPECT_EQ(PixelDataGL::TextureSize(-5), 1);

    PixelDataGL data(Filled(100, 60, PIXEL_FORMAT_RGB888).Get());
    EXPECT_FLOAT_EQ(data.GetUScale(), 1.0f / 128);
    EXPECT_FLOAT_EQ(data.GetVScale(), 1.0f / 64);
    EXPECT_EQ(data.GetUploadInfo()->textureWidth, 128);
    EXPECT_EQ(data.GetUploadInfo()->textureHeight, 64);
}

TEST(PixelDataGLFormat, FollowsTheSourceFormat)
{
    const struct
    {
        PixelFormat source;
        PixelFormat own;
        std::uint32_t gl;
    } cases[] = {{PIXEL_FORMAT_A8, PIXEL_FORMAT_A8, GL_ALPHA},
                 {PIXEL_FORMAT_RGB565, PIXEL_FORMAT_RGB888, GL_RGB},
                 {PIXEL_FORMAT_RGB888, PIXEL_FORMAT_RGB888, GL_RGB},
                 {PIXEL_FORMAT_RGBA8888, PIXEL_FORMAT_RGBA8888, GL_RGBA}};
    for (const auto& c : cases) {
        PixelDataGL data(Filled(3, 3, c.source).Get());
        EXPECT_EQ(data.GetFormat(), c.own);
        EXPECT_EQ(data.GetUploadInfo()->internalFormat, c.gl);
        EXPECT_EQ(data.GetUploadInfo()->pixelFormat, c.gl);
        EXPECT_EQ(data.GetKind(), PIXEL_DATA_KIND_GL);
    }
}

TEST(PixelDataGLFormat, EmptyTargetsMapOddFormatsToRgb)
{
    EXPECT_EQ(PixelDataGL(8, 8, PIXEL_FORMAT_A8).GetFormat(), PIXEL_FORMAT_A8);
    EXPECT_EQ(PixelDataGL(8, 8, PIXEL_FORMAT_RGBA8888).GetFormat(), PIXEL_FORMAT_RGBA8888);
    EXPECT_EQ(PixelDataGL(8, 8, PIXEL_FORMAT_RGB565).GetFormat(), PIXEL_FORMAT_RGB888);
    PixelDataGL target(8, 8, PIXEL_FORMAT_RLE);
    EXPECT_EQ(target.GetFormat(), PIXEL_FORMAT_RGB888);
    EXPECT_EQ(target.GetUploadInfo()->internalFormat, std::uint32_t(GL_RGB));
    EXPECT_EQ(target.GetUploadInfo()->stagedPixels, nullptr);
}

TEST(PixelDataGLStaging, SwapsRedAndBlueAndPadsTheRow)
{
    SmartPtr<MemPixelData> source = Filled(3, 1, PIXEL_FORMAT_RGB888); // bgr 1,2,3 4,5,6 7,8,9
    auto staged = PixelDataGL::StagePixels(source.Get(), 4, 1);
    const std::uint8_t expected[12] = {3, 2, 1, 6, 5, 4, 9, 8, 7, 9, 8, 7};
    EXPECT_EQ(0, std::memcmp(staged.get(), expected, 12));
}

TEST(PixelDataGLStaging, RepeatsTheLastRowDownwards)
{
    SmartPtr<MemPixelData> source = Filled(3, 3, PIXEL_FORMAT_RGBA8888);
    auto staged = PixelDataGL::StagePixels(source.Get(), 4, 4);
    EXPECT_EQ(0, std::memcmp(staged.get() + 3 * 16, staged.get() + 2 * 16, 16));
    const std::uint8_t rgba[4] = {35, 34, 33, 36};
    EXPECT_EQ(0, std::memcmp(staged.get() + 2 * 16 + 8, rgba, 4));
    EXPECT_EQ(0, std::memcmp(staged.get() + 2 * 16 + 12, rgba, 4));
}

TEST(PixelDataGLStaging, AlphaRowsCopyAndPad)
{
    SmartPtr<MemPixelData> source = Filled(2, 1, PIXEL_FORMAT_A8);
    auto staged = PixelDataGL::StagePixels(source.Get(), 4, 2);
    const std::uint8_t expected[8] = {1, 2, 2, 2, 1, 2, 2, 2};
    EXPECT_EQ(0, std::memcmp(staged.get(), expected, 8));
}

TEST(PixelDataGLStaging, Rgb565WidensByBitReplication)
{
    SmartPtr<MemPixelData> source(new MemPixelData(2, 1, PIXEL_FORMAT_RGB565));
    const std::uint8_t words[4] = {0xFF, 0xFF, 0x10, 0x84}; // 0xFFFF, 0x8410
    std::memcpy(source->GetPixels(), words, 4);
    auto staged = PixelDataGL::StagePixels(source.Get(), 2, 1);
    const std::uint8_t expected[6] = {255, 255, 255, 132, 130, 132};
    EXPECT_EQ(0, std::memcmp(staged.get(), expected, 6));
}

TEST(PixelDataGLStaging, RunLengthBecomesRgbaWithTransparentZeros)
{
    const std::uint8_t data[] = {10, 8, 0, 4, 1, 0, 0x00, 0xF8, 0, 1, 0};
    SmartPtr<PixelDataRLE> source = PixelDataRLE::Create(2, 1, int(sizeof(data)), data);
    ASSERT_TRUE(source);
    PixelDataGL texture(source.Get());
    EXPECT_EQ(texture.GetFormat(), PIXEL_FORMAT_RGBA8888);
    const std::uint8_t* staged = texture.GetUploadInfo()->stagedPixels.get();
    ASSERT_NE(staged, nullptr);
    const std::uint8_t expected[8] = {255, 0, 0, 255, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(staged, expected, 8));
}

TEST(PixelDataGLStaging, RefusesSourcesItCannotStage)
{
    EXPECT_EQ(PixelDataGL::StagePixels(nullptr, 4, 4), nullptr);
    MemPixelData empty(0, 0, PIXEL_FORMAT_RGB888);
    EXPECT_EQ(PixelDataGL::StagePixels(&empty, 4, 4), nullptr);
    SmartPtr<MemPixelData> source = Filled(4, 4, PIXEL_FORMAT_RGB888);
    EXPECT_EQ(PixelDataGL::StagePixels(source.Get(), 2, 4), nullptr);
}
