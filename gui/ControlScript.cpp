// The script class "Control": the methods screen scripts call on controls, and the number and
// class conversions every GUI script class shares.
#include "gui/Control.h"

#include "engine/script/Lua.h"
#include "gui/Graphic.h"
#include "gui/ControlScript.h"
#include "gui/ScriptClasses.h"
#include "gui/TextBox.h"
#include "gui/TextLine.h"
#include "gui/TransformedSprite.h"
#include "gui/Walk.h"

#include <climits>
#include <cmath>

namespace Plim
{

int ToScriptInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(value);
}

int PushControl(lua_State* state, Control* control)
{
    if (control != nullptr && control->GetTypeId() == TextBox::TYPE_TEXT_BOX)
        return Tarv::LuaBinding<TextBox>::Push(state, static_cast<TextBox*>(control), false);
    if (control != nullptr && control->GetTypeId() == TextLine::TYPE_TEXT_LINE)
        return Tarv::LuaBinding<TextLine>::Push(state, static_cast<TextLine*>(control), false);
    return Tarv::LuaBinding<Control>::Push(state, control, false);
}

namespace
{

int Int(lua_State* state, int index)
{
    return ToScriptInt(Tarv::Lua(state).CheckNumber(index));
}

int PushInt(lua_State* state, int value)
{
    Tarv::Lua(state).PushNumber(value);
    return 1;
}

int PushBool(lua_State* state, bool value)
{
    Tarv::Lua(state).PushBool(value);
    return 1;
}

int Saturated(long long value)
{
    return static_cast<int>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
}

} // namespace

namespace ControlScript
{

int GetName(Control& c, lua_State* s)
{
    Tarv::Lua(s).PushString(c.GetNode() != nullptr ? c.GetNode()->GetName() : Tarv::NarrowString());
    return 1;
}

int GetVisibility(Control& c, lua_State* s) { return PushBool(s, c.IsVisibleInTree()); }
int SetVisibility(Control& c, lua_State* s) { c.SetVisibility(Tarv::Lua(s).CheckBool(1)); return 0; }
int GetX(Control& c, lua_State* s) { return PushInt(s, c.GetX()); }
int GetAbsX(Control& c, lua_State* s) { return PushInt(s, c.GetAbsX()); }
int SetX(Control& c, lua_State* s) { c.SetX(Int(s, 1)); return 0; }
int GetY(Control& c, lua_State* s) { return PushInt(s, c.GetY()); }
int GetAbsY(Control& c, lua_State* s) { return PushInt(s, c.GetAbsY()); }
int SetY(Control& c, lua_State* s) { c.SetY(Int(s, 1)); return 0; }
int GetAlpha(Control& c, lua_State* s) { return PushInt(s, c.GetEffectiveAlpha()); }
int SetAlpha(Control& c, lua_State* s) { c.SetAlpha(Int(s, 1)); return 0; }
int GetWidth(Control& c, lua_State* s) { return PushInt(s, c.GetLocalBounds().width); }
int GetHeight(Control& c, lua_State* s) { return PushInt(s, c.GetLocalBounds().height); }
int GetRepresentation(Control& c, lua_State* s) { Tarv::Lua(s).PushString(c.GetRepresentationName()); return 1; }
int SetTouchable(Control& c, lua_State* s) { c.SetTouchable(Tarv::Lua(s).CheckBool(1)); return 0; }
int GetTouchable(Control& c, lua_State* s) { return PushBool(s, c.IsTouchable()); }

int ShiftPos(Control& c, lua_State* s)
{
    const int dx = Int(s, 1), dy = Int(s, 2);
    c.SetX(Saturated(static_cast<long long>(c.GetX()) + dx));
    c.SetY(Saturated(static_cast<long long>(c.GetY()) + dy));
    return 0;
}

int GetSize(Control& c, lua_State* s)
{
    const Rect bounds = c.GetLocalBounds();
    PushInt(s, bounds.width);
    return 1 + PushInt(s, bounds.height);
}

int SetRepresentation(Control& c, lua_State* s)
{
    c.SetRepresentationByName(Tarv::Lua(s).CheckString(1));
    return 0;
}

// The first graphic of the current representation with that name, in walk order, when it is a
// transformed sprite; nil otherwise.
int GetControl(Control& c, lua_State* s)
{
    const Tarv::NarrowString name = Tarv::Lua(s).CheckString(1);
    Graphic* found = nullptr;
    WalkTree(
        c.GetRepresentation(),
        [&](Node<Graphic>* node) {
            if (node->GetName() != name)
                return WalkStep::CHILDREN;
            found = node->GetItem();
            return WalkStep::STOP;
        },
        [](Node<Graphic>*) { return true; });
    if (found == nullptr || found->GetTypeId() != Graphic::TYPE_TRANSFORMED_SPRITE) {
        Tarv::Lua(s).PushNil();
        return 1;
    }
    Tarv::LuaBinding<TransformedSprite>::Push(s, static_cast<TransformedSprite*>(found), false);
    return 1;
}

} // namespace ControlScript

} // namespace Plim

namespace
{

const std::vector<Tarv::LuaMethod<Plim::Control>> CONTROL_METHODS = Plim::ControlMethodList<Plim::Control>({});

} // namespace

const Tarv::LuaMethod<Plim::Control>* const Tarv::LuaClass<Plim::Control>::METHODS = CONTROL_METHODS.data();
