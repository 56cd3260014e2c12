// The script host: state creation, libraries, running files and strings under protected calls,
// calling script functions by name, stack helpers, the "keys" table and the opt-in profiler.
// Runs and calls leave their results or error text on the stack for the caller to take.
#include "engine/script/Lua.h"

#include "engine/core/KeyCodes.h"
#include "engine/core/Report.h"
#include "engine/core/SmartPtr.h"
#include "engine/script/LuaErrorQueue.h"
#include "engine/vfs/File.h"
#include "engine/vfs/Vfs.h"

#include <lua.hpp>

#include <cstdio>
#include <cstring>
#include <string>

namespace Tarv
{

namespace
{

const char PROFILER_START[] =
    "Counters = {}\n"
    "Names = {}\n"
    "local getinfo = debug.getinfo\n"
    "debug.sethook(function()\n"
    "  local f = getinfo(2, 'f').func\n"
    "  local count = Counters[f]\n"
    "  if count == nil then\n"
    "    Counters[f] = 1\n"
    "    Names[f] = getinfo(2, 'Sn')\n"
    "  else\n"
    "    Counters[f] = count + 1\n"
    "  end\n"
    "end, 'c')\n";

const char PROFILER_REPORT[] =
    "debug.sethook()\n"
    "for f, count in next, Counters do\n"
    "  local info = Names[f]\n"
    "  local label\n"
    "  if info.what == 'C' then\n"
    "    label = info.name or '?'\n"
    "  else\n"
    "    label = '[' .. info.short_src .. ']:' .. info.linedefined\n"
    "    if info.namewhat ~= '' then label = label .. ' (' .. info.name .. ')' end\n"
    "  end\n"
    "  TarvMsg(label .. ' ' .. count)\n"
    "end\n";

// Depth of nested "require" on this thread: the recursion runs on this thread's C stack.
thread_local int t_requireDepth = 0;

// Reads in 1024-byte steps until a read returns less than 1.
bool ReadThroughVfs(const NarrowString& path, std::vector<char>& contents)
{
    SmartPtr<File> file(VfsOpenRead(path.c_str()));
    if (!file)
        return false;
    char block[1024];
    for (;;) {
        const int count = file->Read(block, static_cast<int>(sizeof block));
        if (count < 1)
            return true;
        if (static_cast<std::size_t>(count) > sizeof block)
            return false;
        contents.insert(contents.end(), block, block + count);
    }
}

Lua::FileReader s_fileReader = &ReadThroughVfs;

int Panic(lua_State* state)
{
    const char* message = lua_tostring(state, -1);
    Tarv::Report("Lua error outside a protected call: %s",
        message != nullptr ? message : "(error with no message)");
    return 0;
}

// Leaves text on top of the stack and returns it there; only when the stack cannot grow is the
// text returned as it is, with nothing pushed.
const char* PushError(lua_State* state, const char* text)
{
    if (!lua_checkstack(state, 1))
        return text;
    lua_pushstring(state, text);
    return lua_tostring(state, -1);
}

NarrowString ErrorText(lua_State* state, int index)
{
    const char* text = lua_tostring(state, index);
    return NarrowString(text != nullptr ? text : "(error with no message)");
}

// Reads path through the current reader; a file starting like a precompiled chunk is refused.
bool ReadTextChunk(const NarrowString& path, std::vector<char>& contents, bool& precompiled)
{
    contents.clear();
    precompiled = false;
    if (!s_fileReader(path, contents))
        return false;
    precompiled = !contents.empty() && contents[0] == LUA_SIGNATURE[0];
    return !precompiled;
}

// Lua's own argument error counts "self" of a method call, but bound methods see their
// arguments with the object already removed: number them as the script wrote them.
int ArgumentError(lua_State* state, int index, const char* expected)
{
    lua_Debug frame;
    const char* function = "?";
    if (lua_getstack(state, 0, &frame) && lua_getinfo(state, "n", &frame) && frame.name != nullptr)
        function = frame.name;
    return luaL_error(state, "bad argument #%d to '%s' (%s expected, got %s)", index, function,
        expected, luaL_typename(state, index));
}

} // namespace

Lua::Lua() : m_state(luaL_newstate())
{
    if (m_state == nullptr)
        return;
    lua_atpanic(m_state, &Panic);
    InstallEnvironment();
}

Lua::Lua(lua_State* state) : m_state(state), m_borrowed(true) {}

Lua::~Lua()
{
    if (m_state == nullptr)
        return;
    if (m_profiling)
        RunProfileReport();
    if (!m_borrowed)
        lua_close(m_state);
}

void Lua::InstallEnvironment()
{
    RegisterEnums();
    RegisterFunction("require", &Lua::Require);
    RegisterFunction("TarvMsg", &Lua::TarvMsg);
}

void Lua::SetFileReader(FileReader reader)
{
    s_fileReader = reader != nullptr ? reader : &ReadThroughVfs;
}

void Lua::OpenLibrary(std::uint32_t flag)
{
    if (m_state == nullptr || (m_libraries & flag) != 0)
        return;
    lua_CFunction open = nullptr;
    const char* name = "";
    switch (flag) {
    case LIBRARY_BASE: open = luaopen_base; break;
    case LIBRARY_TABLE: open = luaopen_table; name = LUA_TABLIBNAME; break;
    case LIBRARY_STRING: open = luaopen_string; name = LUA_STRLIBNAME; break;
    case LIBRARY_DEBUG: open = luaopen_debug; name = LUA_DBLIBNAME; break;
    case LIBRARY_MATH: open = luaopen_math; name = LUA_MATHLIBNAME; break;
    default: return;
    }
    m_libraries |= flag;
    const int top = lua_gettop(m_state);
    if (!lua_checkstack(m_state, 2))
        return;
    // The 5.1 openers must be called as Lua functions; protected, so a failure cannot panic.
    lua_pushcfunction(m_state, open);
    lua_pushstring(m_state, name);
    lua_pcall(m_state, 1, 0, 0);
    lua_settop(m_state, top);
}

int Lua::LoadChunk(lua_State* state, const char* data, std::size_t size, const char* name)
{
    if (!lua_checkstack(state, 1))
        return LUA_ERRMEM;
    // Lua 5.1 does not verify bytecode: a crafted one corrupts memory, so only text runs.
    if (size > 0 && data[0] == LUA_SIGNATURE[0]) {
        lua_pushfstring(state, "%s: precompiled chunks are not accepted", name);
        return LUA_ERRSYNTAX;
    }
    return luaL_loadbuffer(state, data, size, name);
}

void Lua::RunFile(const NarrowString& path)
{
    if (m_state == nullptr)
        return;
    std::vector<char> contents;
    bool precompiled = false;
    // The "c" form is preferred when it holds text; a precompiled one is passed over.
    if (!ReadTextChunk(path + "c", contents, precompiled)) {
        bool precompiledSource = false;
        if (!ReadTextChunk(path, contents, precompiledSource)) {
            ReportFileError(path, precompiled || precompiledSource
                    ? NarrowString("precompiled chunks are not accepted")
                    : NarrowString("cannot open ") + path);
            return;
        }
    }

    const int top = lua_gettop(m_state);
    if (RunChunk(contents.data(), contents.size(), path.c_str()) != 0)
        ReportFileError(path, lua_gettop(m_state) > top ? ErrorText(m_state, -1) : "stack overflow");
}

int Lua::RunChunk(const char* data, std::size_t size, const char* name)
{
    const int status = LoadChunk(m_state, data, size, name);
    return status == 0 ? lua_pcall(m_state, 0, LUA_MULTRET, 0) : status;
}

void Lua::RunQuietly(const char* text)
{
    const int top = lua_gettop(m_state);
    RunChunk(text, std::strlen(text), text);
    lua_settop(m_state, top);
}

void Lua::ReportFileError(const NarrowString& path, const NarrowString& message)
{
    LuaErrorQueue::Global().Post({NarrowString("Fatal error reading file ") + path, message});
}

int Lua::RunString(const NarrowString& text)
{
    if (m_state == nullptr)
        return LUA_ERRMEM;
    return RunChunk(text.c_str(), std::strlen(text.c_str()), text.c_str());
}

const char* Lua::Call(const NarrowString& name, int nargs, int nresults)
{
    if (m_state == nullptr)
        return "no script state";
    const int top = lua_gettop(m_state);
    if (nargs < 0 || nargs > top)
        return PushError(m_state, "bad argument count");
    const int base = top - nargs;
    // Room for the function and a metatable looked at beside it, or for the results.
    const int wanted = nresults == LUA_MULTRET ? 2 : nresults + 2;
    if (!lua_checkstack(m_state, wanted)) {
        lua_settop(m_state, base);
        return PushError(m_state, "stack overflow");
    }
    lua_pushstring(m_state, name.c_str());
    lua_rawget(m_state, LUA_GLOBALSINDEX);
    // A missing function (a script without "Update", every frame) fails here with the text Lua
    // would give, without the cost of raising an error; nil can only be called through a
    // metatable that the debug library gave it.
    if (lua_isnil(m_state, -1) && !lua_getmetatable(m_state, -1)) {
        lua_settop(m_state, base);
        return PushError(m_state, "attempt to call a nil value");
    }
    lua_settop(m_state, top + 1);
    lua_insert(m_state, base + 1);
    // Any other value that is not a function fails inside the call with Lua's own message.
    if (lua_pcall(m_state, nargs, nresults, 0) == 0)
        return nullptr;
    // An error value that is not text (error({}), error()) must still read as a failure.
    if (lua_tostring(m_state, -1) == nullptr) {
        lua_pop(m_state, 1);
        lua_pushliteral(m_state, "(error with no message)");
    }
    return lua_tostring(m_state, -1);
}

void Lua::SetGlobal(const NarrowString& name)
{
    if (m_state == nullptr || lua_gettop(m_state) < 1 || !lua_checkstack(m_state, 1))
        return;
    lua_pushstring(m_state, name.c_str());
    lua_insert(m_state, -2);
    lua_rawset(m_state, LUA_GLOBALSINDEX);
}

void Lua::RegisterFunction(const NarrowString& name, lua_CFunction function)
{
    if (m_state == nullptr || !lua_checkstack(m_state, 1))
        return;
    lua_pushcfunction(m_state, function);
    SetGlobal(name);
}

void Lua::SetGlobalPointer(const NarrowString& name, void* pointer)
{
    if (m_state == nullptr || !lua_checkstack(m_state, 1))
        return;
    lua_pushlightuserdata(m_state, pointer);
    SetGlobal(name);
}

void* Lua::GetGlobalPointer(const NarrowString& name)
{
    if (m_state == nullptr || !lua_checkstack(m_state, 1))
        return nullptr;
    lua_pushstring(m_state, name.c_str());
    lua_rawget(m_state, LUA_GLOBALSINDEX);
    return lua_touserdata(m_state, -1);
}

bool Lua::IsBool(int index) const
{
    return lua_isboolean(m_state, index);
}

bool Lua::IsNumber(int index) const
{
    return lua_isnumber(m_state, index) != 0;
}

bool Lua::IsString(int index) const
{
    return lua_isstring(m_state, index) != 0;
}

bool Lua::CheckBool(int index) const
{
    return lua_toboolean(m_state, index) != 0;
}

double Lua::CheckNumber(int index) const
{
    if (!lua_isnumber(m_state, index))
        ArgumentError(m_state, index, lua_typename(m_state, LUA_TNUMBER));
    return lua_tonumber(m_state, index);
}

NarrowString Lua::CheckString(int index) const
{
    if (!lua_isstring(m_state, index))
        ArgumentError(m_state, index, lua_typename(m_state, LUA_TSTRING));
    std::size_t length = 0;
    const char* text = lua_tolstring(m_state, index, &length);
    return NarrowString(text, length);
}

bool Lua::PushNil()
{
    if (m_state == nullptr || !lua_checkstack(m_state, 1))
        return false;
    lua_pushnil(m_state);
    return true;
}

bool Lua::PushBool(bool value)
{
    if (m_state == nullptr || !lua_checkstack(m_state, 1))
        return false;
    lua_pushboolean(m_state, value ? 1 : 0);
    return true;
}

bool Lua::PushNumber(double value)
{
    if (m_state == nullptr || !lua_checkstack(m_state, 1))
        return false;
    lua_pushnumber(m_state, value);
    return true;
}

bool Lua::PushString(const NarrowString& value)
{
    if (m_state == nullptr || !lua_checkstack(m_state, 1))
        return false;
    lua_pushlstring(m_state, value.data(), value.size());
    return true;
}

int Lua::GetMemoryKB() const
{
    return m_state != nullptr ? lua_gc(m_state, LUA_GCCOUNT, 0) : 0;
}

void Lua::DumpStack() const
{
    if (m_state == nullptr)
        return;
    const int top = lua_gettop(m_state);
    for (int index = 1; index <= top; ++index)
        static_cast<void>(lua_type(m_state, index));
}

void Lua::BeginEnumTable(NarrowString& source, const NarrowString& name)
{
    source = name + "={";
}

void Lua::AddEnumEntry(NarrowString& source, const NarrowString& name, int value)
{
    source += name;
    source += '=';
    source += std::to_string(value);
    source += ',';
}

void Lua::RunEnumTable(NarrowString& source)
{
    source += '}';
    if (m_state == nullptr)
        return;
    // A failure is not reported: the table is the engine's own source.
    const int top = lua_gettop(m_state);
    if (LoadChunk(m_state, source.data(), source.size(), "enum table") == 0)
        lua_pcall(m_state, 0, 0, 0);
    lua_settop(m_state, top);
}

void Lua::RegisterEnums()
{
    NarrowString source;
    BeginEnumTable(source, "keys");
    for (int key = 0; key < KEY_COUNT; ++key) {
        if (const char* name = GetKeyName(key))
            AddEnumEntry(source, name, key);
    }
    RunEnumTable(source);
}

void Lua::StartProfiler()
{
    if (m_state == nullptr)
        return;
    m_profiling = true;
    OpenLibrary(LIBRARY_DEBUG);
    RunQuietly(PROFILER_START);
}

void Lua::RunProfileReport()
{
    RunQuietly(PROFILER_REPORT);
}

int Lua::Require(lua_State* state)
{
    Lua lua(state);
    const NarrowString path = lua.CheckString(1);
    if (t_requireDepth >= MAX_REQUIRE_DEPTH)
        return luaL_error(state, "require of '%s' nested more than %d deep", path.c_str(),
            MAX_REQUIRE_DEPTH);
    struct DepthGuard
    {
        DepthGuard() { ++t_requireDepth; }
        ~DepthGuard() { --t_requireDepth; }
    } guard;
    lua.RunFile(path);
    return 0;
}

int Lua::TarvMsg(lua_State*)
{
    return 0;
}

} // namespace Tarv
