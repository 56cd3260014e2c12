// The script component: its construction on a scripted screen, calls into the script and the
// script's feedback to its owner.
#include "framework/LuaComponent.h"

#include "engine/registry/Registry.h"
#include "engine/script/Lua.h"
#include "engine/script/LuaErrorQueue.h"
#include "engine/script/RegistryScript.h"
#include "framework/LuaArguments.h"
#include "framework/LuaEnabled.h"

namespace Quor
{

LuaComponent::LuaComponent() = default;

LuaComponent::LuaComponent(const Tarv::NarrowString& scriptPath, LuaEnabled* owner)
    : m_screen(ScriptScreen::Create(GetLayoutPath(scriptPath))), m_owner(owner),
      m_name(GetBaseName(scriptPath))
{
    if (!m_screen) {
        Tarv::LuaErrorQueue::Global().Post({"Script component " + scriptPath, "no scripted screens are installed"});
        return;
    }
    Tarv::Lua& lua = m_screen->GetLua();
    lua.OpenLibrary(Tarv::Lua::LIBRARY_MATH);
    if (lua.GetState() != nullptr) {
        Tarv::LuaBinding<LuaComponent>::Register(lua.GetState());
        if (Tarv::LuaBinding<LuaComponent>::Push(lua.GetState(), this, false) != 0)
            lua.SetGlobal(m_name);
    }
    Tarv::RegistryScript::Publish(lua, Tarv::Registry::Instance.Get());
    lua.RunFile(scriptPath);
    m_screen->Initialize();
}

LuaComponent::~LuaComponent()
{
    m_screen.Reset();
    m_name.clear();
}

Tarv::NarrowString LuaComponent::GetBaseName(const Tarv::NarrowString& scriptPath)
{
    const std::size_t slash = scriptPath.rfind('/');
    const std::size_t start = slash == Tarv::NarrowString::npos ? 0 : slash + 1;
    const std::size_t dot = scriptPath.rfind('.');
    const std::size_t end = dot == Tarv::NarrowString::npos || dot < start ? scriptPath.size() : dot;
    return scriptPath.substr(start, end - start);
}

Tarv::NarrowString LuaComponent::GetLayoutPath(const Tarv::NarrowString& scriptPath)
{
    const std::size_t slash = scriptPath.rfind('/');
    // The layouts' folder "xml" stands beside the scripts' own folder, whatever that is named;
    // a script without a folder has its layouts one level up.
    Tarv::NarrowString prefix = "../";
    if (slash != Tarv::NarrowString::npos) {
        const std::size_t parentSlash = slash == 0 ? Tarv::NarrowString::npos : scriptPath.rfind('/', slash - 1);
        prefix = parentSlash == Tarv::NarrowString::npos ? Tarv::NarrowString()
                                                         : Tarv::NarrowString(scriptPath.substr(0, parentSlash + 1));
    }
    return prefix + "xml/" + GetBaseName(scriptPath) + ".xml";
}

void LuaComponent::CallFunction(const Tarv::NarrowString& name, const LuaArguments& args)
{
    if (!m_screen)
        return;
    m_screen->PushSelf();
    // Each value is read as the type its tag names; a value that doesn't hold that type is
    // skipped like an unknown tag.
    for (const LuaArguments::Entry& entry : args.GetEntries()) {
        if (entry.type == LuaArguments::TYPE_BOOL) {
            if (const bool* value = entry.value.Get<bool>())
                m_screen->PushBoolArg(*value);
        } else if (entry.type == LuaArguments::TYPE_INT) {
            if (const int* value = entry.value.Get<int>())
                m_screen->PushNumberArg(*value);
        } else if (entry.type == LuaArguments::TYPE_STRING) {
            if (const Tarv::NarrowString* value = entry.value.Get<Tarv::NarrowString>())
                m_screen->PushStringArg(*value);
        }
    }
    m_screen->CallScript(name);
}

void LuaComponent::Update(const float& dt)
{
    if (m_screen)
        m_screen->Update(dt);
}

void LuaComponent::Render(Tarv::Surface* surface)
{
    if (m_screen)
        m_screen->Draw(surface);
}

void LuaComponent::OnKeyDown(int key)
{
    if (m_screen)
        m_screen->OnKeyDown(key);
}

void LuaComponent::OnKeyUp(int key)
{
    if (m_screen)
        m_screen->OnKeyUp(key);
}

void LuaComponent::OnTouchDown(int x, int y)
{
    if (m_screen)
        m_screen->OnTouchDown(x, y);
}

void LuaComponent::OnTouchUp(int x, int y)
{
    if (m_screen)
        m_screen->OnTouchUp(x, y);
}

int LuaComponent::LuaFeedback(lua_State* state)
{
    const Tarv::NarrowString command = Tarv::Lua(state).CheckString(1);
    if (m_owner != nullptr)
        m_owner->OnLuaFeedback(m_name, command);
    return 0;
}

} // namespace Quor

const Tarv::LuaMethod<Quor::LuaComponent> Tarv::LuaClass<Quor::LuaComponent>::METHODS[] = {
    {"LuaFeedback", &Quor::LuaComponent::LuaFeedback, nullptr},
    {nullptr, nullptr, nullptr}};
