// Bounded polling for every test that waits on another thread, process or server.
#include "tests/support/Wait.h"

#include <time.h>

namespace TestSupport
{

bool WaitUntilImpl(bool (*condition)(void*), void* context, int timeoutMs)
{
    const auto nowMs = [] {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    };
    const long long deadline = nowMs() + timeoutMs;
    for (;;) {
        if (condition(context))
            return true;
        if (nowMs() >= deadline)
            return false;
        const timespec pause{0, 2 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
}

} // namespace TestSupport
