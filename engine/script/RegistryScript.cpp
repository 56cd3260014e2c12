// Script access to the registry: type coercion of "Set" and typed results of "Get".
#include "engine/script/RegistryScript.h"

#include "engine/core/Any.h"
#include "engine/script/Lua.h"

#include <climits>
#include <cmath>

namespace Tarv
{

const LuaMethod<Registry> LuaClass<Registry>::METHODS[] = {
    {"Set", nullptr, &RegistryScript::Set},
    {"Get", nullptr, &RegistryScript::Get},
    {nullptr, nullptr, nullptr},
};

bool RegistryScript::ToInt(double number, int& out)
{
    if (std::isnan(number))
        return false;
    if (number >= static_cast<double>(INT_MAX))
        out = INT_MAX;
    else if (number <= static_cast<double>(INT_MIN))
        out = INT_MIN;
    else
        out = static_cast<int>(number);
    return true;
}

int RegistryScript::Set(Registry& registry, lua_State* state)
{
    Lua lua(state);
    const NarrowString path = lua.CheckString(1);
    bool stored = false;
    if (lua_isboolean(state, 2)) {
        stored = registry.SetBool(path, lua_toboolean(state, 2) != 0);
    } else if (lua_isnumber(state, 2)) {
        int value = 0;
        stored = ToInt(lua_tonumber(state, 2), value) && registry.SetInt(path, value);
    } else if (lua_type(state, 2) == LUA_TSTRING) {
        std::size_t length = 0;
        const char* text = lua_tolstring(state, 2, &length);
        stored = registry.SetString(path, NarrowString(text, length));
    }
    lua.PushBool(stored);
    return 1;
}

int RegistryScript::Get(Registry& registry, lua_State* state)
{
    Lua lua(state);
    const NarrowString path = lua.CheckString(1);
    Any value;
    if (!registry.GetValue(path, value)) {
        lua.PushNil();
        return 1;
    }
    if (const bool* flag = value.Get<bool>())
        lua.PushBool(*flag);
    else if (const int* number = value.Get<int>())
        lua.PushNumber(*number);
    else if (const NarrowString* text = value.Get<NarrowString>())
        lua.PushString(*text);
    else
        lua.PushNil();
    return 1;
}

bool RegistryScript::Publish(Lua& lua, Registry* registry)
{
    lua_State* state = lua.GetState();
    if (registry == nullptr || state == nullptr || !LuaBinding<Registry>::Register(state))
        return false;
    const int top = lua_gettop(state);
    if (LuaBinding<Registry>::Push(state, registry, false) == 0) {
        lua_settop(state, top);
        return false;
    }
    lua.SetGlobal("registry");
    return true;
}

} // namespace Tarv
