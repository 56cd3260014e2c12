// The defaults of a state: its load sequence and the attachment of its clients.
#include "framework/ApplicationState.h"

#include "framework/Substatable.h"

namespace Quor
{

ApplicationState::ApplicationState(const Tarv::NarrowString& name) : m_name(name) {}

ApplicationState::~ApplicationState() = default;

bool ApplicationState::LoadNow(const std::atomic<bool>* cancel)
{
    Load();
    while (true) {
        if (cancel != nullptr && cancel->load(std::memory_order_acquire))
            return false;
        if (!LoadNextQueued())
            return true;
    }
}

void ApplicationState::OnEnter(Substatable* parent)
{
    GetProcessManager().Attach(parent, SubstatableClient::BEFORE);
    GetUpdater().Attach(parent, SubstatableClient::BEFORE);
}

void ApplicationState::OnExit()
{
    GetProcessManager().Detach();
    GetUpdater().Detach();
}

} // namespace Quor
