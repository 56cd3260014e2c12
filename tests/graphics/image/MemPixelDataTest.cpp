// Memory pixel data: per-pixel reads and blended writes in every format, copies, and text
// images with their hex rule and malformed lines.
#include "graphics/image/MemPixelData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace Tarv;

namespace
{

void Put565(MemPixelData& image, int x, int y, unsigned word)
{
    std::uint8_t* p = image.GetPixels() + y * image.GetPitch() + 2 * x;
    p[0] = std::uint8_t(word & 0xFF);
    p[1] = std::uint8_t(word >> 8);
}

} // namespace

TEST(MemPixelData, RefusedSizeOrFormatGivesAnEmptyImage)
{
    const MemPixelData huge(100000, 100000, PIXEL_FORMAT_RGBA8888);
    const MemPixelData empty(0, 10, PIXEL_FORMAT_A8);
    const MemPixelData encoded(4, 4, PIXEL_FORMAT_RLE);
    for (const MemPixelData* image : {&huge, &empty, &encoded}) {
        EXPECT_EQ(image->GetWidth(), 0);
        EXPECT_EQ(image->GetHeight(), 0);
        EXPECT_EQ(image->GetPixelsConst(), nullptr);
        EXPECT_EQ(image->GetPixel(0, 0), (Color{0, 0, 0, 0}));
    }
}

TEST(MemPixelDataGetPixel, OutOfRangeIsTransparentBlack)
{
    MemPixelData image(4, 2, PIXEL_FORMAT_RGBA8888);
    std::memset(image.GetPixels(), 0xFF, image.GetByteSize());
    EXPECT_EQ(image.GetPixel(4, 0), (Color{0, 0, 0, 0}));
    EXPECT_EQ(image.GetPixel(-1, 0), (Color{0, 0, 0, 0}));
    EXPECT_EQ(image.GetPixel(0, 2), (Color{0, 0, 0, 0}));
    EXPECT_EQ(image.GetPixel(3, 1), (Color{255, 255, 255, 255}));
}

TEST(MemPixelDataGetPixel, ReadsEachFormat)
{
    MemPixelData alpha(1, 1, PIXEL_FORMAT_A8);
    alpha.GetPixels()[0] = 77;
    EXPECT_EQ(alpha.GetPixel(0, 0), (Color{0, 0, 0, 255}));

    MemPixelData rgb565(2, 1, PIXEL_FORMAT_RGB565);
    Put565(rgb565, 0, 0, 0xFFFF);
    Put565(rgb565, 1, 0, 0xF800);
    EXPECT_EQ(rgb565.GetPixel(0, 0), (Color{248, 252, 248, 255}));
    EXPECT_EQ(rgb565.GetPixel(1, 0), (Color{248, 0, 0, 255}));

    MemPixelData rgb(1, 1, PIXEL_FORMAT_RGB888);
    const std::uint8_t bgr[3] = {1, 2, 3};
    std::memcpy(rgb.GetPixels(), bgr, 3);
    EXPECT_EQ(rgb.GetPixel(0, 0), (Color{3, 2, 1, 255}));

    MemPixelData rgba(1, 1, PIXEL_FORMAT_RGBA8888);
    const std::uint8_t bgra[4] = {1, 2, 3, 4};
    std::memcpy(rgba.GetPixels(), bgra, 4);
    EXPECT_EQ(rgba.GetPixel(0, 0), (Color{3, 2, 1, 4}));
}

// SetPixel on one pixel, as stored bytes (blue first; 565 words little-endian): alpha 0 leaves
// opaque formats unchanged, opaque stores exactly, half alpha blends (565 on the widened value,
// t = 200 * 128 + 10 * 127 + 1 = 26871, (26871 + 104) >> 8 = 105), RGBA stores without blending
// and the alpha format ignores writes.
TEST(MemPixelDataSetPixel, StoresOrBlendsByFormatAndAlpha)
{
    using Bytes = std::vector<std::uint8_t>;
    const struct {
        PixelFormat format;
        Bytes before;
        Color colour;
        Bytes after;
    } cases[] = {
        {PIXEL_FORMAT_RGB888, {50, 50, 50}, Color{200, 200, 200, 0}, {50, 50, 50}},
        {PIXEL_FORMAT_RGB565, {0x34, 0x12}, Color{255, 255, 255, 0}, {0x34, 0x12}},
        {PIXEL_FORMAT_RGB888, {0, 0, 0}, Color{10, 20, 30, 255}, {30, 20, 10}},
        {PIXEL_FORMAT_RGB888, {30, 20, 10}, Color{200, 20, 30, 128}, {30, 20, 105}},
        {PIXEL_FORMAT_RGB565, {0, 0}, Color{255, 255, 255, 255}, {0xFF, 0xFF}},
        {PIXEL_FORMAT_RGB565, {0, 0}, Color{255, 0, 0, 128}, {0x00, 0x80}},
        {PIXEL_FORMAT_RGBA8888, {255, 255, 255, 255}, Color{1, 2, 3, 4}, {3, 2, 1, 4}},
        {PIXEL_FORMAT_A8, {17}, Color{255, 255, 255, 255}, {17}},
    };
    for (const auto& c : cases) {
        MemPixelData image(1, 1, c.format);
        std::memcpy(image.GetPixels(), c.before.data(), c.before.size());
        image.SetPixel(0, 0, c.colour);
        image.SetPixel(1, 0, Color{9, 9, 9, 9}); // outside: ignored
        image.SetPixel(0, -1, Color{9, 9, 9, 9});
        EXPECT_EQ(Bytes(image.GetPixels(), image.GetPixels() + c.after.size()), c.after) << c.format;
    }
}

TEST(MemPixelData, CopyTakesPixelsButNotTheColourKey)
{
    MemPixelData source(3, 2, PIXEL_FORMAT_RGB888);
    for (std::size_t i = 0; i < source.GetByteSize(); ++i)
        source.GetPixels()[i] = std::uint8_t(i);
    source.SetColorKey(Color{1, 2, 3, 4});
    MemPixelData copy(source);
    EXPECT_EQ(copy.GetWidth(), 3);
    EXPECT_EQ(copy.GetFormat(), PIXEL_FORMAT_RGB888);
    EXPECT_EQ(0, std::memcmp(copy.GetPixelsConst(), source.GetPixelsConst(), source.GetByteSize()));
    EXPECT_NE(copy.GetPixelsConst(), source.GetPixelsConst());
    EXPECT_EQ(copy.GetColorKey(), DEFAULT_COLOR_KEY);
}

TEST(HexPairToByte, CountsOnlyDigitsAndUpperCase)
{
    EXPECT_EQ(HexPairToByte("FF"), 255);
    EXPECT_EQ(HexPairToByte("7A"), 122);
    EXPECT_EQ(HexPairToByte("ff"), 0);
    EXPECT_EQ(HexPairToByte("1g"), 16);
}

struct TextImageCase {
    const char* what;
    std::vector<const char*> lines;
    std::vector<std::pair<std::pair<int, int>, Color>> pixels;
};

const Color BLACK{0, 0, 0, 255}, WHITE{255, 255, 255, 255};

const TextImageCase TEXT_IMAGES[] = {
    {"keys, colours and rows", {"3 2 2 1", ". c #000000", "X c #FF8000", "X.X", ".X."},
     {{{0, 0}, Color{255, 128, 0, 255}}, {{1, 0}, BLACK}, {{1, 1}, Color{255, 128, 0, 255}}}},
    {"lower-case hex digits count zero", {"1 1 1 1", "a c #ff00FF", "a"}, {{{0, 0}, Color{0, 0, 255, 255}}}},
    {"two-character keys, a later definition wins",
     {"2 1 3 2", "ab c #FF0000", "cd c #00FF00", "ab c #0000FF", "cdab"},
     {{{0, 0}, Color{0, 255, 0, 255}}, {{1, 0}, Color{0, 0, 255, 255}}}},
    {"unknown keys, short and missing rows are black", {"3 3 1 1", "X c #FFFFFF", "X?"},
     {{{0, 0}, WHITE}, {{1, 0}, BLACK}, {{2, 0}, BLACK}, {{0, 2}, BLACK}}},
    {"bad colour words are black", {"3 1 3 1", "a c #12", "b", "c c FFFFFF", "abc"},
     {{{0, 0}, BLACK}, {{1, 0}, BLACK}, {{2, 0}, BLACK}}},
    {"missing colour lines", {"2 2 5 1", "a c #FFFFFF"}, {{{0, 0}, BLACK}}},
};

TEST(TextImage, ReadsEachCase)
{
    for (const TextImageCase& c : TEXT_IMAGES) {
        std::vector<const char*> lines = c.lines;
        lines.push_back(nullptr);
        MemPixelData image(lines.data());
        EXPECT_EQ(image.GetFormat(), PIXEL_FORMAT_RGB888) << c.what;
        for (const auto& [at, colour] : c.pixels)
            EXPECT_EQ(image.GetPixel(at.first, at.second), colour) << c.what << " " << at.first << "," << at.second;
    }
    // A wide image: 792 one-character keys a row.
    std::string row(792, ' ');
    row[791] = '#';
    std::vector<const char*> wide = {"792 7 2 1", "  c #000000", "# c #FFFFFF"};
    wide.insert(wide.end(), 7, row.c_str());
    wide.push_back(nullptr);
    MemPixelData image(wide.data());
    EXPECT_EQ(image.GetPixel(791, 6), WHITE);
    EXPECT_EQ(image.GetPixel(0, 6), BLACK);
}

TEST(TextImage, BadFirstLineGivesAnEmptyImage)
{
    const char* noNumbers[] = {"wide high", nullptr};
    const char* huge[] = {"100000 100000 1 1", nullptr};
    const char* zeroKey[] = {"2 2 1 0", nullptr};
    for (const char* const* lines : {noNumbers, huge, zeroKey}) {
        MemPixelData image(lines);
        EXPECT_EQ(image.GetWidth(), 0);
        EXPECT_EQ(image.GetPixelsConst(), nullptr);
    }
    MemPixelData none(static_cast<const char* const*>(nullptr));
    EXPECT_EQ(none.GetWidth(), 0);
}
