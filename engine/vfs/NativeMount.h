// Tarv::NativeMount: a host directory mounted into the virtual file system (the save
// directory is one).
#pragma once

#include "engine/vfs/VfsMount.h"

namespace Tarv
{

class NativeMount : public VfsMount
{
public:
    // Host paths (root + relative path) are limited to this many bytes with the final NUL.
    static constexpr int PATH_BUFFER_SIZE = 128;

    // rootDir is prepended to relative paths as it is (give it a trailing "/" when it names a
    // directory; empty means the working directory). It need not exist.
    NativeMount(const NarrowString& rootDir, const char* prefix, int flags);

    // Null when the file can't be opened, and also when the relative path is absolute, has a
    // ".." component, or makes a host path that does not fit the path buffer: such paths are
    // refused, never cut or followed outside the root.
    File* OpenRead(const char* relativePath) override;
    File* OpenWrite(const char* relativePath) override;

    // Composes root + relativePath into out (PATH_BUFFER_SIZE bytes); false for a refused path.
    bool ComposePath(const char* relativePath, char* out) const;

private:
    File* Open(const char* relativePath, bool write);

    NarrowString m_root;
};

} // namespace Tarv
