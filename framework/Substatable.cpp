// The hierarchical state machine: slot transitions, the switch, the update walk, input
// forwarding and the global map of substatables by name.
#include "framework/Substatable.h"

#include "framework/MasterLoadingState.h"
#include "framework/SubstatableClient.h"
#include "framework/System.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace Quor
{

namespace
{

struct NameMap
{
    std::mutex mutex;
    std::map<Tarv::NarrowString, Substatable*> entries;
};

// Substatables are made on the loader thread too (inside a state's Load), hence the lock.
NameMap& GetNameMap()
{
    static NameMap* names = new NameMap;
    return *names;
}

// The state, then down the nested current states while each is a substatable.
template <class Fn>
void WalkCurrentChain(ApplicationState* state, Fn&& call)
{
    while (state != nullptr) {
        call(state);
        state = state->IsSubstatable() ? static_cast<Substatable*>(state)->GetCurrent() : nullptr;
    }
}

void RemoveEntries(std::vector<SubstatableClient*>& clients, SubstatableClient* client)
{
    clients.erase(std::remove(clients.begin(), clients.end(), client), clients.end());
}

} // namespace

Substatable::Substatable(const Tarv::NarrowString& name) : ApplicationState(name)
{
    NameMap& names = GetNameMap();
    std::lock_guard<std::mutex> lock(names.mutex);
    names.entries.emplace(name, this);
}

Substatable::~Substatable()
{
    ReleaseStates();
    {
        NameMap& names = GetNameMap();
        std::lock_guard<std::mutex> lock(names.mutex);
        auto found = names.entries.find(GetName());
        if (found != names.entries.end() && found->second == this)
            names.entries.erase(found);
    }
    // Clients still attached must not keep a pointer to a dead owner.
    for (SubstatableClient* client : m_beforeClients)
        client->m_owner = nullptr;
    for (SubstatableClient* client : m_afterClients)
        client->m_owner = nullptr;
}

Substatable* Substatable::FindByName(const Tarv::NarrowString& name)
{
    NameMap& names = GetNameMap();
    std::lock_guard<std::mutex> lock(names.mutex);
    auto found = names.entries.find(name);
    return found != names.entries.end() ? found->second : nullptr;
}

void Substatable::ChangeState(ApplicationState* state, bool dropStored)
{
    if (dropStored)
        m_stored.Reset();
    // Held before the master loading state is made, so a count-0 state is freed on any path.
    Tarv::SmartPtr<ApplicationState> target(state);
    if (!target)
        return;
    m_pending = new MasterLoadingState(target.Get(), m_loadingScreen.Get(), true, this);
}

void Substatable::ChangeState(ApplicationState* state)
{
    ChangeState(state, false);
}

void Substatable::ChangeStateKeepCurrent(ApplicationState* state)
{
    StoreCurrent();
    ChangeState(state);
}

void Substatable::StoreCurrent()
{
    m_stored = m_current;
}

void Substatable::ReturnToStored()
{
    m_pending = m_stored;
    m_stored = m_current;
}

void Substatable::ResumeStored()
{
    m_pending = std::move(m_stored);
    m_stored.Reset();
}

bool Substatable::PreloadState(ApplicationState* state)
{
    Tarv::SmartPtr<ApplicationState> target(state);
    if (!target)
        return false;
    // The earlier preload goes first: its load is finished before a new one starts.
    m_preload.Reset();
    m_preload = new MasterLoadingState(target.Get(), m_loadingScreen.Get(), false, this);
    m_preload->StartLoader();
    return true;
}

bool Substatable::SwitchToPreloaded(bool dropStored)
{
    if (dropStored)
        m_stored.Reset();
    if (!m_preload)
        return false;
    Tarv::SmartPtr<MasterLoadingState> preload = std::move(m_preload);
    m_preload.Reset();
    if (!preload->FinishIfLoaded()) {
        preload->SetAutoSwitch(true);
        m_pending = preload;
    }
    return true;
}

bool Substatable::SwitchToPreloaded()
{
    return SwitchToPreloaded(false);
}

bool Substatable::SwitchToPreloadedKeepCurrent()
{
    StoreCurrent();
    return SwitchToPreloaded();
}

bool Substatable::SetLoadingScreen(ApplicationLoadingState* screen)
{
    if (screen == nullptr)
        return false;
    m_loadingScreen = screen;
    m_loadingScreen->LoadNow();
    return true;
}

void Substatable::ReleaseStates()
{
    m_loadingScreen.Reset();
    m_current.Reset();
    m_pending.Reset();
    m_stored.Reset();
    m_preload.Reset();
}

void Substatable::RemoveClient(SubstatableClient* client)
{
    RemoveEntries(m_beforeClients, client);
    RemoveEntries(m_afterClients, client);
}

void Substatable::Switch()
{
    if (m_current) {
        m_current->OnExit();
        WalkCurrentChain(m_current.Get(), [](ApplicationState* state) { state->Leave(); });
    }
    // The old state is released by this assignment (unless stored elsewhere).
    m_current = std::move(m_pending);
    m_pending.Reset();

    if (m_current->GetName() == MasterLoadingState::NAME) {
        MasterLoadingState* loading = dynamic_cast<MasterLoadingState*>(m_current.Get());
        if (loading != nullptr && !loading->IsStarted())
            loading->StartLoader();
    }
    m_current->OnEnter(this);
    WalkCurrentChain(m_current.Get(), [](ApplicationState* state) { state->Enter(); });

    if (System* system = System::GetInstance())
        system->UpdateActiveState();
}

void Substatable::Update(const float& dt)
{
    if (m_pending)
        Switch();
    if (m_preload)
        m_preload->UpdateProgress(dt);
    ForEachClient(m_beforeClients, [&dt](SubstatableClient* client) { client->Update(dt); });
    // Held for the call: the state may rearrange the slots while it updates.
    if (Tarv::SmartPtr<ApplicationState> current = m_current)
        current->UpdateState(dt);
    ForEachClient(m_afterClients, [&dt](SubstatableClient* client) { client->Update(dt); });
}

void Substatable::Render(Tarv::Surface* surface)
{
    ForEachClient(m_beforeClients, [surface](SubstatableClient* client) { client->Render(surface); });
    if (Tarv::SmartPtr<ApplicationState> current = m_current)
        current->RenderState(surface);
    ForEachClient(m_afterClients, [surface](SubstatableClient* client) { client->Render(surface); });
}

template <class Fn>
void Substatable::ForEachClient(const std::vector<SubstatableClient*>& clients, Fn&& call)
{
    // By index over the live list: a client that leaves during the walk is never called after
    // it has gone (another one may then be skipped for this pass).
    for (std::size_t i = 0; i < clients.size(); ++i)
        call(clients[i]);
}

template <class Fn>
void Substatable::Forward(Fn&& call)
{
    ForEachClient(m_beforeClients, [&call](SubstatableClient* client) { call(*client); });
    if (Tarv::SmartPtr<ApplicationState> current = m_current)
        call(*current);
    ForEachClient(m_afterClients, [&call](SubstatableClient* client) { call(*client); });
}

void Substatable::OnKeyDown(int key)
{
    Forward([key](auto& target) { target.OnKeyDown(key); });
}

void Substatable::OnKeyUp(int key)
{
    Forward([key](auto& target) { target.OnKeyUp(key); });
}

void Substatable::OnTouchDown(const TouchPoints& points)
{
    Forward([&points](auto& target) { target.OnTouchDown(points); });
}

void Substatable::OnTouchUp(const TouchPoints& points)
{
    Forward([&points](auto& target) { target.OnTouchUp(points); });
}

void Substatable::OnTouchMove(const TouchPoints& points)
{
    Forward([&points](auto& target) { target.OnTouchMove(points); });
}

void Substatable::OnAccelerometer(float x, float y, float z)
{
    Forward([x, y, z](auto& target) { target.OnAccelerometer(x, y, z); });
}

} // namespace Quor
