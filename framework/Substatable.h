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
    // neither OnExit nor Leave), drops the preload without waiting for it, leaves the global
    // map (only when the entry is this one), and unhooks the clients still attached.
    ~Substatable() override;

    // The substatable registered under the name, or null. Thread-safe.
    static Substatable* FindByName(const Tarv::NarrowString& name);

    // Makes a master loading state for the state pending (an earlier pending state is
    // released); dropStored first releases the stored state. A null state changes nothing
    // else. May be called on the loader thread by a state loading itself, before it enters.
    void ChangeState(ApplicationState* state, bool dropStored);
    // stored := current, then as ChangeState(state, false).
    void ChangeStateKeepCurrent(ApplicationState* state);
    // Swaps current and stored at the next update, without loading. With nothing stored it
    // does nothing (rather than storing the current state and cancelling the pending one).
    void ReturnToStored();
    // The stored state becomes pending and leaves the stored slot; the current one is dropped
    // at the switch. Nothing happens when nothing is stored.
    void ResumeStored();
    void DropStored() { m_stored.Reset(); }
    // Releases the loading screen, current, pending and stored states and the preload, as the
    // destructor does, while the object lives on: at exit, so that loaders are abandoned and
    // the states' assets go while the file system and the GL context still exist.
    void ReleaseStates();
    bool HasStoredState() const { return static_cast<bool>(m_stored); }

    // Starts loading the state in the background now, replacing an earlier preload (which is
    // not waited for). False for a null state.
    bool PreloadState(ApplicationState* state);
    // Switches to the preloaded state: its target directly when loaded, else the preload
    // itself with its loading screen. False, changing nothing but the stored slot, when there
    // is no preload.
    bool SwitchToPreloaded(bool dropStored);
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

    // The switch, then the clients and the current state. A state is switched to when it is
    // pending, or when the current state is a master loading state whose load has ended since
    // the last update: the loaded state then enters in this update, not in the next one.
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
    void TakeFinishedLoad();
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
