// The headless play state's reports.
#include "tools/sim/SimPlayState.h"

#include "framework/LuaArguments.h"
#include "game/CellCode.h"
#include "game/Hud.h"
#include "game/World.h"

namespace Pirrock
{

namespace
{

std::string Describe(const Quor::LuaArguments& args)
{
    std::string text;
    for (const Quor::LuaArguments::Entry& entry : args.GetEntries()) {
        if (!text.empty())
            text += ", ";
        if (const bool* flag = entry.value.Get<bool>())
            text += *flag ? "true" : "false";
        else if (const int* number = entry.value.Get<int>())
            text += std::to_string(*number);
        else if (const Tarv::NarrowString* string = entry.value.Get<Tarv::NarrowString>())
            text += "\"" + *string + "\"";
    }
    return text;
}

std::string Code(CellCode code)
{
    const std::string name = GetCodeName(code);
    return std::to_string(code) + (name.empty() ? "" : " " + name);
}

} // namespace

const char* SimPlayState::GetStateName(int state)
{
    static const char* const NAMES[] = {"none",     "waiting", "running", "sailing", "skating", "parachuting",
                                        "jumping",  "climbing", "skiing", "flying",  "diverting", "falling",
                                        "rolling",  "dieing",  "dead",    "safe",    "late"};
    return state >= 0 && state < static_cast<int>(sizeof(NAMES) / sizeof(NAMES[0])) ? NAMES[state] : "unknown";
}

void SimPlayState::Load()
{
    PlayState::Load();
    if (const Director* director = GetDirector())
        OnStateChanged(STATE_NONE, director->GetState());
}

bool SimPlayState::Play(const Tarv::NarrowString& name, bool loop)
{
    m_observer.Trace(std::string(loop ? "sound loop " : "sound play ") + name);
    m_observer.OnSound(name);
    m_playing = true;
    const bool stopped = PlayState::Play(name, loop);
    m_playing = false;
    return stopped;
}

bool SimPlayState::Stop(const Tarv::NarrowString& name)
{
    if (!m_playing)
        m_observer.Trace("sound stop " + name);
    return PlayState::Stop(name);
}

void SimPlayState::StopAll()
{
    m_observer.Trace("sound stop all");
    PlayState::StopAll();
}

void SimPlayState::OnStateChanged(int from, int to)
{
    std::string event = std::string("state ") + GetStateName(from) + " -> " + GetStateName(to);
    if (World::Instance) {
        const Cell cell = World::Instance->GetHeroCell();
        event += " at " + std::to_string(cell.x) + "," + std::to_string(cell.y);
    }
    m_observer.Trace(event);
}

void SimPlayState::OnCellEntered(const Cell& cell)
{
    m_observer.Trace("cell " + std::to_string(cell.x) + "," + std::to_string(cell.y));
    m_observer.OnHeroCell(cell);
    // The auto-test places tools here.
    m_observer.BeginToolUse();
    PlayState::OnCellEntered(cell);
    m_observer.EndToolUse();
}

void SimPlayState::HandleTrigger(CellCode code)
{
    m_observer.Trace("touched " + Code(code));
    PlayState::HandleTrigger(code);
}

void SimPlayState::HandleCell(CellCode ground)
{
    m_observer.Trace("platform " + Code(ground));
    PlayState::HandleCell(ground);
}

void SimPlayState::OnLuaFeedback(const Tarv::NarrowString& component, const Tarv::NarrowString& command)
{
    // The HUD carries out play's commands: a command given by the replay goes the same way.
    m_observer.Trace("command " + command);
    if (Hud* hud = GetHud())
        hud->OnLuaFeedback(component, command);
}

void SimPlayState::Call(const char* function, const Quor::LuaArguments& args)
{
    // The points label's fade is a call every step: its start (SetFruitPointsValue) is traced.
    if (std::string(function) != "UpdateFruitPoints")
        m_observer.Trace(std::string("hud ") + function + "(" + Describe(args) + ")");
    m_observer.OnHudCall(function);
    PlayState::Call(function, args);
}

} // namespace Pirrock
