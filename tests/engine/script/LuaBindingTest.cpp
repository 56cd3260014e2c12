// The class binding against real Lua 5.1: ownership through full collections, identity of
// pushed objects, metatable, tostring, script-added methods, errors and stack balance.
#include "engine/script/LuaBinding.h"

#include "engine/script/Lua.h"
#include "engine/script/LuaErrorQueue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace
{

int g_destroyed = 0;

class Widget : public Tarv::RefCounter, public Tarv::WeakRefCounter
{
public:
    ~Widget() override { ++g_destroyed; }

    int GetValue(lua_State* state) { return lua_pushinteger(state, m_value), 1; }
    int SetValue(lua_State* state) { return m_value = static_cast<int>(Tarv::Lua(state).CheckNumber(1)), 0; }
    int First(lua_State* state) { return lua_pushliteral(state, "first"), 1; }
    int Second(lua_State* state) { return lua_pushliteral(state, "second"), 1; }

    int m_value = 0;
};

int Doubled(Widget& widget, lua_State* state)
{
    return lua_pushinteger(state, widget.m_value * 2), 1;
}

class Gadget : public Widget {};

} // namespace

namespace Tarv
{

template <>
struct LuaClass<Widget>
{
    static constexpr const char* NAME = "Widget";
    static const LuaMethod<Widget> METHODS[];
};

const LuaMethod<Widget> LuaClass<Widget>::METHODS[] = {
    {"GetValue", &Widget::GetValue, nullptr},
    {"SetValue", &Widget::SetValue, nullptr},
    {"Which", &Widget::First, nullptr},
    {"Doubled", nullptr, &Doubled},
    {"Which", &Widget::Second, nullptr},
    {nullptr, nullptr, nullptr},
};

template <>
struct LuaClass<Gadget>
{
    static constexpr const char* NAME = "Gadget";
    static const LuaMethod<Gadget> METHODS[];
};

const LuaMethod<Gadget> LuaClass<Gadget>::METHODS[] = {{nullptr, nullptr, nullptr}};

} // namespace Tarv

namespace
{

using WidgetBinding = Tarv::LuaBinding<Widget>;

Tarv::SmartPtr<Widget> g_kept;

// A native function that takes a Widget argument and keeps it, as engine code would.
int Keep(lua_State* state)
{
    g_kept = WidgetBinding::Get(state, 1);
    return 0;
}

class LuaBindingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_destroyed = 0;
        Tarv::LuaErrorQueue::Global().Reset();
        m_lua = Tarv::MakeSmart<Tarv::Lua>();
        m_lua->OpenLibrary(Tarv::Lua::LIBRARY_BASE);
        m_lua->OpenLibrary(Tarv::Lua::LIBRARY_STRING);
        ASSERT_TRUE(WidgetBinding::Register(State()));
        EXPECT_EQ(lua_gettop(State()), 0);
    }

    void TearDown() override
    {
        m_lua.Reset();
        g_kept.Reset();
        Tarv::LuaErrorQueue::Global().Reset();
    }

    lua_State* State() { return m_lua->GetState(); }

    void Run(const std::string& text) { ASSERT_EQ(m_lua->RunString(text), 0) << lua_tostring(m_lua->GetState(), -1); }

    void FullCollect()
    {
        lua_gc(State(), LUA_GCCOLLECT, 0);
        lua_gc(State(), LUA_GCCOLLECT, 0);
    }

    void PushAsGlobal(Widget* widget, const char* name, bool gc = false)
    {
        WidgetBinding::Push(State(), widget, gc);
        m_lua->SetGlobal(name);
    }

    std::string GlobalString(const char* name)
    {
        lua_getglobal(State(), name);
        const char* text = lua_tostring(State(), -1);
        std::string value = text != nullptr ? text : "<nil>";
        lua_pop(State(), 1);
        return value;
    }

    Tarv::SmartPtr<Tarv::Lua> m_lua;
};

} // namespace

// Colon calls reach members and free functions; a later entry of the same name wins; the
// metatable is the class table and tostring names the class and the object.
TEST_F(LuaBindingTest, MethodsMetatableAndTostring)
{
    Tarv::SmartPtr<Widget> widget = Tarv::MakeSmart<Widget>();
    PushAsGlobal(widget.Get(), "w");
    Run("w:SetValue(21) result = w:GetValue() .. ' ' .. w:Doubled() .. ' ' .. w:Which() "
        "same = tostring(getmetatable(w) == Widget) text = tostring(w)");
    EXPECT_EQ(widget->m_value, 21);
    EXPECT_EQ(GlobalString("result"), "21 42 second");
    EXPECT_EQ(GlobalString("same"), "true");
    char expected[64];
    std::snprintf(expected, sizeof expected, "Widget (%p)", static_cast<void*>(widget.Get()));
    EXPECT_EQ(GlobalString("text"), expected);
}

TEST_F(LuaBindingTest, PushingTwiceGivesTheSameUserdataPerClass)
{
    ASSERT_TRUE(Tarv::LuaBinding<Gadget>::Register(State()));
    Tarv::SmartPtr<Gadget> gadget = Tarv::MakeSmart<Gadget>();
    const int first = WidgetBinding::Push(State(), gadget.Get(), false);
    const int second = WidgetBinding::Push(State(), gadget.Get(), false);
    const int other = Tarv::LuaBinding<Gadget>::Push(State(), gadget.Get(), false);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    EXPECT_TRUE(lua_rawequal(State(), first, second));
    EXPECT_FALSE(lua_rawequal(State(), first, other));
    EXPECT_EQ(lua_gettop(State()), 3);
}

// A script's object dies with its last reference, or with the state, unless the engine kept it.
TEST_F(LuaBindingTest, ScriptObjectDiesWithItsLastReference)
{
    m_lua->RegisterFunction("Keep", &Keep);
    Run("local a = Widget() a:SetValue(3) b = Widget.new(Widget) b:SetValue(4) "
        "local k = Widget() k:SetValue(9) Keep(k)");
    FullCollect();
    EXPECT_EQ(g_destroyed, 1);
    Run("b = nil c = Widget()");
    FullCollect();
    EXPECT_EQ(g_destroyed, 2);
    m_lua.Reset(); // closing the state frees the rest
    EXPECT_EQ(g_destroyed, 3);
    ASSERT_TRUE(g_kept);
    EXPECT_EQ(g_kept->m_value, 9);
    g_kept.Reset();
    EXPECT_EQ(g_destroyed, 4);
}

// An engine object outlives its userdata's collection and the state; once it dies, a script's
// call on it is a script error, not a dangling call.
TEST_F(LuaBindingTest, EngineObjectOutlivesTheStateAndItsDeathIsAScriptError)
{
    Tarv::SmartPtr<Widget> kept = Tarv::MakeSmart<Widget>(), dying = Tarv::MakeSmart<Widget>();
    PushAsGlobal(kept.Get(), "w");
    Run("w = nil");
    FullCollect();
    PushAsGlobal(kept.Get(), "again");
    PushAsGlobal(dying.Get(), "d");
    Run("function Poke() return d:GetValue() end");
    dying.Reset();
    ASSERT_EQ(g_destroyed, 1);
    const char* error = m_lua->Call("Poke", 0, 1);
    EXPECT_NE(std::string(error != nullptr ? error : "").find("no longer exists"), std::string::npos);
    EXPECT_EQ(lua_gettop(State()), 1);
    m_lua.Reset();
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(kept->GetRefCount(), 1);
}

TEST_F(LuaBindingTest, NewObjectAtAReusedAddressGetsAWorkingUserdata)
{
    Tarv::SmartPtr<Widget> first = Tarv::MakeSmart<Widget>();
    PushAsGlobal(first.Get(), "old");
    first.Reset();
    // The allocator often hands the same block back; either way the push must be valid.
    Tarv::SmartPtr<Widget> second = Tarv::MakeSmart<Widget>();
    second->m_value = 5;
    PushAsGlobal(second.Get(), "new");
    Run("value = new:GetValue() distinct = tostring(old ~= new)");
    EXPECT_EQ(GlobalString("value"), "5");
    EXPECT_EQ(GlobalString("distinct"), "true");
}

TEST_F(LuaBindingTest, DotInsteadOfColonIsAnArgumentError)
{
    Tarv::SmartPtr<Widget> widget = Tarv::MakeSmart<Widget>();
    PushAsGlobal(widget.Get(), "w");
    for (const char* script : {"w:SetValue('many')", "Widget.GetValue(nil)", "w:Missing()", "w.SetValue(3)"})
        EXPECT_NE(m_lua->RunString(script), 0) << script;
    const std::string error = lua_tostring(State(), -1);
    EXPECT_NE(error.find("bad argument #1"), std::string::npos) << error;
    EXPECT_EQ(widget->m_value, 0);
}

// CallMethod finds script-added methods; a failure leaves exactly one text, the reason, where
// the object and its arguments were.
TEST_F(LuaBindingTest, CallMethodFindsScriptMethodsAndLeavesTheReasonInPlaceOfTheCall)
{
    Tarv::SmartPtr<Widget> widget = Tarv::MakeSmart<Widget>();
    Run("function Widget:Fail() error('broken') end function Widget:Added(x) return self:GetValue() + x, 'ok' end");
    lua_pushliteral(State(), "mine");
    // object pushed, arguments, method, the reason left on top.
    const struct { bool object; int nargs; const char *method, *reason; } failures[] = {
        {true, 1, "Update", "Widget missing method 'Update'"},
        {true, 0, "Fail", "Widget:Fail status = 2\n[string \"function Widget:Fail() error('broken') end"},
        {false, 2, "Fail", "not a valid Widget userdata"},
    };
    for (const auto& c : failures) {
        if (c.object)
            WidgetBinding::Push(State(), widget.Get(), false);
        else
            lua_pushnil(State());
        for (int i = 0; i < c.nargs; ++i)
            lua_pushinteger(State(), i);
        EXPECT_EQ(WidgetBinding::CallMethod(State(), c.method, c.nargs, 0), -1) << c.method;
        ASSERT_EQ(lua_gettop(State()), 2) << c.method;
        const std::string reason = lua_tostring(State(), 2);
        EXPECT_EQ(reason.substr(0, std::string(c.reason).size()), c.reason);
        lua_pop(State(), 1);
    }
    widget->m_value = 40;
    WidgetBinding::Push(State(), widget.Get(), false);
    lua_pushinteger(State(), 2);
    ASSERT_EQ(WidgetBinding::CallMethod(State(), "Added", 1, 2), 2) << lua_tostring(State(), -1);
    EXPECT_EQ(lua_tointeger(State(), 2), 42);
    EXPECT_STREQ(lua_tostring(State(), 3), "ok");
    EXPECT_STREQ(lua_tostring(State(), 1), "mine");
}

TEST_F(LuaBindingTest, PushBeforeRegisterPushesNilAndReports)
{
    Tarv::Lua bare;
    Tarv::SmartPtr<Widget> widget = Tarv::MakeSmart<Widget>();
    EXPECT_EQ(WidgetBinding::Push(bare.GetState(), widget.Get(), false), 0);
    EXPECT_EQ(lua_gettop(bare.GetState()), 1);
    EXPECT_TRUE(lua_isnil(bare.GetState(), 1));
    EXPECT_EQ(WidgetBinding::Push(bare.GetState(), nullptr, false), 0);
    EXPECT_EQ(Tarv::LuaErrorQueue::Global().GetPendingCount(), 1u);
    // Get refuses nil, light and foreign userdata.
    lua_pushlightuserdata(State(), this);
    lua_newuserdata(State(), 16);
    for (int index : {1, 2})
        EXPECT_EQ(WidgetBinding::Get(State(), index), nullptr);
    EXPECT_EQ(WidgetBinding::Get(bare.GetState(), 1), nullptr);
}

