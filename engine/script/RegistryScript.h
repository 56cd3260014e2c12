// The script class "Registry": the registry's "Set" and "Get" methods as scripts call them,
// and the global "registry" that script components publish.
#pragma once

#include "engine/registry/Registry.h"
#include "engine/script/LuaBinding.h"

namespace Tarv
{

class Lua;

template <>
struct LuaClass<Registry>
{
    static constexpr const char* NAME = "Registry";
    static const LuaMethod<Registry> METHODS[];
};

class RegistryScript
{
public:
    // registry:Set(path, value) -> boolean. A boolean is stored as a bool; a number, or a
    // string that reads as one, as an int truncated toward zero (saturated at the int range;
    // NaN stores nothing); another string as a string; any other value stores nothing.
    static int Set(Registry& registry, lua_State* state);
    // registry:Get(path) -> the key's boolean, number or string; nil when there is no key or it
    // holds no value.
    static int Get(Registry& registry, lua_State* state);

    // Registers the class in the state and stores registry (engine-owned) as the global
    // "registry". Never raises; false when registry is null or the push failed.
    static bool Publish(Lua& lua, Registry* registry);

    // The int that Set stores for a number: truncated toward zero and saturated; false for NaN.
    static bool ToInt(double number, int& out);
};

} // namespace Tarv
