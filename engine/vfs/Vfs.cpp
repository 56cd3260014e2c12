// The mount list and the search through it.
#include "engine/vfs/Vfs.h"

#include "engine/core/RefCounter.h"
#include "engine/vfs/CachedFile.h"
#include "engine/vfs/NativeMount.h"

namespace Tarv
{

// The one mount list while the file system is initialised.
class VfsStaticData : public RefCounter
{
public:
    SmartPtr<VfsMount> head;
};

namespace
{

SmartPtr<VfsStaticData>& Instance()
{
    static SmartPtr<VfsStaticData> s_instance;
    return s_instance;
}

template <class Opener>
File* Search(const char* path, Opener open)
{
    if (path == nullptr || !Instance())
        return nullptr;
    for (VfsMount* mount = VfsFindMount(path, nullptr); mount != nullptr;
         mount = VfsFindMount(path, mount->GetNext())) {
        File* file = open(mount, path + mount->GetPrefixLength());
        if (file != nullptr)
            return file;
        // A null start would search from the head again, forever.
        if ((mount->GetFlags() & VFS_MOUNT_FALL_THROUGH) == 0 || mount->GetNext() == nullptr)
            return nullptr;
    }
    return nullptr;
}

} // namespace

void VfsInit()
{
    Instance() = MakeSmart<VfsStaticData>();
}

void VfsShutdown()
{
    Instance().Reset();
}

NativeMount* VfsMountNative(const NarrowString& rootDir, const char* prefix, int flags)
{
    if (!Instance())
        return nullptr;
    NativeMount* mount = new NativeMount(rootDir, prefix, flags);
    VfsAddMount(mount);
    return mount;
}

void VfsAddMount(VfsMount* mount)
{
    if (mount == nullptr)
        return;
    SmartPtr<VfsMount> held(mount);
    if (!Instance())
        return;
    mount->SetNext(Instance()->head);
    Instance()->head = held;
}

VfsMount* VfsFindMount(const char* path, VfsMount* start)
{
    if (!Instance())
        return nullptr;
    for (VfsMount* mount = start != nullptr ? start : Instance()->head.Get(); mount != nullptr;
         mount = mount->GetNext()) {
        if (mount->Matches(path))
            return mount;
    }
    return nullptr;
}

SmartPtr<VfsMount> VfsUnmount(VfsMount* mount)
{
    if (!Instance() || mount == nullptr)
        return nullptr;
    VfsStaticData& data = *Instance();
    // Hold the mount only once it is known to be in the list (and so already counted).
    if (data.head.Get() == mount) {
        SmartPtr<VfsMount> found = data.head;
        data.head = mount->GetNext();
        mount->SetNext(nullptr);
        return found;
    }
    for (VfsMount* current = data.head.Get(); current != nullptr; current = current->GetNext()) {
        if (current->GetNext() == mount) {
            SmartPtr<VfsMount> found(mount);
            current->SetNext(mount->GetNext());
            mount->SetNext(nullptr);
            return found;
        }
    }
    return nullptr;
}

SmartPtr<VfsMount> VfsUnmountPath(const char* path)
{
    VfsMount* mount = VfsFindMount(path, nullptr);
    return mount != nullptr ? VfsUnmount(mount) : nullptr;
}

File* VfsOpenRead(const char* path)
{
    return Search(path, [](VfsMount* mount, const char* relative) { return mount->OpenRead(relative); });
}

File* VfsOpenWrite(const char* path)
{
    return Search(path, [](VfsMount* mount, const char* relative) { return mount->OpenWrite(relative); });
}

CachedFile* VfsOpenCached(const char* path)
{
    CachedFile* file = new CachedFile();
    file->OpenRead(path);
    return file;
}

} // namespace Tarv
