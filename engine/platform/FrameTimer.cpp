// Measures the main loop's frame time on the monotonic clock.
#include "engine/platform/FrameTimer.h"

#include <time.h>

namespace Tarv
{

std::int64_t FrameTimer::NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

float FrameTimer::Advance(std::int64_t nowMs)
{
    const std::int64_t elapsed = nowMs - m_lastMs;
    m_lastMs = nowMs;
    if (elapsed <= 0)
        return 0.0f;
    const float seconds = static_cast<float>(elapsed) * 0.001f;
    return seconds < MAX_STEP_SECONDS ? seconds : MAX_STEP_SECONDS;
}

} // namespace Tarv
