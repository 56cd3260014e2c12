// The virtual file system: virtual paths such as "config/defaults.xml" or "save/settings.xml"
// mapped onto a list of mounts (archives and host directories), searched newest first.
// The list is built on the main thread before other threads start and only read afterwards.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/SmartPtr.h"

namespace Tarv
{

class CachedFile;
class File;
class NativeMount;
class VfsMount;

// Starts an empty mount list, dropping any previous one.
void VfsInit();
// Drops the mount list; every open returns null until the next VfsInit.
void VfsShutdown();

// Mounts a host directory at the head of the list (searched first); the directory need not
// exist. Null before VfsInit. The list owns the mount.
NativeMount* VfsMountNative(const NarrowString& rootDir, const char* prefix, int flags);
// Inserts a mount at the head of the list; ignored before VfsInit.
void VfsAddMount(VfsMount* mount);
// The first mount after start (from the head when start is null) whose prefix matches path.
VfsMount* VfsFindMount(const char* path, VfsMount* start);
// Unlinks that mount and hands it back; null when it is not in the list.
SmartPtr<VfsMount> VfsUnmount(VfsMount* mount);
// Unlinks the first mount whose prefix matches path; null when none does.
SmartPtr<VfsMount> VfsUnmountPath(const char* path);

// Opens a virtual path: the matching mounts are asked in list order, each with the path after
// its prefix; a miss ends the search unless that mount has VFS_MOUNT_FALL_THROUGH. The stream
// comes back with a reference count of 0: wrap it in a SmartPtr at once. Null when not found.
File* VfsOpenRead(const char* path);
File* VfsOpenWrite(const char* path);
// A new cached file (count 0) loaded from the path; returned even when loading failed, and
// then IsOpen is false.
CachedFile* VfsOpenCached(const char* path);

} // namespace Tarv
