// The packer's directory layout: name rules, order and collisions.
#include "tools/PakWriter.h"

#include "tests/engine/vfs/TestFiles.h"

#include <gtest/gtest.h>

namespace
{

std::uint32_t U32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

TEST(PakWriter, RefusesNamesThatCollideIgnoringCase)
{
    Tarv::PakWriter writer;
    std::string error;
    ASSERT_TRUE(writer.AddFile("Config/Defaults.xml", {1}, error));
    EXPECT_FALSE(writer.AddFile("config/defaults.XML", {2}, error));
    EXPECT_NE(error.find("collide"), std::string::npos);
    EXPECT_EQ(writer.GetFileCount(), 1u);
}

TEST(PakWriter, RefusesBadNames)
{
    Tarv::PakWriter writer;
    std::string error;
    for (const char* name : {"", "/abs", "a//b", "a/", "../x", "a/../b", "caf\xC3\xA9", "tab\there"})
        EXPECT_FALSE(writer.AddFile(name, {}, error)) << name;
    EXPECT_TRUE(writer.AddFile("a..b/.c", {}, error));
}

TEST(PakWriter, SortsAsTheReaderSearches)
{
    // '_' (0x5F) sorts before letters once they are lower-cased, though not before capitals.
    EXPECT_LT(Tarv::PakWriter::CompareNames("_z", "A"), 0);
    EXPECT_LT(Tarv::PakWriter::CompareNames("ab", "ABC"), 0);
    EXPECT_EQ(Tarv::PakWriter::CompareNames("Ab", "aB"), 0);
}

TEST(PakWriter, LaysOutDirectoryThenDataThenPadding)
{
    Tarv::PakWriter writer;
    std::string error;
    ASSERT_TRUE(writer.AddFile("b", {'B', 'B'}, error));
    ASSERT_TRUE(writer.AddFile("A", {'a'}, error));
    std::vector<std::uint8_t> content;
    ASSERT_TRUE(writer.BuildContent(16, content, error));
    EXPECT_EQ(content.size() % 16, 0u);
    EXPECT_EQ(U32(content, 0), 2u);
    EXPECT_EQ(U32(content, 28), 4u);       // names "A\0b\0"
    EXPECT_EQ(content[32], 'A');
    EXPECT_EQ(U32(content, 4), 0u);        // "A" first
    EXPECT_EQ(U32(content, 8), 36u);       // right after the names
    EXPECT_EQ(U32(content, 16), 2u);       // "b"
    EXPECT_EQ(U32(content, 20), 37u);
    EXPECT_EQ(content[37], 'B');
    EXPECT_FALSE(writer.BuildContent(0, content, error));
}

TEST(PakWriter, HostFileReadWhenWrittenMustStillHaveItsSize)
{
    TestFiles::TempDir dir;
    TestFiles::WriteText(dir / "f", "0123456789");
    for (std::uint64_t size : {9u, 10u, 11u}) {
        Tarv::PakWriter writer;
        std::string error;
        ASSERT_TRUE(writer.AddHostFile("f", dir / "f", size, error));
        std::vector<std::uint8_t> content;
        EXPECT_EQ(writer.BuildContent(64, content, error), size == 10u) << size;
        EXPECT_EQ(error.empty(), size == 10u) << error;
    }
}

} // namespace
