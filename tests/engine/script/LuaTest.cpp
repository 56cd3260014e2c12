// The script host against real Lua 5.1: the "keys" table, libraries, running strings and
// files, calls by name, "require", what runs and calls leave on the stack, bytecode refusal, profiler.
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

// What a run or a call leaves above the caller's value: a string to run (call null) or a
// global to call with the numbers given, the status (Call: 0 for null), and the values left,
// compared whole on success and as a fragment of the one error text on failure.
struct StackCase { const char *run, *call; std::vector<double> args; int nresults, status; std::vector<std::string> left; };

const StackCase STACK_CASES[] = {
    {"return 1, 2, 3", nullptr, {}, 0, 0, {"1", "2", "3"}},
    {"x = 1", nullptr, {}, 0, 0, {}},
    {"this is not lua", nullptr, {}, 0, LUA_ERRSYNTAX, {"[string \"this is not lua\"]:1:"}},
    {"error('boom')", nullptr, {}, 0, LUA_ERRRUN, {"boom"}},
    {"\x1bLua\x51", nullptr, {}, 0, LUA_ERRSYNTAX, {"precompiled"}},
    {nullptr, "Add", {2, 40}, 2, 0, {"42", "done"}},
    {nullptr, "Add", {2, 40}, 0, 0, {}},
    {nullptr, "Add", {2}, 1, 1, {"arithmetic on local 'b'"}},
    {nullptr, "Missing", {7}, 1, 1, {"attempt to call a nil value"}},
    {nullptr, "Five", {}, 0, 1, {"attempt to call a number value"}},
    // A failure whose error value is no text still reads as a failure.
    {nullptr, "Throws", {}, 0, 1, {"(error with no message)"}},
};

TEST_F(LuaHost, RunsAndCallsLeaveTheirResultsOrErrorTextOnTheStack)
{
    ASSERT_EQ(m_lua.RunString("Five = 5 function Add(a, b) return a + b, 'done' end "
                              "function Throws() error({}) end"), 0);
    for (const StackCase& c : STACK_CASES) {
        const std::string what = c.run != nullptr ? c.run : c.call;
        lua_settop(m_lua.GetState(), 0);
        lua_pushliteral(m_lua.GetState(), "caller's value");
        if (c.run != nullptr) {
            EXPECT_EQ(m_lua.RunString(c.run), c.status) << what;
        } else {
            for (double arg : c.args)
                m_lua.PushNumber(arg);
            const char* error = m_lua.Call(c.call, int(c.args.size()), c.nresults);
            EXPECT_EQ(error != nullptr, c.status != 0) << what;
            // The text returned is the one on the stack.
            EXPECT_EQ(error, c.status != 0 ? lua_tostring(m_lua.GetState(), -1) : nullptr) << what;
        }
        ASSERT_EQ(Top(), 1 + int(c.left.size())) << what;
        EXPECT_STREQ(lua_tostring(m_lua.GetState(), 1), "caller's value") << what;
        for (std::size_t i = 0; i < c.left.size(); ++i) {
            const char* value = lua_tostring(m_lua.GetState(), int(i) + 2);
            if (c.status == 0)
                EXPECT_STREQ(value, c.left[i].c_str()) << what;
            else
                EXPECT_TRUE(Contains(value, c.left[i].c_str())) << what << ": " << value;
        }
    }
    // A string is run up to its first zero byte, as Lua's own string loader does.
    lua_settop(m_lua.GetState(), 0);
    EXPECT_EQ(m_lua.RunString(std::string("return 7\0 not lua", 17)), 0);
    EXPECT_STREQ(Top() == 1 ? lua_tostring(m_lua.GetState(), 1) : "", "7");
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
    lua_settop(m_lua.GetState(), 0);
    m_lua.PushString("12");
    EXPECT_EQ(m_lua.Call("Go", 1, 0), nullptr);
    int value = 5;
    m_lua.SetGlobalPointer("Here", &value);
    EXPECT_EQ(m_lua.GetGlobalPointer("Here"), &value);
    EXPECT_EQ(m_lua.GetGlobalPointer("Nowhere"), nullptr);
    EXPECT_NE(m_lua.Call("Nowhere", 0, 0), nullptr);
    EXPECT_EQ(Top(), 3); // the two values GetGlobalPointer read stay, as it promises, and the error
    lua_settop(m_lua.GetState(), 0);
    m_lua.PushString("12");
    m_lua.PushNumber(3);
    m_lua.PushBool(false);
    m_lua.PushNil();
    EXPECT_TRUE(m_lua.IsNumber(1) && m_lua.IsString(2) && m_lua.IsBool(3) && m_lua.CheckBool(2));
    EXPECT_FALSE(m_lua.IsBool(4) || m_lua.CheckBool(3) || m_lua.CheckBool(4));
    EXPECT_EQ(Top(), 4);
}

// RunFile reports each failure once, headed with the path, and leaves the chunk's results or its
// error text on the stack.
// what, files, a fragment of the one report (null for none), the global "ran" afterwards, the
// number of values left on the stack.
struct RunFileCase { const char *what; std::map<std::string, std::string> files; const char *message, *ran; int left; };

const RunFileCase RUN_FILE_CASES[] = {
    {"a precompiled companion is passed over",
     {{"x.lua", "ran = 'source'"},
      {"x.luac", std::string("\x1bLua\x51\x00\x01\x04\x08\x04\x08\x00garbage", 20)}},
     nullptr, "source", 0},
    {"a precompiled chunk is refused", {{"x.lua", std::string("\x1bLua\x51 crafted", 12)}}, "precompiled", "nil", 0},
    {"a syntax error names the path and line", {{"x.lua", "ran = 1\nfunction ("}}, "[string \"x.lua\"]:2:", "nil", 1},
    {"a runtime error keeps what ran before", {{"x.lua", "ran = 'before'\nerror('stop')\nran = 1"}}, "stop",
     "before", 1},
    {"the results stay", {{"x.lua", "ran = 'all'\nreturn 1, 2"}}, nullptr, "all", 2},
    {"a missing file", {}, "", "nil", 0},
};

TEST_F(LuaHost, RunFileReportsEachFailureOnce)
{
    for (const RunFileCase& c : RUN_FILE_CASES) {
        g_files = c.files;
        m_reports.clear();
        ASSERT_EQ(m_lua.RunString("ran = nil"), 0);
        m_lua.RunFile("x.lua");
        EXPECT_EQ(Top(), c.left) << c.what;
        if (c.message != nullptr && c.left == 1) {
            EXPECT_TRUE(Contains(lua_tostring(m_lua.GetState(), -1), c.message)) << c.what;
        }
        lua_settop(m_lua.GetState(), 0);
        EXPECT_EQ(Eval("ran"), c.ran) << c.what;
        ASSERT_EQ(m_reports.size(), c.message != nullptr ? 1u : 0u) << c.what;
        if (c.message != nullptr) {
            EXPECT_EQ(m_reports[0].heading, "Fatal error reading file x.lua");
            EXPECT_TRUE(Contains(m_reports[0].message.c_str(), c.message)) << m_reports[0].message;
        }
    }
}

// "require" runs the file every time; a self-requiring file stops with one report and the depth
// count unwinds, so a normal require works afterwards.
TEST_F(LuaHost, RequireRunsTheFileEveryTimeAndStopsASelfRequire)
{
    g_files = {{"count.lua", "runs = (runs or 0) + 1"}, {"loop.lua", "depth = (depth or 0) + 1\nrequire('loop.lua')"}};
    ASSERT_EQ(m_lua.RunString("require('count.lua') require('count.lua')"), 0);
    EXPECT_EQ(Eval("runs"), "2");
    EXPECT_NE(m_lua.RunString("require({})"), 0);
    EXPECT_TRUE(Contains(lua_tostring(m_lua.GetState(), -1), "bad argument #1"));
    lua_settop(m_lua.GetState(), 0);
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

// Scripts in a real temporary directory mounted into the virtual file system: a file of many
// 1024-byte reads and more than 16 MiB runs whole, a companion preferred, a missing file reported.
TEST(LuaVfsFiles, RunFileReadsThroughTheVirtualFileSystem)
{
    const auto dir = std::filesystem::temp_directory_path() / ("brashwick-lua-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::string big = "total = 0\n--" + std::string(17u << 20, 'x') + "\n";
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
