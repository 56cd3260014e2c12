// The "Registry" script class through real scripts: "Set" coercions, "Get" results, bad
// arguments, the published global and its lifetime, and use from a second thread.
#include "engine/script/RegistryScript.h"

#include "engine/core/Any.h"
#include "engine/script/Lua.h"
#include "engine/script/LuaErrorQueue.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <thread>

namespace
{

class RegistryScriptTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_registry = Tarv::MakeSmart<Tarv::Registry>();
        m_lua.OpenLibrary(Tarv::Lua::LIBRARY_BASE);
        ASSERT_TRUE(Tarv::RegistryScript::Publish(m_lua, m_registry.Get()));
        EXPECT_EQ(lua_gettop(m_lua.GetState()), 0);
    }

    void Run(const std::string& text)
    {
        ASSERT_EQ(m_lua.RunString(text), 0) << lua_tostring(m_lua.GetState(), -1);
    }

    std::string GlobalText(const char* name)
    {
        Run(std::string("text = tostring(") + name + ") .. ':' .. type(" + name + ")");
        lua_getglobal(m_lua.GetState(), "text");
        std::string value = lua_tostring(m_lua.GetState(), -1);
        lua_pop(m_lua.GetState(), 1);
        return value;
    }

    Tarv::SmartPtr<Tarv::Registry> m_registry;
    Tarv::Lua m_lua;
};

struct SetCase
{
    const char* value;
    const char* expected; // "int:N", "string:S", "bool:B" or "refused"
};

void PrintTo(const SetCase& c, std::ostream* out)
{
    *out << c.value << " -> " << c.expected;
}

class RegistryScriptSet : public RegistryScriptTest, public ::testing::WithParamInterface<SetCase>
{
};

} // namespace

TEST_P(RegistryScriptSet, CoercesTheValue)
{
    const SetCase& c = GetParam();
    Run(std::string("stored = registry:Set('/t/k', ") + c.value + ")");
    Tarv::Any value;
    const bool exists = m_registry->GetValue("/t/k", value);
    const std::string expected = c.expected;
    if (expected == "refused") {
        EXPECT_EQ(GlobalText("stored"), "false:boolean");
        EXPECT_FALSE(exists);
        return;
    }
    EXPECT_EQ(GlobalText("stored"), "true:boolean");
    ASSERT_TRUE(exists);
    if (expected.rfind("int:", 0) == 0) {
        ASSERT_TRUE(value.Holds<int>());
        EXPECT_EQ(std::to_string(*value.Get<int>()), expected.substr(4));
    } else if (expected.rfind("string:", 0) == 0) {
        ASSERT_TRUE(value.Holds<Tarv::NarrowString>());
        EXPECT_EQ(*value.Get<Tarv::NarrowString>(), expected.substr(7));
    } else {
        ASSERT_TRUE(value.Holds<bool>());
        EXPECT_EQ(*value.Get<bool>() ? "bool:true" : "bool:false", expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Values, RegistryScriptSet,
    ::testing::Values(SetCase{"2.9", "int:2"}, SetCase{"-2.9", "int:-2"},
        SetCase{"'12'", "int:12"}, SetCase{"' 7 '", "int:7"}, SetCase{"'abc'", "string:abc"},
        SetCase{"'12abc'", "string:12abc"}, SetCase{"''", "string:"},
        SetCase{"true", "bool:true"}, SetCase{"false", "bool:false"},
        SetCase{"1e300", "int:2147483647"},
        SetCase{"-1e300", "int:-2147483648"}, SetCase{"nil", "refused"},
        SetCase{"0/0", "refused"}, SetCase{"{}", "refused"}, SetCase{"print", "refused"}));

TEST_F(RegistryScriptTest, GetReturnsTheKeysTypeOrNil)
{
    m_registry->SetInt("/a/b", 5);
    m_registry->SetBool("/a/on", true);
    ASSERT_NE(m_registry->FindKey("/a/unset", true), nullptr);
    Run("n = registry:Get('/a/b') f = registry:Get('/a/on') m = registry:Get('/a/none')"
        " r = registry:Get('relative') u = registry:Get('/a/unset')");
    EXPECT_EQ(GlobalText("n"), "5:number");
    EXPECT_EQ(GlobalText("f"), "true:boolean");
    for (const char* name : {"m", "r", "u"})
        EXPECT_EQ(GlobalText(name), "nil:nil") << name;
    m_registry->SetString("/a/b", "x");
    Run("s = registry:Get('/a/b')");
    EXPECT_EQ(GlobalText("s"), "x:string");
}

TEST_F(RegistryScriptTest, RefusedPathsGiveFalseAndBadArgumentsAreScriptErrors)
{
    Run("a = registry:Set('/x', 1) or registry:Set('a/b', 1) or registry:Set('/machine/extra/k', 1)");
    EXPECT_EQ(GlobalText("a"), "false:boolean");
    // Each failure leaves its error text on the stack.
    EXPECT_NE(m_lua.RunString("registry:Get({})"), 0);
    // Numbered as the script wrote the call, not counting the object.
    EXPECT_NE(std::string(lua_tostring(m_lua.GetState(), -1))
                  .find("bad argument #1 to 'Get' (string expected, got table)"),
        std::string::npos) << lua_tostring(m_lua.GetState(), -1);
    EXPECT_NE(m_lua.RunString("registry:Set(nil, 1)"), 0);
    EXPECT_NE(m_lua.RunString("registry.Get('/a/b')"), 0);
    EXPECT_NE(std::string(lua_tostring(m_lua.GetState(), -1)).find("bad argument #1"), std::string::npos);
    EXPECT_EQ(lua_gettop(m_lua.GetState()), 3);
}

// The global is the registry object, and scripts keep it alive until the state closes.
TEST_F(RegistryScriptTest, ScriptsKeepTheRegistryAliveUntilTheStateCloses)
{
    Tarv::LuaBinding<Tarv::Registry>::Push(m_lua.GetState(), m_registry.Get(), false);
    m_lua.SetGlobal("again");
    Run("same = registry == again and getmetatable(registry) == Registry");
    EXPECT_EQ(GlobalText("same"), "true:boolean");
    Tarv::Registry* registry = m_registry.Get();
    m_registry.Reset();
    lua_gc(m_lua.GetState(), LUA_GCCOLLECT, 0);
    Run("ok = registry:Set('/still/here', 3)");
    int value = 0;
    EXPECT_TRUE(registry->GetInt("/still/here", value));
    EXPECT_EQ(value, 3);
}

TEST(RegistryScriptThreads, LoaderAndMainScriptsShareTheRegistry)
{
    Tarv::SmartPtr<Tarv::Registry> registry = Tarv::MakeSmart<Tarv::Registry>();
    auto work = [&registry](const char* prefix) {
        Tarv::Lua lua;
        lua.OpenLibrary(Tarv::Lua::LIBRARY_BASE);
        Tarv::RegistryScript::Publish(lua, registry.Get());
        lua.RunString(std::string("for i = 1, 500 do registry:Set('/runtime/") + prefix
            + "' .. i, i) registry:Get('/runtime/other') end");
    };
    std::thread loader(work, "loader");
    work("main");
    loader.join();
    int value = 0;
    EXPECT_TRUE(registry->GetInt("/runtime/loader500", value));
    EXPECT_TRUE(registry->GetInt("/runtime/main500", value));
}
