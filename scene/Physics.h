// Vund::Physics: the one manager of dynamic objects, a framework process ticked every logic
// step as the service registry's manager "Physics". Each pass adds gravity, drag and angular
// drag to every listed object and integrates it, in the order the objects were made.
#pragma once

#include "framework/AbstractManager.h"
#include "scene/Vector3D.h"

#include <mutex>
#include <thread>
#include <vector>

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
    // Objects stepped by the passes (held ones not counted).
    std::size_t GetObjectCount() const;

    // While holding is on for the calling thread, objects made on it wait outside the list,
    // so the pass never meets an object that is still being built or set up on another
    // thread (a loader thread holds while it builds a state's objects, then releases them).
    // Releasing appends the thread's waiting objects in the order they were made.
    static void HoldNewObjects(bool hold);
    static bool IsHoldingNewObjects();
    void ReleaseHeldObjects();

    // Forces of one object, then its integration with the manager's step.
    void StepObject(DynamicObject* object);

    Vector3D gravity;
    float defaultDrag;
    float angularDragCoefficient;

protected:
    void Update() override;
    void UpdateItem(DynamicObject* object) override { StepObject(object); }

private:
    struct Held
    {
        std::thread::id thread;
        DynamicObject* object;
    };

    mutable std::recursive_mutex m_mutex;
    std::vector<Held> m_held;
};

// Holds the objects the calling thread makes while it lives (a state's load on the loader
// thread), then lists them together with the manager, in the order they were made. Inside
// another hold on the same thread it changes nothing: the outer one releases.
class PhysicsHold
{
public:
    PhysicsHold();
    ~PhysicsHold();
    PhysicsHold(const PhysicsHold&) = delete;
    PhysicsHold& operator=(const PhysicsHold&) = delete;

private:
    bool m_outer;
};

} // namespace Vund
