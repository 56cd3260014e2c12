// Whole-file replacement through a temporary file, fsync and rename, or in place where the
// folder takes no new file or the renamed file could not come out as the old one was.
#include "engine/registry/AtomicFileWriter.h"

#include "engine/core/Path.h"
#include "engine/core/SmartPtr.h"
#include "engine/vfs/File.h"
#include "engine/vfs/MaemoGameSaveFile.h"
#include "engine/vfs/NativeMount.h"
#include "engine/vfs/Vfs.h"
#include "engine/vfs/VfsMount.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace Tarv
{

namespace
{

std::atomic<AtomicFileWriter::WriteFunction> s_write{nullptr};
// A temporary name left by a killed process with the same id is skipped, a few times over.
constexpr int TEMPORARY_ATTEMPTS = 100;
// As many links in a row as the system itself follows before it gives up with ELOOP.
constexpr int MAX_LINKS = 40;
const char* const TEMPORARY_INFIX = ".tmp.";
// A write in place tries for the lock every LOCK_STEP_MS for AtomicFileWriter::LOCK_WAIT_MS.
constexpr long LOCK_STEP_MS = 10;
// Where a file's access list is kept; a file without one (or a file system without them) has none.
const char* const ACCESS_LIST_ATTRIBUTE = "system.posix_acl_access";

// Closes a descriptor on every way out of a scope.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return m_fd; }

private:
    int m_fd;
};

// The path with its links, "." and ".." resolved as far as it exists (the rest kept as it is),
// so that a message names the place itself rather than the way a link took to it.
NarrowString Resolved(const NarrowString& path)
{
    NarrowString head = path;
    NarrowString tail;
    for (std::size_t slash = head.rfind('/'); slash != NarrowString::npos && slash > 0; slash = head.rfind('/')) {
        if (char* real = realpath(head.c_str(), nullptr)) {
            const NarrowString resolved(real);
            std::free(real);
            return resolved == "/" && !tail.empty() ? tail : resolved + tail;
        }
        tail = NarrowString(head.substr(slash)) + tail;
        head = NarrowString(head.substr(0, slash));
    }
    return path;
}

// Records why and where a write failed; always false, for `return Fail(...)`.
bool Fail(WriteFailure& failure, int error, const NarrowString& path)
{
    failure.error = error;
    failure.path = Resolved(path);
    return false;
}

// Refuses to write over something that is not a regular file, saying what it is.
bool FailKind(WriteFailure& failure, mode_t mode, const NarrowString& path)
{
    failure.kind = mode & S_IFMT;
    return Fail(failure, S_ISDIR(mode) ? EISDIR : EINVAL, path);
}

// False with errno set when path is not a directory.
bool IsDirectory(const NarrowString& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return false;
    if (S_ISDIR(info.st_mode))
        return true;
    errno = ENOTDIR;
    return false;
}

// Makes every missing directory of the folder that holds path (mode 0700, as the save
// directory is private to the user). False with errno set and refused naming the folder that
// could not be made or is no directory.
bool MakeParentDirectories(const NarrowString& path, NarrowString& refused)
{
    const std::size_t last = path.rfind('/');
    if (last == NarrowString::npos || last == 0)
        return true;
    for (std::size_t slash = path.find('/', 1); slash != NarrowString::npos && slash <= last;
         slash = path.find('/', slash + 1)) {
        refused = NarrowString(path.substr(0, slash));
        if (mkdir(refused.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    refused = NarrowString(path.substr(0, last));
    return IsDirectory(refused);
}

bool WriteAll(int fd, const NarrowString& bytes)
{
    AtomicFileWriter::WriteFunction write = s_write.load();
    if (write == nullptr)
        write = ::write;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

// The folder that holds path: "." for a bare name, "/" for a file at the root.
NarrowString FolderOf(const NarrowString& path)
{
    const std::size_t last = path.rfind('/');
    return last == NarrowString::npos ? NarrowString(".")
           : last == 0                ? NarrowString("/")
                                      : NarrowString(path.substr(0, last));
}

// The folder's own entry must reach the disk too, or the rename may be lost on power failure.
void SyncFolderOf(const NarrowString& path)
{
    const int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

// The process id in a temporary file's name left of a save of the file named name:
// "<name>.tmp.<process>.<n>"; 0 when entry is not such a name.
pid_t TemporaryOwner(const char* entry, const NarrowString& name)
{
    const NarrowString prefix = name + TEMPORARY_INFIX;
    if (std::strncmp(entry, prefix.c_str(), prefix.size()) != 0)
        return 0;
    const char* at = entry + prefix.size();
    long long process = 0;
    int digits = 0;
    for (; *at >= '0' && *at <= '9' && process <= INT_MAX; ++at, ++digits)
        process = process * 10 + (*at - '0');
    if (digits == 0 || *at != '.' || process <= 0 || process > INT_MAX)
        return 0;
    for (digits = 0, ++at; *at >= '0' && *at <= '9'; ++at)
        ++digits;
    return digits > 0 && *at == '\0' ? static_cast<pid_t>(process) : 0;
}

// Removes the temporary files beside path that saves of it left when their process was killed
// part-way. Only a process that no longer runs loses its file: one that runs (this one
// included) may be saving at this moment. A saving process also holds a lock on its file, so a
// process that runs where its id can't be seen (another process namespace) keeps its file too.
void RemoveStaleTemporaries(const NarrowString& path)
{
    const NarrowString name = GetPathComponent(path, 0);
    DIR* dir = opendir(FolderOf(path).c_str());
    if (dir == nullptr)
        return;
    const pid_t self = getpid();
    while (const dirent* entry = readdir(dir)) {
        const pid_t owner = TemporaryOwner(entry->d_name, name);
        if (owner == 0 || owner == self || kill(owner, 0) == 0 || errno != ESRCH)
            continue;
        const int fd = openat(dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info;
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlinkat(dirfd(dir), entry->d_name, 0);
        close(fd);
    }
    closedir(dir);
}

// Creates a temporary file beside path whose name no other save uses: "<path>.tmp.<process>.<n>",
// made with O_EXCL, so two programs (or threads) saving the same file at once never write into
// each other's copy and each rename puts one whole file in place. It is made with mode (less the
// umask). Its descriptor, or -1 with errno set.
int CreateTemporary(const NarrowString& path, mode_t mode, NarrowString& temporary)
{
    static std::atomic<unsigned> s_count{0};
    for (int attempt = 0; attempt < TEMPORARY_ATTEMPTS; ++attempt) {
        temporary = path + TEMPORARY_INFIX;
        temporary.AppendInt(static_cast<int>(getpid()));
        temporary += ".";
        temporary.AppendInt(static_cast<int>(s_count.fetch_add(1) & INT_MAX));
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            // Held until the file is closed; a file system without locks still saves.
            flock(fd, LOCK_EX | LOCK_NB);
            return fd;
        }
        if (errno != EEXIST)
            return fd;
    }
    return -1;
}

// True, with info filled, when a regular file is at path.
bool StatRegular(const NarrowString& path, struct stat& info)
{
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Refuses a file the saver may not write, as a plain write would. The file is opened for writing
// and closed again with nothing written, so the system's own rules decide: permission bits (which
// don't bind root), access lists, a read-only mount, an immutable file. False with errno set when
// it is refused. Any other failure to open it (the file gone meanwhile, a lease another program
// holds on it) is left to the save itself.
bool MayWrite(const NarrowString& target)
{
    const int fd = open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno != EACCES && errno != EPERM && errno != EROFS;
    close(fd);
    return true;
}

// Gives the temporary file (made 0600, so nobody else can open it meanwhile) the owner, group and
// permission bits of the file it replaces, as a plain write would keep them: a private file stays
// private, a read-only one read-only, a file of the player's saved by root stays the player's.
// Owner and group go as far as the saver may (the owner only for root, a group only one the saver
// is in); a refusal leaves the saver's own, and the save goes on. The mode comes after them, so a
// new owner or group never meets bits meant for the old one, and before anything is written.
// Bits the file system can't set leave the file at 0600. Any access list the temporary file took
// from its folder's default goes before the mode, which would open that list to the group bits: a
// plain write gives the file none (a file with a list of its own is written in place). False when
// the file did not get the owner and group both, or keeps a list it took.
bool KeepAccessOf(const struct stat& former, int fd)
{
    const bool listless = fremovexattr(fd, ACCESS_LIST_ATTRIBUTE) == 0 || errno == ENODATA || errno == ENOTSUP;
    if (fchown(fd, former.st_uid, former.st_gid) != 0)
        (void)fchown(fd, static_cast<uid_t>(-1), former.st_gid);
    fchmod(fd, former.st_mode & 0777);
    struct stat got;
    return listless && fstat(fd, &got) == 0 && got.st_uid == former.st_uid && got.st_gid == former.st_gid;
}

// True when a file renamed over target would lose what a plain write keeps of it, whoever saves:
// its other names (they would keep the old text) or its access list. Only "no such attribute"
// and "no access lists here" say it has none: a list that can't be read may still be there.
bool RenameLosesLinksOrAccessList(const NarrowString& target, const struct stat& info)
{
    if (info.st_nlink > 1 || getxattr(target.c_str(), ACCESS_LIST_ATTRIBUTE, nullptr, 0) >= 0)
        return true;
    return errno != ENODATA && errno != ENOTSUP;
}

// Writes bytes into the temporary file made for target, flushes it to the disk and renames it
// over target. On failure the temporary file is removed.
bool ReplaceWithTemporary(int fd, const NarrowString& temporary, const NarrowString& target,
                          const NarrowString& bytes, WriteFailure& failure)
{
    // A write that stops without an error of its own is a full disk.
    errno = ENOSPC;
    bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
    int error = errno;
    if (close(fd) != 0 && written) {
        error = errno;
        written = false;
    }
    if (written && std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
        written = false;
    }
    if (!written) {
        unlink(temporary.c_str());
        return Fail(failure, error, target);
    }
    SyncFolderOf(target);
    return true;
}

// Takes the lock that keeps two saves from writing one file in place at once, waiting a while
// for another save to finish. False with errno set when it can't be had. The wait is timed on a
// clock that only moves forward, so sleeps that signals cut short don't shorten it.
bool LockForWriting(int fd)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(AtomicFileWriter::LOCK_WAIT_MS);
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        // A file system without locks still saves.
        if (errno != EWOULDBLOCK && errno != EINTR)
            return errno == ENOLCK || errno == EINVAL || errno == EOPNOTSUPP;
        if (Clock::now() >= deadline)
            break;
        const timespec step{0, LOCK_STEP_MS * 1000000L};
        nanosleep(&step, nullptr);
    }
    // The lock stayed held: that is the failure, not the EINTR of a sleep a signal cut short.
    errno = EWOULDBLOCK;
    return false;
}

// The whole content of an open file. False with errno set when it can't be read.
bool ReadWhole(int fd, NarrowString& text)
{
    char block[4096];
    for (off_t at = 0;;) {
        const ssize_t got = pread(fd, block, sizeof block, at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        text.append(block, static_cast<std::size_t>(got));
        at += got;
    }
}

// Makes text the whole content of an open file and flushes it to the disk.
bool PutText(int fd, const NarrowString& text)
{
    if (lseek(fd, 0, SEEK_SET) != 0)
        return false;
    errno = ENOSPC;
    return WriteAll(fd, text) && ftruncate(fd, static_cast<off_t>(text.size())) == 0 && fsync(fd) == 0;
}

// Rewrites target in place, for a folder that took no temporary file (folderError says why) or a
// file that a renamed one could not replace as it is (folderError 0). Nothing is changed until the
// old text is held and the space for the new one is taken, and the old text is put back when the
// new one fails part-way.
bool RewriteInPlace(const NarrowString& target, const NarrowString& bytes, int folderError, WriteFailure& failure)
{
    // Non-blocking, so that a named pipe swapped in meanwhile can't hold the save up.
    const Descriptor file(open(target.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0) {
        // No file to write in place: the folder's refusal to make one is the reason.
        return errno == ENOENT && folderError != 0 ? Fail(failure, folderError, FolderOf(target))
                                                   : Fail(failure, errno, target);
    }
    struct stat info;
    if (fstat(file.Get(), &info) != 0)
        return Fail(failure, errno, target);
    if (!S_ISREG(info.st_mode))
        return FailKind(failure, info.st_mode, target);
    if (!LockForWriting(file.Get())) {
        failure.locked = errno == EWOULDBLOCK;
        return Fail(failure, errno, target);
    }
    NarrowString old;
    if (!ReadWhole(file.Get(), old))
        return Fail(failure, errno, target);
    if (bytes.size() > old.size()) {
        // Taken before the old text is touched, so a full disk fails with the file as it was.
        const int taken = posix_fallocate(file.Get(), 0, static_cast<off_t>(bytes.size()));
        if (taken == ENOSPC || taken == EDQUOT || taken == EFBIG)
            return Fail(failure, taken, target);
    }
    if (PutText(file.Get(), bytes))
        return true;
    Fail(failure, errno, target);
    failure.damaged = !PutText(file.Get(), old);
    return false;
}

// The first native mount a write to the virtual path reaches, as the file system searches.
const NativeMount* FindHostMount(const char* virtualPath)
{
    if (virtualPath == nullptr)
        return nullptr;
    VfsMount* mount = VfsFindMount(virtualPath, nullptr);
    while (mount != nullptr) {
        if (const NativeMount* native = dynamic_cast<const NativeMount*>(mount))
            return native;
        // A null start would search from the head again.
        if ((mount->GetFlags() & VFS_MOUNT_FALL_THROUGH) == 0 || mount->GetNext() == nullptr)
            break;
        mount = VfsFindMount(virtualPath, mount->GetNext());
    }
    return nullptr;
}

// The host path for the relative part of a virtual path on one native mount.
NarrowString HostPathOn(const NativeMount& mount, const char* relativePath)
{
    char composed[NativeMount::PATH_BUFFER_SIZE];
    if (!mount.ComposePath(relativePath, composed))
        return NarrowString();
    if ((mount.GetFlags() & VFS_MOUNT_SAVE_FILES) != 0)
        return MaemoGameSaveFile::GetSavePath(composed);
    return NarrowString(composed);
}

// Saves bytes over target, the end of the path's links, whose folder is there: through a temporary
// file and a rename where the new file comes out as the old one was, else in place.
bool SaveOver(const NarrowString& target, const NarrowString& bytes, const NarrowString& formerFile,
              WriteFailure& out)
{
    // What the new file must keep: the old file's owner, group and mode, or a former file's.
    struct stat former;
    const bool replacing = stat(target.c_str(), &former) == 0;
    // Looked at, never opened: opening a named pipe or a device can wait or act on the device.
    if (replacing && !S_ISREG(former.st_mode))
        return FailKind(out, former.st_mode, target);
    if (replacing && !MayWrite(target))
        return Fail(out, errno, target);
    const bool keeping = replacing || StatRegular(formerFile, former);
    RemoveStaleTemporaries(target);
    if (replacing && RenameLosesLinksOrAccessList(target, former))
        return RewriteInPlace(target, bytes, 0, out);
    NarrowString temporary;
    const int fd = CreateTemporary(target, keeping ? 0600 : 0666, temporary);
    if (fd >= 0) {
        const bool keptAccess = keeping && KeepAccessOf(former, fd);
        if (replacing && !keptAccess) {
            // The owner or group is one the saver may not give, or the folder's access list
            // would stay: a plain write keeps the file as it is.
            unlink(temporary.c_str());
            close(fd);
            return RewriteInPlace(target, bytes, 0, out);
        }
        return ReplaceWithTemporary(fd, temporary, target, bytes, out);
    }
    if (errno == EACCES || errno == EPERM)
        return RewriteInPlace(target, bytes, errno, out);
    return Fail(out, errno, FolderOf(target));
}

} // namespace

NarrowString DescribeFileKind(mode_t mode)
{
    if (S_ISDIR(mode))
        return std::strerror(EISDIR);
    if (S_ISFIFO(mode))
        return "it is a named pipe, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device, not a regular file";
    return "it is not a regular file";
}

NarrowString DescribeWriteFailure(const WriteFailure& failure, const NarrowString& hostPath)
{
    NarrowString why;
    if (failure.locked) {
        why = "another program has held " + failure.path + " locked for longer than a save waits (";
        why.AppendInt(AtomicFileWriter::LOCK_WAIT_MS / 1000);
        return why + " s)";
    }
    why = failure.kind != 0 ? DescribeFileKind(failure.kind) : NarrowString(std::strerror(failure.error));
    if (!failure.target.empty() && failure.target != hostPath && !failure.path.empty())
        why = failure.path + ": " + why;
    if (failure.damaged)
        why += "; " + failure.target + " is left part-written, its old text could not be put back";
    return why;
}

NarrowString AtomicFileWriter::GetHostPath(const char* virtualPath)
{
    const NativeMount* mount = FindHostMount(virtualPath);
    return mount == nullptr ? NarrowString() : HostPathOn(*mount, virtualPath + mount->GetPrefixLength());
}

NarrowString AtomicFileWriter::GetMissingFolderReason(const char* virtualPath)
{
    const NativeMount* mount = FindHostMount(virtualPath);
    if (mount == nullptr || (mount->GetFlags() & VFS_MOUNT_SAVE_FILES) == 0 ||
        !MaemoGameSaveFile::GetSaveFolder().empty())
        return NarrowString();
    return MaemoGameSaveFile::NO_SAVE_FOLDER;
}

bool AtomicFileWriter::WriteHostFile(const NarrowString& hostPath, const NarrowString& bytes, WriteFailure* failure,
                                     const NarrowString& formerFile)
{
    WriteFailure unused;
    WriteFailure& out = failure != nullptr ? *failure : unused;
    out = WriteFailure();
    if (hostPath.empty() || hostPath.back() == '/')
        return Fail(out, EINVAL, hostPath);
    NarrowString refused;
    // Only the path's own folders are made: a link's target lies where its owner put it.
    if (!MakeParentDirectories(hostPath, refused))
        return Fail(out, errno, refused);
    NarrowString target;
    if (!FollowLinks(hostPath, target))
        return Fail(out, errno, target);
    out.target = target;
    const NarrowString folder = FolderOf(target);
    if (target != hostPath && !IsDirectory(folder))
        return Fail(out, errno, folder);
    return SaveOver(target, bytes, formerFile, out);
}

bool AtomicFileWriter::WriteFile(const char* virtualPath, const NarrowString& bytes, WriteFailure* failure,
                                 const NarrowString& formerFile)
{
    const NarrowString hostPath = GetHostPath(virtualPath);
    if (!hostPath.empty())
        return WriteHostFile(hostPath, bytes, failure, formerFile);
    if (failure != nullptr) {
        *failure = WriteFailure();
        failure->error = EIO;
        failure->path = virtualPath != nullptr ? virtualPath : "";
    }
    if (virtualPath == nullptr || bytes.size() > static_cast<std::size_t>(INT_MAX))
        return false;
    SmartPtr<File> file(VfsOpenWrite(virtualPath));
    if (!file)
        return false;
    const int size = static_cast<int>(bytes.size());
    return file->Write(bytes.data(), size) == size;
}

bool AtomicFileWriter::FollowLinks(const NarrowString& hostPath, NarrowString& target)
{
    target = hostPath;
    for (int hop = 0; hop < MAX_LINKS; ++hop) {
        struct stat info;
        // A file that isn't there yet (or can't be looked at, which the write will say) is
        // written where it is named.
        if (lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        char link[PATH_MAX];
        const ssize_t size = readlink(target.c_str(), link, sizeof link);
        if (size < 0)
            return false;
        if (size == 0 || static_cast<std::size_t>(size) == sizeof link) {
            errno = size == 0 ? ENOENT : ENAMETOOLONG;
            return false;
        }
        const NarrowString next(link, static_cast<std::size_t>(size));
        const std::size_t slash = target.rfind('/');
        if (next[0] == '/' || slash == NarrowString::npos)
            target = next;
        else
            target = NarrowString(target.substr(0, slash + 1)) + next;
    }
    errno = ELOOP;
    return false;
}

void AtomicFileWriter::SetWriteFunction(WriteFunction write)
{
    s_write.store(write);
}

} // namespace Tarv
