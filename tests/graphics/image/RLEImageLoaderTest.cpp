// "CRLE" reading: a file decodes to its run-length data; short files, oversized headers and
// data sizes past the file give null.
#include "graphics/image/RLEImageLoader.h"

#include "graphics/image/PixelDataRLE.h"
#include "graphics/image/RunLength.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Tarv;
using Bytes = std::vector<std::uint8_t>;

namespace
{

void PutU32(Bytes& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

Bytes MakeCrle(std::uint32_t width, std::uint32_t height, const Bytes& runs, std::uint32_t size)
{
    Bytes file{'C', 'R', 'L', 'E'};
    PutU32(file, width);
    PutU32(file, height);
    PutU32(file, size);
    file.insert(file.end(), runs.begin(), runs.end());
    return file;
}

SmartPtr<PixelData> Load(const Bytes& file)
{
    RLEImageLoader loader;
    return loader.Decode(file.data(), file.size());
}

const Bytes TWO_ROWS = {10, 5, 0, 4, 3, 0, 0xFF, 0xFF, 10, 3, 0, 0, 3, 0};

} // namespace

TEST(RLEImageLoader, LoadsTheRunsOfEveryRow)
{
    SmartPtr<PixelData> pixels = Load(MakeCrle(3, 2, TWO_ROWS, std::uint32_t(TWO_ROWS.size())));
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->GetKind(), PIXEL_DATA_KIND_RLE);
    EXPECT_EQ(pixels->GetWidth(), 3);
    EXPECT_EQ(pixels->GetHeight(), 2);
    EXPECT_EQ(static_cast<PixelDataRLE*>(pixels.Get())->GetSize(), int(TWO_ROWS.size()));
    EXPECT_EQ(0, std::memcmp(pixels->GetPixelsConst(), TWO_ROWS.data(), TWO_ROWS.size()));
    // And what the encoder writes.
    Bytes rgba(16 * 4 * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = std::uint8_t(i * 7);
    const Bytes runs = EncodeRunLength(rgba.data(), 16, 4);
    EXPECT_TRUE(Load(MakeCrle(16, 4, runs, std::uint32_t(runs.size()))));
}

TEST(RLEImageLoader, EveryTruncationGivesNull)
{
    const Bytes file = MakeCrle(3, 2, TWO_ROWS, std::uint32_t(TWO_ROWS.size()));
    for (std::size_t cut = 0; cut < file.size(); ++cut)
        EXPECT_FALSE(Load(Bytes(file.begin(), file.begin() + cut))) << cut;
}

TEST(RLEImageLoader, BadHeadersGiveNull)
{
    const auto size = std::uint32_t(TWO_ROWS.size());
    EXPECT_FALSE(Load(MakeCrle(100000, 100000, TWO_ROWS, size)));
    EXPECT_FALSE(Load(MakeCrle(0, 2, TWO_ROWS, size)));
    EXPECT_FALSE(Load(MakeCrle(3, 3, TWO_ROWS, size)));
    EXPECT_FALSE(Load(MakeCrle(2, 2, TWO_ROWS, size)));
    EXPECT_FALSE(Load(MakeCrle(3, 2, TWO_ROWS, size + 1)));
    EXPECT_FALSE(Load(MakeCrle(3, 2, TWO_ROWS, 0xFFFFFFFFu)));
    EXPECT_FALSE(Load(MakeCrle(3, 2, TWO_ROWS, size - 1)));
}
