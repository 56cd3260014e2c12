// The container encoder: header fields, stored fallback, table forms, repeatable output.
#include "tools/ContainerWriter.h"

#include <gtest/gtest.h>

namespace
{

using Bytes = std::vector<std::uint8_t>;

std::int32_t I32(const Bytes& bytes, std::size_t at)
{
    return static_cast<std::int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

Bytes Noise(std::size_t size)
{
    Bytes bytes(size);
    std::uint32_t state = 99;
    for (std::uint8_t& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

TEST(ContainerWriter, StoresChunksThatDoNotShrink)
{
    Tarv::ContainerWriter::Options options;
    options.chunkSize = 4096;
    options.table = Tarv::ContainerWriter::TableMode::RAW;
    Bytes content = Noise(4096);
    content.resize(8192, 'x');
    Bytes out;
    std::string error;
    ASSERT_TRUE(Tarv::ContainerWriter(options).Build(content, out, error));
    EXPECT_EQ(I32(out, 0), 17 + 8);
    EXPECT_EQ(I32(out, 4), 4096);
    EXPECT_EQ(I32(out, 8), -8);
    EXPECT_EQ(out[12], 0x5D);
    const std::uint32_t first = static_cast<std::uint32_t>(I32(out, 17));
    const std::uint32_t second = static_cast<std::uint32_t>(I32(out, 21));
    EXPECT_EQ(first, 4096u);                  // noise: stored
    EXPECT_NE(second & 0x80000000u, 0u);      // runs of 'x': compressed
    EXPECT_EQ(out.size(), 25u + (second & 0x7FFFFFFFu));
}

TEST(ContainerWriter, SameInputSameBytes)
{
    Tarv::ContainerWriter::Options options;
    options.table = Tarv::ContainerWriter::TableMode::LZMA;
    Bytes content(65536 * 3, 'q');
    Bytes a, b;
    std::string error;
    ASSERT_TRUE(Tarv::ContainerWriter(options).Build(content, a, error));
    ASSERT_TRUE(Tarv::ContainerWriter(options).Build(content, b, error));
    EXPECT_EQ(a, b);
    EXPECT_EQ(I32(a, 8), 12);
}

TEST(ContainerWriter, RejectsBadOptions)
{
    Tarv::ContainerWriter::Options options;
    options.chunkSize = 16;
    Bytes out;
    std::string error;
    EXPECT_FALSE(Tarv::ContainerWriter(options).Build(Bytes(20), out, error));
    EXPECT_FALSE(Tarv::ContainerWriter(options).Build(Bytes(), out, error));
    options.level = 10;
    EXPECT_FALSE(Tarv::ContainerWriter(options).Build(Bytes(16), out, error));
}

} // namespace
