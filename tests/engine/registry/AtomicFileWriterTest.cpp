// Whole-file replacement: the old file survives every failure, and virtual paths resolve to the
// host file a write would reach.
#include "engine/registry/AtomicFileWriter.h"

#include "engine/vfs/Vfs.h"
#include "engine/vfs/VfsMount.h"
#include "tests/engine/vfs/TestFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

using Tarv::AtomicFileWriter;
using Tarv::NarrowString;

namespace
{

int s_calls;

ssize_t FailOnSecondCall(int fd, const void* data, std::size_t size)
{
    if (++s_calls >= 2) {
        errno = EIO;
        return -1;
    }
    return write(fd, data, size < 3 ? size : 3);
}

ssize_t WriteNothing(int, const void*, std::size_t)
{
    return 0;
}

ssize_t OneByteAtATime(int fd, const void* data, std::size_t size)
{
    return write(fd, data, size > 0 ? 1 : 0);
}

class AtomicFileWriterTest : public testing::Test
{
protected:
    void TearDown() override { AtomicFileWriter::SetWriteFunction(nullptr); }
    TestFiles::TempDir m_dir;
};

} // namespace

TEST_F(AtomicFileWriterTest, ReplacesTheWholeFileMakesFoldersAndContinuesShortWrites)
{
    const std::string path = m_dir / "a/b/settings.xml";
    EXPECT_TRUE(AtomicFileWriter::WriteHostFile(path, "first, longer content"));
    EXPECT_TRUE(AtomicFileWriter::WriteHostFile(path, "second"));
    EXPECT_EQ(TestFiles::ReadText(path), "second");
    EXPECT_NE(access((path + ".tmp").c_str(), F_OK), 0);
    // Short writes are continued.
    AtomicFileWriter::SetWriteFunction(OneByteAtATime);
    EXPECT_TRUE(AtomicFileWriter::WriteHostFile(m_dir / "f", "several bytes"));
    EXPECT_EQ(TestFiles::ReadText(m_dir / "f"), "several bytes");
}

TEST_F(AtomicFileWriterTest, FailedWritesLeaveTheOldFileAndNoTemporary)
{
    const std::string path = m_dir / "settings.xml";
    ASSERT_TRUE(TestFiles::WriteText(path, "old"));
    s_calls = 0;
    AtomicFileWriter::SetWriteFunction(FailOnSecondCall);
    EXPECT_FALSE(AtomicFileWriter::WriteHostFile(path, "new content"));
    AtomicFileWriter::SetWriteFunction(WriteNothing);
    EXPECT_FALSE(AtomicFileWriter::WriteHostFile(path, "new content"));
    EXPECT_EQ(TestFiles::ReadText(path), "old");
    EXPECT_NE(access((path + ".tmp").c_str(), F_OK), 0);
}

TEST_F(AtomicFileWriterTest, UnwritableFolderFailsCleanly)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions don't bind root";
    const std::string folder = m_dir / "locked";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    ASSERT_TRUE(TestFiles::WriteText(folder + "/f", "old"));
    ASSERT_EQ(chmod(folder.c_str(), 0500), 0);
    EXPECT_FALSE(AtomicFileWriter::WriteHostFile(folder + "/f", "new"));
    chmod(folder.c_str(), 0700);
    EXPECT_EQ(TestFiles::ReadText(folder + "/f"), "old");
}

TEST_F(AtomicFileWriterTest, BadHostPathsFail)
{
    EXPECT_FALSE(AtomicFileWriter::WriteHostFile("", "x"));
    EXPECT_FALSE(AtomicFileWriter::WriteHostFile(m_dir / "", "x"));
    ASSERT_TRUE(TestFiles::WriteText(m_dir / "file", "x"));
    EXPECT_FALSE(AtomicFileWriter::WriteHostFile(m_dir / "file/below", "x"));
}

TEST_F(AtomicFileWriterTest, VirtualPathsResolveThroughTheMounts)
{
    setenv("XDG_CONFIG_HOME", m_dir.Path().c_str(), 1);
    Tarv::VfsInit();
    Tarv::VfsMountNative(m_dir.Path() + "/data/", "data/", 0);
    Tarv::VfsMountNative("", "save/", Tarv::VFS_MOUNT_FALL_THROUGH | Tarv::VFS_MOUNT_SAVE_FILES);
    EXPECT_EQ(AtomicFileWriter::GetHostPath("save/settings.xml"), m_dir / "Brashwick/settings.xml");
    EXPECT_EQ(AtomicFileWriter::GetHostPath("data/x.xml"), m_dir / "data/x.xml");
    EXPECT_EQ(AtomicFileWriter::GetHostPath("save/../escape"), "");
    EXPECT_EQ(AtomicFileWriter::GetHostPath("other/x"), "");
    EXPECT_EQ(AtomicFileWriter::GetHostPath(nullptr), "");

    EXPECT_TRUE(AtomicFileWriter::WriteFile("save/settings.xml", "saved"));
    EXPECT_EQ(TestFiles::ReadText(m_dir / "Brashwick/settings.xml"), "saved");
    EXPECT_FALSE(AtomicFileWriter::WriteFile("other/x", "x"));
    Tarv::VfsShutdown();
    unsetenv("XDG_CONFIG_HOME");
}
