// Quor::ProgressSmoother: turns the real load percentage, which moves in jumps, into a bar
// that moves steadily, never backwards, and reaches 100 when the load does.
#pragma once

#include "framework/ValueApproacher.h"

namespace Quor
{

class ProgressSmoother
{
public:
    // The bar's speed, percent per second, before any real figure exists.
    static constexpr float START_SPEED = 10.0f;

    ProgressSmoother();

    // Advances by dt seconds with the real percentage p and returns the shown percentage,
    // always a number from 0 to 100 that never decreases, whatever dt and p are (NaN, zero,
    // negative or out of range).
    float Smooth(float dt, float p);

    float GetShown() const { return m_shown; }
    float GetSpeed() const { return m_speed.GetCurrent(); }
    float GetLimit() const { return m_limit; }

private:
    void SetSpeedTarget(float target);

    int m_changes = 0;
    float m_elapsed = 0.0f;
    float m_shown = 0.0f;
    float m_last = 0.0f;
    float m_step = 50.0f;
    float m_limit = 50.0f;
    ValueApproacher<float> m_speed;
};

} // namespace Quor
