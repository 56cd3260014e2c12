// Host files through stdio: open, read, write, seek and the closed state.
#include "engine/vfs/PosixFile.h"

#include "engine/vfs/DiskActivity.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace
{

// Reads what was written; a seek with an unknown origin fails and keeps the position, as does
// asking the size.
TEST(PosixFile, ReadsWhatWasWrittenAndKeepsItsPosition)
{
    TestFiles::TempDir dir;
    Tarv::PosixFile file;
    ASSERT_TRUE(file.OpenWrite((dir / "a.txt").c_str()));
    EXPECT_EQ(file.Write("0123456789", 10), 10);
    ASSERT_TRUE(file.OpenRead((dir / "a.txt").c_str()));
    char buffer[12] = {};
    EXPECT_EQ(file.Read(buffer, 12), 10);
    EXPECT_STREQ(buffer, "0123456789");
    EXPECT_EQ(file.Read(buffer, 12), 0);
    ASSERT_TRUE(file.Seek(4, Tarv::SEEK_ORIGIN_START));
    EXPECT_FALSE(file.Seek(1, 3));
    EXPECT_EQ(file.GetSize(), 10);
    EXPECT_EQ(file.Tell(), 4);
    EXPECT_TRUE(file.Seek(-2, Tarv::SEEK_ORIGIN_END));
    EXPECT_EQ(file.Tell(), 8);
}

TEST(PosixFile, MissingPathLeavesItClosedAndInert)
{
    Tarv::PosixFile file;
    EXPECT_FALSE(file.OpenRead("/nonexistent/brashwick/file"));
    EXPECT_FALSE(file.IsOpen());
    char byte = 0;
    EXPECT_EQ(file.Read(&byte, 1), 0);
    EXPECT_EQ(file.Write(&byte, 1), 0);
    EXPECT_FALSE(file.Seek(0, Tarv::SEEK_ORIGIN_START));
    EXPECT_EQ(file.Tell(), 0);
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_TRUE(file.Close());
}

TEST(PosixFile, AccessMarksDiskActivity)
{
    TestFiles::TempDir dir;
    ASSERT_TRUE(TestFiles::WriteText(dir / "a.txt", "x"));
    Tarv::PosixFile file;
    ASSERT_TRUE(file.OpenRead((dir / "a.txt").c_str()));
    Tarv::TakeDiskActivity();
    char byte = 0;
    file.Read(&byte, 1);
    EXPECT_TRUE(Tarv::TakeDiskActivity());
    EXPECT_FALSE(Tarv::TakeDiskActivity());
}

} // namespace
