// One visit of a listed process: tick, announce its end, drop it unless it asks to stay.
#include "framework/ProcessManager.h"

#include "framework/ProcessObserver.h"

#include <algorithm>

namespace Quor
{

ProcessManager::ProcessManager(const Tarv::NarrowString& name) : AbstractManager<Process>(name) {}

Process* ProcessManager::FindProcess(const Tarv::NarrowString& name) const
{
    for (Process* process : GetItems()) {
        if (process->GetName() == name)
            return process;
    }
    return nullptr;
}

bool ProcessManager::RemoveProcess(const Tarv::NarrowString& name)
{
    Process* process = FindProcess(name);
    return process != nullptr && RemoveItem(process);
}

void ProcessManager::RemoveObserver(ProcessObserver* observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

void ProcessManager::UpdateItem(Process* process)
{
    const bool killed = process->IsKilled();
    if (!killed && process->Tick(GetStep()))
        return;

    NotifyEnd(process);
    // An observer may have removed (and freed) the process; then it is no longer ours to touch.
    if (!HasItem(process))
        return;
    if (!killed && !process->CanRemove())
        return;
    RemoveItem(process);
}

void ProcessManager::NotifyEnd(Process* process)
{
    // Observers may remove themselves or others while being told: walk a copy and skip those
    // that have gone from the live list.
    const std::vector<ProcessObserver*> observers = m_observers;
    for (ProcessObserver* observer : observers) {
        if (std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end())
            observer->OnProcessEnd(process);
    }
}

} // namespace Quor
