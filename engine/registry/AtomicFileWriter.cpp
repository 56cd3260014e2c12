// Whole-file replacement through a temporary file, fsync and rename.
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
#include <climits>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
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
// directory is private to the user). False with errno set on failure.
bool MakeParentDirectories(const NarrowString& path)
{
    const std::size_t last = path.rfind('/');
    if (last == NarrowString::npos || last == 0)
        return true;
    for (std::size_t slash = path.find('/', 1); slash != NarrowString::npos && slash <= last;
         slash = path.find('/', slash + 1)) {
        const NarrowString folder(path.substr(0, slash));
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return IsDirectory(NarrowString(path.substr(0, last)));
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
// each other's copy and each rename puts one whole file in place. Its descriptor, or -1 with
// errno set.
int CreateTemporary(const NarrowString& path, NarrowString& temporary)
{
    static std::atomic<unsigned> s_count{0};
    for (int attempt = 0; attempt < TEMPORARY_ATTEMPTS; ++attempt) {
        temporary = path + TEMPORARY_INFIX;
        temporary.AppendInt(static_cast<int>(getpid()));
        temporary += ".";
        temporary.AppendInt(static_cast<int>(s_count.fetch_add(1) & INT_MAX));
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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

} // namespace

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

bool AtomicFileWriter::WriteHostFile(const NarrowString& hostPath, const NarrowString& bytes, int* error)
{
    int failure = EINVAL;
    if (error == nullptr)
        error = &failure;
    if (hostPath.empty() || hostPath.back() == '/') {
        *error = EINVAL;
        return false;
    }
    NarrowString target;
    if (!FollowLinks(hostPath, target) || !MakeParentDirectories(target)) {
        *error = errno;
        return false;
    }
    RemoveStaleTemporaries(target);
    NarrowString temporary;
    const int fd = CreateTemporary(target, temporary);
    if (fd < 0) {
        *error = errno;
        return false;
    }
    // A write that stops without an error of its own is a full disk.
    errno = ENOSPC;
    bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
    if (!written)
        *error = errno;
    if (close(fd) != 0 && written) {
        *error = errno;
        written = false;
    }
    if (written && std::rename(temporary.c_str(), target.c_str()) != 0) {
        *error = errno;
        written = false;
    }
    if (!written) {
        unlink(temporary.c_str());
        return false;
    }
    SyncFolderOf(target);
    return true;
}

bool AtomicFileWriter::WriteFile(const char* virtualPath, const NarrowString& bytes, int* error)
{
    const NarrowString hostPath = GetHostPath(virtualPath);
    if (!hostPath.empty())
        return WriteHostFile(hostPath, bytes, error);
    if (error != nullptr)
        *error = EIO;
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
