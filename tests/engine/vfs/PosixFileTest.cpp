// Host files through stdio: open, read, write, seek and the closed state.
#include "engine/vfs/PosixFile.h"

#include "engine/vfs/DiskActivity.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace
{

TEST(PosixFile, ReadsWhatWasWritten)
{
    TestFiles::TempDir dir;
    Tarv::PosixFile file;
    ASSERT_TRUE(file.OpenWrite((dir / "a.bin").c_str()));
    EXPECT_EQ(file.Write("hello", 5), 5);
    ASSERT_TRUE(file.OpenRead((dir / "a.bin").c_str()));
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 8), 5);
    EXPECT_STREQ(buffer, "hello");
    EXPECT_EQ(file.Read(buffer, 8), 0);
}

TEST(PosixFile, SeekWithUnknownOriginFailsAndKeepsPosition)
{
    TestFiles::TempDir dir;
    ASSERT_TRUE(TestFiles::WriteText(dir / "a.txt", "0123456789"));
    Tarv::PosixFile file;
    ASSERT_TRUE(file.OpenRead((dir / "a.txt").c_str()));
    ASSERT_TRUE(file.Seek(4, Tarv::SEEK_ORIGIN_START));
    EXPECT_FALSE(file.Seek(1, 3));
    EXPECT_EQ(file.Tell(), 4);
    EXPECT_TRUE(file.Seek(-2, Tarv::SEEK_ORIGIN_END));
    EXPECT_EQ(file.Tell(), 8);
}

TEST(PosixFile, GetSizeLeavesPosition)
{
    TestFiles::TempDir dir;
    ASSERT_TRUE(TestFiles::WriteText(dir / "a.txt", "0123456789"));
    Tarv::PosixFile file;
    ASSERT_TRUE(file.OpenRead((dir / "a.txt").c_str()));
    ASSERT_TRUE(file.Seek(3, Tarv::SEEK_ORIGIN_START));
    EXPECT_EQ(file.GetSize(), 10);
    EXPECT_EQ(file.Tell(), 3);
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
