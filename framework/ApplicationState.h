// Quor::ApplicationState: one screen or mode of the program, a node of the state tree. It can
// load in the background, owns a process manager, and receives update, drawing and input.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "framework/AssetClient.h"
#include "framework/MasterManager.h"
#include "framework/StateTypes.h"

namespace Quor
{

class Substatable;

class ApplicationState : public Tarv::RefCounter, public AssetClient, public MasterManager
{
public:
    // A new state has count 0: hand it to a SmartPtr (or a substatable) at once.
    explicit ApplicationState(const Tarv::NarrowString& name);
    // Calls neither OnExit nor Leave; the process manager leaves its parent's lists.
    ~ApplicationState() override;

    const Tarv::NarrowString& GetName() const { return m_name; }

    // Load, then the whole load queue. Runs on the loader thread for a state reached through a
    // substatable's change or preload, on the calling thread for a loading screen.
    void LoadNow();

    virtual bool IsSubstatable() const { return false; }
    // Creates the state's objects and queues its assets (loader thread). The state is not in
    // the tree while this runs and must not touch states that are.
    virtual void Load() {}
    virtual void Enter() {}
    virtual void Leave() {}
    virtual void UpdateState(const float& dt) { (void)dt; }
    virtual void RenderState(Tarv::Surface* surface) { (void)surface; }
    virtual void OnKeyDown(int key) { (void)key; }
    virtual void OnKeyUp(int key) { (void)key; }
    virtual void OnTouchDown(const TouchPoints& points) { (void)points; }
    virtual void OnTouchUp(const TouchPoints& points) { (void)points; }
    virtual void OnTouchMove(const TouchPoints& points) { (void)points; }
    virtual void OnAccelerometer(float x, float y, float z) { (void)x, (void)y, (void)z; }
    // Attaches the state's clients (its process manager, then its script updater) to the
    // parent's "before" list.
    virtual void OnEnter(Substatable* parent);
    // Detaches the clients that OnEnter attached.
    virtual void OnExit();

    // The load queue (LoadQueued, GetLoadProgress) comes from the asset client: drained on the
    // loader thread, the progress read by the main thread from atomics.

private:
    Tarv::NarrowString m_name;
};

} // namespace Quor
