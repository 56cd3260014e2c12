// Vund::DynamicObject: the rigid body of the scene (position, velocity, mass, orientation and
// the force and torque accumulators one integration step per physics pass empties). Every
// dynamic object lists itself with the physics manager while it lives.
#pragma once

#include "scene/Quaternion.h"
#include "scene/Vector3D.h"

#include <atomic>

namespace Vund
{

class Physics;

class DynamicObject
{
public:
    // Lists the object with the physics manager (Physics::GetInstance, created on first use);
    // without a service registry there is no manager and the object is simply not stepped.
    // On a thread that holds new objects (Physics::HoldNewObjects) it waits outside the list
    // until that thread releases it, so a pass never steps a half-built object.
    DynamicObject(const Vector3D& position, const Vector3D& velocity, const float& mass,
                  const Rotation& orientation, const Rotation& angularVelocity, const float& inertia);
    DynamicObject(const DynamicObject&) = delete;
    DynamicObject& operator=(const DynamicObject&) = delete;
    // Leaves the manager's list if it is still listed (also during a pass). An object that
    // outlives its manager has been let go by the manager and touches nothing. A listed
    // object destroyed on another thread than the pass's must leave first (Physics::Leave):
    // its derived parts are gone before this destructor runs.
    virtual ~DynamicObject();

    // With accumulate, the jump p - position is added to the last displacement.
    virtual void SetPosition(const Vector3D& position, bool accumulate);
    virtual void SetVelocity(const Vector3D& velocity) { m_velocity = velocity; }
    virtual void SetOrientation(const Rotation& orientation) { m_orientation = orientation; }
    virtual void SetAngularVelocity(const Rotation& velocity) { m_angularVelocity = velocity; }
    virtual const Vector3D& GetPosition() const { return m_position; }
    virtual const Vector3D& GetVelocity() const { return m_velocity; }
    virtual const Rotation& GetOrientation() const { return m_orientation; }
    virtual const Rotation& GetAngularVelocity() const { return m_angularVelocity; }

    // From now on the object's own drag coefficient is used instead of the manager's default.
    void SetDrag(const float& drag);
    // The coefficient the manager applies: the object's own after SetDrag, else the default.
    float GetDragCoefficient() const;
    // SetPosition (GetPosition () + delta, accumulate), through the virtual operations.
    void MoveBy(const Vector3D& delta, bool accumulate);
    // One integration step of dt seconds (see DynamicObject.cpp); the manager calls it.
    void Integrate(const float& dt);

    float GetMass() const { return m_mass; }
    float GetInertia() const { return m_inertia; }
    // The manager the object is listed with, or null.
    Physics* GetPhysics() const { return m_physics.load(); }

    Vector3D force;
    Vector3D torque;
    bool gravity = false;
    bool drag = true;
    bool angularDrag = false;
    bool frozen = false;
    Vector3D lastDisplacement;
    Vector3D lastVelocityChange;
    // Kept for the active-camera slot, which sets it false for the camera it holds. Leaving
    // the manager's list does not depend on it: a destroyed object never stays listed.
    bool registered = true;

private:
    friend class Physics;

    Vector3D m_position;
    Vector3D m_velocity;
    float m_mass;
    Rotation m_orientation;
    Rotation m_angularVelocity;
    float m_inertia;
    float m_ownDrag = 0.0f;
    bool m_useOwnDrag = false;
    // Written by the manager under its lock: set when listed, cleared when the manager goes.
    std::atomic<Physics*> m_physics{nullptr};
};

} // namespace Vund
