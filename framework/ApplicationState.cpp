// The defaults of a state: its load sequence and the attachment of its clients.
#include "framework/ApplicationState.h"

#include "framework/Substatable.h"

namespace Quor
{

ApplicationState::ApplicationState(const Tarv::NarrowString& name) : m_name(name) {}

ApplicationState::~ApplicationState() = default;

void ApplicationState::LoadNow()
{
    Load();
    LoadQueued();
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
