// Processes that move one dynamic object along with another: the tracker repeats the
// leader's last displacement at once, the relaxed tracker eases it in.
#pragma once

#include "engine/core/RefCounter.h"
#include "framework/Process.h"
#include "framework/ValueApproacher.h"
#include "scene/Vector3D.h"

namespace Vund
{

class DynamicObject;

// Borrows both objects: they must outlive the tracker (a null one makes it do nothing).
class Tracker : public Quor::Process, public Tarv::RefCounter
{
public:
    Tracker(DynamicObject* leader, DynamicObject* follower);

    // Leader position - follower position; zero when either is missing.
    Vector3D GetOffset() const;

protected:
    void Update() override;

    DynamicObject* m_leader;
    DynamicObject* m_follower;
};

// Collects the leader's displacements as the approacher's goal and moves the follower a tenth
// of the remaining way every easing step (the approacher's class-wide default, 1/30 s),
// catching up after a slow frame; the timer's remainder carries over. While paused nothing is
// collected, and the easing resumes from the stored goal.
class RelaxedTracker : public Tracker
{
public:
    RelaxedTracker(DynamicObject* leader, DynamicObject* follower);

    // Stops the easing where it is: the goal becomes the current value.
    void ResetOffset() { m_approacher.SetTarget(m_approacher.GetCurrent()); }

protected:
    void Update() override;

private:
    Vector3D m_applied;
    Quor::ValueApproacher<Vector3D> m_approacher;
};

} // namespace Vund
