// Whole files in memory: bounds of reads and seeks, loading through the file system.
#include "engine/vfs/CachedFile.h"

#include "engine/vfs/NativeMount.h"
#include "engine/vfs/Vfs.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace
{

const char TEN[] = "0123456789";

// Reads stop at the end; seeks past either end (even huge ones, which must not wrap) read
// nothing; an unknown origin fails.
TEST(CachedFile, ReadsAndSeeksStayInsideTheData)
{
    Tarv::CachedFile file(TEN, 10, true);
    char buffer[4];
    ASSERT_TRUE(file.Seek(8, Tarv::SEEK_ORIGIN_START));
    EXPECT_EQ(file.Read(buffer, 4), 2);
    EXPECT_EQ(buffer[0], '8');
    EXPECT_TRUE(file.Seek(20, Tarv::SEEK_ORIGIN_START));
    EXPECT_EQ(file.Read(buffer, 4), 0);
    EXPECT_TRUE(file.Seek(-30, Tarv::SEEK_ORIGIN_CURRENT));
    EXPECT_EQ(file.Read(buffer, 4), 0);
    EXPECT_TRUE(file.Seek(-3, Tarv::SEEK_ORIGIN_END));
    EXPECT_EQ(file.Tell(), 7);
    EXPECT_FALSE(file.Seek(0, 3));
    ASSERT_TRUE(file.Seek(2147483647, Tarv::SEEK_ORIGIN_START));
    EXPECT_TRUE(file.Seek(2147483647, Tarv::SEEK_ORIGIN_CURRENT));
    EXPECT_EQ(file.Read(buffer, 1), 0);
}

class CachedFileVfs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Tarv::VfsInit();
        Tarv::VfsMountNative(m_dir.Path() + "/", "", 0);
    }
    void TearDown() override { Tarv::VfsShutdown(); }
    TestFiles::TempDir m_dir;
};

TEST_F(CachedFileVfs, LoadsAWholeFile)
{
    ASSERT_TRUE(TestFiles::WriteText(m_dir / "a.txt", "abcdef"));
    Tarv::SmartPtr<Tarv::CachedFile> file(Tarv::VfsOpenCached("a.txt"));
    ASSERT_TRUE(file->IsOpen());
    EXPECT_EQ(file->GetSize(), 6);
    char buffer[6];
    EXPECT_EQ(file->Read(buffer, 6), 6);
    EXPECT_EQ(std::string(buffer, 6), "abcdef");
    Tarv::SmartPtr<Tarv::CachedFile> missing(Tarv::VfsOpenCached("missing.txt"));
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing->IsOpen());
}

TEST_F(CachedFileVfs, OpenWriteFailsAndDropsData)
{
    ASSERT_TRUE(TestFiles::WriteText(m_dir / "a.txt", "abc"));
    Tarv::CachedFile file;
    ASSERT_TRUE(file.OpenRead("a.txt"));
    EXPECT_FALSE(file.OpenWrite("a.txt"));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetSize(), 0);
}

// A source that claims more bytes than it delivers, as a damaged archive entry may.
class ShortMount : public Tarv::VfsMount
{
public:
    ShortMount() : Tarv::VfsMount("short/", 0) {}
    Tarv::File* OpenRead(const char*) override { return new ShortFile(); }
    Tarv::File* OpenWrite(const char*) override { return nullptr; }

private:
    class ShortFile : public Tarv::File
    {
    public:
        int Read(void* buffer, int count) override
        {
            if (m_given || count < 1)
                return 0;
            m_given = true;
            static_cast<char*>(buffer)[0] = 'x';
            return 1;
        }
        int Write(const void*, int) override { return 0; }
        bool Seek(int offset, int origin) override
        {
            m_position = origin == Tarv::SEEK_ORIGIN_END ? 100 + offset : offset;
            return true;
        }
        int Tell() override { return m_position; }
        int GetSize() override { return 100; }

    private:
        bool m_given = false;
        int m_position = 0;
    };
};

TEST_F(CachedFileVfs, ShortReadOfTheSourceFails)
{
    Tarv::VfsAddMount(new ShortMount());
    Tarv::CachedFile file;
    EXPECT_FALSE(file.OpenRead("short/a"));
    EXPECT_FALSE(file.IsOpen());
}

} // namespace
