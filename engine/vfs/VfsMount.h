// Tarv::VfsMount: one entry of the virtual file system's mount list (a host directory or an
// archive) that serves the paths beginning with its prefix.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"

namespace Tarv
{

class File;

// Mount flags.
constexpr int VFS_MOUNT_FALL_THROUGH = 1; // a miss here lets the search go on to the next mount
constexpr int VFS_MOUNT_SAVE_FILES = 2;   // native mounts: files are save files

class VfsMount : public RefCounter
{
public:
    VfsMount(const char* prefix, int flags);

    // Each returns a new stream with a reference count of 0 (the caller wraps it in a
    // SmartPtr at once), or null. relativePath is the path after the prefix.
    virtual File* OpenRead(const char* relativePath) = 0;
    virtual File* OpenWrite(const char* relativePath) = 0;

    // The path begins with the prefix, compared case-insensitively; an empty prefix matches all.
    bool Matches(const char* path) const;

    const NarrowString& GetPrefix() const { return m_prefix; }
    int GetPrefixLength() const { return static_cast<int>(m_prefix.size()); }
    int GetFlags() const { return m_flags; }

    // The list link: the mount searched after this one. Only the mount list changes it.
    VfsMount* GetNext() const { return m_next.Get(); }
    void SetNext(const SmartPtr<VfsMount>& next) { m_next = next; }

private:
    NarrowString m_prefix;
    int m_flags = 0;
    SmartPtr<VfsMount> m_next;
};

} // namespace Tarv
