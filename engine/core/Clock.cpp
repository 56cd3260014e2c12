// The engine's clocks over clock_gettime and time.
#include "engine/core/Clock.h"

#include <climits>
#include <ctime>

namespace Tarv
{

std::int64_t GetTimeMs()
{
    timespec now{};
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0)
        return 0;
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

int GetTimeSeconds()
{
    const std::time_t now = std::time(nullptr);
    if (now > INT_MAX)
        return INT_MAX;
    return now < 0 ? 0 : static_cast<int>(now);
}

} // namespace Tarv
