// Frame pacing on the monotonic clock: a due time per pass, advanced one frame at a time.
#include "platform/FramePacer.h"

#include <time.h>

namespace Tarv
{

namespace
{

constexpr std::int64_t NS_PER_SECOND = 1000000000;

std::int64_t MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * NS_PER_SECOND + now.tv_nsec;
}

} // namespace

std::int64_t FramePacer::GetWait(std::int64_t nowNs)
{
    if (!m_started || nowNs >= m_dueNs - SLACK_NS) {
        m_started = true;
        m_dueNs = nowNs + FRAME_NS;
        return 0;
    }
    const std::int64_t wait = m_dueNs - nowNs;
    m_dueNs += FRAME_NS;
    return wait;
}

void FramePacer::Pace()
{
    const std::int64_t now = MonotonicNs();
    const std::int64_t wait = GetWait(now);
    if (wait <= 0)
        return;
    const std::int64_t until = now + wait;
    const timespec due{static_cast<time_t>(until / NS_PER_SECOND), static_cast<long>(until % NS_PER_SECOND)};
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr);
}

} // namespace Tarv
