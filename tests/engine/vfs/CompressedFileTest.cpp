// The chunked LZMA container: header and table checks, stored and compressed chunks, reads
// across chunks and within one, and damaged data.
#include "engine/vfs/CompressedFile.h"

#include "engine/vfs/DiskActivity.h"

#include "Archives.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace
{

using Archives::Bytes;

class Container : public ::testing::Test
{
protected:
    bool Open(const Bytes& bytes)
    {
        TestFiles::WriteBytes(Path(), bytes);
        return m_file.OpenRead(Path().c_str());
    }
    std::string Path() const { return m_dir / "c.bin"; }
    Bytes ReadAt(int position, int count)
    {
        Bytes out(static_cast<std::size_t>(count));
        m_file.Seek(position, Tarv::SEEK_ORIGIN_START);
        out.resize(static_cast<std::size_t>(m_file.Read(out.data(), count)));
        return out;
    }
    static Bytes Slice(const Bytes& bytes, std::size_t at, std::size_t count)
    {
        return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + count));
    }
    // Chunk 0 compressed, chunk 1 stored, chunk size 16 (the layout of the format's example).
    Bytes MixedContainer(bool compressTable, Bytes& content)
    {
        content = Archives::Filler(32, 7, false);
        const Bytes packed = Archives::Lzma(Slice(content, 0, 16));
        const std::uint32_t end0 = static_cast<std::uint32_t>(packed.size());
        Bytes bytes = Archives::Header(16, {end0 | 0x80000000u, end0 + 16}, compressTable);
        bytes.insert(bytes.end(), packed.begin(), packed.end());
        bytes.insert(bytes.end(), content.begin() + 16, content.end());
        return bytes;
    }
    TestFiles::TempDir m_dir;
    Tarv::CompressedFile m_file;
};

TEST_F(Container, RawAndCompressedTablesMixStoredAndCompressedChunks)
{
    for (bool compressTable : {false, true}) {
        Bytes content;
        ASSERT_TRUE(Open(MixedContainer(compressTable, content))) << compressTable;
        EXPECT_EQ(m_file.GetSize(), 32);
        EXPECT_TRUE(m_file.IsChunkCompressed(0));
        EXPECT_FALSE(m_file.IsChunkCompressed(1));
        // One read that spans both chunks.
        EXPECT_EQ(ReadAt(0, 32), content);
        EXPECT_EQ(ReadAt(10, 12), Slice(content, 10, 12));
    }
}

TEST_F(Container, ReadsWithinAChunkInAnyOrder)
{
    Bytes content = Archives::Filler(64, 3, false);
    Bytes bytes = Archives::Header(64, {static_cast<std::uint32_t>(Archives::Lzma(content).size()) | 0x80000000u}, false);
    const Bytes packed = Archives::Lzma(content);
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    ASSERT_TRUE(Open(bytes));
    EXPECT_EQ(ReadAt(10, 10), Slice(content, 10, 10));
    EXPECT_EQ(ReadAt(5, 5), Slice(content, 5, 5));
    EXPECT_EQ(ReadAt(20, 10), Slice(content, 20, 10));
    EXPECT_EQ(ReadAt(60, 10), Slice(content, 60, 4));
    EXPECT_EQ(ReadAt(64, 1).size(), 0u);
}

// Within a chunk, reading on (even past a gap) continues the running decoder on the input it
// already holds; reading back starts the chunk over from the archive file.
TEST_F(Container, ForwardReadsContinueTheDecoderAndBackwardReadsRestartIt)
{
    const Bytes content = Archives::Filler(64, 3, false);
    const Bytes packed = Archives::Lzma(content);
    Bytes bytes = Archives::Header(64, {static_cast<std::uint32_t>(packed.size()) | 0x80000000u}, false);
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    ASSERT_TRUE(Open(bytes));
    Tarv::TakeDiskActivity();
    const struct { int at; bool readsTheFile; } steps[] = {{10, true}, {20, false}, {45, false}, {5, true}, {15, false}};
    for (const auto& step : steps) {
        EXPECT_EQ(ReadAt(step.at, 10), Slice(content, static_cast<std::size_t>(step.at), 10)) << step.at;
        EXPECT_EQ(Tarv::TakeDiskActivity(), step.readsTheFile) << step.at;
    }
}

TEST_F(Container, ReadsHoppingBetweenManyChunksStayCorrect)
{
    // Many chunks read in small pieces in an order that keeps leaving chunks part-decoded and
    // coming back to them.
    const std::uint32_t chunk = 4096;
    const Bytes content = Archives::Filler(chunk * 8, 21, false);
    std::vector<std::uint32_t> table;
    Bytes chunks;
    for (std::uint32_t i = 0; i < 8; ++i) {
        const Bytes packed = Archives::Lzma(Slice(content, i * chunk, chunk));
        chunks.insert(chunks.end(), packed.begin(), packed.end());
        table.push_back(static_cast<std::uint32_t>(chunks.size()) | 0x80000000u);
    }
    Bytes bytes = Archives::Header(chunk, table, true);
    bytes.insert(bytes.end(), chunks.begin(), chunks.end());
    ASSERT_TRUE(Open(bytes));
    for (std::uint32_t round = 0; round < 6; ++round) {
        for (std::uint32_t i = 0; i < 8; ++i) {
            const std::uint32_t which = (i * 5 + round) % 8;
            const std::uint32_t at = which * chunk + round * 600 + i * 7;
            ASSERT_EQ(ReadAt(static_cast<int>(at), 300), Slice(content, at, 300)) << round << " " << which;
        }
    }
}

// Close drops the table and the decoder; the archive file stays open until destruction.
TEST_F(Container, CloseLeavesNoContentButKeepsTheFile)
{
    Bytes content;
    ASSERT_TRUE(Open(MixedContainer(false, content)));
    EXPECT_TRUE(m_file.Close());
    EXPECT_EQ(m_file.GetSize(), 0);
    std::uint8_t byte = 0;
    EXPECT_EQ(m_file.Read(&byte, 1), 0);
    EXPECT_TRUE(m_file.IsOpen());
    ASSERT_TRUE(Open(MixedContainer(true, content)));
    EXPECT_EQ(ReadAt(0, 32), content);
}

TEST_F(Container, SeekClampsToTheContent)
{
    Bytes content;
    ASSERT_TRUE(Open(MixedContainer(false, content)));
    EXPECT_TRUE(m_file.Seek(-5, Tarv::SEEK_ORIGIN_START));
    EXPECT_EQ(m_file.Tell(), 0);
    EXPECT_TRUE(m_file.Seek(100, Tarv::SEEK_ORIGIN_CURRENT));
    EXPECT_EQ(m_file.Tell(), 32);
    EXPECT_TRUE(m_file.Seek(-2, Tarv::SEEK_ORIGIN_END));
    EXPECT_EQ(m_file.Tell(), 30);
    EXPECT_TRUE(m_file.Seek(0, 7));
    EXPECT_EQ(m_file.Tell(), 30);
}

// Damaged headers and tables are refused, leaving no content: table sizes below one entry,
// a bad property byte, a chunk size of 0 or far larger than the reader holds, a data start
// inside the header, chunk ends that fall, repeat or pass the file's end, a compressed table
// claiming more entries than it holds, and every cut header.
TEST_F(Container, DamagedHeadersAndTablesAreRefused)
{
    auto stored = [](std::vector<std::uint32_t> ends, std::size_t data) {
        Bytes bytes = Archives::Header(16, ends, false);
        bytes.resize(bytes.size() + data);
        return bytes;
    };
    auto set = [](Bytes bytes, std::size_t at, std::uint32_t value) {
        Archives::SetU32(bytes, at, value);
        return bytes;
    };
    const Bytes good = stored({16}, 16);
    ASSERT_TRUE(Open(good));
    Bytes property = good;
    property[12] = 225;
    Bytes content;
    std::vector<Bytes> damaged = {property, set(good, 4, 0), set(good, 4, 0x7FFFFFFF), set(good, 0, 3),
                                  stored({16, 8}, 16), stored({16, 16}, 16), stored({16, 40}, 32),
                                  set(MixedContainer(true, content), 8, 12)};
    for (std::uint32_t tableBytes : {0u, 1u, 2u, 3u, 0xFFFFFFFFu, 0x80000000u})
        damaged.push_back(set(good, 8, tableBytes));
    for (std::size_t size = 0; size < good.size(); size += 3)
        damaged.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        EXPECT_FALSE(Open(damaged[i])) << "case " << i;
        EXPECT_EQ(m_file.GetSize(), 0) << "case " << i;
    }
}

TEST_F(Container, HugeDictionaryOpensWithoutAllocatingIt)
{
    Bytes content = Archives::Filler(64, 5, false);
    const Bytes packed = Archives::Lzma(content);
    Bytes bytes = Archives::Header(64, {static_cast<std::uint32_t>(packed.size()) | 0x80000000u}, false, 0x5D, 0xFFFFFFFFu);
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    ASSERT_TRUE(Open(bytes));
    EXPECT_EQ(ReadAt(0, 64), content);
}

// A chunk longer than the dictionary runs the dictionary round as a ring.
TEST_F(Container, ChunkLongerThanTheDictionaryDecodesWhole)
{
    const Bytes content = Archives::Filler(20000, 13, false);
    const Bytes packed = Archives::Lzma(content, 4096);
    Bytes bytes = Archives::Header(20000, {static_cast<std::uint32_t>(packed.size()) | 0x80000000u}, false, 0x5D, 4096);
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    ASSERT_TRUE(Open(bytes));
    EXPECT_EQ(ReadAt(0, 20000), content);
    EXPECT_EQ(ReadAt(9000, 7000), Slice(content, 9000, 7000));
}

TEST_F(Container, DamagedChunkGivesAShortReadNotGarbage)
{
    Bytes content = Archives::Filler(4096, 9, true);
    Bytes packed = Archives::Lzma(content);
    // Noise barely compresses: force the chunk to claim compression with broken data.
    for (std::size_t i = 5; i < packed.size(); i += 7)
        packed[i] ^= 0x5A;
    Bytes bytes = Archives::Header(4096, {static_cast<std::uint32_t>(packed.size()) | 0x80000000u}, false);
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    ASSERT_TRUE(Open(bytes));
    // LZMA has no checksum: the reader can only stop where the decoder finds the damage.
    EXPECT_LT(ReadAt(0, 4096).size(), 4096u);
}

TEST_F(Container, CompressedChunkCutShortGivesAShortRead)
{
    Bytes content = Archives::Filler(256, 4, false);
    Bytes packed = Archives::Lzma(content);
    packed.resize(packed.size() / 2);
    Bytes bytes = Archives::Header(256, {static_cast<std::uint32_t>(packed.size()) | 0x80000000u}, false);
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    ASSERT_TRUE(Open(bytes));
    Bytes got = ReadAt(0, 256);
    EXPECT_LT(got.size(), 256u);
    EXPECT_EQ(got, Slice(content, 0, got.size()));
}

TEST_F(Container, ShortStoredLastChunkGivesAShortRead)
{
    Bytes bytes = Archives::Header(16, {16, 20}, false);
    const Bytes content = Archives::Filler(20, 2, false);
    bytes.insert(bytes.end(), content.begin(), content.end());
    ASSERT_TRUE(Open(bytes));
    EXPECT_EQ(m_file.GetSize(), 32);
    EXPECT_EQ(ReadAt(0, 32), content);
}

} // namespace
