// The service registry: name-ordered tables, explicit creation and teardown, active state.
#include "framework/System.h"

#include "framework/Process.h"
#include "framework/Substatable.h"

#include <vector>

namespace Quor
{

System* System::s_instance = nullptr;

System* System::GetInstance()
{
    return s_instance;
}

System* System::Create(Substatable* root)
{
    if (s_instance == nullptr)
        s_instance = new System(root);
    return s_instance;
}

void System::Destroy()
{
    System* system = s_instance;
    s_instance = nullptr;
    delete system;
}

System::System(Substatable* root) : m_root(root) {}

System::~System()
{
    // Released one by one in name order; each map is emptied before the next one.
    for (auto& entry : m_services)
        entry.second.Reset();
    m_services.clear();
    for (auto& entry : m_managers)
        entry.second.owner.Reset();
    m_managers.clear();
    for (auto& entry : m_renderables)
        entry.second.Reset();
    m_renderables.clear();
}

Tarv::RefCounter* System::GetService(const Tarv::NarrowString& name) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_services.find(name);
    return found != m_services.end() ? found->second.Get() : nullptr;
}

bool System::AddService(const Tarv::NarrowString& name, Tarv::RefCounter* object)
{
    // Held from here on, so a refused new object is freed when this function returns.
    Tarv::SmartPtr<Tarv::RefCounter> held(object);
    if (!held)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_services.emplace(name, held).second;
}

Process* System::GetManager(const Tarv::NarrowString& name) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_managers.find(name);
    return found != m_managers.end() ? found->second.process : nullptr;
}

bool System::AddManagerEntry(const Tarv::NarrowString& name, Process* process, Tarv::RefCounter* owner)
{
    Tarv::SmartPtr<Tarv::RefCounter> held(owner);
    if (!held || process == nullptr)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_managers.emplace(name, ManagerEntry{held, process}).second;
}

Renderable* System::GetRenderable(const Tarv::NarrowString& name) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_renderables.find(name);
    return found != m_renderables.end() ? found->second.Get() : nullptr;
}

bool System::AddRenderable(const Tarv::NarrowString& name, Renderable* object)
{
    Tarv::SmartPtr<Renderable> held(object);
    if (!held)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_renderables.emplace(name, held).second;
}

void System::UpdateManagers(const float& dt)
{
    // Entries are never removed before teardown, so the pointers stay valid outside the lock;
    // a manager registered while ticking is ticked from the next step on.
    std::vector<Process*> managers;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& entry : m_managers)
            managers.push_back(entry.second.process);
    }
    for (Process* manager : managers)
        manager->Tick(dt);
}

void System::RenderAll(Tarv::Surface* surface)
{
    std::vector<Renderable*> renderables;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& entry : m_renderables)
            renderables.push_back(entry.second.Get());
    }
    for (Renderable* renderable : renderables)
        renderable->Render(surface);
}

void System::UpdateActiveState()
{
    ApplicationState* state = m_root;
    while (state != nullptr && state->IsSubstatable())
        state = static_cast<Substatable*>(state)->GetCurrent();
    m_activeState = state;
}

} // namespace Quor
