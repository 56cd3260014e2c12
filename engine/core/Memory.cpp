// Memory figures over glibc's mallinfo2, whose fields do not wrap at 2 GiB as mallinfo's do.
#include "engine/core/Memory.h"

#include <malloc.h>

#include <climits>

namespace Tarv
{

int GetHeapUsage()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(info.uordblks);
}

int GetVideoMemoryUsage()
{
    return 0;
}

} // namespace Tarv
