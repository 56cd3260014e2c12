// The time rule of a process: duration, fixed-interval catch-up, pause, finish and kill.
#include "framework/Process.h"

#include <cmath>

namespace Quor
{

Process::Process(const Tarv::NarrowString& name, const float& start, const float& duration, const float& interval)
    : m_name(name), m_start(start), m_duration(duration)
{
    SetInterval(interval);
}

bool Process::Tick(const float& dt)
{
    if (m_paused)
        return true;

    // A negative, NaN or infinite dt would poison elapsed or the accumulator for good.
    const float step = (std::isfinite(dt) && dt > 0.0f) ? dt : 0.0f;
    m_lastStep = step;
    m_elapsed += step;
    if (GetRemaining() <= 0.0f)
        return false;

    if (m_interval == 0.0f) {
        Update();
        return GetRemaining() > 0.0f;
    }
    return TickInterval(step);
}

bool Process::TickInterval(float dt)
{
    m_accumulator += dt;

    int runs = 0;
    while (m_accumulator >= m_interval) {
        if (m_maxCatchUp > 0 && runs == m_maxCatchUp) {
            // Behind by more than the bound allows: keep only the part of an interval.
            m_accumulator = std::fmod(m_accumulator, m_interval);
            break;
        }
        Update();
        ++runs;
        if (GetRemaining() <= 0.0f)
            return false;
        m_accumulator -= m_interval;
    }
    return true;
}

float Process::GetRemaining() const
{
    if (m_duration == UNBOUNDED)
        return m_elapsed == m_duration ? 0.0f : 1.0f;
    return m_duration - m_elapsed;
}

void Process::Finish()
{
    m_elapsed = m_duration;
    m_paused = false;
}

void Process::Restart()
{
    m_elapsed = 0.0f;
    m_lastStep = 0.0f;
    m_accumulator = 0.0f;
}

void Process::SetInterval(float seconds)
{
    m_interval = (std::isfinite(seconds) && seconds > 0.0f) ? seconds : 0.0f;
    Restart();
}

} // namespace Quor
