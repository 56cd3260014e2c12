// Cost of the engine calling into scripts each frame: a global function by name, a bound
// method by name, and pushing an already pushed object (the identity look-up).
#include "engine/core/SmartPtr.h"
#include "engine/script/Lua.h"
#include "engine/script/LuaBinding.h"

#include <benchmark/benchmark.h>

namespace
{

class Target : public Tarv::RefCounter, public Tarv::WeakRefCounter
{
public:
    int Get(lua_State* state)
    {
        lua_pushinteger(state, 1);
        return 1;
    }
};

} // namespace

namespace Tarv
{

template <>
struct LuaClass<Target>
{
    static constexpr const char* NAME = "Target";
    static const LuaMethod<Target> METHODS[];
};

const LuaMethod<Target> LuaClass<Target>::METHODS[] = {
    {"Get", &Target::Get, nullptr},
    {nullptr, nullptr, nullptr},
};

} // namespace Tarv

namespace
{

void CallGlobalFunction(benchmark::State& state)
{
    Tarv::Lua lua;
    if (lua.RunString("function Update(dt) x = (x or 0) + dt end") != 0)
        return state.SkipWithError("the script did not run");
    for (auto _ : state) {
        lua.PushNumber(0.016);
        benchmark::DoNotOptimize(lua.Call("Update", 1, 0));
    }
}
BENCHMARK(CallGlobalFunction);

void CallMissingFunction(benchmark::State& state)
{
    Tarv::Lua lua;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lua.Call("Update", 0, 0));
        lua_settop(lua.GetState(), 0);
    }
}
BENCHMARK(CallMissingFunction);

void CallScriptMethod(benchmark::State& state)
{
    Tarv::Lua lua;
    Tarv::LuaBinding<Target>::Register(lua.GetState());
    if (lua.RunString("function Target:OnFrame() return self:Get() end") != 0)
        return state.SkipWithError("the script did not run");
    Tarv::SmartPtr<Target> target = Tarv::MakeSmart<Target>();
    for (auto _ : state) {
        Tarv::LuaBinding<Target>::Push(lua.GetState(), target.Get(), false);
        benchmark::DoNotOptimize(
            Tarv::LuaBinding<Target>::CallMethod(lua.GetState(), "OnFrame", 0, 0));
        lua_settop(lua.GetState(), 0);
    }
}
BENCHMARK(CallScriptMethod);

void PushKnownObject(benchmark::State& state)
{
    Tarv::Lua lua;
    Tarv::LuaBinding<Target>::Register(lua.GetState());
    Tarv::SmartPtr<Target> target = Tarv::MakeSmart<Target>();
    Tarv::LuaBinding<Target>::Push(lua.GetState(), target.Get(), false);
    lua.SetGlobal("kept");
    for (auto _ : state) {
        Tarv::LuaBinding<Target>::Push(lua.GetState(), target.Get(), false);
        lua_settop(lua.GetState(), 0);
    }
}
BENCHMARK(PushKnownObject);

} // namespace
