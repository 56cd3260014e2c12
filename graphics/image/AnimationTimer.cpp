// Frame stepping by elapsed time: one step a call, the overshoot dropped, as the animations'
// authored timings expect.
#include "graphics/image/AnimationTimer.h"

#include <cmath>
#include <utility>

namespace Tarv
{

AnimationTimer::AnimationTimer(std::vector<float> frameSeconds, bool loop)
    : m_frameSeconds(std::move(frameSeconds)), m_loop(loop)
{
    if (!m_frameSeconds.empty())
        m_timeLeft = m_frameSeconds[0];
}

bool AnimationTimer::Update(float dt)
{
    if (m_frameSeconds.empty())
        return false;
    m_timeLeft -= dt;
    if (!(m_timeLeft < 0.0f))
        return true;
    std::uint32_t next = m_index + 1;
    if (next >= m_frameSeconds.size()) {
        if (!m_loop)
            return false;
        next = 0;
    }
    SetFrame(next);
    return true;
}

bool AnimationTimer::SetFrame(std::uint32_t index)
{
    if (index >= m_frameSeconds.size())
        return false;
    m_index = index;
    m_timeLeft = m_frameSeconds[index];
    return true;
}

std::int32_t AnimationTimer::GetFrameTimeFixed(std::uint32_t index) const
{
    if (index >= m_frameSeconds.size())
        return 0;
    const double fixed = std::trunc(double(m_frameSeconds[index]) * 65536.0);
    if (std::isnan(fixed))
        return 0;
    // Durations come from file integers in milliseconds; keep the result an int32 whatever.
    if (!(fixed > -2147483648.0 && fixed < 2147483647.0))
        return fixed > 0 ? 2147483647 : -2147483647 - 1;
    return std::int32_t(fixed);
}

} // namespace Tarv
