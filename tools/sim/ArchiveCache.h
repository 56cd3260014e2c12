// Pirrock::ArchiveCache: the archives of the headless game, each opened once per process and each
// file read out of it kept whole, so the many cases of one run (a level check plays hundreds)
// decompress a file once. The game reads the same bytes as through the archive itself.
#pragma once

#include "engine/core/SmartPtr.h"
#include "engine/vfs/VfsMount.h"

#include <string>

namespace Pirrock
{

// A new mount (for the current mount list, flags as the virtual file system takes them) over
// the archive at path, sharing the files read so far with every earlier mount of the same
// unchanged archive. Null with error set when the archive is missing or damaged.
Tarv::SmartPtr<Tarv::VfsMount> MountCachedArchive(const std::string& path, int flags, std::string& error);

} // namespace Pirrock
