// Screens driven by real Lua scripts: every method of "Screen", "Control" and
// "TransformedSprite" called with its result checked (by the script's own asserts), the calls
// of the protocol with their arguments, failing, missing and re-entering handlers, saturated
// numbers, and a balanced Lua stack after every call.
#include "gui/Screen.h"

#include "engine/script/LuaErrorQueue.h"
#include "tests/gui/GuiWorld.h"

#include <lua.hpp>

namespace
{

class ScriptedScreen : public GuiTest::GuiWorld<>
{
protected:
    void SetUp() override
    {
        GuiWorld::SetUp();
        WriteImage("arrow.png", GuiTest::Png(16, 8, [](int x, int) {
                       return x < 8 ? std::tuple{220, 30, 30} : std::tuple{30, 180, 60};
                   }));
        Tarv::LuaErrorQueue::Global().SetHandler(
            [this](const Tarv::LuaErrorReport& report) { errors.push_back(report.message); });
    }

    void TearDown() override
    {
        screen.Reset();
        Tarv::LuaErrorQueue::Global().Reset();
        GuiWorld::TearDown();
    }

    // A screen of the layout running the script; the stack must be empty after each call.
    void Start(const char* layoutPath, const std::string& script)
    {
        screen = Tarv::MakeSmart<Plim::Screen>(layoutPath);
        ASSERT_EQ(screen->GetLua().RunString(script), 0) << lua_tostring(screen->GetLua().GetState(), -1);
        screen->Initialize();
        ExpectBalanced();
    }

    void ExpectBalanced() { EXPECT_EQ(lua_gettop(screen->GetLua().GetState()), 0); }

    std::string Global(const char* name)
    {
        lua_State* state = screen->GetLua().GetState();
        lua_getglobal(state, name);
        const char* text = lua_tostring(state, -1);
        const std::string value = text != nullptr ? text : "(nil)";
        lua_pop(state, 1);
        return value;
    }

    Tarv::SmartPtr<Plim::Screen> screen;
    std::vector<std::string> errors;
};

TEST_F(ScriptedScreen, EveryMethodAnswersAsTheLayoutAndTheCallsSay)
{
    Start("script.xml", R"(
function Screen:Initialize()
  local b, p = self:GetControl("button"), self:GetControl("plain")
  assert(b:GetName() == "button" and b:GetVisibility() == true)
  b:SetVisibility(false) assert(b:GetVisibility() == false) b:SetVisibility(true)
  p:SetVisibility(false) assert(p:GetVisibility() == true)
  assert(b:GetX() == 10 and b:GetY() == 20)
  b:SetX(3.9) assert(b:GetX() == 3) b:SetX(-3.9) assert(b:GetX() == -3)
  b:SetY(1e20) assert(b:GetY() == 2147483647) b:SetY(0/0) assert(b:GetY() == 0)
  b:SetX(-1/0) assert(b:GetX() == -2147483648)
  b:SetX(10) b:SetY(20) b:ShiftPos(1.5, -1.5) assert(b:GetX() == 11 and b:GetY() == 19)
  assert(b:GetAbsX() == 11 and b:GetAbsY() == 19 and p:GetAbsX() == 3 and p:GetAbsY() == 4)
  assert(b:GetAlpha() == 128) b:SetAlpha(64) assert(b:GetAlpha() == 64)
  p:SetAlpha(10) assert(p:GetAlpha() == 255)
  local w, h = b:GetSize()
  assert(w == 100 and h == 80 and b:GetWidth() == 100 and b:GetHeight() == 80)
  assert(select('#', b:SetX(11)) == 0)
  assert(b:GetRepresentation() == "default")
  b:SetRepresentation("spin") b:SetRepresentation("nope") assert(b:GetRepresentation() == "spin")
  assert(b:GetTouchable() == true) b:SetTouchable(false) assert(b:GetTouchable() == false)
  b:SetTouchable(0) assert(b:GetTouchable() == true)
  p:SetTouchable(true) assert(p:GetTouchable() == false)
  local arrow = b:GetControl("arrow")
  assert(arrow ~= nil and b:GetControl("arrow") == arrow)
  assert(b:GetControl("frame") == nil and b:GetControl("none") == nil and p:GetControl("arrow") == nil)
  arrow:SetAngle(1.5) assert(arrow:GetAngle() == 1.5)
  assert(arrow:GetScale() == 1) arrow:SetScale(2) assert(arrow:GetScale() == 2)
  arrow:SetPivot(4, 2) local px, py = arrow:GetPivot() assert(px == 4 and py == 2)
  assert(TransformedSprite():GetScale() == 0)
  assert(not pcall(arrow.SetPivot, arrow, 1))
  assert(self:GetControl("nobody") == nil and self:GetControl("dup"):GetX() == 1)
  assert(self:GetText("NO_SUCH_KEY") == "NO_SUCH_KEY")
  assert(self:GetTouchableControl(11.9, 19.5):GetName() == "button")
  assert(self:GetTouchableControl(10.9, 19) == nil)
  done = "yes"
end)");
    EXPECT_EQ(Global("done"), "yes");
    EXPECT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(screen->GetNamedControl("dup")->GetX(), 1) << "the earlier layer's control";
}

TEST_F(ScriptedScreen, HandlersGetTheirArgumentsInOrder)
{
    Start("script.xml", R"(
log = ""
local function add(...) for i = 1, select('#', ...) do log = log .. tostring(select(i, ...)) .. " " end log = log .. "| " end
function Screen:Initialize() add("init", self == Screen and "class" or type(self)) end
function Screen:Update(dt) add("update", dt) end
function Screen:UpdateTexts() add("texts") end
function Screen:OnKeyDown(key) add("down", key) end
function Screen:OnKeyUp(key) add("up", key) end
function Screen:OnTouchDown(x, y) add("touch", x, y) end
function Screen:OnTouchUp(x, y) add("release", x, y) end
function Screen:ShowMenu(...) add("menu", ...) end)");
    screen->Update(0.5f);
    screen->UpdateTexts();
    screen->OnKeyDown(35);
    screen->OnKeyUp(-1);
    screen->OnTouchDown(-3, 7);
    screen->OnTouchUp(4, 5);
    screen->PushNumberArg(12);
    screen->PushStringArg("level");
    screen->PushBoolArg(true);
    screen->CallScript("ShowMenu");
    screen->CallScript("ShowMenu");
    ExpectBalanced();
    EXPECT_EQ(Global("log"), "init userdata | update 0.5 | texts | down 35 | up 4294967295 | "
                             "touch -3 7 | release 4 5 | menu 12 level true | menu | ");
    EXPECT_TRUE(errors.empty());
}

TEST_F(ScriptedScreen, FailingMissingAndReenteringHandlersAreReportedAndTheNextCallWorks)
{
    Start("script.xml", R"(
calls = 0
function Screen:Update(dt)
  calls = calls + 1
  if calls == 1 then error("boom") end
  if calls == 2 then Control.GetX(self) end
  if calls == 3 then self:GetControl("button"):SetX() end
  if calls == 4 then self:GetControl() end
end
function Screen:Again(n) if n > 0 then self:Again(n - 1) end again = (again or 0) + 1 end)");
    for (int i = 0; i < 5; ++i)
        screen->Update(0.1f);
    screen->OnKeyUp(1);
    screen->PushNumberArg(3);
    screen->CallScript("Again");
    ExpectBalanced();
    EXPECT_EQ(Global("calls"), "5");
    EXPECT_EQ(Global("again"), "4");
    ASSERT_EQ(errors.size(), 6u);
    EXPECT_EQ(errors[0], "Screen missing method 'Initialize'");
    EXPECT_NE(errors[1].find("Screen:Update status = 2"), std::string::npos) << errors[1];
    EXPECT_NE(errors[1].find("boom"), std::string::npos);
    EXPECT_EQ(errors[5], "Screen missing method 'OnKeyUp'");
}

TEST_F(ScriptedScreen, AMissingLayoutGivesAnEmptyScreenThatStillRunsItsScript)
{
    Start("nowhere.xml", "function Screen:Initialize() ran = tostring(self:GetControl('x')) end");
    EXPECT_EQ(Global("ran"), "nil");
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(screen->GetLayout().GetLayers().empty());
}

} // namespace
