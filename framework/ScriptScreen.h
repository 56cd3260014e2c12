// Quor::ScriptScreen: a scripted GUI screen as the framework's script components drive it (a
// layout with its own Lua state). The GUI layer above implements it and installs the factory,
// so the framework never names the GUI's classes.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakRefCounter.h"

namespace Tarv
{
class Lua;
class Surface;
} // namespace Tarv

namespace Quor
{

class ScriptScreen : public Tarv::RefCounter, public Tarv::WeakRefCounter
{
public:
    using Factory = Tarv::SmartPtr<ScriptScreen> (*)(const Tarv::NarrowString& layoutPath);

    // Installs the maker of screens (null removes it). Set it before any loader thread runs.
    static void SetFactory(Factory factory);
    // A new screen for the layout; null when no factory is installed.
    static Tarv::SmartPtr<ScriptScreen> Create(const Tarv::NarrowString& layoutPath);

    // The screen's own Lua state, where its script runs.
    virtual Tarv::Lua& GetLua() = 0;
    // The script's handlers: "Initialize", "Update" (then the controls), "UpdateTexts" (after
    // the controls' texts), key and touch events. Failures are reported, never raised.
    virtual void Initialize() = 0;
    virtual void Update(const float& dt) = 0;
    virtual void UpdateTexts() = 0;
    virtual void Draw(Tarv::Surface* target) = 0;
    virtual void OnKeyDown(int key) = 0;
    virtual void OnKeyUp(int key) = 0;
    virtual void OnTouchDown(int x, int y) = 0;
    virtual void OnTouchUp(int x, int y) = 0;
    // A named call: PushSelf, the arguments in order, then CallScript with the function name.
    virtual void PushSelf() = 0;
    virtual void PushNumberArg(int value) = 0;
    virtual void PushStringArg(const Tarv::NarrowString& value) = 0;
    virtual void PushBoolArg(bool value) = 0;
    virtual void CallScript(const Tarv::NarrowString& name) = 0;
};

} // namespace Quor
