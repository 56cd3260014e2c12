// The script host against real Lua 5.1: the "keys" table, libraries, running strings and
// files, calls by name, "require", stack balance under failure, bytecode refusal, profiler.
#include "engine/script/Lua.h"

#include "engine/core/KeyCodes.h"
#include "engine/script/LuaErrorQueue.h"
#include "engine/vfs/Vfs.h"

#include <gtest/gtest.h>
#include <lua.hpp>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace
{

std::map<std::string, std::string> g_files;
std::vector<std::string> g_messages;

bool ReadFromMap(const Tarv::NarrowString& path, std::vector<char>& contents)
{
    auto found = g_files.find(path);
    if (found != g_files.end())
        contents.assign(found->second.begin(), found->second.end());
    return found != g_files.end();
}

int TakesNumber(lua_State* state)
{
    Tarv::Lua(state).CheckNumber(1);
    return 0;
}

int CollectMessage(lua_State* state)
{
    const char* text = lua_tostring(state, 1);
    g_messages.push_back(text != nullptr ? text : "<nil>");
    return 0;
}

bool Contains(const char* text, const char* part)
{
    return text != nullptr && std::string(text).find(part) != std::string::npos;
}

// A host with the base library (screens open it first) and the error reports collected.
class LuaHost : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_files.clear();
        Tarv::Lua::SetFileReader(&ReadFromMap);
        Tarv::LuaErrorQueue::Global().Reset();
        Tarv::LuaErrorQueue::Global().SetHandler(
            [this](const Tarv::LuaErrorReport& report) { m_reports.push_back(report); });
        m_lua.OpenLibrary(Tarv::Lua::LIBRARY_BASE);
    }
    void TearDown() override
    {
        Tarv::LuaErrorQueue::Global().Reset();
        Tarv::Lua::SetFileReader(nullptr);
    }
    // The value of a Lua expression as text ("nil" for nil), the stack left as found.
    std::string Eval(const std::string& expression)
    {
        EXPECT_EQ(m_lua.RunString("eval_ = tostring(" + expression + ")"), 0) << expression;
        lua_getglobal(m_lua.GetState(), "eval_");
        std::string text = lua_tostring(m_lua.GetState(), -1);
        lua_pop(m_lua.GetState(), 1);
        return text;
    }
    int Top() { return lua_gettop(m_lua.GetState()); }

    Tarv::Lua m_lua;
    std::vector<Tarv::LuaErrorReport> m_reports;
};

} // namespace

TEST(LuaState, NewStateHasKeysRequireAndTarvMsgButNoLibraries)
{
    Tarv::Lua lua;
    lua_State* state = lua.GetState();
    const std::string present = " keys require TarvMsg ";
    for (const char* name : {"keys", "require", "TarvMsg", "print", "string", "table", "math",
                             "debug", "package", "io", "os"}) {
        lua_getglobal(state, name);
        EXPECT_NE(lua_isnil(state, -1), present.find(std::string(" ") + name + " ") != std::string::npos) << name;
        lua_pop(state, 1);
    }
    EXPECT_EQ(lua.RunString("TarvMsg(1, 'two', {}, nil)"), 0);
    // A wrapper around a borrowed state never closes it.
    { Tarv::Lua borrowed(state); }
    EXPECT_EQ(lua.RunString("return 1"), 0);
}

// The script "keys" table and the engine's key names are one table: every named code is there
// under its name, and nothing else is.
TEST_F(LuaHost, KeysTableIsTheEngineKeyTable)
{
    int named = 0;
    for (int code = 0; code < Tarv::KEY_COUNT; ++code) {
        if (const char* name = Tarv::GetKeyName(code)) {
            ++named;
            EXPECT_EQ(Eval(std::string("keys.") + name), std::to_string(code)) << name;
        }
    }
    EXPECT_EQ(m_lua.RunString("count = 0 for name, code in pairs(keys) do count = count + 1 end"), 0);
    EXPECT_EQ(Eval("count"), std::to_string(named));
}

// Each library opens once, other flags are ignored; enum table source runs.
TEST_F(LuaHost, OpenLibraryOpensEachLibraryOnceAndEnumTablesRun)
{
    m_lua.OpenLibrary(3);
    EXPECT_EQ(Eval("table"), "nil");
    m_lua.OpenLibrary(Tarv::Lua::LIBRARY_STRING);
    ASSERT_EQ(m_lua.RunString("string.len = nil"), 0);
    m_lua.OpenLibrary(Tarv::Lua::LIBRARY_STRING);
    EXPECT_EQ(Eval("string.len"), "nil");
    Tarv::NarrowString source;
    Tarv::Lua::BeginEnumTable(source, "colors");
    Tarv::Lua::AddEnumEntry(source, "RED", 1);
    Tarv::Lua::AddEnumEntry(source, "DARK", -2);
    m_lua.RunEnumTable(source);
    EXPECT_EQ(Eval("colors.RED + colors.DARK"), "-1");
    EXPECT_EQ(Top(), 0);
}

// Calls and runs report failure and leave the caller's stack as found, however often they fail.
TEST_F(LuaHost, RunsAndCallsReportFailureAndKeepTheStack)
{
    lua_pushliteral(m_lua.GetState(), "caller's value");
    EXPECT_EQ(m_lua.RunString("return 1, 2, 3"), 0);
    EXPECT_EQ(m_lua.RunString("this is not lua"), LUA_ERRSYNTAX);
    EXPECT_EQ(m_lua.RunString("error('boom')"), LUA_ERRRUN);
    EXPECT_TRUE(Contains(m_lua.GetLastError().c_str(), "boom"));
    ASSERT_EQ(m_lua.RunString("function Fail(x) error('bad ' .. x) end"), 0);
    for (int frame = 0; frame < 5000; ++frame) {
        m_lua.PushNumber(frame);
        ASSERT_NE(m_lua.Call("Update", 1, 0), nullptr);
        m_lua.PushString("x");
        ASSERT_NE(m_lua.Call("Fail", 1, 1), nullptr);
    }
    EXPECT_STREQ(Top() == 1 ? lua_tostring(m_lua.GetState(), 1) : "", "caller's value");
    EXPECT_TRUE(Contains(m_lua.Call("Update", 0, 0), "attempt to call a nil value"));
    m_lua.PushString("y");
    EXPECT_TRUE(Contains(m_lua.Call("Fail", 1, 0), "bad y"));
    // A successful call leaves its results.
    ASSERT_EQ(m_lua.RunString("function Add(a, b) return a + b, 'done' end"), 0);
    m_lua.PushNumber(2);
    m_lua.PushNumber(40);
    EXPECT_EQ(m_lua.Call("Add", 2, 2), nullptr);
    EXPECT_EQ(lua_tonumber(m_lua.GetState(), -2) == 42 && Contains(lua_tostring(m_lua.GetState(), -1), "done") ? Top() : 0, 3);
}

// Argument checks raise inside the script; the global helpers bypass a script's strict global
// metatable; type tests follow Lua's conversions; none of them unbalance the stack.
TEST_F(LuaHost, HelpersFollowLuaAndKeepTheStack)
{
    m_lua.RegisterFunction("TakesNumber", &TakesNumber);
    ASSERT_EQ(m_lua.RunString("function Go(v) TakesNumber(v) end setmetatable(_G, {__newindex = function()"
                              " error('strict') end, __index = function() error('strict') end})"), 0);
    m_lua.PushString("not a number");
    EXPECT_TRUE(Contains(m_lua.Call("Go", 1, 0), "bad argument #1"));
    m_lua.PushString("12");
    EXPECT_EQ(m_lua.Call("Go", 1, 0), nullptr);
    int value = 5;
    m_lua.SetGlobalPointer("Here", &value);
    EXPECT_EQ(m_lua.GetGlobalPointer("Here"), &value);
    EXPECT_EQ(m_lua.GetGlobalPointer("Nowhere"), nullptr);
    EXPECT_NE(m_lua.Call("Nowhere", 0, 0), nullptr);
    EXPECT_EQ(Top(), 2); // the two values GetGlobalPointer read stay, as it promises
    lua_settop(m_lua.GetState(), 0);
    m_lua.PushString("12");
    m_lua.PushNumber(3);
    m_lua.PushBool(false);
    m_lua.PushNil();
    EXPECT_TRUE(m_lua.IsNumber(1) && m_lua.IsString(2) && m_lua.IsBool(3) && m_lua.CheckBool(2));
    EXPECT_FALSE(m_lua.IsBool(4) || m_lua.CheckBool(3) || m_lua.CheckBool(4));
    EXPECT_EQ(Top(), 4);
}

// RunFile reports each failure once, headed with the path, and keeps the stack as found.
// what, files, a fragment of the one report (null for none), the global "ran" afterwards.
struct RunFileCase { const char *what; std::map<std::string, std::string> files; const char *message, *ran; };

const RunFileCase RUN_FILE_CASES[] = {
    {"a precompiled companion is passed over",
     {{"x.lua", "ran = 'source'"},
      {"x.luac", std::string("\x1bLua\x51\x00\x01\x04\x08\x04\x08\x00garbage", 20)}},
     nullptr, "source"},
    {"a precompiled chunk is refused", {{"x.lua", std::string("\x1bLua\x51 crafted", 12)}}, "precompiled", "nil"},
    {"a syntax error names the path and line", {{"x.lua", "ran = 1\nfunction ("}}, "[string \"x.lua\"]:2:", "nil"},
    {"a runtime error keeps what ran before", {{"x.lua", "ran = 'before'\nerror('stop')\nran = 1"}}, "stop",
     "before"},
    {"a missing file", {}, "", "nil"},
};

TEST_F(LuaHost, RunFileReportsEachFailureOnce)
{
    for (const RunFileCase& c : RUN_FILE_CASES) {
        g_files = c.files;
        m_reports.clear();
        ASSERT_EQ(m_lua.RunString("ran = nil"), 0);
        m_lua.RunFile("x.lua");
        EXPECT_EQ(Eval("ran"), c.ran) << c.what;
        EXPECT_EQ(Top(), 0) << c.what;
        ASSERT_EQ(m_reports.size(), c.message != nullptr ? 1u : 0u) << c.what;
        if (c.message != nullptr) {
            EXPECT_EQ(m_reports[0].heading, "Fatal error reading file x.lua");
            EXPECT_TRUE(Contains(m_reports[0].message.c_str(), c.message)) << m_reports[0].message;
        }
    }
    EXPECT_NE(m_lua.RunString(std::string("\x1bLua\x51", 5)), 0);
}

// "require" runs the file every time; a self-requiring file stops with one report and the depth
// count unwinds, so a normal require works afterwards.
TEST_F(LuaHost, RequireRunsTheFileEveryTimeAndStopsASelfRequire)
{
    g_files = {{"count.lua", "runs = (runs or 0) + 1"}, {"loop.lua", "depth = (depth or 0) + 1\nrequire('loop.lua')"}};
    ASSERT_EQ(m_lua.RunString("require('count.lua') require('count.lua')"), 0);
    EXPECT_EQ(Eval("runs"), "2");
    EXPECT_NE(m_lua.RunString("require({})"), 0);
    EXPECT_TRUE(Contains(m_lua.GetLastError().c_str(), "bad argument #1"));
    m_lua.RunFile("loop.lua");
    EXPECT_EQ(Eval("depth"), std::to_string(Tarv::Lua::MAX_REQUIRE_DEPTH + 1));
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_TRUE(Contains(m_reports[0].message.c_str(), "nested"));
    EXPECT_EQ(Top(), 0);
    ASSERT_EQ(m_lua.RunString("require('count.lua')"), 0);
    EXPECT_EQ(Eval("runs"), "3");
}

TEST(LuaProfiler, ReportsEachCalledFunctionWhenTheStateCloses)
{
    g_messages.clear();
    {
        Tarv::Lua lua;
        lua.OpenLibrary(Tarv::Lua::LIBRARY_BASE);
        lua.StartProfiler();
        lua.RegisterFunction("TarvMsg", &CollectMessage);
        ASSERT_EQ(lua.RunString("function Work() end\nfor i = 1, 3 do Work() end"), 0);
    }
    EXPECT_TRUE(std::any_of(g_messages.begin(), g_messages.end(),
                            [](const std::string& line) { return line[0] == '[' && Contains(line.c_str(), "(Work) 3"); }));
}

// Scripts in a real temporary directory mounted into the virtual file system: a file longer than
// one 1024-byte read, a source companion preferred, a missing file reported.
TEST(LuaVfsFiles, RunFileReadsThroughTheVirtualFileSystem)
{
    const auto dir = std::filesystem::temp_directory_path() / ("brashwick-lua-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::string big = "total = 0\n";
    for (int i = 0; i < 300; ++i)
        big += "total = total + 1\n";
    for (auto [name, text] : {std::pair<const char*, std::string>{"big.lua", big}, {"x.lua", "ran = 'source'"}, {"x.luac", "ran = 'companion'"}})
        std::ofstream(dir / name) << text;
    std::vector<Tarv::LuaErrorReport> reports;
    Tarv::LuaErrorQueue::Global().Reset();
    Tarv::LuaErrorQueue::Global().SetHandler([&](const Tarv::LuaErrorReport& report) { reports.push_back(report); });
    Tarv::VfsInit();
    Tarv::VfsMountNative(dir.string() + "/", "", 0);
    {
        Tarv::Lua lua;
        lua.RunFile("big.lua");
        lua.RunFile("x.lua");
        EXPECT_EQ(lua.RunString("if total ~= 300 or ran ~= 'companion' then error('x') end"), 0);
        EXPECT_TRUE(reports.empty());
        lua.RunFile("missing.lua");
    }
    Tarv::VfsShutdown();
    std::filesystem::remove_all(dir);
    Tarv::LuaErrorQueue::Global().Reset();
    EXPECT_TRUE(reports.size() == 1 && reports[0].heading == "Fatal error reading file missing.lua");
}
