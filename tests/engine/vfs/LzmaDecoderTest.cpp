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

// Decodes the whole stream in one call into a buffer of capacity bytes, asking for target.
Tarv::LzmaDecoder::Status DecodeOnce(const Bytes& stream, std::size_t capacity, std::size_t target, std::size_t& produced)
{
    Tarv::LzmaDecoder decoder;
    if (!decoder.SetProperties(PROPERTIES))
        return Tarv::LzmaDecoder::Status::DAMAGED;
    Bytes output(capacity);
    decoder.Restart(output.data(), output.size());
    std::size_t used = stream.size();
    const Tarv::LzmaDecoder::Status status = decoder.Decode(target, stream.data(), used);
    produced = decoder.GetProduced();
    return status;
}

// One call stops at the buffer's capacity; a stream ending early is reported as ended; a match
// reaching before the stream (all-ones input after the range coder's first byte codes one at
// once) is damage.
TEST(LzmaDecoder, WholeStreamOutcomes)
{
    Bytes bad(64, 0xFF);
    bad[0] = 0;
    const struct { Bytes stream; std::size_t capacity, target; Tarv::LzmaDecoder::Status status; std::size_t produced; } cases[] = {
        {Archives::Lzma(Archives::Filler(500, 3, false)), 100, 500, Tarv::LzmaDecoder::Status::OK, 100},
        {Archives::Lzma(Archives::Filler(50, 3, false)), 100, 100, Tarv::LzmaDecoder::Status::ENDED, 50},
        {bad, 64, 64, Tarv::LzmaDecoder::Status::DAMAGED, 0}};
    for (const auto& c : cases) {
        std::size_t produced = 0;
        EXPECT_EQ(DecodeOnce(c.stream, c.capacity, c.target, produced), c.status) << c.produced;
        if (c.status != Tarv::LzmaDecoder::Status::DAMAGED) {
            EXPECT_EQ(produced, c.produced);
        }
    }
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
