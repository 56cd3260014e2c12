// Feeds arbitrary bytes to the script host as a chunk: compiled and, when it compiles, run in
// a bare state under an instruction budget. Precompiled chunks must be refused, never loaded.
#include "engine/script/Lua.h"

#include <lua.hpp>

#include <cstddef>
#include <cstdint>

namespace
{

void StopLongRuns(lua_State* state, lua_Debug*)
{
    luaL_error(state, "instruction budget spent");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Tarv::Lua lua;
    lua_State* state = lua.GetState();
    if (state == nullptr)
        return 0;
    const char* text = reinterpret_cast<const char*>(data);
    if (Tarv::Lua::LoadChunk(state, text, size, "fuzz") != 0)
        return 0;
    lua_sethook(state, &StopLongRuns, LUA_MASKCOUNT, 20000);
    lua_pcall(state, 0, 0, 0);
    lua_settop(state, 0);
    return 0;
}
