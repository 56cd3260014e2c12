// Whole-file replacement: the old file survives every failure, temporary files of killed saves
// are cleared while a running save's stays, a symbolic link is saved through, a save keeps what a
// plain write keeps (mode, owner, group, a read-only file), a file in a folder that takes no new
// file is written in place by an unprivileged save, and virtual paths resolve to the host file a
// write would reach.
#include "engine/registry/AtomicFileWriter.h"

#include "engine/vfs/MaemoGameSaveFile.h"
#include "engine/vfs/Vfs.h"
#include "engine/vfs/VfsMount.h"
#include "tests/engine/vfs/TestFiles.h"
#include "tests/support/AsUser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <sys/xattr.h>
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

// Fails the second call only: a write that breaks off once and then works again.
ssize_t FailOnlySecondCall(int fd, const void* data, std::size_t size)
{
    if (++s_calls == 2) {
        errno = EIO;
        return -1;
    }
    return write(fd, data, s_calls == 1 && size > 3 ? 3 : size);
}

ssize_t WriteNothing(int, const void*, std::size_t)
{
    return 0;
}

ssize_t OneByteAtATime(int fd, const void* data, std::size_t size)
{
    return write(fd, data, size > 0 ? 1 : 0);
}

// The write end of a pipe the hanging write below tells the parent through.
int s_ready = -1;

// Writes a few bytes, says so, then never returns: a save caught part-way.
ssize_t WriteThenHang(int fd, const void* data, std::size_t size)
{
    const ssize_t wrote = write(fd, data, size < 4 ? size : 4);
    const char byte = wrote > 0 ? 1 : 0;
    if (write(s_ready, &byte, 1) != 1)
        _exit(2);
    for (;;)
        pause();
}

// Reaps a child that has been killed or is ending; false when it is still there after 20 s.
bool Reap(pid_t child, int* status = nullptr)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (waitpid(child, status, WNOHANG) != child) {
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        usleep(1000);
    }
    return true;
}

// The permission bits of path, or ~0 when it can't be looked at.
unsigned ModeOf(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : ~0u;
}

// Permission bits don't bind root, so as root a save runs as this unprivileged user.
constexpr uid_t PLAYER = 65534;

// Gives a file or folder to the player when the tests run as root; anyone else owns it already.
bool HandToPlayer(const std::string& path)
{
    return geteuid() != 0 || lchown(path.c_str(), PLAYER, PLAYER) == 0;
}

// What a save made by the player reports; the child below sends it whole.
struct PlayerSave
{
    enum { ANSWERED, NO_PLAYER, NO_ANSWER } outcome;
    bool saved;
    bool damaged;
    int error;
    char refuser[1024];
    char why[1024];  // what a message says of the failure
};

// Starts or stops a SIGALRM every millisecond that does nothing but end, with EINTR, the sleep or
// wait it falls in (no SA_RESTART).
bool SignalEveryMillisecond(bool on)
{
    struct sigaction ignore{};
    ignore.sa_handler = [](int) {};
    const suseconds_t step = on ? 1000 : 0;
    const itimerval every{{0, step}, {0, step}};
    return sigaction(SIGALRM, &ignore, nullptr) == 0 && setitimer(ITIMER_REAL, &every, nullptr) == 0;
}

// How the player's save runs, besides as the player.
struct PlayerOptions
{
    // The player's groups besides its own (as root; anyone else saves with their own).
    std::vector<gid_t> groups;
    // A signal every millisecond cuts each of the save's sleeps short.
    bool signalled = false;
    // Root saves instead, as itself.
    bool byRoot = false;
    // Passed to WriteHostFile.
    std::string formerFile;
};

// Runs WriteHostFile through the given low-level write in a child process that permission bits
// bind: as root the child becomes the player first (NO_PLAYER when it can't), unless the options
// say root saves. NO_ANSWER when the child gives no answer within 20 s.
PlayerSave SaveAsPlayer(const std::string& path, const std::string& text, AtomicFileWriter::WriteFunction lowLevel,
                        const PlayerOptions& options = {})
{
    PlayerSave result{PlayerSave::NO_ANSWER, false, false, 0, {}, {}};
    const TestSupport::ChildUser player{PLAYER, PLAYER, options.groups};
    const TestSupport::ChildAnswer answer = TestSupport::RunInChild(
        [&] {
            s_calls = 0;
            AtomicFileWriter::SetWriteFunction(lowLevel);
            if (options.signalled && !SignalEveryMillisecond(true))
                _exit(2);
            Tarv::WriteFailure failure;
            result.outcome = PlayerSave::ANSWERED;
            result.saved = AtomicFileWriter::WriteHostFile(path, text, &failure, options.formerFile);
            if (options.signalled)
                SignalEveryMillisecond(false);
            result.damaged = failure.damaged;
            result.error = failure.error;
            std::snprintf(result.refuser, sizeof result.refuser, "%s", failure.path.c_str());
            std::snprintf(result.why, sizeof result.why, "%s", Tarv::DescribeWriteFailure(failure, path).c_str());
            return std::string(reinterpret_cast<const char*>(&result), sizeof result);
        },
        options.byRoot ? nullptr : &player);
    if (answer.outcome == TestSupport::ChildAnswer::ANSWERED && answer.said.size() == sizeof result)
        std::memcpy(&result, answer.said.data(), sizeof result);
    else if (answer.outcome == TestSupport::ChildAnswer::NO_USER)
        result.outcome = PlayerSave::NO_PLAYER;
    return result;
}

// While set, a file's access list can't be read: looking for one fails with an I/O error, as on a
// failing disk. Every look at an attribute in this program comes through the getxattr below.
bool s_accessListUnreadable = false;

} // namespace

extern "C" ssize_t getxattr(const char* path, const char* name, void* value, std::size_t size) noexcept
{
    if (s_accessListUnreadable && std::strcmp(name, "system.posix_acl_access") == 0) {
        errno = EIO;
        return -1;
    }
    return syscall(SYS_getxattr, path, name, value, size);
}

namespace
{

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

// A save in another process caught part-way keeps its temporary file while that process runs
// (it may yet finish); once it has been killed, the next save removes it, as it removes one of
// a process long gone. Names that are not this file's temporaries stay.
TEST_F(AtomicFileWriterTest, TemporariesOfKilledSavesGoAndThoseOfRunningSavesStay)
{
    const std::string path = m_dir / "settings.xml";
    ASSERT_TRUE(TestFiles::WriteText(path, "old"));
    const pid_t gone = fork();
    ASSERT_GE(gone, 0);
    if (gone == 0)
        _exit(0);
    ASSERT_TRUE(Reap(gone));
    const std::string goneId = std::to_string(gone);
    const std::vector<std::string> others = {"other.xml.tmp." + goneId + ".0", "settings.xml.tmp." + goneId + ".x",
                                             "settings.xml.tmp." + goneId, "settings.xml.bad"};
    for (const std::string& name : others)
        ASSERT_TRUE(TestFiles::WriteText(m_dir / name, "kept"));
    ASSERT_TRUE(TestFiles::WriteText(m_dir / ("settings.xml.tmp." + goneId + ".3"), std::string(1000, 'x')));

    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t saving = fork();
    ASSERT_GE(saving, 0);
    if (saving == 0) {
        close(ready[0]);
        s_ready = ready[1];
        AtomicFileWriter::SetWriteFunction(WriteThenHang);
        AtomicFileWriter::WriteHostFile(path, "the other process's save");
        _exit(1);
    }
    close(ready[1]);
    struct Killed {
        ~Killed()
        {
            if (pid > 0 && kill(pid, SIGKILL) == 0)
                Reap(pid);
        }
        pid_t pid;
    } killed{saving};
    pollfd wait{ready[0], POLLIN, 0};
    char byte = 0;
    const bool caught = poll(&wait, 1, 20000) == 1 && read(ready[0], &byte, 1) == 1 && byte == 1;
    close(ready[0]);
    ASSERT_TRUE(caught) << "the other process's save did not start";
    // Its number counts on from the saves this process made before it was forked.
    std::string running;
    for (const std::string& name : Entries(m_dir.Path()))
        if (name.rfind("settings.xml.tmp." + std::to_string(saving) + ".", 0) == 0)
            running = name;
    ASSERT_FALSE(running.empty());

    std::vector<std::string> expected = others;
    expected.push_back("settings.xml");
    expected.push_back(running);
    std::sort(expected.begin(), expected.end());
    EXPECT_TRUE(AtomicFileWriter::WriteHostFile(path, "first"));
    EXPECT_EQ(Entries(m_dir.Path()), expected);
    EXPECT_EQ(TestFiles::ReadText(m_dir / running), "the ");

    ASSERT_EQ(kill(saving, SIGKILL), 0);
    ASSERT_TRUE(Reap(saving));
    killed.pid = 0;
    EXPECT_TRUE(AtomicFileWriter::WriteHostFile(path, "second"));
    expected.erase(std::find(expected.begin(), expected.end(), running));
    EXPECT_EQ(Entries(m_dir.Path()), expected);
    EXPECT_EQ(TestFiles::ReadText(path), "second");
}

// A settings file kept elsewhere through a symbolic link (or a chain of them): the save lands
// in the file at the end of the chain, beside which its temporary file is made, and the links
// stay as they were. A link to a file not there yet makes that file; a loop of links fails and
// changes nothing.
TEST_F(AtomicFileWriterTest, ASymbolicLinkIsSavedThroughAndStays)
{
    ASSERT_EQ(mkdir((m_dir / "save").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((m_dir / "mine").c_str(), 0700), 0);
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links;  // link in save/ -> target
        std::string target;                                       // under m_dir
    } cases[] = {
        {"relative", {{"settings.xml", "../mine/settings.xml"}}, "mine/settings.xml"},
        {"absolute", {{"settings.xml", m_dir / "mine/settings.xml"}}, "mine/settings.xml"},
        {"chain", {{"settings.xml", "middle"}, {"middle", "../mine/settings.xml"}}, "mine/settings.xml"},
        {"to a new file", {{"settings.xml", "../mine/new.xml"}}, "mine/new.xml"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(TestFiles::WriteText(m_dir / "mine/settings.xml", "old"));
        for (const auto& [link, target] : c.links)
            ASSERT_EQ(symlink(target.c_str(), (m_dir / ("save/" + link)).c_str()), 0);
        EXPECT_TRUE(AtomicFileWriter::WriteHostFile(m_dir / "save/settings.xml", "new"));
        EXPECT_EQ(TestFiles::ReadText(m_dir / c.target), "new");
        // Each link still a link to where it pointed; once they are gone, nothing else is there.
        for (const auto& [link, target] : c.links) {
            char read[4096];
            const ssize_t size = readlink((m_dir / ("save/" + link)).c_str(), read, sizeof read);
            EXPECT_EQ(std::string(read, size > 0 ? std::size_t(size) : 0), target);
            unlink((m_dir / ("save/" + link)).c_str());
        }
        EXPECT_EQ(Entries(m_dir / "save"), std::vector<std::string>{});
        const std::string folder = c.target.substr(0, c.target.rfind('/'));
        for (const std::string& name : Entries(m_dir / folder))
            EXPECT_EQ(name.find(".tmp."), std::string::npos) << name;
        unlink((m_dir / "mine/new.xml").c_str());
    }
    ASSERT_EQ(symlink("b", (m_dir / "save/a").c_str()), 0);
    ASSERT_EQ(symlink("a", (m_dir / "save/b").c_str()), 0);
    Tarv::WriteFailure failure;
    EXPECT_FALSE(AtomicFileWriter::WriteHostFile(m_dir / "save/a", "new", &failure));
    EXPECT_EQ(failure.error, ELOOP);
    EXPECT_EQ(Entries(m_dir / "save"), (std::vector<std::string>{"a", "b"}));
}

// A save keeps what a plain write keeps. A file's permission bits stay, whether it is saved
// directly or through a link (which keeps its own): a private file stays private. A read-only one
// is refused and left as it is, but by root, whom permission bits don't bind. A file not there
// before is made with the usual mode, 0666 less the umask.
TEST_F(AtomicFileWriterTest, ASavedFileKeepsItsMode)
{
    ASSERT_EQ(chmod(m_dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(mkdir((m_dir / "mine").c_str(), 0700), 0);
    ASSERT_TRUE(HandToPlayer(m_dir / "mine"));
    const std::string file = m_dir / "mine/settings.xml", link = m_dir / "settings.xml";
    ASSERT_EQ(symlink("mine/settings.xml", link.c_str()), 0);
    const std::string real = std::filesystem::canonical(m_dir / "mine").string() + "/settings.xml";
    for (const mode_t mode : {0600, 0640, 0444, 0400}) {
        for (const bool byRoot : {false, true}) {
            if (byRoot && geteuid() != 0)
                continue;
            for (const std::string& path : {file, link}) {
                SCOPED_TRACE(testing::Message() << path << " on a file of mode " << std::oct << mode
                                                << (byRoot ? " by root" : ""));
                ASSERT_TRUE(TestFiles::WriteText(file, "old"));
                ASSERT_EQ(chmod(file.c_str(), mode), 0);
                ASSERT_TRUE(HandToPlayer(file));
                PlayerOptions options;
                options.byRoot = byRoot;
                const PlayerSave result = SaveAsPlayer(path, "new", nullptr, options);
                if (result.outcome == PlayerSave::NO_PLAYER)
                    GTEST_SKIP() << "root here can't become an unprivileged user";
                ASSERT_EQ(result.outcome, PlayerSave::ANSWERED);
                const bool writable = byRoot || (mode & 0200) != 0;
                EXPECT_EQ(result.saved, writable);
                EXPECT_EQ(result.error, writable ? 0 : EACCES);
                EXPECT_EQ(result.refuser, writable ? "" : real);
                EXPECT_EQ(TestFiles::ReadText(file), writable ? "new" : "old");
                EXPECT_EQ(ModeOf(file), mode);
                unlink(file.c_str());
            }
        }
    }
    const mode_t mask = umask(022);
    umask(mask);
    EXPECT_TRUE(AtomicFileWriter::WriteHostFile(file, "new"));
    EXPECT_EQ(ModeOf(file), 0666u & ~mask);
}

// The file keeps its owner and group as far as the saver may give them: root keeps the player's
// file the player's and a player keeps a group the player is in, through the rename. Where the
// renamed file could not come out as the old one was (a group the player is not in, another
// user's file, a second name, an access list), the file is written in place, as a plain write
// would, and keeps all of it. A file saved where none was takes them, and the mode, from the
// former file it succeeds. A file without an access list gains none from its folder's default,
// and one whose list can't be read is written in place, as it may have one.
TEST_F(AtomicFileWriterTest, ASavedFileKeepsItsOwnerAndGroupAsFarAsTheSaverMay)
{
    // A group the player may be in besides its own ("games" on Debian; any number will do), and
    // another user.
    constexpr gid_t GAMES = 60;
    constexpr uid_t OTHER = 65533;
    // Without root the player is this user, and rows of other users and groups are skipped.
    const bool root = geteuid() == 0;
    const uid_t player = root ? PLAYER : geteuid();
    const gid_t playerGroup = root ? PLAYER : getegid();
    // user::rw- user:65533:r-- group::r-- mask::r-- other::---, as the system stores it.
    const std::string accessList = {2, 0, 0, 0,  1, 0, 6, 0, -1, -1, -1, -1,  2, 0, 4, 0, -3, -1, 0, 0,
                                    4, 0, 4, 0, -1, -1, -1, -1,  16, 0, 4, 0, -1, -1, -1, -1,  32, 0, 0, 0, -1, -1, -1, -1};
    const struct {
        const char* name;
        uid_t owner;  // the file's: the player or OTHER
        gid_t group;  // the file's: the player's own or GAMES
        bool byRoot;  // else by the player
        bool inGroup;  // the player is in GAMES
        bool former;  // the file is the former file of a save where none is
        gid_t kept;
        bool inPlace;  // the file itself is written, keeping its inode
        mode_t mode = 0640;
        bool secondName = false;
        bool accessList = false;
        bool folderAccessList = false;  // the folder gives new files the list, set after the file was made
        bool listUnreadable = false;  // reading the file's access list fails
    } rows[] = {
        {"root saves the player's file", PLAYER, PLAYER, true, false, false, PLAYER, false},
        {"the player saves a file of a group it is in", PLAYER, GAMES, false, true, false, GAMES, false},
        {"the player saves a file of a group it is not in", PLAYER, GAMES, false, false, false, GAMES, true},
        {"root saves the successor of the player's file", PLAYER, GAMES, true, false, true, GAMES, false},
        {"a member of the group saves another user's file", OTHER, GAMES, false, true, false, GAMES, true, 0660},
        {"the player saves a file with a second name", PLAYER, PLAYER, false, false, false, PLAYER, true, 0640, true},
        {"the player saves a file with an access list", PLAYER, PLAYER, false, false, false, PLAYER, true, 0640,
         false, true},
        {"the player saves a file in a folder with a default access list", PLAYER, PLAYER, false, false, false,
         PLAYER, false, 0640, false, false, true},
        {"the player saves a file whose access list can't be read", PLAYER, PLAYER, false, false, false, PLAYER, true,
         0640, false, true, false, true},
    };
    ASSERT_EQ(chmod(m_dir.Path().c_str(), 0777), 0);
    const std::string file = m_dir / "settings.xml", former = m_dir / "settings.xml.bad";
    const std::string second = m_dir / "second.xml";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (!root && (row.byRoot || row.inGroup || row.owner != PLAYER || row.group != PLAYER))
            continue;
        const uid_t owner = row.owner == PLAYER ? player : row.owner;
        const gid_t group = row.group == PLAYER ? playerGroup : row.group;
        const gid_t kept = row.kept == PLAYER ? playerGroup : row.kept;
        const std::string old = row.former ? former : file;
        ASSERT_TRUE(TestFiles::WriteText(old, "old"));
        ASSERT_EQ(chown(old.c_str(), owner, group), 0);
        ASSERT_EQ(chmod(old.c_str(), row.mode), 0);
        ASSERT_TRUE(!row.secondName || link(file.c_str(), second.c_str()) == 0);
        const bool listsSet =
            (!row.accessList ||
             setxattr(file.c_str(), "system.posix_acl_access", accessList.data(), accessList.size(), 0) == 0) &&
            (!row.folderAccessList || setxattr(m_dir.Path().c_str(), "system.posix_acl_default", accessList.data(),
                                               accessList.size(), 0) == 0);
        if (!listsSet) {
            EXPECT_EQ(errno, EOPNOTSUPP) << std::strerror(errno);
            unlink(file.c_str());
            continue;  // the file system takes no access lists
        }
        struct stat before;
        ASSERT_EQ(stat(old.c_str(), &before), 0);
        PlayerOptions options;
        if (row.inGroup)
            options.groups = {GAMES};
        options.byRoot = row.byRoot;
        options.formerFile = row.former ? former : "";
        s_accessListUnreadable = row.listUnreadable;
        const PlayerSave result = SaveAsPlayer(file, "new", nullptr, options);
        s_accessListUnreadable = false;
        if (result.outcome == PlayerSave::NO_PLAYER)
            GTEST_SKIP() << "root here can't become an unprivileged user";
        ASSERT_EQ(result.outcome, PlayerSave::ANSWERED);
        EXPECT_TRUE(result.saved) << result.why;
        struct stat info;
        ASSERT_EQ(stat(file.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, owner);
        EXPECT_EQ(info.st_gid, kept);
        EXPECT_EQ(info.st_mode & 07777, row.mode);
        EXPECT_EQ(TestFiles::ReadText(file), "new");
        EXPECT_EQ(info.st_ino == before.st_ino, row.inPlace);
        if (row.secondName) {
            EXPECT_EQ(TestFiles::ReadText(second), "new");
        }
        if (row.accessList) {
            char got[256];
            const ssize_t size = getxattr(file.c_str(), "system.posix_acl_access", got, sizeof got);
            EXPECT_EQ(std::string(got, size > 0 ? std::size_t(size) : 0), accessList);
        }
        if (row.folderAccessList) {
            // Without a list of its own, the mode alone says who reads it: not user 65533.
            const ssize_t size = getxattr(file.c_str(), "system.posix_acl_access", nullptr, 0);
            const int error = errno;
            EXPECT_EQ(size, -1);
            EXPECT_EQ(error, ENODATA) << std::strerror(error);
            ASSERT_EQ(removexattr(m_dir.Path().c_str(), "system.posix_acl_default"), 0);
        }
        // A temporary file given up for a write in place is gone too.
        for (const std::string& name : Entries(m_dir.Path()))
            EXPECT_EQ(name.find(".tmp."), std::string::npos) << name;
        unlink(file.c_str());
        unlink(former.c_str());
        unlink(second.c_str());
    }
}

// While a save writes the new text of a private file, its temporary file is never open to more
// users than the file itself: a watcher that looks at each new file in the folder the moment it
// is made never sees wider bits, where a file made with the usual mode and narrowed afterwards
// let another user open it then and read the new text later through the descriptor kept.
TEST_F(AtomicFileWriterTest, TheTemporaryFileOfAPrivateFileIsNeverWiderThanTheFile)
{
    const std::string file = m_dir / "settings.xml";
    ASSERT_TRUE(TestFiles::WriteText(file, "old"));
    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    const int events = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(events, m_dir.Path().c_str(), IN_CREATE), 0);
    std::atomic<bool> saving{true};
    unsigned seen = 0;  // every permission bit a temporary file was seen with
    std::thread watcher([&] {
        alignas(inotify_event) char buffer[4096];
        for (pollfd wait{events, POLLIN, 0}; saving;) {
            const ssize_t got = poll(&wait, 1, 10) == 1 ? read(events, buffer, sizeof buffer) : 0;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                const unsigned mode = ModeOf(m_dir / event->name);
                seen |= mode != ~0u ? mode : 0;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    });
    for (int save = 0; save < 300; ++save)
        EXPECT_TRUE(AtomicFileWriter::WriteHostFile(file, "new text " + std::to_string(save)));
    saving = false;
    watcher.join();
    close(events);
    EXPECT_EQ(seen & ~0600u, 0u) << std::oct << seen;
    EXPECT_EQ(ModeOf(file), 0600u);
}

// A settings file the player may write in a folder the player may not (reached through links or
// not) is written in place, as a plain write would; the old text comes back when that write fails
// part-way, and only when even that fails is the file said to be damaged. A file another program
// holds locked for longer than the save waits is left as it is, and the failure says so. A link
// never makes the folders on the way to its target, and each refusal names the folder or file
// that refused.
TEST_F(AtomicFileWriterTest, AFolderThatTakesNoNewFileIsWrittenInPlaceOrNamed)
{
    const std::string old = "old progress, a longer text";
    const std::string text = "new progress";
    using Links = std::vector<std::pair<std::string, std::string>>;  // link in save/ -> target
    const Links toFile = {{"settings.xml", "../locked/settings.xml"}};
    const struct {
        const char* name;
        Links links;  // none: locked/settings.xml itself is saved
        bool playerOwnsTheFile;
        AtomicFileWriter::WriteFunction write;
        int error;
        const char* refuser;  // under m_dir
        bool damaged;
        bool heldLocked = false;  // by this process, for the whole save
        bool signalled = false;   // see PlayerOptions
        bool releasedAfterASecond = false;  // rather than held for the whole save
    } cases[] = {
        {"link to a writable file", toFile, true, nullptr, 0, "", false},
        {"chain of links", {{"settings.xml", "middle"}, {"middle", "../locked/settings.xml"}}, true, nullptr, 0, "", false},
        {"no link", {}, true, nullptr, 0, "", false},
        {"link into a missing folder", {{"settings.xml", "../gone/deeper/settings.xml"}}, true, nullptr, ENOENT, "gone/deeper", false},
        {"link to a missing file", {{"settings.xml", "../locked/new.xml"}}, true, nullptr, EACCES, "locked", false},
        {"link to a read-only file", toFile, false, nullptr, EACCES, "locked/settings.xml", false},
        {"write fails once", toFile, true, FailOnlySecondCall, EIO, "locked/settings.xml", false},
        {"write keeps failing", toFile, true, FailOnSecondCall, EIO, "locked/settings.xml", true},
        {"held locked by another program", toFile, true, nullptr, EWOULDBLOCK, "locked/settings.xml", false,
         true},
        {"held locked, the wait cut by signals", toFile, true, nullptr, EWOULDBLOCK, "locked/settings.xml", false,
         true, true},
        {"released after 1 s under signals: saved", toFile, true, nullptr, 0, "", false, true, true, true},
    };
    // The player must reach the folders below this one.
    ASSERT_EQ(chmod(m_dir.Path().c_str(), 0755), 0);
    // A refusal names the place itself, not the way a link took to it.
    const std::string real = std::filesystem::canonical(m_dir.Path()).string();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string save = m_dir / "save", locked = m_dir / "locked", file = locked + "/settings.xml";
        ASSERT_EQ(mkdir(save.c_str(), 0700), 0);
        ASSERT_EQ(mkdir(locked.c_str(), 0700), 0);
        ASSERT_TRUE(TestFiles::WriteText(file, old));
        ASSERT_EQ(chmod(file.c_str(), c.playerOwnsTheFile ? 0600 : 0444), 0);
        for (const auto& [link, target] : c.links)
            ASSERT_EQ(symlink(target.c_str(), (save + "/" + link).c_str()), 0);
        ASSERT_TRUE(HandToPlayer(save) && (!c.playerOwnsTheFile || HandToPlayer(file)));
        ASSERT_EQ(chmod(locked.c_str(), 0555), 0);

        const int holder = c.heldLocked ? open(file.c_str(), O_RDONLY | O_CLOEXEC) : -1;
        ASSERT_TRUE(!c.heldLocked || flock(holder, LOCK_EX) == 0);
        // The child shares the holder's open file, so closing it there would not release the lock.
        std::thread releaser;
        if (c.releasedAfterASecond) {
            releaser = std::thread([holder] {
                std::this_thread::sleep_for(std::chrono::seconds(1));
                flock(holder, LOCK_UN);
            });
        }
        PlayerOptions options;
        options.signalled = c.signalled;
        const PlayerSave result = SaveAsPlayer(c.links.empty() ? file : save + "/settings.xml", text, c.write, options);
        if (releaser.joinable())
            releaser.join();
        if (holder >= 0)
            close(holder);
        if (result.outcome == PlayerSave::NO_PLAYER)
            GTEST_SKIP() << "root here can't become an unprivileged user";
        ASSERT_EQ(result.outcome, PlayerSave::ANSWERED);
        EXPECT_EQ(result.saved, c.error == 0);
        EXPECT_EQ(result.error, c.error) << std::strerror(result.error);
        EXPECT_EQ(result.refuser, c.error == 0 ? "" : real + "/" + c.refuser);
        EXPECT_EQ(result.damaged, c.damaged);
        if (c.heldLocked && c.error != 0) {
            EXPECT_STREQ(result.why, ("another program has held " + real + "/locked/settings.xml locked for longer "
                                      "than a save waits (2 s)").c_str());
        }
        EXPECT_EQ(TestFiles::ReadText(file), c.error == 0 ? text : c.damaged ? "new" + old.substr(3) : old);
        // Nothing made on the way: no temporary beside the file, no folder for a link.
        EXPECT_EQ(Entries(locked), std::vector<std::string>{"settings.xml"});
        EXPECT_FALSE(std::filesystem::exists(m_dir / "gone"));
        for (const auto& link : c.links)
            EXPECT_TRUE(std::filesystem::is_symlink(save + "/" + link.first)) << link.first;

        chmod(locked.c_str(), 0700);
        std::filesystem::remove_all(save);
        std::filesystem::remove_all(locked);
    }
}

// A path that can name no file fails, and so does one where something other than a regular file
// is, whether reached directly or through a link: it is never opened, saved over or replaced,
// and the failure says what it is.
TEST_F(AtomicFileWriterTest, BadHostPathsFailAndNoOtherKindOfFileIsSavedOver)
{
    ASSERT_TRUE(TestFiles::WriteText(m_dir / "file", "x"));
    ASSERT_EQ(mkdir((m_dir / "folder").c_str(), 0700), 0);
    ASSERT_EQ(mkfifo((m_dir / "pipe").c_str(), 0600), 0);
    ASSERT_EQ(symlink("pipe", (m_dir / "link").c_str()), 0);
    // Making a device node needs root; the same one as /dev/null.
    const bool device = mknod((m_dir / "device").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    const std::string real = std::filesystem::canonical(m_dir.Path()).string();
    const struct {
        std::string path;
        int error;
        std::string why;  // what a message says of the failure; empty: not looked at
    } rows[] = {
        {"", EINVAL, ""},
        {m_dir / "", EINVAL, ""},
        {m_dir / "file/below", ENOTDIR, ""},
        {m_dir / "folder", EISDIR, std::strerror(EISDIR)},
        {m_dir / "pipe", EINVAL, "it is a named pipe, not a regular file"},
        {m_dir / "link", EINVAL, real + "/pipe: it is a named pipe, not a regular file"},
        {m_dir / "device", EINVAL, "it is a device, not a regular file"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        if (!device && row.path == m_dir / "device")
            continue;
        Tarv::WriteFailure failure;
        EXPECT_FALSE(AtomicFileWriter::WriteHostFile(row.path, "x", &failure));
        EXPECT_EQ(failure.error, row.error) << std::strerror(failure.error);
        if (!row.why.empty()) {
            EXPECT_EQ(Tarv::DescribeWriteFailure(failure, row.path), row.why);
        }
    }
    struct stat info;
    EXPECT_TRUE(lstat((m_dir / "pipe").c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
    EXPECT_TRUE(lstat((m_dir / "link").c_str(), &info) == 0 && S_ISLNK(info.st_mode));
    EXPECT_TRUE(!device || (lstat((m_dir / "device").c_str(), &info) == 0 && S_ISCHR(info.st_mode)));
    std::vector<std::string> expected = {"file", "folder", "link", "pipe"};
    if (device)
        expected.insert(expected.begin(), "device");
    EXPECT_EQ(Entries(m_dir.Path()), expected);
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
    EXPECT_EQ(AtomicFileWriter::GetMissingFolderReason("save/settings.xml"), "");

    EXPECT_TRUE(AtomicFileWriter::WriteFile("save/settings.xml", "saved"));
    EXPECT_EQ(TestFiles::ReadText(m_dir / "Brashwick/settings.xml"), "saved");
    EXPECT_FALSE(AtomicFileWriter::WriteFile("other/x", "x"));

    // Without a save folder the save mount has no host file, and says why.
    const char* home = std::getenv("HOME");
    const std::string oldHome = home != nullptr ? home : "";
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    EXPECT_EQ(AtomicFileWriter::GetHostPath("save/settings.xml"), "");
    EXPECT_EQ(AtomicFileWriter::GetMissingFolderReason("save/settings.xml"), Tarv::MaemoGameSaveFile::NO_SAVE_FOLDER);
    EXPECT_EQ(AtomicFileWriter::GetMissingFolderReason("data/x.xml"), "");
    if (home != nullptr)
        setenv("HOME", oldHome.c_str(), 1);
    Tarv::VfsShutdown();
}
