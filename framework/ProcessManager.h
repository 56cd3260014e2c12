// Quor::ProcessManager: ticks a list of processes with its own step, tells observers when one
// ends and drops ended processes. Neither processes nor observers are owned.
#pragma once

#include "framework/AbstractManager.h"

#include <vector>

namespace Quor
{

class ProcessObserver;

class ProcessManager : public AbstractManager<Process>
{
public:
    explicit ProcessManager(const Tarv::NarrowString& name);

    // Processes are visited in the order added; adding one twice lists it twice.
    void AddProcess(Process* process) { AddItem(process); }
    // The first listed process whose whole name matches; null when none does.
    Process* FindProcess(const Tarv::NarrowString& name) const;
    // Removes the first listed process with that name; false when none has it. Safe during a walk.
    bool RemoveProcess(const Tarv::NarrowString& name);

    void AddObserver(ProcessObserver* observer) { m_observers.push_back(observer); }
    // Removes every entry of the observer; safe while observers are being told.
    void RemoveObserver(ProcessObserver* observer);

protected:
    void UpdateItem(Process* process) override;

private:
    void NotifyEnd(Process* process);

    std::vector<ProcessObserver*> m_observers;
};

} // namespace Quor
