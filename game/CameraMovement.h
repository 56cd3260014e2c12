// Pirrock::CameraMovement: the process that moves the play camera. It frames the hero a fixed
// distance behind the view's centre in its running direction, follows it with a lag once it comes
// closer than that (or moves vertically), eases to a new framing on request and keeps the view
// inside the level: its width, and its bottom edge at or above y = 0.
#pragma once

#include "framework/Process.h"
#include "framework/ProcessManager.h"
#include "framework/ValueApproacher.h"
#include "scene/Camera.h"
#include "scene/Propulsion.h"
#include "scene/Tracker.h"

namespace Pirrock
{

// Pauses the tracker while the hero, on level ground, is at least the activation distance from
// the camera's centre.
class TrackerController : public Quor::Process
{
public:
    explicit TrackerController(Vund::RelaxedTracker* tracker);

protected:
    void Update() override;

private:
    Vund::RelaxedTracker* m_tracker;
    float m_activationDistance;
};

// Eases the camera by the offsets given to it, closing factor of the gap every approacher step
// (1/30 s).
class Panner : public Vund::DynamicObjectController
{
public:
    explicit Panner(Vund::DynamicObject* camera) : DynamicObjectController(camera) {}
    void AddTarget(const Vund::Vector3D& delta) { m_approacher.SetTarget(m_approacher.GetTarget() + delta); }
    void SetFactor(float factor) { m_approacher.SetFactor(factor); }
    // The part of the given offsets not yet applied to the camera.
    Vund::Vector3D GetRemaining() const { return m_approacher.GetTarget() - m_approacher.GetCurrent(); }
    void Update() override;

private:
    Vund::Vector3D m_applied;
    Quor::ValueApproacher<Vund::Vector3D> m_approacher;
};

// Keeps the camera's view inside the level's width and above its bottom edge.
class Limiter : public Vund::DynamicObjectController
{
public:
    Limiter(Vund::Camera* camera, float levelWidth);
    void Update() override;
    // Half the visible width and height and the camera height at which the view shows
    // "constants/ideal_vertical_span" units vertically.
    Vund::Vector3D GetIdealExtent() const;

private:
    Vund::Camera* m_camera;
    float m_width;
};

class CameraMovement : public Quor::ProcessManager
{
public:
    // The hero and the World singletons should exist; without them the camera stays.
    explicit CameraMovement(Vund::Camera* camera);
    // Frames the hero: at once for a rate of exactly 1, else eased with that factor.
    void Focus(const float& rate);
    // Drops the tracker's owed catch-up and resumes.
    void Reset();

    Vund::RelaxedTracker& GetTracker() { return m_tracker; }
    const Vund::RelaxedTracker& GetTracker() const { return m_tracker; }
    const Panner& GetPanner() const { return m_panner; }

private:
    Vund::Camera* m_camera;
    TrackerController m_trackerController;
    Vund::RelaxedTracker m_tracker;
    Panner m_panner;
    Vund::LinearPropulsion m_propulsion;
    Limiter m_limiter;
};

} // namespace Pirrock
