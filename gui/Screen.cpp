// The scripted screen: construction, the name map, the script protocol and the "Screen" class.
#include "gui/Screen.h"

#include "engine/registry/TextDict.h"
#include "engine/script/LuaErrorQueue.h"
#include "gui/Control.h"
#include "gui/ScriptClasses.h"
#include "gui/TextBox.h"
#include "gui/TextLine.h"
#include "gui/TransformedSprite.h"
#include "gui/Walk.h"

#include <lua.hpp>

namespace Plim
{

namespace
{

Tarv::SmartPtr<Quor::ScriptScreen> MakeScreen(const Tarv::NarrowString& layoutPath)
{
    return Tarv::SmartPtr<Quor::ScriptScreen>(new Screen(layoutPath));
}

} // namespace

void RegisterScriptClasses(lua_State* state)
{
    Tarv::LuaBinding<Screen>::Register(state);
    Tarv::LuaBinding<Control>::Register(state);
    Tarv::LuaBinding<TextBox>::Register(state);
    Tarv::LuaBinding<TextLine>::Register(state);
    Tarv::LuaBinding<TransformedSprite>::Register(state);
}

Screen::Screen(const Tarv::NarrowString& layoutPath)
    : m_layoutPath(layoutPath), m_lua(Tarv::MakeSmart<Tarv::Lua>())
{
    m_layout.Load(layoutPath);
    m_lua->OpenLibrary(Tarv::Lua::LIBRARY_BASE);
    m_lua->OpenLibrary(Tarv::Lua::LIBRARY_TABLE);
    m_lua->OpenLibrary(Tarv::Lua::LIBRARY_STRING);
    if (m_lua->GetState() != nullptr)
        RegisterScriptClasses(m_lua->GetState());
    BuildControlMap();
}

Screen::~Screen()
{
    m_controls.clear();
    m_lua.Reset();
}

void Screen::InstallFactory()
{
    Quor::ScriptScreen::SetFactory(&MakeScreen);
}

void Screen::BuildControlMap()
{
    for (const auto& layer : m_layout.GetLayers()) {
        WalkTree(
            layer->GetRoot(),
            [this](Node<Control>* node) {
                m_controls.emplace(node->GetName(), node->GetItem());
                return WalkStep::CHILDREN;
            },
            [](Node<Control>*) { return true; });
    }
}

Control* Screen::GetNamedControl(const Tarv::NarrowString& name) const
{
    const auto found = m_controls.find(name);
    return found != m_controls.end() ? found->second : nullptr;
}

void Screen::PushSelf()
{
    lua_State* state = m_lua->GetState();
    if (m_selfPushed || state == nullptr)
        return;
    const int top = lua_gettop(state);
    if (Tarv::LuaBinding<Screen>::Push(state, this, false) == 0) {
        lua_settop(state, top);
        return;
    }
    m_selfPushed = true;
}

void Screen::PushNumber(double value)
{
    PushSelf();
    if (m_selfPushed && m_lua->PushNumber(value))
        ++m_pendingArguments;
}

void Screen::PushNumberArg(int value)
{
    PushNumber(value);
}

void Screen::PushStringArg(const Tarv::NarrowString& value)
{
    PushSelf();
    if (m_selfPushed && m_lua->PushString(value))
        ++m_pendingArguments;
}

void Screen::PushBoolArg(bool value)
{
    PushSelf();
    if (m_selfPushed && m_lua->PushBool(value))
        ++m_pendingArguments;
}

void Screen::CallScript(const Tarv::NarrowString& name)
{
    PushSelf();
    const bool ready = m_selfPushed;
    const int count = m_pendingArguments;
    // Cleared first: the handler may start another call on this screen.
    m_selfPushed = false;
    m_pendingArguments = 0;
    if (!ready)
        return;
    lua_State* state = m_lua->GetState();
    // The Screen's userdata sits below its arguments; the stack ends where it was before it.
    const int before = lua_gettop(state) - count - 1;
    if (Tarv::LuaBinding<Screen>::CallMethod(state, name.c_str(), count, 0) < 0) {
        const char* error = lua_tostring(state, -1);
        Tarv::LuaErrorQueue::Global().Post(
            {"Screen script " + m_layoutPath, error != nullptr ? error : ""});
    }
    lua_settop(state, before);
}

void Screen::Initialize()
{
    CallScript("Initialize");
}

void Screen::Update(const float& dt)
{
    PushNumber(dt);
    CallScript("Update");
    for (const auto& entry : m_controls)
        entry.second->Update(dt);
}

void Screen::UpdateTexts()
{
    for (const auto& entry : m_controls)
        entry.second->RefreshText();
    CallScript("UpdateTexts");
}

void Screen::Draw(Tarv::Surface* target)
{
    if (target != nullptr)
        m_layout.Draw(*target);
}

void Screen::OnKeyDown(int key)
{
    PushNumber(static_cast<unsigned>(key));
    CallScript("OnKeyDown");
}

void Screen::OnKeyUp(int key)
{
    PushNumber(static_cast<unsigned>(key));
    CallScript("OnKeyUp");
}

void Screen::OnTouchDown(int x, int y)
{
    PushNumberArg(x);
    PushNumberArg(y);
    CallScript("OnTouchDown");
}

void Screen::OnTouchUp(int x, int y)
{
    PushNumberArg(x);
    PushNumberArg(y);
    CallScript("OnTouchUp");
}

int Screen::GetControl(lua_State* state)
{
    Control* control = GetNamedControl(Tarv::Lua(state).CheckString(1));
    const int top = lua_gettop(state);
    if (PushControl(state, control) == 0) {
        lua_settop(state, top);
        lua_pushnil(state);
    }
    return 1;
}

int Screen::GetText(lua_State* state)
{
    Tarv::Lua lua(state);
    const Tarv::NarrowString key = lua.CheckString(1);
    const Tarv::TextDict* texts = Tarv::TextDict::Instance.Get();
    lua.PushString(texts != nullptr ? Tarv::NarrowString(texts->GetText(key)) : key);
    return 1;
}

int Screen::GetTouchableControl(lua_State* state)
{
    Tarv::Lua lua(state);
    const int x = ToScriptInt(lua.CheckNumber(1));
    const int y = ToScriptInt(lua.CheckNumber(2));
    Control* hit = FindTouchableControl(x, y);
    if (hit == nullptr)
        return 0;
    return Tarv::LuaBinding<Control>::Push(state, hit, false) != 0 ? 1 : 0;
}

} // namespace Plim

const Tarv::LuaMethod<Plim::Screen> Tarv::LuaClass<Plim::Screen>::METHODS[] = {
    {"GetControl", &Plim::Screen::GetControl, nullptr},
    {"GetText", &Plim::Screen::GetText, nullptr},
    {"GetTouchableControl", &Plim::Screen::GetTouchableControl, nullptr},
    {nullptr, nullptr, nullptr}};
