// The twenty script methods every control class shares ("Control", "TextLine", "TextBox"), as
// one list that each class's method table starts with.
#pragma once

#include "engine/script/LuaBinding.h"

#include <vector>

namespace Plim
{

class Control;

namespace ControlScript
{

int GetName(Control& control, lua_State* state);
int GetVisibility(Control& control, lua_State* state);
int SetVisibility(Control& control, lua_State* state);
int GetX(Control& control, lua_State* state);
int GetAbsX(Control& control, lua_State* state);
int SetX(Control& control, lua_State* state);
int GetY(Control& control, lua_State* state);
int GetAbsY(Control& control, lua_State* state);
int SetY(Control& control, lua_State* state);
int GetAlpha(Control& control, lua_State* state);
int SetAlpha(Control& control, lua_State* state);
int ShiftPos(Control& control, lua_State* state);
int GetSize(Control& control, lua_State* state);
int GetWidth(Control& control, lua_State* state);
int GetHeight(Control& control, lua_State* state);
int SetRepresentation(Control& control, lua_State* state);
int GetRepresentation(Control& control, lua_State* state);
int SetTouchable(Control& control, lua_State* state);
int GetTouchable(Control& control, lua_State* state);
int GetControl(Control& control, lua_State* state);

} // namespace ControlScript

// The shared methods in their registration order, then own (a class's further methods), then
// the entry that ends the table.
template <class T>
std::vector<Tarv::LuaMethod<T>> ControlMethodList(const std::vector<Tarv::LuaMethod<T>>& own)
{
    std::vector<Tarv::LuaMethod<T>> methods = {
        {"GetName", nullptr, [](T& c, lua_State* s) { return ControlScript::GetName(c, s); }},
        {"GetVisibility", nullptr, [](T& c, lua_State* s) { return ControlScript::GetVisibility(c, s); }},
        {"SetVisibility", nullptr, [](T& c, lua_State* s) { return ControlScript::SetVisibility(c, s); }},
        {"GetX", nullptr, [](T& c, lua_State* s) { return ControlScript::GetX(c, s); }},
        {"GetAbsX", nullptr, [](T& c, lua_State* s) { return ControlScript::GetAbsX(c, s); }},
        {"SetX", nullptr, [](T& c, lua_State* s) { return ControlScript::SetX(c, s); }},
        {"GetY", nullptr, [](T& c, lua_State* s) { return ControlScript::GetY(c, s); }},
        {"GetAbsY", nullptr, [](T& c, lua_State* s) { return ControlScript::GetAbsY(c, s); }},
        {"SetY", nullptr, [](T& c, lua_State* s) { return ControlScript::SetY(c, s); }},
        {"GetAlpha", nullptr, [](T& c, lua_State* s) { return ControlScript::GetAlpha(c, s); }},
        {"SetAlpha", nullptr, [](T& c, lua_State* s) { return ControlScript::SetAlpha(c, s); }},
        {"ShiftPos", nullptr, [](T& c, lua_State* s) { return ControlScript::ShiftPos(c, s); }},
        {"GetSize", nullptr, [](T& c, lua_State* s) { return ControlScript::GetSize(c, s); }},
        {"GetWidth", nullptr, [](T& c, lua_State* s) { return ControlScript::GetWidth(c, s); }},
        {"GetHeight", nullptr, [](T& c, lua_State* s) { return ControlScript::GetHeight(c, s); }},
        {"SetRepresentation", nullptr, [](T& c, lua_State* s) { return ControlScript::SetRepresentation(c, s); }},
        {"GetRepresentation", nullptr, [](T& c, lua_State* s) { return ControlScript::GetRepresentation(c, s); }},
        {"SetTouchable", nullptr, [](T& c, lua_State* s) { return ControlScript::SetTouchable(c, s); }},
        {"GetTouchable", nullptr, [](T& c, lua_State* s) { return ControlScript::GetTouchable(c, s); }},
        {"GetControl", nullptr, [](T& c, lua_State* s) { return ControlScript::GetControl(c, s); }},
    };
    methods.insert(methods.end(), own.begin(), own.end());
    methods.push_back({nullptr, nullptr, nullptr});
    return methods;
}

} // namespace Plim
