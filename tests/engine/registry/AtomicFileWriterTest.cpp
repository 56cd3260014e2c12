// Whole-file replacement: the old file survives every failure, and virtual paths resolve to the
// host file a write would reach.
#include "engine/registry/AtomicFileWriter.h"

#include "engine/vfs/Vfs.h"
#include "engine/vfs/VfsMount.h"
#include "tests/engine/vfs/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using Tarv::AtomicFileWriter;
using Tarv::NarrowString;

namespace
{

int s_calls;

// The names in a folder, sorted.
std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

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
    EXPECT_EQ(Entries(m_dir / "a/b"), std::vector<std::string>{"settings.xml"});
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
    EXPECT_EQ(Entries(m_dir.Path()), std::vector<std::string>{"settings.xml"});
}

// Two programs saving the same file at once, many times over: each save that says it wrote
// leaves one whole file in place, never a mix of both, and none of them fails.
TEST_F(AtomicFileWriterTest, TwoProcessesSavingAtOnceLeaveOneWholeFile)
{
    const std::string path = m_dir / "settings.xml";
    const std::string texts[] = {std::string(5000, 'a'), std::string(300, 'b')};
    ASSERT_TRUE(AtomicFileWriter::WriteHostFile(path, texts[0]));
    constexpr int ROUNDS = 300;
    pid_t writers[2];
    for (int i = 0; i < 2; ++i) {
        writers[i] = fork();
        ASSERT_GE(writers[i], 0);
        if (writers[i] == 0) {
            int failed = 0;
            for (int round = 0; round < ROUNDS; ++round)
                failed += AtomicFileWriter::WriteHostFile(path, texts[i]) ? 0 : 1;
            _exit(failed == 0 ? 0 : 1);
        }
    }
    int mixed = 0;
    int running = 2;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (running > 0) {
        if (std::chrono::steady_clock::now() > giveUp) {
            for (pid_t writer : writers)
                if (writer > 0)
                    kill(writer, SIGKILL);
            FAIL() << "the writers did not finish";
        }
        const std::string now = TestFiles::ReadText(path);
        mixed += now == texts[0] || now == texts[1] ? 0 : 1;
        for (pid_t& writer : writers) {
            int status = 0;
            if (writer > 0 && waitpid(writer, &status, WNOHANG) == writer) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save said it failed";
                writer = 0;
                --running;
            }
        }
    }
    EXPECT_EQ(mixed, 0);
    const std::string last = TestFiles::ReadText(path);
    EXPECT_TRUE(last == texts[0] || last == texts[1]);
    EXPECT_EQ(Entries(m_dir.Path()), std::vector<std::string>{"settings.xml"});
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
