// Vund::Physics: the one manager of dynamic objects, a framework process ticked every logic
// step as the service registry's manager "Physics". Each pass adds gravity, drag and angular
// drag to every listed object and integrates it, in the order the objects were made.
#pragma once

#include "framework/AbstractManager.h"
#include "scene/Vector3D.h"

#include <mutex>

namespace Vund
{

class DynamicObject;

class Physics : public Quor::AbstractManager<DynamicObject>
{
public:
    // The manager registered as "Physics"; when there is none, a new one with gravity
    // (0, -10, 0), default drag 2 and angular drag 2 is registered and returned. Null when no
    // service registry exists (then nothing is stepped). Any thread.
    static Physics* GetInstance();

    Physics(const Vector3D& gravity, const float& drag, const float& angularDrag);
    // Lets every listed object go: they stay usable and no longer refer to the manager.
    ~Physics() override;

    // Listing and unlisting, serialised with the pass (an object made or destroyed during a
    // pass on the pass's own thread is handled at once: a new one is stepped in the same
    // pass, a removed one is skipped without skipping its successor).
    void AddObject(DynamicObject* object);
    void RemoveObject(DynamicObject* object);
    // Takes the object off the list of whichever manager it is listed with.
    static void Leave(DynamicObject* object);
    std::size_t GetObjectCount() const;

    // Forces of one object, then its integration with the manager's step.
    void StepObject(DynamicObject* object);

    Vector3D gravity;
    float defaultDrag;
    float angularDragCoefficient;

protected:
    void Update() override;
    void UpdateItem(DynamicObject* object) override { StepObject(object); }

private:
    mutable std::recursive_mutex m_mutex;
};

} // namespace Vund
