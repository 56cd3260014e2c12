// The shipped HUD script on a real screen with an owner that logs its commands: the bar's zone,
// tool choice, the timer, the tutorial's hint closing, and the end-of-level panels' commands.
#include "engine/core/KeyCodes.h"
#include "engine/script/LuaErrorQueue.h"
#include "framework/AssetClient.h"
#include "framework/AssetDict.h"
#include "framework/LuaArguments.h"
#include "framework/LuaComponent.h"
#include "framework/ScriptScreen.h"
#include "gui/Screen.h"
#include "platform/AbstractApp.h"
#include "gui/Messages.h"
#include "tests/game/GameWorld.h"
#include "tests/gui/GuiWorld.h"

using namespace Pirrock;

namespace
{

class Owner : public Quor::AssetClient
{
public:
    void OnLuaFeedback(const Tarv::NarrowString&, const Tarv::NarrowString& command) override
    {
        log += command + " ";
    }
    std::string log;
};

} // namespace

class HudScriptTest : public testing::Test, public GameTest::GameFiles
{
protected:
    HudScriptTest()
    {
        Tarv::VfsMountNative(std::string(BRASHWICK_SOURCE_DIR) + "/content/common/", "",
                             Tarv::VFS_MOUNT_FALL_THROUGH);
        Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
        Plim::Screen::InstallFactory();
        Tarv::LuaErrorQueue::Global().SetHandler(
            [this](const Tarv::LuaErrorReport& report) { errors.push_back(report.message); });
        // The faces that give the buttons their size; fonts and the other pictures stay missing.
        for (const auto& [name, w, h] : {std::tuple{"slot", 72, 72}, {"slot_selected", 72, 72},
                                         {"slot_empty", 72, 72}, {"pause", 72, 72}, {"gotit", 128, 72},
                                         {"btn", 180, 56}}) {
            const auto png = GuiTest::Png(w, h, [](int, int) { return std::array{9, 9, 9}; });
            Write(std::string("images/hud/") + name + ".png", std::string(png.begin(), png.end()));
        }
        Plim::SetMessageHook([](const Tarv::NarrowString&) {});
        Settings().Init("quor", "", "", true);
        Settings().SetInt("game/currentLevel", 4);
        Settings().SetInt("constants/levels_count", 30);
        for (const auto& [tool, stock] : {std::pair{"pusher", 2}, {"ladder", 0}, {"ski", 1}}) {
            Settings().SetInt(std::string("runtime/tools/") + tool, stock);
            Settings().SetInt(std::string("runtime/tools/max/") + tool, std::max(stock, 1));
        }
        Settings().SetString("runtime/activeTool", "");
    }

    ~HudScriptTest() override
    {
        owner.reset();
        Plim::SetMessageHook(nullptr);
        Tarv::LuaErrorQueue::Global().Reset();
        Quor::ScriptScreen::SetFactory(nullptr);
        Tarv::AssetDict::Instance.Reset();
    }

    void Start()
    {
        owner->RequestAsset("scripts/hud.lua");
        owner->LoadQueued();
        ASSERT_NE(owner->GetComponent("hud"), nullptr);
    }

    template <class... Args>
    void Call(const char* function, Args... values)
    {
        Quor::LuaArguments args;
        (Add(args, values), ...);
        owner->GetComponent("hud")->CallFunction(function, args);
    }
    static void Add(Quor::LuaArguments& args, int value) { args.AddInt(value); }
    static void Add(Quor::LuaArguments& args, bool value) { args.AddBool(value); }
    static void Add(Quor::LuaArguments& args, const char* value) { args.AddString(value); }

    void Tap(int x, int y)
    {
        owner->GetUpdater().OnTouchDown({Tarv::TouchPoint{x, y}});
        owner->GetUpdater().OnTouchUp({Tarv::TouchPoint{x, y}});
    }

    std::string TakeLog() { return std::exchange(owner->log, ""); }

    std::unique_ptr<Owner> owner = std::make_unique<Owner>();
    std::vector<std::string> errors;
};

// Three granted tools and pause, packed from the right in steps of 76: ski at 648, ladder at
// 572, pusher at 496; the bar at y 404.
TEST_F(HudScriptTest, TheBarsZoneAndToolChoice)
{
    Start();
    EXPECT_EQ(Settings().GetInt("runtime/tool_bar_width"), 308);
    EXPECT_EQ(Settings().GetInt("runtime/tool_bar_height"), 80);

    const std::tuple<int, const char*, const char*> taps[] = {
        {600, "", ""},                                    // the ladder has no stock
        {520, "pusher", "PlaySelectToolSound "},          // chosen
        {680, "ski", "PlaySelectToolSound "},             // another one
        {680, "", "PlaySelectToolSound "},                // the same again puts it away
        {300, "", ""},                                    // outside the bar
        {760, "", "GoToPauseMenu "},
    };
    for (const auto& [x, active, log] : taps) {
        Tap(x, 440);
        EXPECT_EQ(Settings().GetString("runtime/activeTool"), active) << x;
        EXPECT_EQ(TakeLog(), log) << x;
    }
    owner->GetUpdater().OnKeyDown(Tarv::KEY_ESCAPE);
    EXPECT_EQ(TakeLog(), "GoToPauseMenu ");
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(HudScriptTest, TheTimerCountsWholeSecondsOnlyWhileActiveAndStopsAtZero)
{
    Settings().SetInt("runtime/time", 3);
    Start();
    owner->GetUpdater().Update(5.0f);
    EXPECT_EQ(Settings().GetInt("runtime/time"), 3) << "not yet active";
    Call("ActivateTimer", true);
    for (int i = 0; i < 3; ++i)
        owner->GetUpdater().Update(0.5f);
    EXPECT_EQ(Settings().GetInt("runtime/time"), 2);
    owner->GetUpdater().Update(10.0f);
    EXPECT_EQ(Settings().GetInt("runtime/time"), 0);
    Call("ActivateTimer", false);
    Settings().SetInt("runtime/time", 7);
    owner->GetUpdater().Update(3.0f);
    EXPECT_EQ(Settings().GetInt("runtime/time"), 7);
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(HudScriptTest, AHintClosesByGotItOrByPlacingItsTool)
{
    Start();
    Call("ShowTutorialText", "IDS_TUT_1", "pusher");
    Call("AnimateTutorialTool", "pusher");
    EXPECT_EQ(Settings().GetInt("runtime/tool_bar_width"), 308 + 136) << "Got it joins the zone";
    Call("UpdateLevelData");
    EXPECT_EQ(TakeLog(), "") << "the stock has not changed";
    Settings().SetInt("runtime/tools/pusher", 1);
    Call("UpdateLevelData");
    EXPECT_EQ(TakeLog(), "DisableTutorialEvent ContinueGame ");
    EXPECT_EQ(Settings().GetInt("runtime/tool_bar_width"), 308);

    Call("ShowTutorialText", "IDS_TUT_2", "nonsense");
    Tap(800 - 308 - 60, 440);
    EXPECT_EQ(TakeLog(), "DisableTutorialEvent ContinueGame ");
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(HudScriptTest, EndPanelsSendTheirCommandOnce)
{
    Settings().SetInt("runtime/fruits/apple", 2);
    Settings().SetInt("runtime/fruits/max/apple", 2);
    Start();
    Call("ShowTapToContinue", true);
    Tap(20, 440);
    Tap(20, 440);
    EXPECT_EQ(TakeLog(), "RestartLevel ") << "one tap anywhere, once";

    Call("ShowLoseScreen", true);
    Tap(760, 440);
    Tap(400, 280);
    EXPECT_EQ(TakeLog(), "GameEnd ") << "the bar is closed behind the panel";
    EXPECT_EQ(Settings().GetString("runtime/game_end_reason"), "over");

    // Summary: Next (at 160 + 260, 66 + 266) writes auto-play; all fruit marks the level perfect.
    Call("ShowSummaryScreen", true);
    Tap(500, 350);
    EXPECT_EQ(TakeLog(), "NextLevel ");
    EXPECT_TRUE(Settings().GetBool("runtime/auto_play_next"));
    EXPECT_TRUE(Settings().GetBool("game/perfect/level4"));

    // The last level offers Finish instead (at 160 + 150).
    Settings().SetInt("constants/levels_count", 4);
    Call("ShowSummaryScreen", true);
    Tap(500, 350);
    Tap(400, 350);
    EXPECT_EQ(TakeLog(), "GameEnd ");
    EXPECT_EQ(Settings().GetString("runtime/game_end_reason"), "complete");
    EXPECT_TRUE(errors.empty()) << errors.front();
}
