// Quor::Substatable: a state that holds other states (current, pending, stored, a preload and
// a loading screen), switches between them at the start of its update, wraps every change in
// a master loading state, and serves "before" and "after" clients around its current state.
#pragma once

#include "engine/core/SmartPtr.h"
#include "framework/ApplicationLoadingState.h"
#include "framework/ApplicationState.h"

#include <vector>

namespace Quor
{

class MasterLoadingState;
class SubstatableClient;

class Substatable : public ApplicationState
{
public:
    // Registers the name in the global map unless another substatable holds it already.
    explicit Substatable(const Tarv::NarrowString& name);
    // Releases the loading screen, current, pending and stored states (the current one gets
    // neither OnExit nor Leave), deletes the preload (waiting for its load to finish), leaves
    // the global map (only when the entry is this one), and unhooks the clients still attached.
    ~Substatable() override;

    // The substatable registered under the name, or null. Thread-safe.
    static Substatable* FindByName(const Tarv::NarrowString& name);

    // Makes a master loading state for the state pending (an earlier pending state is
    // released); dropStored first releases the stored state. A null state changes nothing
    // else. May be called on the loader thread by a state loading itself, before it enters.
    void ChangeState(ApplicationState* state, bool dropStored);
    // ChangeState without its stored-state step: the stored state stays.
    void ChangeState(ApplicationState* state);
    // stored := current, then as ChangeState(state, false).
    void ChangeStateKeepCurrent(ApplicationState* state);
    // stored := current (the earlier stored state released), and nothing else.
    void StoreCurrent();
    // pending := stored, stored := current: the two swap at the next update, without loading.
    // With nothing stored, a requested change is cancelled and the current state is stored.
    void ReturnToStored();
    // pending := stored, stored := null: the current state is dropped at the switch. With
    // nothing stored, a requested change is cancelled.
    void ResumeStored();
    void DropStored() { m_stored.Reset(); }
    // Releases the loading screen, current, pending and stored states and the preload, as the
    // destructor does (a running load is waited for), while the object lives on: at exit, so
    // that no loader still reads files and the states' assets go while the file system and
    // the GL context still exist.
    void ReleaseStates();
    bool HasStoredState() const { return static_cast<bool>(m_stored); }

    // Starts loading the state in the background now, replacing an earlier preload (whose
    // load is waited for). False for a null state.
    bool PreloadState(ApplicationState* state);
    // Switches to the preloaded state: its target directly when loaded, else the preload
    // itself with its loading screen. False, changing nothing but the stored slot, when there
    // is no preload.
    bool SwitchToPreloaded(bool dropStored);
    // SwitchToPreloaded without its stored-state step: the stored state stays.
    bool SwitchToPreloaded();
    // stored := current, then as SwitchToPreloaded(false); with no preload the current state
    // is still stored.
    bool SwitchToPreloadedKeepCurrent();
    bool HasPreload() const { return static_cast<bool>(m_preload); }

    // Takes the screen and runs its whole load now on the calling thread. Only master loading
    // states made afterwards use it. A null screen is refused.
    bool SetLoadingScreen(ApplicationLoadingState* screen);
    void SetPending(ApplicationState* state) { m_pending = state; }

    ApplicationState* GetCurrent() const { return m_current.Get(); }
    ApplicationState* GetPending() const { return m_pending.Get(); }
    ApplicationState* GetStored() const { return m_stored.Get(); }
    ApplicationLoadingState* GetLoadingScreen() const { return m_loadingScreen.Get(); }
    MasterLoadingState* GetPreload() const { return m_preload.Get(); }

    void AddBeforeClient(SubstatableClient* client) { m_beforeClients.push_back(client); }
    void AddAfterClient(SubstatableClient* client) { m_afterClients.push_back(client); }
    void RemoveClient(SubstatableClient* client);
    const std::vector<SubstatableClient*>& GetBeforeClients() const { return m_beforeClients; }
    const std::vector<SubstatableClient*>& GetAfterClients() const { return m_afterClients; }

    // The pending state (if any) is switched to, then the clients and the current state are
    // updated. A loaded state handed over by its master loading state during one update
    // enters at the next.
    void Update(const float& dt);
    void Render(Tarv::Surface* surface);

    bool IsSubstatable() const override { return true; }
    void UpdateState(const float& dt) override { Update(dt); }
    void RenderState(Tarv::Surface* surface) override { Render(surface); }
    void OnKeyDown(int key) override;
    void OnKeyUp(int key) override;
    void OnTouchDown(const TouchPoints& points) override;
    void OnTouchUp(const TouchPoints& points) override;
    void OnTouchMove(const TouchPoints& points) override;
    void OnAccelerometer(float x, float y, float z) override;

private:
    void Switch();
    template <class Fn>
    void ForEachClient(const std::vector<SubstatableClient*>& clients, Fn&& call);
    template <class Fn>
    void Forward(Fn&& call);

    Tarv::SmartPtr<ApplicationState> m_current;
    Tarv::SmartPtr<ApplicationState> m_pending;
    Tarv::SmartPtr<ApplicationState> m_stored;
    Tarv::SmartPtr<ApplicationLoadingState> m_loadingScreen;
    Tarv::SmartPtr<MasterLoadingState> m_preload;
    std::vector<SubstatableClient*> m_beforeClients;
    std::vector<SubstatableClient*> m_afterClients;
};

} // namespace Quor
