// Quor::ValueApproacher: a value that eases toward a target in fixed ticks, closing a fixed
// share of the gap per tick (the loading bar's speed uses it).
#pragma once

#include "engine/core/RefCounter.h"

namespace Quor
{

template <class T>
class ValueApproacher : public Tarv::RefCounter
{
public:
    // The tick length, shared by every approacher of this value type.
    static constexpr float PERIOD = 1.0f / 30.0f;

    ValueApproacher(T start, T factor) : m_target(start), m_current(start), m_factor(factor) {}

    void SetTarget(T target) { m_target = target; }
    T GetTarget() const { return m_target; }
    T GetCurrent() const { return m_current; }

    // Runs one easing step per whole period in timer + dt. Once the value has met its target
    // the timer restarts; the number of steps per call is bounded, since after that many
    // halvings the gap is below the value type's precision anyway.
    void Advance(float dt)
    {
        if (dt > 0.0f)
            m_timer += dt;
        for (int steps = 0; m_timer > PERIOD; ++steps) {
            if (m_target == m_current || steps == MAX_STEPS) {
                m_timer = 0.0f;
                return;
            }
            m_current += (m_target - m_current) * m_factor;
            m_timer -= PERIOD;
        }
    }

private:
    static constexpr int MAX_STEPS = 256;

    T m_target;
    T m_current;
    T m_factor;
    float m_timer = 0.0f;
};

} // namespace Quor
