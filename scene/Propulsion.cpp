// The propulsions' updates.
#include "scene/Propulsion.h"

#include "scene/DynamicObject.h"

namespace Vund
{

DynamicObjectController::DynamicObjectController(DynamicObject* object)
    : Process("dynamic object controller"), m_object(object)
{
}

Propulsion::Propulsion(DynamicObject* object, VectorController* controller)
    : DynamicObjectController(object), m_controller(controller)
{
}

Propulsion::~Propulsion() = default;

void LinearPropulsion::Update()
{
    if (m_object == nullptr || !m_controller)
        return;
    m_object->force += Quaternion::RotateVector(m_controller->GetVector(), m_object->GetOrientation());
}

void AngularPropulsion::Update()
{
    if (m_object == nullptr || !m_controller)
        return;
    const Vector3D v = m_controller->GetVector();
    m_object->torque.x += v.y;
    m_object->torque.y -= v.x;
}

} // namespace Vund
