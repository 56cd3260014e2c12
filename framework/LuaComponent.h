// Quor::LuaComponent: one screen script with its GUI layout: it builds the scripted screen of the
// layout named after the script, publishes itself (under the script's base name) and the
// registry to the script, runs it and calls its "Initialize". Program code calls script
// functions through it; scripts answer through its method "LuaFeedback", which reaches the
// owner.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakRefCounter.h"
#include "engine/script/LuaBinding.h"
#include "framework/ScriptScreen.h"

namespace Tarv
{
class Surface;
}

namespace Quor
{

class LuaArguments;
class LuaEnabled;

class LuaComponent : public Tarv::RefCounter, public Tarv::WeakRefCounter
{
public:
    // What a script makes by calling the class: no screen, no owner, an empty name.
    LuaComponent();
    // Any thread (the loader thread for a state's components). Without an installed screen
    // factory the component has no screen (reported once) and every call does nothing. Errors of
    // the script file are reported by the script host; "Initialize" is called all the same.
    LuaComponent(const Tarv::NarrowString& scriptPath, LuaEnabled* owner);
    ~LuaComponent() override;

    // "scripts/menu.lua" -> "menu".
    static Tarv::NarrowString GetBaseName(const Tarv::NarrowString& scriptPath);
    // The script's folder replaced by "xml": "scripts/menu.lua" -> "xml/menu.xml";
    // "data/scripts/hud.lua" -> "data/xml/hud.xml"; "ui/menu.lua" -> "xml/menu.xml";
    // "menu.lua" -> "../xml/menu.xml".
    static Tarv::NarrowString GetLayoutPath(const Tarv::NarrowString& scriptPath);

    // F(screen, args...) in the script; entries of unknown types are skipped.
    void CallFunction(const Tarv::NarrowString& name, const LuaArguments& args);
    void Update(const float& dt);
    void Render(Tarv::Surface* surface);
    void OnKeyDown(int key);
    void OnKeyUp(int key);
    void OnTouchDown(int x, int y);
    void OnTouchUp(int x, int y);

    const Tarv::NarrowString& GetName() const { return m_name; }
    ScriptScreen* GetScreen() const { return m_screen.Get(); }

    // Script method: LuaFeedback(command) -> the owner's OnLuaFeedback(name, command).
    int LuaFeedback(lua_State* state);

private:
    Tarv::SmartPtr<ScriptScreen> m_screen;
    LuaEnabled* m_owner = nullptr;
    Tarv::NarrowString m_name;
};

} // namespace Quor

namespace Tarv
{

template <>
struct LuaClass<Quor::LuaComponent> {
    static constexpr const char* NAME = "LuaComponent";
    static const LuaMethod<Quor::LuaComponent> METHODS[];
};

} // namespace Tarv
