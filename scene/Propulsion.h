// Processes that push a dynamic object from outside, between physics passes: the controller
// base, and the linear and angular propulsions fed by a vector controller.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "framework/Process.h"
#include "scene/DirectionController.h"

namespace Vund
{

class DynamicObject;

// Borrows the object: it must outlive the controller (a null object makes it do nothing).
class DynamicObjectController : public Quor::Process, public Tarv::RefCounter
{
public:
    explicit DynamicObjectController(DynamicObject* object);

protected:
    DynamicObject* m_object;
};

// Holds a reference to the vector controller; without one the propulsion pushes nothing.
class Propulsion : public DynamicObjectController
{
public:
    Propulsion(DynamicObject* object, VectorController* controller);
    ~Propulsion() override;

protected:
    Tarv::SmartPtr<VectorController> m_controller;
};

// Adds the controller's vector, turned by the object's orientation, to its force.
class LinearPropulsion : public Propulsion
{
public:
    using Propulsion::Propulsion;

protected:
    void Update() override;
};

// Adds the controller's vector to the torque as (v.y, -v.x, 0).
class AngularPropulsion : public Propulsion
{
public:
    using Propulsion::Propulsion;

protected:
    void Update() override;
};

} // namespace Vund
