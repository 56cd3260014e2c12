// Quor::System: the one registry of named services, managers (ticked every logic step, in name
// order) and renderables, and the record of the deepest current state of the state tree.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"

#include <map>
#include <mutex>
#include <type_traits>

namespace Tarv
{
class Surface;
}

namespace Quor
{

class ApplicationState;
class Process;
class Substatable;

// An object drawn after the state tree each frame.
class Renderable : public Tarv::RefCounter
{
public:
    virtual void Render(Tarv::Surface* surface) = 0;
};

class System
{
public:
    // The registry of the running program, or null before Create and after Destroy.
    static System* GetInstance();
    // Creates the one registry for the given root of the state tree (the application).
    // Returns the existing one when it already exists.
    static System* Create(Substatable* root);
    // Destroys the registry and everything it holds. Called explicitly at program exit after
    // the application is gone, never left to the order of static destruction.
    static void Destroy();

    // Get-or-create: the service registered under the name when it is a T, else a new T()
    // registered under it. Null only when the name holds an object of another type or no
    // registry exists.
    template <class T>
    static T* GetOrCreateService(const Tarv::NarrowString& name);

    explicit System(Substatable* root);
    System(const System&) = delete;
    System& operator=(const System&) = delete;
    // Destroys every service, then every manager, then every renderable, each in name order.
    ~System();

    // Look-ups hand out borrowed pointers, valid until the registry is destroyed: no caller is
    // given a counted reference, so nothing can keep a service past its registry's teardown
    // or free it twice. Look-ups and registrations are safe from the loader thread.
    Tarv::RefCounter* GetService(const Tarv::NarrowString& name) const;
    template <class T>
    T* GetService(const Tarv::NarrowString& name) const { return dynamic_cast<T*>(GetService(name)); }
    // Takes the object over when the name is free; false (and the object untouched, so a
    // count-0 object is freed) when the name is taken. A null object is refused.
    bool AddService(const Tarv::NarrowString& name, Tarv::RefCounter* object);

    Process* GetManager(const Tarv::NarrowString& name) const;
    // M derives from both Process and Tarv::RefCounter (every manager does). False when the
    // name is taken; the first manager stays.
    template <class M>
    bool AddManager(const Tarv::NarrowString& name, M* manager) { return AddManagerEntry(name, manager, manager); }

    Renderable* GetRenderable(const Tarv::NarrowString& name) const;
    bool AddRenderable(const Tarv::NarrowString& name, Renderable* object);

    // Ticks every manager with dt in name order (main thread). A manager whose time is up
    // stays registered and is ticked again.
    void UpdateManagers(const float& dt);
    void RenderAll(Tarv::Surface* surface);

    // Recomputes the active state: the deepest state reached from the root through current
    // states, or null when a substatable on the way has none (main thread).
    void UpdateActiveState();
    ApplicationState* GetActiveState() const { return m_activeState; }
    Substatable* GetRoot() const { return m_root; }

private:
    struct ManagerEntry
    {
        Tarv::SmartPtr<Tarv::RefCounter> owner;
        Process* process;
    };

    bool AddManagerEntry(const Tarv::NarrowString& name, Process* process, Tarv::RefCounter* owner);

    static System* s_instance;

    Substatable* m_root;
    // Guards the three maps only, never held while calling out.
    mutable std::mutex m_mutex;
    std::map<Tarv::NarrowString, Tarv::SmartPtr<Tarv::RefCounter>> m_services;
    std::map<Tarv::NarrowString, ManagerEntry> m_managers;
    std::map<Tarv::NarrowString, Tarv::SmartPtr<Renderable>> m_renderables;
    ApplicationState* m_activeState = nullptr;
};

template <class T>
T* System::GetOrCreateService(const Tarv::NarrowString& name)
{
    static_assert(std::is_base_of_v<Tarv::RefCounter, T>, "services are counted objects");
    System* system = GetInstance();
    if (system == nullptr)
        return nullptr;
    if (system->GetService(name) == nullptr)
        system->AddService(name, Tarv::MakeSmart<T>().Get());
    // Looked up again: when another thread registered first, its object is the one to use.
    return system->GetService<T>(name);
}

} // namespace Quor
