// Quor::MasterLoadingState: stands in the tree for a state that loads on a loader thread; it
// shows the owner's loading screen with a smoothed percentage and hands the loaded state to
// its owner. With auto-switch off it serves as a background preload.
#pragma once

#include "engine/core/SmartPtr.h"
#include "framework/ApplicationLoadingState.h"
#include "framework/ApplicationState.h"
#include "framework/LoaderThread.h"
#include "framework/ProgressSmoother.h"

#include <memory>

namespace Quor
{

class Substatable;

class MasterLoadingState : public ApplicationState
{
public:
    // The name by which a substatable recognises this state.
    static constexpr const char* NAME = "master loading";

    // target is the state to load (required); screen the owner's loading screen or null.
    MasterLoadingState(ApplicationState* target, ApplicationLoadingState* screen, bool autoSwitch, Substatable* owner);
    // Waits for a load that is still running (its thread uses the target), then releases the
    // target.
    ~MasterLoadingState() override;

    // Starts the loader thread once; when no thread can be created the load runs at once on
    // the calling thread, and the loaded state is entered at the next update as usual.
    void StartLoader();
    bool IsStarted() const { return m_loader && m_loader->IsStarted(); }
    bool IsLoaded() const { return m_loader && m_loader->IsLoaded(); }

    void SetAutoSwitch(bool autoSwitch) { m_autoSwitch = autoSwitch; }
    // When the load has ended: the target becomes the owner's pending state, the thread is
    // joined, and the result is true. False while loading.
    bool FinishIfLoaded();
    // Keeps the smoother current while this preload waits in its owner's preload slot.
    void UpdateProgress(const float& dt);

    ApplicationState* GetTarget() const { return m_target.Get(); }
    ApplicationLoadingState* GetLoadingScreen() const { return m_screen.Get(); }
    float GetShownProgress() const { return m_smoother.GetShown(); }

    // With auto-switch on and the load ended, hands the target to the owner (it enters at the
    // owner's next update); then updates the loading screen with the smoothed percentage.
    void UpdateState(const float& dt) override;

    // Everything else goes to the loading screen, when there is one.
    void Load() override;
    void Enter() override;
    void Leave() override;
    void RenderState(Tarv::Surface* surface) override;
    void OnKeyDown(int key) override;
    void OnKeyUp(int key) override;
    void OnTouchDown(const TouchPoints& points) override;
    void OnTouchUp(const TouchPoints& points) override;
    void OnTouchMove(const TouchPoints& points) override;
    void OnAccelerometer(float x, float y, float z) override;
    void OnEnter(Substatable* parent) override;
    void OnExit() override;

private:
    void HandOver();

    Tarv::SmartPtr<ApplicationState> m_target;
    // Counted, so a screen replaced at the owner while this state exists stays valid.
    Tarv::SmartPtr<ApplicationLoadingState> m_screen;
    Substatable* m_owner;
    std::unique_ptr<LoaderThread> m_loader;
    bool m_autoSwitch;
    ProgressSmoother m_smoother;
};

} // namespace Quor
