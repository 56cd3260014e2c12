// Quor::ProcessObserver: told by a process manager when one of its processes ends.
#pragma once

namespace Quor
{

class Process;

class ProcessObserver
{
public:
    virtual ~ProcessObserver() = default;

    // The process has ended (or was killed). An observer that frees the process must first
    // remove it from the manager; the manager then no longer touches it.
    virtual void OnProcessEnd(Process* process) { (void)process; }
};

} // namespace Quor
