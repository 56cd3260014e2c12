// The run-length codec: every run type decodes as documented, malformed data is refused without
// reading or writing outside the buffers, and the encoder round-trips at 5/6/5/5-bit precision.
#include "graphics/image/RunLength.h"

#include "ImageFixtures.h"

#include <gtest/gtest.h>

using namespace Tarv;
using Bytes = std::vector<std::uint8_t>;

namespace
{

// A row: the mark, the byte count of the runs, the runs.
Bytes Row(const Bytes& runs)
{
    Bytes row{RLE_ROW_MARK, std::uint8_t(runs.size() & 0xFF), std::uint8_t(runs.size() >> 8)};
    row.insert(row.end(), runs.begin(), runs.end());
    return row;
}

Bytes Decode(const Bytes& data, int width, int height)
{
    Bytes out(std::size_t(width) * height * 4, 0xEE);
    if (!DecodeRunLength(data.data(), data.size(), width, height, out.data(), std::size_t(width) * 4))
        return {};
    return out;
}

} // namespace

TEST(RunLengthDecode, OpaqueRepeatThenTransparent)
{
    // {4, 3, c} {0, 2}: three opaque pixels of pure green, then two transparent ones.
    const Bytes data = Row({4, 3, 0, 0xE0, 0x07, 0, 2, 0});
    const Bytes out = Decode(data, 5, 1);
    ASSERT_EQ(out.size(), 20u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Bytes(out.begin() + 4 * i, out.begin() + 4 * i + 4), (Bytes{0, 255, 0, 255}));
    for (int i = 3; i < 5; ++i)
        EXPECT_EQ(Bytes(out.begin() + 4 * i, out.begin() + 4 * i + 4), (Bytes{0, 0, 0, 0}));
}

TEST(RunLengthDecode, LiteralRunsAndBitReplication)
{
    // Opaque literal: 0xF800 (red), 0x001F (blue); translucent literal: alpha5 16 with 0xFFFF.
    const Bytes data = Row({2, 2, 0, 0x00, 0xF8, 0x1F, 0x00, 1, 1, 0, 16, 0xFF, 0xFF});
    const Bytes out = Decode(data, 3, 1);
    ASSERT_EQ(out.size(), 12u);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 4), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(Bytes(out.begin() + 4, out.begin() + 8), (Bytes{0, 0, 255, 255}));
    EXPECT_EQ(Bytes(out.begin() + 8, out.end()), (Bytes{255, 255, 255, 132}));
}

TEST(RunLengthDecode, TranslucentRepeatMatchesTranslucentLiteral)
{
    const Bytes repeat = Decode(Row({3, 2, 0, 9, 0x34, 0x12}), 2, 1);
    const Bytes literal = Decode(Row({1, 2, 0, 9, 0x34, 0x12, 9, 0x34, 0x12}), 2, 1);
    ASSERT_FALSE(repeat.empty());
    EXPECT_EQ(repeat, literal);
}

TEST(RunLengthDecode, RowsAreDecodedTopFirstIntoTheirStride)
{
    Bytes data = Row({4, 1, 0, 0x00, 0xF8});
    const Bytes second = Row({4, 1, 0, 0x1F, 0x00});
    data.insert(data.end(), second.begin(), second.end());
    Bytes out(2 * 12, 0xEE);
    ASSERT_TRUE(DecodeRunLength(data.data(), data.size(), 1, 2, out.data(), 12));
    EXPECT_EQ(out[0], 255);
    EXPECT_EQ(out[12 + 2], 255);
    EXPECT_EQ(out[4], 0xEE); // past the row's width, untouched
}

TEST(RunLengthDecode, MalformedDataIsRefused)
{
    const struct
    {
        const char* what;
        Bytes data;
        int width;
    } cases[] = {
        {"count zero", Row({0, 0, 0, 0, 2, 0}), 2},
        {"unknown type", Row({5, 2, 0}), 2},
        {"runs short of the width", Row({0, 1, 0}), 2},
        {"run past the width", Row({0, 3, 0}), 2},
        {"second run past the width", Row({0, 1, 0, 4, 2, 0, 0, 0}), 2},
        {"payload past the data", Row({2, 2, 0, 0, 0}), 2},
        {"header cut", Bytes{10, 3}, 2},
        {"missing row", Bytes{}, 2},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Decode(c.data, c.width, 1).empty()) << c.what;
    const Bytes one = Row({0, 2, 0});
    EXPECT_TRUE(Decode(one, 2, 2).empty()) << "second row missing";
    EXPECT_FALSE(DecodeRunLength(nullptr, 0, 2, 1, nullptr, 0));
    EXPECT_FALSE(DecodeRunLength(one.data(), one.size(), 0, 1, nullptr, 0));
}

// A row header is skipped whatever its mark and byte count say: the runs alone end the row,
// and the next row's header follows them.
TEST(RunLengthDecode, RowHeadersAreSkippedAndTheRunsWalked)
{
    const Bytes green{4, 1, 0, 0xE0, 0x07}, red{4, 1, 0, 0x00, 0xF8};
    const auto rows = [&](Bytes first, const Bytes& second) {
        first.insert(first.end(), green.begin(), green.end());
        first.insert(first.end(), second.begin(), second.end());
        first.insert(first.end(), red.begin(), red.end());
        return first;
    };
    const Bytes want{0, 255, 0, 255, 255, 0, 0, 255};
    const Bytes headers[][2] = {
        {Bytes{11, 5, 0}, Bytes{10, 5, 0}},   // wrong mark
        {Bytes{10, 0, 0}, Bytes{10, 5, 0}},   // byte count short of the runs
        {Bytes{10, 9, 0}, Bytes{0, 0xFF, 0xFF}}, // byte count past the runs, then past the data
    };
    for (const auto& h : headers)
        EXPECT_EQ(Decode(rows(h[0], h[1]), 1, 2), want) << int(h[0][0]) << " " << int(h[0][1]);
}

TEST(RunLengthDecode, TrailingBytesAfterTheLastRowAreIgnored)
{
    Bytes data = Row({0, 2, 0});
    data.push_back(99);
    EXPECT_FALSE(Decode(data, 2, 1).empty());
}

TEST(RunLengthEncode, RoundTripsAtStoredPrecision)
{
    constexpr int W = 37, H = 9;
    Bytes rgba = ImageFixtures::RandomBytes(std::size_t(W) * H * 4, 11);
    // Runs of equal pixels and every alpha class.
    for (int x = 10; x < 20; ++x)
        for (int c = 0; c < 4; ++c)
            rgba[4 * x + c] = c == 3 ? 255 : 77;
    for (int i = 0; i < W * H; i += 3)
        rgba[4 * i + 3] = 0;
    const Bytes encoded = EncodeRunLength(rgba.data(), W, H);
    const Bytes decoded = Decode(encoded, W, H);
    ASSERT_EQ(decoded.size(), rgba.size());
    for (int i = 0; i < W * H; ++i) {
        const std::uint8_t* in = &rgba[4 * i];
        const std::uint8_t* out = &decoded[4 * i];
        if ((in[3] >> 3) == 0) {
            EXPECT_EQ(Bytes(out, out + 4), (Bytes{0, 0, 0, 0})) << i;
            continue;
        }
        EXPECT_EQ(out[0] >> 3, in[0] >> 3) << i;
        EXPECT_EQ(out[1] >> 2, in[1] >> 2) << i;
        EXPECT_EQ(out[2] >> 3, in[2] >> 3) << i;
        EXPECT_EQ(out[3], (in[3] >> 3) == 31 ? 255 : ((in[3] >> 3) << 3 | (in[3] >> 5))) << i;
    }
}

TEST(RunLengthEncode, EqualOpaquePixelsBecomeOneRepeatRun)
{
    const Bytes rgba(8 * 4, 255);
    const Bytes encoded = EncodeRunLength(rgba.data(), 8, 1);
    EXPECT_EQ(encoded, Row({4, 8, 0, 0xFF, 0xFF}));
}

TEST(RunLengthEncode, RefusesEmptySizes)
{
    const Bytes rgba(4, 0);
    EXPECT_TRUE(EncodeRunLength(rgba.data(), 0, 1).empty());
    EXPECT_TRUE(EncodeRunLength(nullptr, 1, 1).empty());
}
