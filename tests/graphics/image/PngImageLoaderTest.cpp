// PNG reading: every colour type at 8 and 16 bits, interlaced or not, with and without a
// transparency chunk, against the pixels the fixture was written from; damaged files give null.
#include "graphics/image/PngImageLoader.h"

#include "ImageFixtures.h"
#include "graphics/image/MemPixelData.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <random>

using namespace Tarv;
using ImageFixtures::Bytes;
using ImageFixtures::PngImage;

namespace
{

constexpr int W = 13;
constexpr int H = 7;

PngImage MakeImage(int colorType, int bitDepth, bool interlaced, std::uint32_t seed)
{
    PngImage image;
    image.width = W;
    image.height = H;
    image.colorType = colorType;
    image.bitDepth = bitDepth;
    image.interlaced = interlaced;
    const int channels = colorType == PNG_COLOR_TYPE_RGB ? 3
        : colorType == PNG_COLOR_TYPE_GRAY_ALPHA        ? 2
        : colorType == PNG_COLOR_TYPE_RGB_ALPHA         ? 4
                                                        : 1;
    const unsigned limit = colorType == PNG_COLOR_TYPE_PALETTE ? 4u : (1u << bitDepth);
    std::mt19937 random(seed);
    for (int i = 0; i < W * H * channels; ++i)
        image.samples.push_back(unsigned(random() % limit));
    return image;
}

// The top 8 bits of a sample (16-bit samples are stripped, smaller grey levels scaled).
std::uint8_t Eight(const PngImage& image, unsigned sample)
{
    if (image.bitDepth == 16)
        return std::uint8_t(sample >> 8);
    if (image.bitDepth < 8)
        return std::uint8_t(sample * 255 / ((1u << image.bitDepth) - 1));
    return std::uint8_t(sample);
}

// The pixel of the fixture as red, green, blue, alpha.
Color Expected(const PngImage& image, int x, int y)
{
    const int i = y * W + x;
    const auto& s = image.samples;
    switch (image.colorType) {
    case PNG_COLOR_TYPE_GRAY: {
        const std::uint8_t g = Eight(image, s[i]);
        const bool clear = image.hasTransparentColor && s[i] == image.transparentGrey;
        return Color{g, g, g, std::uint8_t(clear ? 0 : 255)};
    }
    case PNG_COLOR_TYPE_RGB: {
        const bool clear = image.hasTransparentColor && s[3 * i] == image.transparentRed
            && s[3 * i + 1] == image.transparentGreen && s[3 * i + 2] == image.transparentBlue;
        return Color{Eight(image, s[3 * i]), Eight(image, s[3 * i + 1]), Eight(image, s[3 * i + 2]),
                     std::uint8_t(clear ? 0 : 255)};
    }
    case PNG_COLOR_TYPE_PALETTE: {
        const unsigned k = s[i];
        const std::uint8_t a = k < image.paletteAlpha.size() ? image.paletteAlpha[k] : 255;
        return Color{image.palette[3 * k], image.palette[3 * k + 1], image.palette[3 * k + 2], a};
    }
    case PNG_COLOR_TYPE_GRAY_ALPHA: {
        const std::uint8_t g = Eight(image, s[2 * i]);
        return Color{g, g, g, Eight(image, s[2 * i + 1])};
    }
    default:
        return Color{Eight(image, s[4 * i]), Eight(image, s[4 * i + 1]), Eight(image, s[4 * i + 2]),
                     Eight(image, s[4 * i + 3])};
    }
}

SmartPtr<PixelData> Load(const Bytes& file)
{
    PngImageLoader loader;
    return loader.Decode(file.data(), file.size());
}

void ExpectPixels(const PngImage& image, const PixelData& pixels, PixelFormat format)
{
    ASSERT_EQ(pixels.GetFormat(), format);
    ASSERT_EQ(pixels.GetWidth(), W);
    ASSERT_EQ(pixels.GetHeight(), H);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const Color want = Expected(image, x, y);
            const std::uint8_t* p = pixels.GetPixelsConst() + y * pixels.GetPitch()
                + x * PixelData::GetFormatInfo(format)->bytesPerPixel;
            if (format == PIXEL_FORMAT_A8) {
                ASSERT_EQ(p[0], want.r) << x << "," << y;
                continue;
            }
            ASSERT_EQ(p[0], want.b) << x << "," << y;
            ASSERT_EQ(p[1], want.g) << x << "," << y;
            ASSERT_EQ(p[2], want.r) << x << "," << y;
            if (format == PIXEL_FORMAT_RGBA8888) {
                ASSERT_EQ(p[3], want.a) << x << "," << y;
            }
        }
    }
}

struct PngCase
{
    int colorType;
    int bitDepth;
    bool transparency;
    PixelFormat format;
};

// A readable, stable test name: "Palette8Trns", "Rgb16".
std::string CaseName(const PngCase& c)
{
    const char* type = c.colorType == PNG_COLOR_TYPE_GRAY ? "Grey"
        : c.colorType == PNG_COLOR_TYPE_RGB               ? "Rgb"
        : c.colorType == PNG_COLOR_TYPE_PALETTE           ? "Palette"
        : c.colorType == PNG_COLOR_TYPE_GRAY_ALPHA        ? "GreyAlpha"
                                                          : "RgbAlpha";
    return type + std::to_string(c.bitDepth) + (c.transparency ? "Trns" : "");
}

void PrintTo(const PngCase& c, std::ostream* out)
{
    *out << CaseName(c);
}

class PngColorTypes : public ::testing::TestWithParam<std::tuple<PngCase, bool>>
{
};

PngImage MakeCase(const PngCase& c, bool interlaced)
{
    PngImage image = MakeImage(c.colorType, c.bitDepth, interlaced, 1234u + unsigned(c.colorType));
    if (c.colorType == PNG_COLOR_TYPE_PALETTE) {
        image.palette = {10, 20, 30, 200, 100, 50, 0, 255, 0, 7, 8, 9};
        if (c.transparency)
            image.paletteAlpha = {0, 128, 255};
    } else if (c.transparency) {
        image.hasTransparentColor = true;
        image.transparentGrey = image.samples[0];
        if (c.colorType == PNG_COLOR_TYPE_RGB) {
            image.transparentRed = image.samples[0];
            image.transparentGreen = image.samples[1];
            image.transparentBlue = image.samples[2];
        }
    }
    return image;
}

} // namespace

TEST_P(PngColorTypes, DecodesToTheWrittenPixels)
{
    const PngCase c = std::get<0>(GetParam());
    const PngImage image = MakeCase(c, std::get<1>(GetParam()));
    SmartPtr<PixelData> pixels = Load(ImageFixtures::WritePng(image));
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->GetKind(), PIXEL_DATA_KIND_MEMORY);
    ExpectPixels(image, *pixels, c.format);
}

INSTANTIATE_TEST_SUITE_P(
    AllTypes, PngColorTypes,
    ::testing::Combine(
        ::testing::Values(PngCase{PNG_COLOR_TYPE_GRAY, 8, false, PIXEL_FORMAT_A8},
                          PngCase{PNG_COLOR_TYPE_GRAY, 16, false, PIXEL_FORMAT_A8},
                          PngCase{PNG_COLOR_TYPE_GRAY, 1, false, PIXEL_FORMAT_A8},
                          PngCase{PNG_COLOR_TYPE_GRAY, 4, false, PIXEL_FORMAT_A8},
                          PngCase{PNG_COLOR_TYPE_GRAY, 8, true, PIXEL_FORMAT_RGBA8888},
                          PngCase{PNG_COLOR_TYPE_GRAY, 16, true, PIXEL_FORMAT_RGBA8888},
                          PngCase{PNG_COLOR_TYPE_RGB, 8, false, PIXEL_FORMAT_RGB888},
                          PngCase{PNG_COLOR_TYPE_RGB, 16, false, PIXEL_FORMAT_RGB888},
                          PngCase{PNG_COLOR_TYPE_RGB, 8, true, PIXEL_FORMAT_RGBA8888},
                          PngCase{PNG_COLOR_TYPE_RGB, 16, true, PIXEL_FORMAT_RGBA8888},
                          PngCase{PNG_COLOR_TYPE_PALETTE, 8, false, PIXEL_FORMAT_RGB888},
                          PngCase{PNG_COLOR_TYPE_PALETTE, 2, false, PIXEL_FORMAT_RGB888},
                          PngCase{PNG_COLOR_TYPE_PALETTE, 8, true, PIXEL_FORMAT_RGBA8888},
                          PngCase{PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, PIXEL_FORMAT_RGBA8888},
                          PngCase{PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, PIXEL_FORMAT_RGBA8888},
                          PngCase{PNG_COLOR_TYPE_RGB_ALPHA, 8, false, PIXEL_FORMAT_RGBA8888},
                          PngCase{PNG_COLOR_TYPE_RGB_ALPHA, 16, false, PIXEL_FORMAT_RGBA8888}),
        ::testing::Bool()),
    [](const ::testing::TestParamInfo<PngColorTypes::ParamType>& info) {
        return CaseName(std::get<0>(info.param)) + (std::get<1>(info.param) ? "Interlaced" : "");
    });

TEST(PngImageLoader, EveryTruncationGivesNull)
{
    const Bytes file = ImageFixtures::WritePng(MakeImage(PNG_COLOR_TYPE_RGB, 8, true, 5));
    // IEND is 12 bytes: cutting anywhere before the end of the file loses a required chunk.
    for (std::size_t cut = 0; cut < file.size(); ++cut)
        EXPECT_FALSE(Load(Bytes(file.begin(), file.begin() + cut))) << cut;
}

TEST(PngImageLoader, CrcErrorsAndAHugeAnnouncedSizeGiveNull)
{
    const Bytes good = ImageFixtures::WritePng(MakeImage(PNG_COLOR_TYPE_RGB, 8, false, 6));
    // The 8-byte signature, the 25-byte IHDR, then IDAT (no other chunks).
    ASSERT_EQ(0, std::memcmp(&good[37], "IDAT", 4));
    Bytes data = good, header = good, huge = good;
    data[45] ^= 0x5A;
    header[29] ^= 1; // last byte of the IHDR CRC
    // Width and height 100000, with a matching CRC so only the size can stop it.
    const std::uint8_t size[4] = {0x00, 0x01, 0x86, 0xA0};
    std::memcpy(&huge[16], size, 4);
    std::memcpy(&huge[20], size, 4);
    const std::uint32_t crc = std::uint32_t(crc32(0, &huge[12], 17));
    for (int i = 0; i < 4; ++i)
        huge[29 + i] = std::uint8_t(crc >> (24 - 8 * i));
    EXPECT_TRUE(Load(good));
    for (const Bytes* file : {&data, &header, &huge})
        EXPECT_FALSE(Load(*file));
}

TEST(PngImageLoader, ProbeNeedsTheFirstFourSignatureBytes)
{
    const std::uint8_t good[4] = {137, 80, 78, 71};
    const std::uint8_t bad[4] = {137, 80, 78, 72};
    EXPECT_TRUE(PngImageLoader::Probe(good, 4));
    EXPECT_FALSE(PngImageLoader::Probe(good, 3));
    EXPECT_FALSE(PngImageLoader::Probe(bad, 4));
    EXPECT_FALSE(Load(Bytes(good, good + 4)));
}
