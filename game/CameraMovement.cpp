#include "game/CameraMovement.h"

#include "engine/core/KeyCodes.h"
#include "framework/Settings.h"
#include "game/Pirrock.h"
#include "game/World.h"
#include "scene/DirectionController.h"
#include "scene/Physics.h"

#include <cmath>

namespace Pirrock
{

namespace
{

float GetConstant(const char* key)
{
    Quor::Settings* settings = Quor::Settings::GetInstance();
    return settings ? static_cast<float>(settings->GetInt(key)) : 0.0f;
}

bool GetFlag(const char* key)
{
    Quor::Settings* settings = Quor::Settings::GetInstance();
    return settings && settings->GetBool(key);
}

float GetLevelWidth()
{
    const World* world = World::Instance.Get();
    return world ? world->GetWorldBounds().right : 0.0f;
}

Vund::VectorController* MakeKeyPropulsion()
{
    return new Vund::VectorController(
        new Vund::KeyboardDirectionController(Tarv::KEY_E, Tarv::KEY_Q, Tarv::KEY_A, Tarv::KEY_D, Tarv::KEY_W,
                                              Tarv::KEY_S, 0),
        new Vund::ConstantGainController(1500.0f));
}

} // namespace

TrackerController::TrackerController(Vund::RelaxedTracker* tracker)
    : Process("tracker controller"), m_tracker(tracker),
      m_activationDistance(GetConstant("constants/tracker_activation_distance"))
{
}

void TrackerController::Update()
{
    const Pirrock* hero = Pirrock::GetInstance().Get();
    if (!hero)
        return;
    if (std::fabs(m_tracker->GetOffset().x) < m_activationDistance)
        m_tracker->SetPaused(false);
    else
        m_tracker->SetPaused(hero->GetVelocity().y == 0.0f);
}

void Panner::Update()
{
    m_approacher.Advance(GetStep());
    if (m_object)
        m_object->MoveBy(m_approacher.GetCurrent() - m_applied, false);
    m_applied = m_approacher.GetCurrent();
}

Limiter::Limiter(Vund::Camera* camera, float levelWidth)
    : DynamicObjectController(camera), m_camera(camera), m_width(levelWidth)
{
}

void Limiter::Update()
{
    if (!m_camera)
        return;
    const Vund::Vector3D& projection = m_camera->GetProjection();
    const float cx = projection.x, cy = projection.y, f = projection.z;
    const Vund::Vector3D old = m_camera->GetPosition();
    Vund::Vector3D p = old;
    const float k = p.z / f;
    const float halfW = k * cx, halfH = k * cy;
    if (halfW > m_width - halfW) {
        p.x = m_width * 0.5f;
        p.z = (m_width * 0.5f) / cx * f;
    } else {
        const float m = halfW < p.x ? p.x : halfW;
        p.x = m_width - halfW > m ? m : m_width - halfW;
    }
    p.y = halfH < p.y ? p.y : halfH;
    Vund::Vector3D v = m_camera->GetVelocity();
    if (p.x != old.x)
        v.x = 0.0f;
    if (p.y != old.y)
        v.y = 0.0f;
    m_camera->SetPosition(p, false);
    m_camera->SetVelocity(v);
}

Vund::Vector3D Limiter::GetIdealExtent() const
{
    if (!m_camera)
        return {};
    const Vund::Vector3D& projection = m_camera->GetProjection();
    const float k = GetConstant("constants/ideal_vertical_span") / (2.0f * projection.y);
    return {k * projection.x, k * projection.y, k * projection.z};
}

CameraMovement::CameraMovement(Vund::Camera* camera)
    : ProcessManager("camera movement"), m_camera(camera), m_trackerController(&m_tracker),
      m_tracker(Pirrock::GetInstance().Get(), camera), m_panner(camera), m_propulsion(camera, MakeKeyPropulsion()),
      m_limiter(camera, GetLevelWidth())
{
    if (const Vund::Physics* physics = Vund::Physics::GetInstance())
        SetInterval(physics->GetInterval());
    AddProcess(&m_trackerController);
    AddProcess(&m_tracker);
    AddProcess(&m_panner);
    if (GetFlag("dev/enable_cheats")) {
        if (camera)
            camera->SetDrag(2.0f);
        AddProcess(&m_propulsion);
    }
    if (!GetFlag("dev/disable_camera_limiter"))
        AddProcess(&m_limiter);
}

void CameraMovement::Focus(const float& rate)
{
    const Pirrock* hero = Pirrock::GetInstance().Get();
    const World* world = World::Instance.Get();
    if (!m_camera || !hero || !world)
        return;
    const float idealY = world->CellsToWorld(0.0f, GetConstant("constants/pirrock_ideal_position_cells/y")).y;
    const Vund::Vector3D extent = m_limiter.GetIdealExtent();
    const float d = GetConstant("constants/tracker_activation_distance");
    const Vund::Vector3D h = hero->GetPosition(), p = m_camera->GetPosition();
    Vund::Vector3D delta(h.x - p.x + d, h.y + extent.y - idealY - p.y, h.z + extent.z - p.z);
    if (GetFlag("runtime/running_left"))
        delta.x -= 2.0f * d;
    if (rate == 1.0f) {
        m_camera->MoveBy(delta, false);
        m_limiter.Update();
    } else {
        m_panner.SetFactor(rate);
        m_panner.AddTarget(delta);
    }
}

void CameraMovement::Reset()
{
    m_tracker.ResetOffset();
    SetPaused(false);
}

} // namespace Pirrock
