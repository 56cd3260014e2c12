// Turns clock readings into the main loop's frame time.
#include "platform/FrameTimer.h"

namespace Tarv
{

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
