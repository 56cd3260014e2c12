// The disk-activity flag; atomic because the loader and audio threads read host files too.
#include "engine/vfs/DiskActivity.h"

#include <atomic>

namespace Tarv
{

namespace
{
std::atomic<bool> s_diskActivity{false};
}

void SetDiskActivity()
{
    s_diskActivity.store(true, std::memory_order_relaxed);
}

bool TakeDiskActivity()
{
    return s_diskActivity.exchange(false, std::memory_order_relaxed);
}

} // namespace Tarv
