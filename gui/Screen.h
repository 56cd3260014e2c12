// Plim::Screen: one scripted GUI screen: the layers of its layout, its own Lua state in which its
// script runs, the map from control names to controls, and the protocol by which frame updates,
// input and named calls reach the script's handlers (fields of the global table "Screen").
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/SmartPtr.h"
#include "engine/script/Lua.h"
#include "framework/ScriptScreen.h"
#include "gui/Layout.h"

#include <map>

namespace Plim
{

class Control;

// Built on any one thread (the loader thread too), then used by the main thread only.
class Screen : public Quor::ScriptScreen
{
public:
    // Reads the layout (a missing or damaged one gives an empty screen and one report), opens
    // the base, table and string libraries, registers "Screen", "Control", "TextBox",
    // "TextLine" and "TransformedSprite", and maps each control name to the first control of that name
    // (earlier layers first, then walk order). The script is not loaded.
    explicit Screen(const Tarv::NarrowString& layoutPath);
    // Forgets the name map, closes the Lua state, then releases the layers.
    ~Screen() override;

    // Makes Quor::ScriptScreen::Create build Plim screens.
    static void InstallFactory();

    Tarv::Lua& GetLua() override { return *m_lua; }
    void Initialize() override;
    void Update(const float& dt) override;
    void UpdateTexts() override;
    void Draw(Tarv::Surface* target) override;
    void OnKeyDown(int key) override;
    void OnKeyUp(int key) override;
    void OnTouchDown(int x, int y) override;
    void OnTouchUp(int x, int y) override;
    void PushSelf() override;
    void PushNumberArg(int value) override;
    void PushStringArg(const Tarv::NarrowString& value) override;
    void PushBoolArg(bool value) override;
    // Calls the handler with the screen and the pushed arguments in a protected call. A
    // missing handler ("Screen missing method '%s'") or an error ("Screen:%s status = %d\n%s")
    // goes to the script error queue under the heading "Screen script <layout path>"; the stack
    // ends as it was before the screen was pushed.
    void CallScript(const Tarv::NarrowString& name) override;

    // The last touchable control holding the point over all layers; null when none.
    Control* FindTouchableControl(int x, int y) const { return m_layout.FindTouchableControl(x, y); }
    // The control the name map holds for the name; null when none.
    Control* GetNamedControl(const Tarv::NarrowString& name) const;
    const Layout& GetLayout() const { return m_layout; }

    // Script methods of "Screen".
    int GetControl(lua_State* state);
    int GetText(lua_State* state);
    int GetTouchableControl(lua_State* state);

private:
    void BuildControlMap();
    // One number argument of the call being assembled (the screen pushed first).
    void PushNumber(double value);

    Tarv::NarrowString m_layoutPath;
    Layout m_layout;
    Tarv::SmartPtr<Tarv::Lua> m_lua;
    bool m_selfPushed = false;
    int m_pendingArguments = 0;
    std::map<Tarv::NarrowString, Control*> m_controls;
};

} // namespace Plim
