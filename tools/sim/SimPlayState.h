// Pirrock::SimPlayState: the play state of a headless run. It plays exactly as the real one and
// reports what happens through it: director states, the cells the hero enters with what it
// touches there, HUD script calls and sounds.
#pragma once

#include "game/PlayState.h"

#include <string>

namespace Pirrock
{

class SimObserver
{
public:
    virtual ~SimObserver() = default;
    // One event of the trace, without its step.
    virtual void Trace(const std::string& event) = 0;
    // The hero's cell became cell.
    virtual void OnHeroCell(const Cell& cell) = 0;
    virtual void OnSound(const std::string& name) = 0;
    // A function of the HUD script was called.
    virtual void OnHudCall(const std::string& function) = 0;
    // Around anything that may place a tool: the placement, if any, is traced at the end.
    virtual void BeginToolUse() = 0;
    virtual void EndToolUse() = 0;
};

class SimPlayState : public PlayState
{
public:
    // observer must outlive the state.
    explicit SimPlayState(SimObserver& observer) : m_observer(observer) {}

    // The director is made in the load, before play is the tree's active state: its first
    // state change is reported here.
    void Load() override;
    bool Play(const Tarv::NarrowString& name, bool loop) override;
    bool Stop(const Tarv::NarrowString& name) override;
    void StopAll() override;
    void OnStateChanged(int from, int to) override;
    void OnCellEntered(const Cell& cell) override;
    void HandleTrigger(CellCode code) override;
    void HandleCell(CellCode ground) override;
    void OnLuaFeedback(const Tarv::NarrowString& component, const Tarv::NarrowString& command) override;

    // The director state's name as the trace writes it ("running").
    static const char* GetStateName(int state);

protected:
    void Call(const char* function, const Quor::LuaArguments& args) override;

private:
    SimObserver& m_observer;
    // Play stops the name's earlier channel first; that stop is no event of its own.
    bool m_playing = false;
};

} // namespace Pirrock
