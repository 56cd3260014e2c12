// JPEG reading: colour and greyscale JFIF files decode to what libjpeg itself decodes, in blue,
// green, red order; CMYK, Exif-first, corrupt and truncated files give null, never an exit.
#include "graphics/image/JpegImageLoader.h"

#include "ImageFixtures.h"

#include <gtest/gtest.h>

using namespace Tarv;
using ImageFixtures::Bytes;

namespace
{

SmartPtr<PixelData> Load(const Bytes& file)
{
    JpegImageLoader loader;
    return loader.Decode(file.data(), file.size());
}

Bytes Gradient(int width, int height, int components)
{
    Bytes samples;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                samples.push_back(std::uint8_t((x * 9 + y * 5 + c * 60) & 0xFF));
    return samples;
}

void ExpectSameAsLibrary(const Bytes& file, const PixelData& pixels)
{
    int width = 0, height = 0;
    const Bytes rgb = ImageFixtures::DecodeJpegRgb(file, width, height);
    ASSERT_EQ(pixels.GetWidth(), width);
    ASSERT_EQ(pixels.GetHeight(), height);
    ASSERT_EQ(pixels.GetFormat(), PIXEL_FORMAT_RGB888);
    for (int i = 0; i < width * height; ++i) {
        const std::uint8_t* p = pixels.GetPixelsConst() + 3 * i;
        ASSERT_EQ(p[0], rgb[3 * i + 2]) << i;
        ASSERT_EQ(p[1], rgb[3 * i + 1]) << i;
        ASSERT_EQ(p[2], rgb[3 * i]) << i;
    }
}

} // namespace

// Colour, progressive and greyscale (three equal channels) files decode to what libjpeg itself
// decodes, in blue, green, red order.
TEST(JpegImageLoader, DecodesAsLibjpegDoes)
{
    const struct {
        int width, height, components;
        bool progressive;
    } cases[] = {{37, 21, 3, false}, {40, 24, 3, true}, {19, 11, 1, false}};
    for (const auto& c : cases) {
        const Bytes file = ImageFixtures::WriteJpeg(c.width, c.height, c.components,
                                                    Gradient(c.width, c.height, c.components), 90,
                                                    true, c.progressive);
        ASSERT_TRUE(JpegImageLoader::Probe(file.data(), file.size()));
        SmartPtr<PixelData> pixels = Load(file);
        ASSERT_TRUE(pixels);
        ExpectSameAsLibrary(file, *pixels);
    }
}

TEST(JpegImageLoader, CmykAndExifFirstAreRefused)
{
    const Bytes cmyk = ImageFixtures::WriteJpeg(16, 8, 4, Gradient(16, 8, 4), 90, true);
    ASSERT_TRUE(JpegImageLoader::Probe(cmyk.data(), cmyk.size()));
    EXPECT_FALSE(Load(cmyk));
    Bytes exif = ImageFixtures::WriteJpeg(8, 8, 3, Gradient(8, 8, 3), 90, true);
    exif[3] = 0xE1;
    EXPECT_FALSE(JpegImageLoader::Probe(exif.data(), exif.size()));
    EXPECT_FALSE(Load(exif));
}

TEST(JpegImageLoader, EveryTruncationGivesNull)
{
    const Bytes file = ImageFixtures::WriteJpeg(24, 16, 3, Gradient(24, 16, 3), 75, true);
    // The last two bytes are the end-of-image marker, which the decoder does not need.
    for (std::size_t cut = 0; cut + 2 < file.size(); ++cut)
        EXPECT_FALSE(Load(Bytes(file.begin(), file.begin() + cut))) << cut;
}

TEST(JpegImageLoader, CorruptDataNeverEndsTheProcess)
{
    const Bytes file = ImageFixtures::WriteJpeg(24, 16, 3, Gradient(24, 16, 3), 75, true);
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        Bytes damaged = file;
        const Bytes noise = ImageFixtures::RandomBytes(8, seed);
        for (std::size_t i = 0; i < 4; ++i)
            damaged[4 + noise[2 * i] * (damaged.size() - 4) / 256] = noise[2 * i + 1];
        SmartPtr<PixelData> pixels = Load(damaged);
        if (pixels) {
            EXPECT_LE(pixels->GetWidth(), MAX_IMAGE_SIDE);
        }
    }
}

TEST(JpegImageLoader, HugeAnnouncedSizeIsRefused)
{
    Bytes file = ImageFixtures::WriteJpeg(8, 8, 3, Gradient(8, 8, 3), 90, true);
    // Find the baseline start-of-frame segment: FF C0, length, precision, height, width.
    std::size_t at = 2;
    while (at + 9 < file.size() && !(file[at] == 0xFF && file[at + 1] == 0xC0))
        ++at;
    ASSERT_LT(at + 9, file.size());
    file[at + 5] = 0xFF; // height 65535 (a 16-bit field)
    file[at + 6] = 0xFF;
    file[at + 7] = 0xFF;
    file[at + 8] = 0xFF;
    EXPECT_FALSE(Load(file));
}
