// Whole-file replacement through a temporary file, fsync and rename.
#include "engine/registry/AtomicFileWriter.h"

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

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Tarv
{

namespace
{

std::atomic<AtomicFileWriter::WriteFunction> s_write{nullptr};
// A temporary name left by a killed process with the same id is skipped, a few times over.
constexpr int TEMPORARY_ATTEMPTS = 100;

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

// The folder's own entry must reach the disk too, or the rename may be lost on power failure.
void SyncFolderOf(const NarrowString& path)
{
    const std::size_t last = path.rfind('/');
    const NarrowString folder = last == NarrowString::npos ? NarrowString(".")
                                : last == 0                ? NarrowString("/")
                                                           : NarrowString(path.substr(0, last));
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

// Creates a temporary file beside path whose name no other save uses: "<path>.tmp.<process>.<n>",
// made with O_EXCL, so two programs (or threads) saving the same file at once never write into
// each other's copy and each rename puts one whole file in place. Its descriptor, or -1 with
// errno set.
int CreateTemporary(const NarrowString& path, NarrowString& temporary)
{
    static std::atomic<unsigned> s_count{0};
    for (int attempt = 0; attempt < TEMPORARY_ATTEMPTS; ++attempt) {
        temporary = path + ".tmp.";
        temporary.AppendInt(static_cast<int>(getpid()));
        temporary += ".";
        temporary.AppendInt(static_cast<int>(s_count.fetch_add(1) & INT_MAX));
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
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
    if (virtualPath == nullptr)
        return NarrowString();
    VfsMount* mount = VfsFindMount(virtualPath, nullptr);
    while (mount != nullptr) {
        if (const NativeMount* native = dynamic_cast<const NativeMount*>(mount))
            return HostPathOn(*native, virtualPath + mount->GetPrefixLength());
        // A null start would search from the head again.
        if ((mount->GetFlags() & VFS_MOUNT_FALL_THROUGH) == 0 || mount->GetNext() == nullptr)
            break;
        mount = VfsFindMount(virtualPath, mount->GetNext());
    }
    return NarrowString();
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
    if (!MakeParentDirectories(hostPath)) {
        *error = errno;
        return false;
    }
    NarrowString temporary;
    const int fd = CreateTemporary(hostPath, temporary);
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
    if (written && std::rename(temporary.c_str(), hostPath.c_str()) != 0) {
        *error = errno;
        written = false;
    }
    if (!written) {
        unlink(temporary.c_str());
        return false;
    }
    SyncFolderOf(hostPath);
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

void AtomicFileWriter::SetWriteFunction(WriteFunction write)
{
    s_write.store(write);
}

} // namespace Tarv
