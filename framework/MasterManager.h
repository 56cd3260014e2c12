// Quor::MasterManager: the process manager every state owns. Its component is also a client
// of the state's parent, which ticks it (and so the state's processes) once per update.
#pragma once

#include "framework/ProcessManager.h"
#include "framework/SubstatableClient.h"

namespace Quor
{

class MasterManager
{
public:
    class ManagerComponent : public ProcessManager, public SubstatableClient
    {
    public:
        ManagerComponent();
        // Walks the listed processes once with the parent's dt.
        void Update(const float& dt) override;

    protected:
        // The process walk; kept apart from the client's Update(dt) above.
        void Update() override { ProcessManager::Update(); }
    };

    // Embedded by value: never give it to a SmartPtr.
    ManagerComponent& GetProcessManager() { return m_manager; }

private:
    ManagerComponent m_manager;
};

} // namespace Quor
