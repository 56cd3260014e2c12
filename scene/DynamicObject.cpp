// Integration of a dynamic object and its membership of the physics manager's list.
#include "scene/DynamicObject.h"

#include "scene/Physics.h"

#include <cmath>

namespace Vund
{

namespace
{

// The step moves an object by half of velocity times dt. Every tuning value of the game
// (gravity, drag, the hero's speeds) was set against this, so it stays.
constexpr float DISPLACEMENT_SCALE = 0.5f;

bool IsFinite(const Vector3D& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

} // namespace

DynamicObject::DynamicObject(const Vector3D& position, const Vector3D& velocity, const float& mass,
                             const Rotation& orientation, const Rotation& angularVelocity,
                             const float& inertia)
    : m_position(position), m_velocity(velocity), m_mass(mass), m_orientation(orientation),
      m_angularVelocity(angularVelocity), m_inertia(inertia)
{
    if (Physics* physics = Physics::GetInstance())
        physics->AddObject(this);
}

DynamicObject::~DynamicObject()
{
    Physics::Leave(this);
}

void DynamicObject::SetPosition(const Vector3D& position, bool accumulate)
{
    if (accumulate)
        lastDisplacement += position - m_position;
    m_position = position;
}

void DynamicObject::SetDrag(const float& drag)
{
    m_ownDrag = drag;
    m_useOwnDrag = true;
}

float DynamicObject::GetDragCoefficient() const
{
    if (m_useOwnDrag)
        return m_ownDrag;
    const Physics* physics = m_physics.load();
    return physics != nullptr ? physics->defaultDrag : 0.0f;
}

void DynamicObject::MoveBy(const Vector3D& delta, bool accumulate)
{
    SetPosition(GetPosition() + delta, accumulate);
}

void DynamicObject::Integrate(const float& dt)
{
    lastDisplacement = Vector3D();
    lastVelocityChange = Vector3D();
    if (frozen) {
        force = Vector3D();
        return;
    }
    if (!force.IsZero()) {
        // A massless body, or a force that is not finite, would fill the velocity with
        // infinities or NaN that trackers then pass on: such a force is dropped. A negative
        // mass takes the force, against its direction.
        if (m_mass != 0.0f && IsFinite(force)) {
            const float inverseMass = 1.0f / m_mass;
            const Vector3D change(force.x * dt * inverseMass, force.y * inverseMass * dt,
                                  force.z * inverseMass * dt);
            if (IsFinite(change)) {
                lastVelocityChange = change;
                SetVelocity(GetVelocity() + change);
            }
        }
        force = Vector3D();
    }
    const Vector3D& v = GetVelocity();
    const Vector3D displacement(v.x * dt * DISPLACEMENT_SCALE, v.y * dt * DISPLACEMENT_SCALE,
                                v.z * dt * DISPLACEMENT_SCALE);
    if (IsFinite(displacement)) {
        lastDisplacement = displacement;
        SetPosition(GetPosition() + displacement, false);
    }
    if (torque.IsZero())
        return;
    const float h = torque.GetLength() * 0.5f;
    Vector3D n = torque;
    n.Normalize();
    torque = Vector3D();
    if (!std::isfinite(h))
        return;
    const float c = static_cast<float>(std::cos(static_cast<double>(h)));
    const float s = static_cast<float>(std::sin(static_cast<double>(h)));
    const Vector3D q(s * n.x, s * n.y, s * n.z);
    const Rotation& o = m_orientation;
    const Vector3D& oa = o.axis;
    m_orientation = Rotation::FromComponents(c * o.w - (q.x * oa.x + q.y * oa.y + q.z * oa.z),
                                             q.x * o.w + q.y * oa.z - q.z * oa.y + c * oa.x,
                                             q.y * o.w + q.z * oa.x - q.x * oa.z + c * oa.y,
                                             q.z * o.w + q.x * oa.y - q.y * oa.x + c * oa.z);
}

} // namespace Vund
