// Tarv::NativeMount: maps relative virtual paths onto host files below a root directory.
#include "engine/vfs/NativeMount.h"

#include "engine/vfs/MaemoGameSaveFile.h"
#include "engine/vfs/PosixFile.h"
#include "engine/vfs/VfsPath.h"

#include <cstring>
#include <memory>

namespace Tarv
{

NativeMount::NativeMount(const NarrowString& rootDir, const char* prefix, int flags)
    : VfsMount(prefix, flags), m_root(rootDir)
{
}

bool NativeMount::ComposePath(const char* relativePath, char* out) const
{
    if (relativePath == nullptr || !IsConfinedPath(relativePath))
        return false;
    const std::size_t relativeLength = std::strlen(relativePath);
    if (m_root.size() + relativeLength >= static_cast<std::size_t>(PATH_BUFFER_SIZE))
        return false;
    std::memcpy(out, m_root.data(), m_root.size());
    std::memcpy(out + m_root.size(), relativePath, relativeLength + 1);
    return true;
}

File* NativeMount::Open(const char* relativePath, bool write)
{
    // Composed on the stack, so opens from different threads never share a buffer.
    char path[PATH_BUFFER_SIZE];
    if (!ComposePath(relativePath, path))
        return nullptr;
    std::unique_ptr<PosixFile> file;
    if ((GetFlags() & VFS_MOUNT_SAVE_FILES) != 0)
        file.reset(new MaemoGameSaveFile());
    else
        file.reset(new PosixFile());
    const bool opened = write ? file->OpenWrite(path) : file->OpenRead(path);
    return opened ? file.release() : nullptr;
}

File* NativeMount::OpenRead(const char* relativePath)
{
    return Open(relativePath, false);
}

File* NativeMount::OpenWrite(const char* relativePath)
{
    return Open(relativePath, true);
}

} // namespace Tarv
