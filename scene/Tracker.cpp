// The trackers' updates.
#include "scene/Tracker.h"

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
    : Tracker(leader, follower), m_approacher(Vector3D(), 0.1f)
{
}

void RelaxedTracker::Update()
{
    if (m_leader == nullptr || m_follower == nullptr)
        return;
    m_approacher.SetTarget(m_approacher.GetTarget() + m_leader->lastDisplacement);
    m_approacher.Advance(GetStep());
    m_follower->MoveBy(m_approacher.GetCurrent() - m_applied, false);
    m_applied = m_approacher.GetCurrent();
}

} // namespace Vund
