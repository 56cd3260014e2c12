// The raw LZMA decoder wrapper: properties, decoding in pieces, restarts, and bad streams.
#include "engine/vfs/LzmaDecoder.h"

#include "Archives.h"

#include <gtest/gtest.h>

namespace
{

using Archives::Bytes;

const std::uint8_t PROPERTIES[5] = {0x5D, 0x00, 0x00, 0x01, 0x00};

TEST(LzmaDecoder, RejectsPropertyByteOf225)
{
    Tarv::LzmaDecoder decoder;
    std::uint8_t properties[5] = {225, 0, 0, 1, 0};
    EXPECT_FALSE(decoder.SetProperties(properties));
    properties[0] = 224;
    EXPECT_TRUE(decoder.SetProperties(properties));
}

TEST(LzmaDecoder, DecodesInPiecesAndAgainAfterRestart)
{
    const Bytes content = Archives::Filler(3000, 11, false);
    const Bytes packed = Archives::Lzma(content);
    Tarv::LzmaDecoder decoder;
    ASSERT_TRUE(decoder.SetProperties(PROPERTIES));
    Bytes output(content.size());
    for (int pass = 0; pass < 2; ++pass) {
        decoder.Restart(output.data(), output.size());
        std::size_t at = 0;
        for (std::size_t target : {1u, 100u, 2999u, 3000u}) {
            // Feed input a few bytes at a time, as a chunk's stored bytes arrive.
            while (decoder.GetProduced() < target && at < packed.size()) {
                std::size_t used = std::min<std::size_t>(7, packed.size() - at);
                ASSERT_EQ(decoder.Decode(target, packed.data() + at, used), Tarv::LzmaDecoder::Status::OK);
                at += used;
            }
            EXPECT_EQ(decoder.GetProduced(), target);
        }
        EXPECT_EQ(output, content);
    }
}

TEST(LzmaDecoder, StopsAtTheCapacity)
{
    const Bytes packed = Archives::Lzma(Archives::Filler(500, 3, false));
    Tarv::LzmaDecoder decoder;
    ASSERT_TRUE(decoder.SetProperties(PROPERTIES));
    Bytes output(100);
    decoder.Restart(output.data(), output.size());
    std::size_t used = packed.size();
    EXPECT_EQ(decoder.Decode(500, packed.data(), used), Tarv::LzmaDecoder::Status::OK);
    EXPECT_EQ(decoder.GetProduced(), 100u);
}

TEST(LzmaDecoder, StreamEndingEarlyIsReported)
{
    const Bytes packed = Archives::Lzma(Archives::Filler(50, 3, false));
    Tarv::LzmaDecoder decoder;
    ASSERT_TRUE(decoder.SetProperties(PROPERTIES));
    Bytes output(100);
    decoder.Restart(output.data(), output.size());
    std::size_t used = packed.size();
    EXPECT_EQ(decoder.Decode(100, packed.data(), used), Tarv::LzmaDecoder::Status::ENDED);
    EXPECT_EQ(decoder.GetProduced(), 50u);
}

TEST(LzmaDecoder, MatchReachingBeforeTheStreamIsDamage)
{
    // After the range coder's first byte, all-ones input codes a match at once, before any
    // byte was produced.
    Bytes bad(64, 0xFF);
    bad[0] = 0;
    Tarv::LzmaDecoder decoder;
    ASSERT_TRUE(decoder.SetProperties(PROPERTIES));
    Bytes output(64);
    decoder.Restart(output.data(), output.size());
    std::size_t used = bad.size();
    EXPECT_EQ(decoder.Decode(64, bad.data(), used), Tarv::LzmaDecoder::Status::DAMAGED);
}

TEST(LzmaDecoder, DecodeWithoutPropertiesFails)
{
    Tarv::LzmaDecoder decoder;
    Bytes output(8);
    decoder.Restart(output.data(), output.size());
    std::uint8_t input[8] = {};
    std::size_t used = sizeof input;
    EXPECT_EQ(decoder.Decode(8, input, used), Tarv::LzmaDecoder::Status::DAMAGED);
}

} // namespace
