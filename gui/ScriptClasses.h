// The script classes of a screen's Lua state: "Screen", "Control" and "TransformedSprite", with
// the conversions their methods share.
#pragma once

#include "engine/script/LuaBinding.h"

namespace Plim
{

class Control;
class Screen;
class TextBox;
class TextLine;
class TransformedSprite;

// A script number as an int: truncated toward zero, saturated at the int range, NaN as 0.
int ToScriptInt(double value);
// Registers the classes in the order "Screen", "Control", "TextBox", "TextLine",
// "TransformedSprite".
void RegisterScriptClasses(lua_State* state);
// Pushes the control as an engine-owned object of the class its type id names ("TextBox" for
// 1, "TextLine" for 2, else "Control"); nil for null. The stack index of the object, 0 when nil.
int PushControl(lua_State* state, Control* control);

} // namespace Plim

namespace Tarv
{

template <>
struct LuaClass<Plim::Screen> {
    static constexpr const char* NAME = "Screen";
    static const LuaMethod<Plim::Screen> METHODS[];
};

template <>
struct LuaClass<Plim::Control> {
    static constexpr const char* NAME = "Control";
    static const LuaMethod<Plim::Control>* const METHODS;
};

template <>
struct LuaClass<Plim::TextBox> {
    static constexpr const char* NAME = "TextBox";
    static const LuaMethod<Plim::TextBox>* const METHODS;
};

template <>
struct LuaClass<Plim::TextLine> {
    static constexpr const char* NAME = "TextLine";
    static const LuaMethod<Plim::TextLine>* const METHODS;
};

template <>
struct LuaClass<Plim::TransformedSprite> {
    static constexpr const char* NAME = "TransformedSprite";
    static const LuaMethod<Plim::TransformedSprite> METHODS[];
};

} // namespace Tarv
