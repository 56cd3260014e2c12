// The physics pass and the serialised list of dynamic objects.
#include "scene/Physics.h"

#include "framework/System.h"
#include "scene/DynamicObject.h"

#include <algorithm>
#include <cmath>

namespace Vund
{

namespace
{

thread_local bool t_holding = false;

} // namespace

Physics* Physics::GetInstance()
{
    Quor::System* system = Quor::System::GetInstance();
    if (system == nullptr)
        return nullptr;
    if (auto* found = dynamic_cast<Physics*>(system->GetManager("Physics")))
        return found;
    system->AddManager("Physics", new Physics(Vector3D(0.0f, -10.0f, 0.0f), 2.0f, 2.0f));
    // Looked up again: when another thread registered first, its manager is the one.
    return dynamic_cast<Physics*>(system->GetManager("Physics"));
}

Physics::Physics(const Vector3D& gravity_, const float& drag, const float& angularDrag)
    : AbstractManager("physics"), gravity(gravity_), defaultDrag(drag), angularDragCoefficient(angularDrag)
{
}

Physics::~Physics()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (DynamicObject* object : GetItems())
        object->m_physics = nullptr;
    for (const Held& held : m_held)
        held.object->m_physics = nullptr;
}

void Physics::AddObject(DynamicObject* object)
{
    if (object == nullptr)
        return;
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (object->m_physics != nullptr)
        return;
    if (t_holding)
        m_held.push_back(Held{std::this_thread::get_id(), object});
    else
        AddItem(object);
    object->m_physics = this;
}

void Physics::HoldNewObjects(bool hold)
{
    t_holding = hold;
}

bool Physics::IsHoldingNewObjects()
{
    return t_holding;
}

void Physics::ReleaseHeldObjects()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::thread::id self = std::this_thread::get_id();
    std::vector<Held> others;
    for (const Held& held : m_held) {
        if (held.thread == self)
            AddItem(held.object);
        else
            others.push_back(held);
    }
    m_held.swap(others);
}

PhysicsHold::PhysicsHold() : m_outer(!Physics::IsHoldingNewObjects())
{
    Physics::HoldNewObjects(true);
}

PhysicsHold::~PhysicsHold()
{
    if (!m_outer)
        return;
    Physics::HoldNewObjects(false);
    if (Physics* physics = Physics::GetInstance())
        physics->ReleaseHeldObjects();
}

void Physics::RemoveObject(DynamicObject* object)
{
    if (object == nullptr)
        return;
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (object->m_physics != this)
        return;
    const auto held = std::find_if(m_held.begin(), m_held.end(), [object](const Held& h) { return h.object == object; });
    if (held != m_held.end())
        m_held.erase(held);
    else
        RemoveItem(object);
    object->m_physics = nullptr;
}

void Physics::Leave(DynamicObject* object)
{
    // A manager is only destroyed at exit, after every thread that makes objects has ended.
    Physics* physics = object->m_physics.load();
    if (physics != nullptr)
        physics->RemoveObject(object);
}

std::size_t Physics::GetObjectCount() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return GetItems().size();
}

void Physics::Update()
{
    // A step of 0 or less moves nothing; the forces wait for the next real step.
    if (!(GetStep() > 0.0f))
        return;
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    AbstractManager::Update();
}

void Physics::StepObject(DynamicObject* object)
{
    if (object->gravity) {
        const float m = object->GetMass();
        object->force.x += m * gravity.x;
        object->force.y += m * gravity.y;
        object->force.z += m * gravity.z;
    }
    if (object->drag) {
        const Vector3D& v = object->GetVelocity();
        const float k = object->GetDragCoefficient();
        object->force.x -= v.x * k;
        object->force.y -= v.y * k;
        object->force.z -= v.z * k;
    }
    if (object->angularDrag) {
        const Rotation& r = object->GetAngularVelocity();
        float length = 0.0f;
        Vector3D axis;
        r.axis.GetLengthAndDirection(length, axis);
        // Rounding can leave w just outside [-1, 1], where acos has no value.
        const double w = std::clamp(static_cast<double>(r.w), -1.0, 1.0);
        const float angle = static_cast<float>(std::acos(w)) * 2.0f;
        object->torque += -(axis * angle) * angularDragCoefficient;
    }
    object->Integrate(GetStep());
}

} // namespace Vund
