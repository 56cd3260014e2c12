// The "C565" and "CRLE" writers, checked by loading their output through the engine's readers,
// also by running the tarvimage program itself.
#include "tools/image/ImageConvert.h"

#include "graphics/image/ImageLoader.h"
#include "graphics/image/StagedPixelData.h"
#include "graphics/image/PixelDataRLE.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

using namespace Tarv;
using Bytes = std::vector<std::uint8_t>;

namespace
{

RgbaImage Sample(int width, int height, std::uint32_t seed)
{
    RgbaImage image;
    image.width = width;
    image.height = height;
    std::mt19937 random(seed);
    for (int i = 0; i < width * height; ++i) {
        const std::uint8_t alpha = std::uint8_t(i % 3 == 0 ? 0 : i % 3 == 1 ? 255 : random() & 0xFF);
        const std::uint8_t shade = std::uint8_t(i % 4 == 0 ? 90 : random() & 0xFF);
        image.pixels.insert(image.pixels.end(), {shade, std::uint8_t(random()), std::uint8_t(random()), alpha});
    }
    return image;
}

} // namespace

TEST(ImageConvert, C565LoadsAsTheTopColourBits)
{
    const RgbaImage image = Sample(7, 4, 1);
    Bytes file;
    ASSERT_TRUE(ImageConvert::WriteC565(image, file));
    SmartPtr<PixelData> loaded = ImageLoader::DecodeImage(file.data(), file.size());
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->GetFormat(), PIXEL_FORMAT_RGB565);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 7; ++x) {
            const std::uint8_t* p = &image.pixels[(y * 7 + x) * 4];
            const Color c = loaded->GetPixel(x, y);
            EXPECT_EQ(c.r, p[0] & 0xF8);
            EXPECT_EQ(c.g, p[1] & 0xFC);
            EXPECT_EQ(c.b, p[2] & 0xF8);
        }
    }
}

TEST(ImageConvert, CrleLoadsAndStagesToTheImage)
{
    const RgbaImage image = Sample(9, 5, 2);
    Bytes file;
    ASSERT_TRUE(ImageConvert::WriteCrle(image, file));
    SmartPtr<PixelData> loaded = ImageLoader::DecodeImage(file.data(), file.size());
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->GetKind(), PIXEL_DATA_KIND_RLE);
    auto staged = StagedPixelData::StagePixels(loaded.Get(), 16, 8);
    ASSERT_NE(staged, nullptr);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 9; ++x) {
            const std::uint8_t* in = &image.pixels[(y * 9 + x) * 4];
            const std::uint8_t* out = staged.get() + (y * 16 + x) * 4;
            if ((in[3] >> 3) == 0) {
                EXPECT_EQ(out[3], 0);
                continue;
            }
            EXPECT_EQ(out[0] >> 3, in[0] >> 3);
            EXPECT_EQ(out[1] >> 2, in[1] >> 2);
            EXPECT_EQ(out[2] >> 3, in[2] >> 3);
            EXPECT_EQ(out[3] >> 3, in[3] >> 3);
        }
    }
}

TEST(ImageConvert, EmptyImagesAreRefused)
{
    Bytes file;
    EXPECT_FALSE(ImageConvert::WriteC565(RgbaImage(), file));
    EXPECT_FALSE(ImageConvert::WriteCrle(RgbaImage(), file));
}

TEST(ImageConvert, ProgramConvertsAPngFile)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path()
        / ("brashwick-tarvimage-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    Bytes png;
    ASSERT_TRUE(Sample(6, 6, 3).WritePng(png));
    std::ofstream(dir / "in.png", std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                                          std::streamsize(png.size()));
    const std::string program = std::string(BRASHWICK_BINARY_DIR) + "/tools/image/tarvimage";
    for (const char* format : {"c565", "crle"}) {
        const std::string command = program + " " + format + " " + (dir / "in.png").string() + " "
            + (dir / "out").string();
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        std::ifstream in(dir / "out", std::ios::binary);
        const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SmartPtr<PixelData> loaded = ImageLoader::DecodeImage(bytes.data(), bytes.size());
        ASSERT_TRUE(loaded) << format;
        EXPECT_EQ(loaded->GetWidth(), 6);
    }
    const std::string bad = program + " c565 " + (dir / "missing.png").string() + " " + (dir / "x").string()
        + " 2>/dev/null";
    EXPECT_NE(std::system(bad.c_str()), 0);
    std::filesystem::remove_all(dir);
}
