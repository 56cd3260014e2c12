// The trackers' updates.
#include "scene/Tracker.h"

#include "framework/ValueApproacher.h"
#include "scene/DynamicObject.h"

namespace Vund
{

Tracker::Tracker(DynamicObject* leader, DynamicObject* follower)
    : Process("tracker"), m_leader(leader), m_follower(follower)
{
}

Vector3D Tracker::GetOffset() const
{
    if (m_leader == nullptr || m_follower == nullptr)
        return Vector3D();
    return m_leader->GetPosition() - m_follower->GetPosition();
}

void Tracker::Update()
{
    if (m_leader != nullptr && m_follower != nullptr)
        m_follower->MoveBy(m_leader->lastDisplacement, false);
}

RelaxedTracker::RelaxedTracker(DynamicObject* leader, DynamicObject* follower)
    : Tracker(leader, follower), m_stepLength(Quor::ValueApproacher<Vector3D>::PERIOD)
{
}

void RelaxedTracker::Update()
{
    if (m_leader == nullptr || m_follower == nullptr)
        return;
    m_goal += m_leader->lastDisplacement;
    m_timer += GetStep();
    if (!(m_stepLength > 0.0f)) {
        m_timer = 0.0f;
        return;
    }
    for (int steps = 0; m_timer > m_stepLength; ++steps) {
        const Vector3D d = m_goal - m_current;
        if (d.IsZero() || steps == MAX_STEPS) {
            m_timer = 0.0f;
            break;
        }
        m_current += d * m_factor;
        m_timer -= m_stepLength;
    }
    m_follower->MoveBy(m_current - m_applied, false);
    m_applied = m_current;
}

} // namespace Vund
