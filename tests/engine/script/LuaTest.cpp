// The script host against real Lua 5.1: the "keys" table, libraries, running strings and
// files, calls by name, "require", stack balance under failure, bytecode refusal, profiler.
#include "engine/script/Lua.h"

#include "engine/core/KeyCodes.h"
#include "engine/script/LuaErrorQueue.h"
#include "engine/vfs/Vfs.h"

#include <gtest/gtest.h>
#include <lua.hpp>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace
{

std::map<std::string, std::string>& Files()
{
    static std::map<std::string, std::string> files;
    return files;
}

bool ReadFromMap(const Tarv::NarrowString& path, std::vector<char>& contents)
{
    auto found = Files().find(path);
    if (found == Files().end())
        return false;
    contents.assign(found->second.begin(), found->second.end());
    return true;
}

class LuaHost : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Files().clear();
        Tarv::Lua::SetFileReader(&ReadFromMap);
        Tarv::LuaErrorQueue::Global().Reset();
        Tarv::LuaErrorQueue::Global().SetHandler(
            [this](const Tarv::LuaErrorReport& report) { m_reports.push_back(report); });
        // Screens open the base library before running anything.
        m_lua.OpenLibrary(Tarv::Lua::LIBRARY_BASE);
    }

    void TearDown() override
    {
        Tarv::LuaErrorQueue::Global().Reset();
        Tarv::Lua::SetFileReader(nullptr);
    }

    double GlobalNumber(const char* name)
    {
        lua_getglobal(m_lua.GetState(), name);
        const double value = lua_tonumber(m_lua.GetState(), -1);
        lua_pop(m_lua.GetState(), 1);
        return value;
    }

    std::string GlobalString(const char* name)
    {
        lua_getglobal(m_lua.GetState(), name);
        const char* value = lua_tostring(m_lua.GetState(), -1);
        std::string text = value != nullptr ? value : "<nil>";
        lua_pop(m_lua.GetState(), 1);
        return text;
    }

    Tarv::Lua m_lua;
    std::vector<Tarv::LuaErrorReport> m_reports;
};

int g_checkedNumber = 0;

int TakesNumber(lua_State* state)
{
    Tarv::Lua lua(state);
    g_checkedNumber = static_cast<int>(lua.CheckNumber(1));
    return 0;
}

std::vector<std::string> g_messages;

int CollectMessage(lua_State* state)
{
    const char* text = lua_tostring(state, 1);
    g_messages.push_back(text != nullptr ? text : "<nil>");
    return 0;
}

} // namespace

TEST(LuaState, NewStateHasKeysRequireAndTarvMsgButNoLibraries)
{
    Tarv::Lua lua;
    lua_State* state = lua.GetState();
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(lua_gettop(state), 0);
    const std::string present = " keys require TarvMsg ";
    for (const char* name : {"keys", "require", "TarvMsg", "print", "string", "table", "math",
                             "debug", "package", "io", "os"}) {
        lua_getglobal(state, name);
        EXPECT_NE(lua_isnil(state, -1), present.find(std::string(" ") + name + " ") != std::string::npos) << name;
        lua_pop(state, 1);
    }
    EXPECT_EQ(lua.RunString("TarvMsg(1, 'two', {}, nil)"), 0);
}

// The script "keys" table and the engine's key names are one table: every named code is there
// under its name, and nothing else is.
TEST_F(LuaHost, KeysTableIsTheEngineKeyTable)
{
    int named = 0;
    for (int code = 0; code < Tarv::KEY_COUNT; ++code) {
        const char* name = Tarv::GetKeyName(code);
        if (name == nullptr)
            continue;
        ++named;
        ASSERT_EQ(m_lua.RunString(std::string("value = keys.") + name), 0);
        EXPECT_EQ(GlobalNumber("value"), code) << name;
    }
    ASSERT_EQ(m_lua.RunString("count = 0 for name, code in pairs(keys) do count = count + 1 end"), 0);
    EXPECT_EQ(GlobalNumber("count"), named);
}

TEST_F(LuaHost, OpenLibraryOpensEachLibraryOnceAndIgnoresOtherFlags)
{
    m_lua.OpenLibrary(3);
    lua_getglobal(m_lua.GetState(), "table");
    EXPECT_TRUE(lua_isnil(m_lua.GetState(), -1));
    lua_pop(m_lua.GetState(), 1);

    m_lua.OpenLibrary(Tarv::Lua::LIBRARY_STRING);
    ASSERT_EQ(m_lua.RunString("string.len = nil"), 0);
    m_lua.OpenLibrary(Tarv::Lua::LIBRARY_STRING);
    ASSERT_EQ(m_lua.RunString("gone = string.len == nil"), 0);
    lua_getglobal(m_lua.GetState(), "gone");
    EXPECT_TRUE(lua_toboolean(m_lua.GetState(), -1));
    lua_pop(m_lua.GetState(), 1);
    EXPECT_EQ(lua_gettop(m_lua.GetState()), 0);
}

TEST_F(LuaHost, RunStringReportsStatusAndKeepsTheStack)
{
    lua_pushinteger(m_lua.GetState(), 7);
    EXPECT_EQ(m_lua.RunString("return 1, 2, 3"), 0);
    EXPECT_EQ(m_lua.RunString("this is not lua"), LUA_ERRSYNTAX);
    EXPECT_EQ(m_lua.RunString("error('boom')"), LUA_ERRRUN);
    EXPECT_NE(m_lua.GetLastError().find("boom"), std::string::npos);
    EXPECT_EQ(lua_gettop(m_lua.GetState()), 1);
    EXPECT_EQ(lua_tointeger(m_lua.GetState(), 1), 7);
}

TEST_F(LuaHost, CallPassesArgumentsAndLeavesResults)
{
    ASSERT_EQ(m_lua.RunString("function Add(a, b) return a + b, 'done' end"), 0);
    m_lua.PushNumber(2);
    m_lua.PushNumber(40);
    EXPECT_EQ(m_lua.Call("Add", 2, 2), nullptr);
    ASSERT_EQ(lua_gettop(m_lua.GetState()), 2);
    EXPECT_EQ(lua_tonumber(m_lua.GetState(), 1), 42);
    EXPECT_STREQ(lua_tostring(m_lua.GetState(), 2), "done");
}

TEST_F(LuaHost, FailingCallsLeaveTheStackAsFoundEvenThousandsOfTimes)
{
    ASSERT_EQ(m_lua.RunString("function Fail(x) error('bad ' .. x) end"), 0);
    lua_State* state = m_lua.GetState();
    lua_pushliteral(state, "caller's value");
    for (int frame = 0; frame < 5000; ++frame) {
        m_lua.PushNumber(frame);
        ASSERT_NE(m_lua.Call("Update", 1, 0), nullptr);
        m_lua.PushString("x");
        ASSERT_NE(m_lua.Call("Fail", 1, 1), nullptr);
    }
    EXPECT_EQ(lua_gettop(state), 1);
    EXPECT_STREQ(lua_tostring(state, 1), "caller's value");
    const char* missing = m_lua.Call("Update", 0, 0);
    ASSERT_NE(missing, nullptr);
    EXPECT_NE(std::string(missing).find("attempt to call a nil value"), std::string::npos);
    m_lua.PushString("y");
    const char* error = m_lua.Call("Fail", 1, 0);
    ASSERT_NE(error, nullptr);
    EXPECT_NE(std::string(error).find("bad y"), std::string::npos);
}

TEST_F(LuaHost, CheckNumberRaisesAnArgumentErrorInsideTheScript)
{
    m_lua.RegisterFunction("TakesNumber", &TakesNumber);
    ASSERT_EQ(m_lua.RunString("function Go(v) TakesNumber(v) end"), 0);
    m_lua.PushString("not a number");
    const char* error = m_lua.Call("Go", 1, 0);
    ASSERT_NE(error, nullptr);
    EXPECT_NE(std::string(error).find("bad argument #1"), std::string::npos);
    m_lua.PushString("12");
    EXPECT_EQ(m_lua.Call("Go", 1, 0), nullptr);
    EXPECT_EQ(g_checkedNumber, 12);
    EXPECT_EQ(lua_gettop(m_lua.GetState()), 0);
}

TEST_F(LuaHost, GlobalHelpersBypassAScriptsGlobalMetatable)
{
    ASSERT_EQ(m_lua.RunString("setmetatable(_G, {__newindex = function() error('strict') end,"
                              " __index = function() error('strict') end})"), 0);
    int value = 5;
    m_lua.SetGlobalPointer("Here", &value);
    EXPECT_EQ(m_lua.GetGlobalPointer("Here"), &value);
    EXPECT_EQ(m_lua.GetGlobalPointer("Nowhere"), nullptr);
    EXPECT_NE(m_lua.Call("Nowhere", 0, 0), nullptr);
    EXPECT_EQ(lua_gettop(m_lua.GetState()), 2);
}

TEST_F(LuaHost, TypeTestsFollowLuaConversions)
{
    m_lua.PushString("12");
    m_lua.PushNumber(3);
    m_lua.PushBool(false);
    m_lua.PushNil();
    EXPECT_TRUE(m_lua.IsNumber(1));
    EXPECT_TRUE(m_lua.IsString(2));
    EXPECT_TRUE(m_lua.IsBool(3));
    EXPECT_FALSE(m_lua.IsBool(4));
    EXPECT_FALSE(m_lua.CheckBool(3));
    EXPECT_FALSE(m_lua.CheckBool(4));
    EXPECT_TRUE(m_lua.CheckBool(2));
    EXPECT_GT(m_lua.GetMemoryKB(), 0);
    m_lua.DumpStack();
    EXPECT_EQ(lua_gettop(m_lua.GetState()), 4);
}

// RunFile reports each failure once, headed with the path, and keeps the stack as found.
struct RunFileCase {
    const char* what;
    std::map<std::string, std::string> files;
    const char* run;
    const char* message; // a fragment of the one report; null for none
    const char* ran;     // the global "ran" afterwards
};

const RunFileCase RUN_FILE_CASES[] = {
    {"a precompiled companion is passed over",
     {{"x.lua", "ran = 'source'"},
      {"x.luac", std::string("\x1bLua\x51\x00\x01\x04\x08\x04\x08\x00garbage", 20)}},
     "x.lua", nullptr, "source"},
    {"a precompiled chunk is refused", {{"x.lua", std::string("\x1bLua\x51 crafted", 12)}}, "x.lua",
     "precompiled", "<nil>"},
    {"a syntax error names the path and line", {{"x.lua", "ran = 1\nfunction ("}}, "x.lua",
     "[string \"x.lua\"]:2:", "<nil>"},
    {"a runtime error keeps what ran before", {{"x.lua", "ran = 'before'\nerror('stop')\nran = 1"}},
     "x.lua", "stop", "before"},
    {"a missing file", {}, "x.lua", "", "<nil>"},
};

TEST_F(LuaHost, RunFileReportsEachFailureOnce)
{
    for (const RunFileCase& c : RUN_FILE_CASES) {
        Files() = c.files;
        m_reports.clear();
        ASSERT_EQ(m_lua.RunString("ran = nil"), 0);
        m_lua.RunFile(c.run);
        EXPECT_EQ(GlobalString("ran"), c.ran) << c.what;
        EXPECT_EQ(lua_gettop(m_lua.GetState()), 0) << c.what;
        ASSERT_EQ(m_reports.size(), c.message != nullptr ? 1u : 0u) << c.what;
        if (c.message != nullptr) {
            EXPECT_EQ(m_reports[0].heading, std::string("Fatal error reading file ") + c.run);
            EXPECT_NE(m_reports[0].message.find(c.message), std::string::npos) << m_reports[0].message;
        }
    }
    EXPECT_NE(m_lua.RunString(std::string("\x1bLua\x51", 5)), 0);
}

TEST_F(LuaHost, RequireRunsTheFileEveryTime)
{
    Files()["count.lua"] = "runs = (runs or 0) + 1";
    ASSERT_EQ(m_lua.RunString("require('count.lua') require('count.lua')"), 0);
    EXPECT_EQ(GlobalNumber("runs"), 2);
    EXPECT_NE(m_lua.RunString("require({})"), 0);
    EXPECT_NE(m_lua.GetLastError().find("bad argument #1"), std::string::npos);
}

TEST_F(LuaHost, SelfRequireStopsWithOneReport)
{
    Files()["loop.lua"] = "depth = (depth or 0) + 1\nrequire('loop.lua')";
    m_lua.RunFile("loop.lua");
    EXPECT_EQ(GlobalNumber("depth"), Tarv::Lua::MAX_REQUIRE_DEPTH + 1);
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].message.find("nested"), std::string::npos);
    EXPECT_EQ(lua_gettop(m_lua.GetState()), 0);
    // The depth count unwound: a normal require still works afterwards.
    Files()["ok.lua"] = "ok = 1";
    ASSERT_EQ(m_lua.RunString("require('ok.lua')"), 0);
    EXPECT_EQ(GlobalNumber("ok"), 1);
}

TEST(LuaEnumTable, BuildsSourceAndRunsIt)
{
    Tarv::NarrowString source;
    Tarv::Lua::BeginEnumTable(source, "colors");
    Tarv::Lua::AddEnumEntry(source, "RED", 1);
    Tarv::Lua::AddEnumEntry(source, "DARK", -2);
    Tarv::Lua lua;
    lua.RunEnumTable(source);
    EXPECT_EQ(source, "colors={RED=1,DARK=-2,}");
    ASSERT_EQ(lua.RunString("value = colors.DARK"), 0);
    lua_getglobal(lua.GetState(), "value");
    EXPECT_EQ(lua_tonumber(lua.GetState(), -1), -2);
}

TEST(LuaBorrowing, WrapperNeverClosesTheState)
{
    lua_State* state = luaL_newstate();
    {
        Tarv::Lua borrowed(state);
        EXPECT_TRUE(borrowed.IsBorrowed());
        borrowed.PushNumber(3);
    }
    EXPECT_EQ(lua_tonumber(state, 1), 3);
    lua_close(state);
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
    bool found = false;
    for (const std::string& line : g_messages)
        found = found || (line.find("(Work) 3") != std::string::npos && line[0] == '[');
    EXPECT_TRUE(found) << (g_messages.empty() ? "no lines" : g_messages[0]);
}

namespace
{

// Scripts in a real temporary directory mounted into the virtual file system.
class LuaVfsFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_dir);
        Tarv::VfsInit();
        Tarv::VfsMountNative(m_dir.string() + "/", "", 0);
        Tarv::LuaErrorQueue::Global().Reset();
        Tarv::LuaErrorQueue::Global().SetHandler(
            [this](const Tarv::LuaErrorReport& report) { m_reports.push_back(report); });
    }
    void TearDown() override
    {
        Tarv::VfsShutdown();
        std::filesystem::remove_all(m_dir);
        Tarv::LuaErrorQueue::Global().Reset();
    }
    void Write(const std::string& name, const std::string& text) { std::ofstream(m_dir / name) << text; }

    const std::filesystem::path m_dir =
        std::filesystem::temp_directory_path() / ("brashwick-lua-" + std::to_string(getpid()));
    std::vector<Tarv::LuaErrorReport> m_reports;
};

} // namespace

TEST_F(LuaVfsFiles, RunFileReadsThroughTheVirtualFileSystem)
{
    std::string big = "total = 0\n";
    // Longer than one 1024-byte read.
    for (int i = 0; i < 300; ++i)
        big += "total = total + 1\n";
    Write("big.lua", big);
    Write("x.lua", "ran = 'source'");
    Write("x.luac", "ran = 'companion'");
    Tarv::Lua lua;
    lua.RunFile("big.lua");
    lua.RunFile("x.lua");
    ASSERT_EQ(lua.RunString("if total ~= 300 or ran ~= 'companion' then error('x') end"), 0);
    EXPECT_TRUE(m_reports.empty());
    lua.RunFile("missing.lua");
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_EQ(m_reports[0].heading, "Fatal error reading file missing.lua");
}
