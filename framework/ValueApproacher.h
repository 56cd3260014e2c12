// Quor::ValueApproacher: a value that eases toward a target in fixed steps, closing a fixed
// share of the gap per step (the loading bar's speed, the camera's tracker and panner).
#pragma once

#include "engine/core/RefCounter.h"

namespace Quor
{

template <class T>
class ValueApproacher : public Tarv::RefCounter
{
public:
    // The step length every approacher of this value type starts with.
    static constexpr float DEFAULT_STEP = 1.0f / 30.0f;
    // At most this many steps per Advance; time beyond them is dropped, since after that many
    // steps the gap is below the value type's precision anyway.
    static constexpr int MAX_STEPS = 256;

    explicit ValueApproacher(T start = T(), float factor = 0.5f)
        : m_target(start), m_current(start), m_factor(factor)
    {
    }

    void SetTarget(const T& target) { m_target = target; }
    const T& GetTarget() const { return m_target; }
    const T& GetCurrent() const { return m_current; }
    // The share of the gap closed per step.
    void SetFactor(float factor) { m_factor = factor; }
    // Seconds per step; a step of 0 or less (or not a number) stops the easing.
    void SetStep(float seconds) { m_step = seconds; }
    float GetStep() const { return m_step; }

    // Runs one easing step per whole step length in timer + dt (dt of 0 or less adds nothing);
    // the remainder carries over. Once the value has met its target the timer restarts.
    void Advance(float dt)
    {
        if (dt > 0.0f)
            m_timer += dt;
        if (!(m_step > 0.0f)) {
            m_timer = 0.0f;
            return;
        }
        for (int steps = 0; m_timer > m_step; ++steps) {
            if (m_target == m_current || steps == MAX_STEPS) {
                m_timer = 0.0f;
                return;
            }
            m_current = m_current + (m_target - m_current) * m_factor;
            m_timer -= m_step;
        }
    }

private:
    T m_target;
    T m_current;
    float m_factor;
    float m_step = DEFAULT_STEP;
    float m_timer = 0.0f;
};

} // namespace Quor
