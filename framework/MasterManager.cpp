// The state's process manager as a client of the state's parent.
#include "framework/MasterManager.h"

namespace Quor
{

MasterManager::ManagerComponent::ManagerComponent() : ProcessManager("master manager") {}

void MasterManager::ManagerComponent::Update(const float& dt)
{
    Tick(dt);
}

} // namespace Quor
