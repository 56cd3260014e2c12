// One archive entry as a stream: bounds of reads and seeks, the closed state, and lines.
#include "engine/vfs/VirtualFile.h"

#include "engine/vfs/PakMount.h"
#include "Archives.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace
{

class Entry : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_content = Archives::Filler(100, 1, false);
        TestFiles::WriteBytes(m_dir / "a.pak", Archives::Pack({{"e", m_content}, {"lines.txt", {'a', '\r', '\n', 'b'}}}, Tarv::ContainerWriter::Options()));
        m_mount = new Tarv::PakMount((m_dir / "a.pak").c_str(), "", 0);
        m_file = static_cast<Tarv::VirtualFile*>(m_mount->OpenRead("e"));
        ASSERT_TRUE(m_file);
    }
    TestFiles::TempDir m_dir;
    Archives::Bytes m_content;
    Tarv::SmartPtr<Tarv::PakMount> m_mount;
    Tarv::SmartPtr<Tarv::VirtualFile> m_file;
};

TEST_F(Entry, ReadStopsAtTheEntryEnd)
{
    std::uint8_t buffer[50];
    ASSERT_TRUE(m_file->Seek(80, Tarv::SEEK_ORIGIN_START));
    EXPECT_EQ(m_file->Read(buffer, 50), 20);
    EXPECT_EQ(buffer[0], m_content[80]);
    EXPECT_EQ(m_file->Read(buffer, 50), 0);
    EXPECT_EQ(m_file->Tell(), 100);
}

TEST_F(Entry, SeekClampsToTheEntry)
{
    ASSERT_TRUE(m_file->Seek(5, Tarv::SEEK_ORIGIN_START));
    EXPECT_TRUE(m_file->Seek(-10, Tarv::SEEK_ORIGIN_CURRENT));
    EXPECT_EQ(m_file->Tell(), 0);
    EXPECT_TRUE(m_file->Seek(10, Tarv::SEEK_ORIGIN_END));
    EXPECT_EQ(m_file->Tell(), 100);
    EXPECT_TRUE(m_file->Seek(-1, Tarv::SEEK_ORIGIN_END));
    EXPECT_TRUE(m_file->Seek(3, 9));
    EXPECT_EQ(m_file->Tell(), 99);
}

TEST_F(Entry, ClosedEntryIsInert)
{
    EXPECT_EQ(m_file->GetSize(), 100);
    EXPECT_TRUE(m_file->Close());
    EXPECT_EQ(m_file->GetSize(), -1);
    EXPECT_FALSE(m_file->Seek(0, Tarv::SEEK_ORIGIN_START));
    std::uint8_t byte;
    EXPECT_EQ(m_file->Read(&byte, 1), 0);
}

// Entries read their lines through the shared byte-wise reader: a long line comes whole and
// leaves the position after its feed; a "\r" stays in its line; the last line ends with the
// entry, after which the line stays as it was.
TEST_F(Entry, LinesComeWholeAndEndWithTheEntry)
{
    const std::string longLine(1000, 'x');
    Archives::Bytes text(longLine.begin(), longLine.end());
    text.insert(text.end(), {'\n', '\n', 'y', 'z'});
    TestFiles::WriteBytes(m_dir / "b.pak", Archives::Pack({{"t", text}}, Tarv::ContainerWriter::Options()));
    Tarv::SmartPtr<Tarv::PakMount> mount(new Tarv::PakMount((m_dir / "b.pak").c_str(), "", 0));
    Tarv::SmartPtr<Tarv::File> file(mount->OpenRead("t"));
    Tarv::NarrowString line;
    ASSERT_TRUE(file->ReadLine(line));
    EXPECT_EQ(line, longLine);
    EXPECT_EQ(file->Tell(), 1001);
    line.clear();
    EXPECT_TRUE(file->ReadLine(line));
    EXPECT_EQ(line, "");
    std::uint8_t byte = 0;
    EXPECT_EQ(file->Read(&byte, 1), 1);
    EXPECT_EQ(byte, 'y');

    file = m_mount->OpenRead("LINES.TXT");
    for (const char* expected : {"a\r", "b"}) {
        line.clear();
        EXPECT_TRUE(file->ReadLine(line));
        EXPECT_EQ(line, expected);
    }
    EXPECT_TRUE(file->ReadLine(line));
    EXPECT_EQ(line, "b");
    EXPECT_EQ(file->Tell(), file->GetSize());
}

} // namespace
