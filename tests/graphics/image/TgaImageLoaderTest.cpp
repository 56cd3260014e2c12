// TGA reading and writing: 16, 24 and 32 bits with every origin, the X1R5G5B5 conversion both
// ways, types the reader does not take, and short files.
#include "graphics/image/TgaImageLoader.h"

#include "ImageFixtures.h"
#include "graphics/image/MemPixelData.h"
#include "graphics/image/PixelDataRLE.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Tarv;
using ImageFixtures::Bytes;

namespace
{

constexpr int W = 5;
constexpr int H = 3;

// A TGA whose stored pixel (sx, sy) holds the bytes of the top-left-first pixel it stands for,
// so that every origin should load the same image.
Bytes MakeTga(int depth, std::uint8_t descriptor, const Bytes& topDownPixels, std::uint8_t idLength = 0,
              int colorMapEntries = 0)
{
    const int bpp = depth == 15 ? 2 : depth / 8;
    Bytes file(TGA_HEADER_SIZE, 0);
    file[0] = idLength;
    file[1] = colorMapEntries > 0 ? 1 : 0;
    file[2] = 2;
    file[5] = std::uint8_t(colorMapEntries);
    file[7] = colorMapEntries > 0 ? 24 : 0;
    file[12] = W;
    file[14] = H;
    file[16] = std::uint8_t(depth);
    file[17] = descriptor;
    file.insert(file.end(), idLength, 'i');
    file.insert(file.end(), std::size_t(colorMapEntries) * 3, 'm');
    for (int sy = 0; sy < H; ++sy) {
        for (int sx = 0; sx < W; ++sx) {
            const int x = (descriptor & 0x10) ? W - 1 - sx : sx;
            const int y = (descriptor & 0x20) ? sy : H - 1 - sy;
            const std::uint8_t* p = topDownPixels.data() + (y * W + x) * bpp;
            file.insert(file.end(), p, p + bpp);
        }
    }
    return file;
}

SmartPtr<PixelData> Load(const Bytes& file)
{
    TgaImageLoader loader;
    return loader.Decode(file.data(), file.size());
}

class TgaOrigins : public ::testing::TestWithParam<std::tuple<int, int>>
{
};

} // namespace

TEST_P(TgaOrigins, LoadTopRowFirstLeftToRight)
{
    const int depth = std::get<0>(GetParam());
    const std::uint8_t descriptor = std::uint8_t(std::get<1>(GetParam()));
    const int bpp = depth == 32 ? 4 : 3;
    const Bytes pixels = ImageFixtures::RandomBytes(std::size_t(W) * H * bpp, 42);
    SmartPtr<PixelData> image = Load(MakeTga(depth, descriptor, pixels, 3, 2));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetFormat(), depth == 32 ? PIXEL_FORMAT_RGBA8888 : PIXEL_FORMAT_RGB888);
    EXPECT_EQ(0, std::memcmp(image->GetPixelsConst(), pixels.data(), pixels.size()));
}

INSTANTIATE_TEST_SUITE_P(Depths, TgaOrigins,
                         ::testing::Combine(::testing::Values(24, 32),
                                            ::testing::Values(0x00, 0x10, 0x20, 0x30)));

TEST(TgaImageLoader, SixteenBitPixelsBecomeRgb565WithEveryOrigin)
{
    Bytes stored;
    for (int i = 0; i < W * H; ++i) {
        const unsigned v = i == 0 ? 0x7FFF : (0x8000 | unsigned(i * 1237)) & 0xFFFF;
        stored.push_back(std::uint8_t(v & 0xFF));
        stored.push_back(std::uint8_t(v >> 8));
    }
    for (int depth : {15, 16}) {
        for (int descriptor : {0x00, 0x10, 0x20, 0x30}) {
            SmartPtr<PixelData> image = Load(MakeTga(depth, std::uint8_t(descriptor), stored));
            ASSERT_TRUE(image);
            ASSERT_EQ(image->GetFormat(), PIXEL_FORMAT_RGB565);
            for (int i = 0; i < W * H; ++i) {
                const unsigned v = ReadLittle16(&stored[2 * i]);
                EXPECT_EQ(ReadLittle16(image->GetPixelsConst() + 2 * i),
                          (v & 0x1F) | ((v & 0x7FE0) << 1));
            }
            EXPECT_EQ(ReadLittle16(image->GetPixelsConst()), 0xFFDFu);
        }
    }
}

TEST(TgaImageLoader, SaveWritesTopFirstAndLoadsBack)
{
    for (PixelFormat format : {PIXEL_FORMAT_RGB888, PIXEL_FORMAT_RGBA8888}) {
        MemPixelData source(W, H, format);
        const Bytes pixels = ImageFixtures::RandomBytes(source.GetByteSize(), 9);
        std::memcpy(source.GetPixels(), pixels.data(), pixels.size());
        TgaImageLoader loader;
        Bytes file;
        ASSERT_TRUE(loader.Encode(source, file));
        EXPECT_EQ(file[17], 0x27);
        SmartPtr<PixelData> back = Load(file);
        ASSERT_TRUE(back);
        EXPECT_EQ(0, std::memcmp(back->GetPixelsConst(), pixels.data(), pixels.size()));
    }
}

TEST(TgaImageLoader, SaveWrites565AsFifteenBitWordsAndAlphaAsEightBits)
{
    MemPixelData source(1, 1, PIXEL_FORMAT_RGB565);
    source.GetPixels()[0] = 0xFF;
    source.GetPixels()[1] = 0xFF;
    TgaImageLoader loader;
    Bytes file;
    ASSERT_TRUE(loader.Encode(source, file));
    EXPECT_EQ(file[16], 15);
    EXPECT_EQ(ReadLittle16(&file[TGA_HEADER_SIZE]), 0x7FFFu);
    MemPixelData alpha(2, 1, PIXEL_FORMAT_A8);
    alpha.GetPixels()[0] = 7;
    alpha.GetPixels()[1] = 9;
    file.clear();
    ASSERT_TRUE(loader.Encode(alpha, file));
    EXPECT_EQ(Bytes(file.begin() + 12, file.end()), (Bytes{2, 0, 1, 0, 8, 0x27, 7, 9}));
}

// Run-length data has no pixels of a fixed size: the header alone would claim 0-bit pixels and
// the file would hold none of the image, so it is refused rather than reported as written.
TEST(TgaImageLoader, SaveRefusesWhatItCannotWriteWhole)
{
    const std::uint8_t run[] = {10, 3, 0, 0, 2, 0};
    PixelDataRLE rle(2, 1, int(sizeof run), run);
    TgaImageLoader loader;
    Bytes file;
    EXPECT_FALSE(loader.Encode(rle, file));
    EXPECT_FALSE(loader.Encode(MemPixelData(0, 0, PIXEL_FORMAT_RGB888), file));
    EXPECT_TRUE(file.empty());
}

TEST(TgaImageLoader, OtherTypesAndDepthsAreNotTaken)
{
    const Bytes pixels = ImageFixtures::RandomBytes(std::size_t(W) * H * 3, 1);
    for (std::uint8_t type : {1, 3, 9, 10, 11}) {
        Bytes file = MakeTga(24, 0x20, pixels);
        file[2] = type;
        EXPECT_FALSE(TgaImageLoader::Probe(file.data(), file.size())) << int(type);
        EXPECT_FALSE(Load(file));
    }
    // A depth it does not take, a zero width, a huge size.
    for (const auto& [at, value] : {std::pair<int, int>{16, 8}, {12, 0}, {13, 0xFF}}) {
        Bytes file = MakeTga(24, 0x20, pixels);
        file[at] = std::uint8_t(value);
        file[15] = at == 13 ? 0xFF : file[15];
        EXPECT_FALSE(Load(file)) << at;
    }
}

TEST(TgaImageLoader, EveryTruncationGivesNull)
{
    const Bytes file = MakeTga(32, 0x00, ImageFixtures::RandomBytes(std::size_t(W) * H * 4, 3), 4, 3);
    for (std::size_t cut = 0; cut < file.size(); ++cut)
        EXPECT_FALSE(Load(Bytes(file.begin(), file.begin() + cut))) << cut;
    EXPECT_TRUE(Load(file));
}
