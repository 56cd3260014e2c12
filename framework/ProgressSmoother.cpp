// The loading bar's smoothing: the speed aims at finishing at the pace the real load has shown,
// and halves each time the bar overtakes the last real figure plus a shrinking margin.
#include "framework/ProgressSmoother.h"

#include <algorithm>
#include <cmath>

namespace Quor
{

namespace
{

// A bound on the speed target, so a real figure arriving after a tiny elapsed time gives a
// fast bar rather than an infinite one.
constexpr float MAX_SPEED = 1.0e6f;

} // namespace

ProgressSmoother::ProgressSmoother() : m_speed(START_SPEED, 0.5f) {}

float ProgressSmoother::Smooth(float dt, float p)
{
    if (!(dt > 0.0f) || !std::isfinite(dt))
        dt = 0.0f;
    if (std::isnan(p))
        p = m_last;
    p = std::clamp(p, 0.0f, 100.0f);

    m_elapsed += dt;
    m_speed.Advance(dt);

    if (p != m_last) {
        ++m_changes;
        m_last = p;
        if (p == 100.0f)
            m_shown = 100.0f;
        else if (m_elapsed > 0.0f)
            SetSpeedTarget((100.0f - m_shown) * p / ((100.0f - p) * m_elapsed));
        m_step = p / static_cast<float>(m_changes);
        m_limit = std::min(p + m_step, 100.0f);
    }

    const float next = m_shown + dt * m_speed.GetCurrent();
    if (std::isfinite(next) && next > m_shown)
        m_shown = std::min(next, 100.0f);

    if (m_shown > m_limit) {
        m_limit = std::min(m_limit + m_step / 2.0f, 100.0f);
        m_step /= 2.0f;
        SetSpeedTarget(m_speed.GetTarget() / 2.0f);
    }
    return m_shown;
}

void ProgressSmoother::SetSpeedTarget(float target)
{
    if (std::isnan(target) || target < 0.0f)
        return;
    m_speed.SetTarget(std::min(target, MAX_SPEED));
}

} // namespace Quor
