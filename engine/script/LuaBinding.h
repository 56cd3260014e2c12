// Tarv::LuaBinding<T>: makes an engine class visible to scripts under its script name, with its
// methods, engine-owned and script-owned objects, one userdata per object and state, and
// method calls by name from the engine. T derives from RefCounter.
#pragma once

#include "engine/core/NarrowString.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakPtr.h"
#include "engine/core/WeakRefCounter.h"
#include "engine/script/LuaErrorQueue.h"

#include <lua.hpp>

#include <cstdint>
#include <new>
#include <type_traits>

namespace Tarv
{

// One bound method: a member function of T or a free function taking the object. Either way
// the script arguments start at stack index 1 (the object already removed) and the result is
// the number of values pushed.
template <class T>
struct LuaMethod
{
    const char* name;
    int (T::*member)(lua_State* state);
    int (*function)(T& object, lua_State* state);
};

// Describes the script class of T; specialise it next to the methods:
//   template <> struct LuaClass<Foo> {
//       static constexpr const char* NAME = "Foo";
//       static const LuaMethod<Foo> METHODS[]; // ended by an entry whose name is null
//   };
template <class T>
struct LuaClass;

template <class T>
class LuaBinding
{
public:
    static const char* GetClassName() { return LuaClass<T>::NAME; }

    // Installs the class table (a global named after the class), its methods and "new", and
    // the userdata metatable. Leaves the stack as it was; false when the stack cannot grow.
    static bool Register(lua_State* state);

    // Pushes the object's userdata and returns its stack index. Pushing an object again gives
    // the same userdata, whose ownership stays as at its first push.
    // gc true (script-owned): the userdata holds one counted reference, released when Lua
    // collects it, so an object the engine also holds survives the collection.
    // gc false (engine-owned): when T also derives from WeakRefCounter, the userdata only
    // remembers the object and a method called after it died raises a script error; T must do
    // so when it owns the state it is pushed into (a screen, a script component), or neither
    // would ever be freed. Otherwise the userdata holds a counted reference, so scripts keep
    // the object alive; an object that nobody counts (a member or a static) is held by address
    // only and the engine must keep it alive while the state lives. A null object pushes nil and returns
    // 0; so does a state where the class is not registered (reported, never raised). When the
    // stack cannot grow nothing is pushed and 0 returned. Never raises a script error.
    static int Push(lua_State* state, T* object, bool gc);

    // The object held by the userdata at index, or null when it is not a live object of this
    // class. Never raises.
    static T* Get(lua_State* state, int index);

    // Calls method name on the object that the caller pushed followed by nargs arguments.
    // Returns the number of results, left on the stack where the object was; on failure
    // returns -1 with the object and arguments replaced by one text, the reason ("%s missing
    // method '%s'", "%s:%s status = %d\n%s", "not a valid %s userdata"), which the caller
    // reads from the top of the stack and pops.
    static int CallMethod(lua_State* state, const char* name, int nargs, int nresults);

    // Script-facing functions.
    static int New(lua_State* state);
    static int Thunk(lua_State* state);
    static int Gc(lua_State* state);
    static int ToString(lua_State* state);

private:
    static constexpr std::uint32_t LIVE = 0x4C697665u;
    static constexpr std::uint32_t FREED = 0xDEADu;

    static constexpr bool WEAK = std::is_base_of<WeakRefCounter, T>::value;

    // The userdata's contents. The weak link lets an engine object die while scripts still
    // hold its userdata; the strong one is a counted reference that the userdata owns.
    struct Box
    {
        std::uint32_t tag;
        T* address;
        WeakPtr<T> weak;
        SmartPtr<T> strong;
    };

    static void FillBox(Box& box, T* object, bool gc);
    static Box* GetBox(lua_State* state, int index);
    static T* GetTarget(const Box& box);
};

template <class T>
bool LuaBinding<T>::Register(lua_State* state)
{
    static_assert(std::is_base_of<RefCounter, T>::value, "bound classes are counted");
    if (state == nullptr || !lua_checkstack(state, 4))
        return false;
    const char* name = GetClassName();
    lua_newtable(state);
    const int classTable = lua_gettop(state);
    luaL_newmetatable(state, name);
    const int metatable = lua_gettop(state);

    // Raw, so a metatable that a script gave the globals cannot raise here.
    lua_pushstring(state, name);
    lua_pushvalue(state, classTable);
    lua_rawset(state, LUA_GLOBALSINDEX);

    lua_pushvalue(state, classTable);
    lua_setfield(state, metatable, "__metatable");
    lua_pushvalue(state, classTable);
    lua_setfield(state, metatable, "__index");
    lua_pushcfunction(state, &LuaBinding::ToString);
    lua_setfield(state, metatable, "__tostring");
    lua_pushcfunction(state, &LuaBinding::Gc);
    lua_setfield(state, metatable, "__gc");

    lua_newtable(state);
    lua_pushcfunction(state, &LuaBinding::New);
    lua_setfield(state, -2, "__call");
    lua_setmetatable(state, classTable);
    lua_pushcfunction(state, &LuaBinding::New);
    lua_setfield(state, classTable, "new");

    // Later entries of the same name overwrite earlier ones.
    for (const LuaMethod<T>* method = LuaClass<T>::METHODS; method->name != nullptr; ++method) {
        lua_pushlightuserdata(state, const_cast<LuaMethod<T>*>(method));
        lua_pushcclosure(state, &LuaBinding::Thunk, 1);
        lua_setfield(state, classTable, method->name);
    }
    lua_settop(state, classTable - 1);
    return true;
}

template <class T>
T* LuaBinding<T>::GetTarget(const Box& box)
{
    if (box.strong)
        return box.strong.Get();
    if constexpr (WEAK) {
        WeakRefCounter* target = WeakRefCounter::WithTarget(box.weak.GetRecord(),
            [](WeakRefCounter* alive) { return alive; });
        return static_cast<T*>(target);
    } else {
        return box.address;
    }
}

template <class T>
void LuaBinding<T>::FillBox(Box& box, T* object, bool gc)
{
    if (gc) {
        box.strong = object;
        return;
    }
    if constexpr (WEAK) {
        box.weak = WeakPtr<T>(object);
    } else {
        // An uncounted object must not be counted here: the release would delete it.
        if (object->AddRefIfAlive())
            box.strong = SmartPtr<T>::Adopt(object);
    }
}

template <class T>
typename LuaBinding<T>::Box* LuaBinding<T>::GetBox(lua_State* state, int index)
{
    Box* box = static_cast<Box*>(lua_touserdata(state, index));
    if (box == nullptr || lua_islightuserdata(state, index) || !lua_checkstack(state, 2))
        return nullptr;
    if (!lua_getmetatable(state, index))
        return nullptr;
    lua_getfield(state, LUA_REGISTRYINDEX, GetClassName());
    const bool ours = lua_rawequal(state, -1, -2) != 0;
    lua_pop(state, 2);
    return ours && box->tag == LIVE ? box : nullptr;
}

template <class T>
T* LuaBinding<T>::Get(lua_State* state, int index)
{
    Box* box = GetBox(state, index);
    return box != nullptr ? GetTarget(*box) : nullptr;
}

template <class T>
int LuaBinding<T>::Push(lua_State* state, T* object, bool gc)
{
    if (state == nullptr || !lua_checkstack(state, 4))
        return 0;
    if (object == nullptr) {
        lua_pushnil(state);
        return 0;
    }
    luaL_getmetatable(state, GetClassName());
    const int metatable = lua_gettop(state);
    if (!lua_istable(state, metatable)) {
        lua_pop(state, 1);
        lua_pushnil(state);
        LuaErrorQueue::Global().Post({"Script binding",
            NarrowString(GetClassName()) + " missing metatable"});
        return 0;
    }

    lua_getfield(state, metatable, "userdata");
    if (!lua_istable(state, -1)) {
        lua_pop(state, 1);
        lua_newtable(state);
        lua_pushvalue(state, -1);
        lua_setmetatable(state, -2);
        lua_pushliteral(state, "v");
        lua_setfield(state, -2, "__mode");
        lua_pushvalue(state, -1);
        lua_setfield(state, metatable, "userdata");
    }
    const int cache = lua_gettop(state);

    lua_pushlightuserdata(state, object);
    lua_rawget(state, cache);
    // A cached userdata of a dead object may share the address with this new one.
    Box* found = GetBox(state, -1);
    if (found == nullptr || GetTarget(*found) != object) {
        lua_pop(state, 1);
        Box* box = static_cast<Box*>(lua_newuserdata(state, sizeof(Box)));
        new (box) Box{LIVE, object, WeakPtr<T>(), SmartPtr<T>()};
        FillBox(*box, object, gc);
        lua_pushvalue(state, metatable);
        lua_setmetatable(state, -2);
        lua_pushlightuserdata(state, object);
        lua_pushvalue(state, -2);
        lua_rawset(state, cache);
    }
    lua_replace(state, metatable);
    lua_settop(state, metatable);
    return metatable;
}

template <class T>
int LuaBinding<T>::New(lua_State* state)
{
    lua_remove(state, 1);
    if constexpr (std::is_default_constructible<T>::value) {
        // Held until pushed, so a failed push frees the object.
        SmartPtr<T> created(new T());
        if (Push(state, created.Get(), true) == 0)
            return luaL_error(state, "%s missing metatable", GetClassName());
        return 1;
    } else {
        return luaL_error(state, "%s objects cannot be created by scripts", GetClassName());
    }
}

template <class T>
int LuaBinding<T>::Thunk(lua_State* state)
{
    const LuaMethod<T>* method =
        static_cast<const LuaMethod<T>*>(lua_touserdata(state, lua_upvalueindex(1)));
    Box* box = GetBox(state, 1);
    if (box == nullptr) {
        luaL_checkudata(state, 1, GetClassName());
        return luaL_argerror(state, 1, "object already collected");
    }
    // Held for the call, so a method that drops the engine's last reference finishes first.
    SmartPtr<T> hold = box->strong;
    T* object = hold.Get();
    if (object == nullptr) {
        if constexpr (WEAK)
            hold = box->weak.Lock();
        object = hold.Get();
        // An object the engine never counted (a member or a static) cannot be locked but is
        // alive as long as its weak link is.
        if (object == nullptr)
            object = GetTarget(*box);
    }
    if (object == nullptr)
        return luaL_error(state, "%s object no longer exists", GetClassName());
    lua_remove(state, 1);
    if (method->member != nullptr)
        return (object->*(method->member))(state);
    return method->function(*object, state);
}

template <class T>
int LuaBinding<T>::Gc(lua_State* state)
{
    Box* box = GetBox(state, 1);
    if (box == nullptr)
        return 0;
    box->tag = FREED;
    // Releases the userdata's counted reference, if it holds one.
    box->~Box();
    return 0;
}

template <class T>
int LuaBinding<T>::ToString(lua_State* state)
{
    Box* box = GetBox(state, 1);
    lua_pushfstring(state, "%s (%p)", GetClassName(),
        box != nullptr ? static_cast<void*>(box->address) : nullptr);
    return 1;
}

template <class T>
int LuaBinding<T>::CallMethod(lua_State* state, const char* name, int nargs, int nresults)
{
    const int top = lua_gettop(state);
    const int base = top - nargs;
    if (nargs < 0 || base < 1) {
        if (lua_checkstack(state, 1))
            lua_pushliteral(state, "bad argument count");
        return -1;
    }
    if (GetBox(state, base) == nullptr || !lua_checkstack(state, 2)) {
        lua_settop(state, base - 1);
        lua_pushfstring(state, "not a valid %s userdata", GetClassName());
        return -1;
    }
    // The class table (the metatable's "__index") holds bound and script-added methods; raw
    // look-ups keep a script's metamethods from raising here, outside a protected call.
    lua_getmetatable(state, base);
    lua_pushliteral(state, "__index");
    lua_rawget(state, -2);
    lua_remove(state, -2);
    const bool haveClassTable = lua_istable(state, -1);
    if (haveClassTable) {
        lua_pushstring(state, name);
        lua_rawget(state, -2);
        lua_remove(state, -2);
    }
    if (!haveClassTable || lua_isnil(state, -1)) {
        lua_settop(state, base - 1);
        lua_pushfstring(state, "%s missing method '%s'", GetClassName(), name);
        return -1;
    }
    lua_insert(state, base);
    const int status = lua_pcall(state, 1 + nargs, nresults, 0);
    if (status == 0)
        return lua_gettop(state) - base + 1;
    const char* text = lua_tostring(state, -1);
    lua_pushfstring(state, "%s:%s status = %d\n%s", GetClassName(), name, status,
        text != nullptr ? text : "(error with no message)");
    lua_remove(state, -2);
    return -1;
}

} // namespace Tarv
