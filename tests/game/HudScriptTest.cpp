// The shipped HUD from the built archives on a real GL screen, with an owner that logs its
// commands: the bar's zone, tool choice, the timer, the tutorial's hint closing, the end panels'
// commands, and two frames against their goldens (BRASHWICK_UPDATE_GOLDEN=1 rewrites them).
#include "engine/core/KeyCodes.h"
#include "framework/AssetClient.h"
#include "framework/LuaArguments.h"
#include "framework/LuaComponent.h"
#include "gui/Screen.h"
#include "platform/AbstractApp.h"
#include "tests/game/ShippedScriptTest.h"

namespace
{

class Owner : public Quor::AssetClient
{
public:
    void OnLuaFeedback(const Tarv::NarrowString&, const Tarv::NarrowString& command) override { log += command + " "; }
    std::string log;
};

} // namespace

// Level 4 of 30 with three tools granted, the ladder used up. Packed from the right in steps
// of 76 beside the pause button: ski at 648, ladder at 572, pusher at 496; the bar at y 404.
class HudTest : public GameTest::ShippedScriptTest<Owner>
{
protected:
    HudTest() : ShippedScriptTest("hud", "game.xml") {}

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ShippedScriptTest::SetUp());
        Settings().SetString("runtime/activeTool", "");
        for (const auto& [key, value] :
             {std::pair{"game/currentLevel", 4}, {"constants/levels_count", 30}, {"runtime/tools/pusher", 2},
              {"runtime/tools/max/pusher", 2}, {"runtime/tools/max/ladder", 1}, {"runtime/tools/ski", 1},
              {"runtime/tools/max/ski", 1}, {"game/lives", 3}, {"game/score", 1240}, {"runtime/time", 83},
              {"runtime/fruits/apple", 1}, {"runtime/fruits/max/apple", 3}, {"runtime/fruits/cherry", 2},
              {"runtime/fruits/max/cherry", 2}, {"runtime/level_cell_width", 64}, {"runtime/level_cell_height", 64},
              {"constants/score_fruits_apple", 10}, {"constants/score_fruits_cherry", 20},
              {"constants/score_time_multiplier", 10}, {"runtime/levelScore", 920}})
            Settings().SetInt(key, value);
        ASSERT_NO_FATAL_FAILURE(LoadScript());
    }

    template <class... Args>
    void Call(const char* function, Args... values)
    {
        Quor::LuaArguments args;
        [[maybe_unused]] auto add = [&args](auto value) {
            if constexpr (std::is_same_v<decltype(value), int>) args.AddInt(value);
            else if constexpr (std::is_same_v<decltype(value), bool>) args.AddBool(value);
            else args.AddString(value);
        };
        (add(values), ...);
        Component()->CallFunction(function, args);
    }

    void ExpectGolden(const char* name)
    {
        Screen()->ClearGrey(110);
        Component()->GetScreen()->Draw(Screen());
        Batcher()->Flush();
        const std::string path = std::string(BRASHWICK_SOURCE_DIR "/tests/game/golden/hud_") + name + ".ppm";
        const RenderTest::GoldenDiff diff = RenderTest::CompareGolden(Screen(), path, 800, 480, 4);
        ASSERT_TRUE(diff.compared) << path;
        EXPECT_LE(diff.differing, 800 * 480 / 200) << name;
        EXPECT_LE(diff.worst, 60) << name;
    }
};

TEST_F(HudTest, TheBarsZoneAndToolChoice)
{
    EXPECT_EQ(Settings().GetInt("runtime/tool_bar_width"), 308);
    EXPECT_EQ(Settings().GetInt("runtime/tool_bar_height"), 80);
    const std::tuple<int, const char*, const char*> taps[] = {
        {600, "", ""},                           // the ladder has no stock
        {520, "pusher", "PlaySelectToolSound "}, // chosen
        {680, "ski", "PlaySelectToolSound "},    // another one
        {680, "", "PlaySelectToolSound "},       // the same again puts it away
        {300, "", ""},                           // outside the bar
        {760, "", "GoToPauseMenu "},
    };
    for (const auto& [x, active, log] : taps) {
        Tap(x, 440);
        EXPECT_EQ(Settings().GetString("runtime/activeTool"), active) << x;
        EXPECT_EQ(TakeLog(), log) << x;
    }
    owner->GetUpdater().OnKeyDown(Tarv::KEY_ESCAPE);
    EXPECT_EQ(TakeLog(), "GoToPauseMenu ");
}

// The read-outs against the registry on the frame after a pickup, a death (the attempt's points
// taken back) and a restart (the level's counts at 0).
TEST_F(HudTest, TheNextFrameShowsTheRegistrysScoreFruitAndLives)
{
    struct Step {
        const char* what;
        int score, lives, apple, cherry;
    };
    const Step steps[] = {{"pickup", 1250, 3, 2, 2}, {"death", 1240, 2, 2, 2}, {"restart", 1240, 2, 0, 0},
                          {"last life", 1240, 0, 0, 0}};
    for (const Step& step : steps) {
        Settings().SetInt("game/score", step.score);
        Settings().SetInt("game/lives", step.lives);
        Settings().SetInt("runtime/fruits/apple", step.apple);
        Settings().SetInt("runtime/fruits/cherry", step.cherry);
        owner->GetUpdater().Update(0.02f);
        EXPECT_EQ(Text("score"), std::to_string(step.score)) << step.what;
        EXPECT_EQ(Text("lives"), "\u00d7" + std::to_string(step.lives)) << step.what;
        EXPECT_EQ(Text("fruit_apple_n"), std::to_string(step.apple)) << step.what;
        EXPECT_EQ(Text("fruit_cherry_n"), std::to_string(step.cherry)) << step.what;
    }
}

// The running clock shows each of its last ten seconds for the first half of it; stopped or
// above ten it stays.
TEST_F(HudTest, TheClockBlinksInItsLastTenSecondsWhileItRuns)
{
    Settings().SetInt("runtime/time", 11);
    Call("ActivateTimer", true);
    struct Step {
        float dt;
        int time;
        bool shown;
    };
    const Step steps[] = {{0.6f, 11, true}, {0.5f, 10, true}, {0.5f, 10, false}, {0.5f, 9, true},
                          {0.35f, 9, true}, {0.1f, 9, false}, {0.0f, 9, false}};
    for (const Step& step : steps) {
        owner->GetUpdater().Update(step.dt);
        EXPECT_EQ(Settings().GetInt("runtime/time"), step.time);
        EXPECT_EQ(Control("time")->IsVisible(), step.shown) << step.time << " after " << step.dt;
    }
    Call("ActivateTimer", false);
    owner->GetUpdater().Update(0.02f);
    EXPECT_TRUE(Control("time")->IsVisible()) << "a stopped clock stays";
    Settings().SetInt("runtime/time", 0);
    Call("ActivateTimer", true);
    owner->GetUpdater().Update(0.7f);
    EXPECT_TRUE(Control("time")->IsVisible()) << "0:00 stays";
}

// All eleven tools (the last level grants them) close up to 65 apart: every slot is on the
// screen, and a tap on its middle chooses its own tool, from the pusher at the left edge on.
TEST_F(HudTest, ElevenToolsAllFitTheBarAndEachSlotChoosesItsTool)
{
    const char* tools[] = {"pusher", "carrot", "bridge", "fire_extinguisher", "trampoline", "hair_dryer",
                           "boat", "ladder", "parachute", "skates", "ski"};
    for (const char* tool : tools) {
        Settings().SetInt((std::string("runtime/tools/max/") + tool).c_str(), 1);
        Settings().SetInt((std::string("runtime/tools/") + tool).c_str(), 1);
    }
    Call("UpdateLevelData");
    EXPECT_EQ(Settings().GetInt("runtime/tool_bar_width"), 800 - 9 + 4);
    for (int i = 0; i < 11; ++i) {
        const int middle = 724 - (11 - i) * 65 + 36;
        Tap(middle, 440);
        EXPECT_EQ(Settings().GetString("runtime/activeTool"), tools[i]) << middle;
        Tap(middle, 440);
        EXPECT_EQ(Settings().GetString("runtime/activeTool"), "") << middle;
    }
}

TEST_F(HudTest, TheTimerCountsWholeSecondsOnlyWhileActiveAndStopsAtZero)
{
    Settings().SetInt("runtime/time", 3);
    const std::tuple<bool, float, int> steps[] = {{false, 5.0f, 3}, {true, 0.5f, 3}, {true, 0.6f, 2},
                                                  {true, 10.0f, 0}, {false, 3.0f, 0}};
    for (const auto& [active, dt, left] : steps) {
        Call("ActivateTimer", active);
        owner->GetUpdater().Update(dt);
        EXPECT_EQ(Settings().GetInt("runtime/time"), left) << dt;
    }
}

TEST_F(HudTest, AHintClosesByGotItOrByPlacingItsTool)
{
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
}

TEST_F(HudTest, EndPanelsSendTheirCommandOnce)
{
    // "Tap to try again": the pause button pauses, any other tap restarts, and the bar takes
    // taps again at once.
    Call("ShowTapToContinue", true);
    Tap(760, 440);
    EXPECT_EQ(TakeLog(), "GoToPauseMenu ");
    owner->GetUpdater().OnKeyDown(Tarv::KEY_ESCAPE);
    EXPECT_EQ(TakeLog(), "GoToPauseMenu ");
    Tap(20, 440);
    Tap(20, 440);
    EXPECT_EQ(TakeLog(), "RestartLevel ") << "one tap anywhere, once";
    Tap(520, 440);
    EXPECT_EQ(TakeLog(), "PlaySelectToolSound ");

    Call("ShowLoseScreen", true);
    Tap(760, 440);
    Tap(400, 280);
    EXPECT_EQ(TakeLog(), "GameEnd ") << "the bar is closed behind the panel";
    EXPECT_EQ(Settings().GetString("runtime/game_end_reason"), "over");

    // Next (at 160 + 260, 66 + 266) writes auto-play; not all fruit: the level is not perfect.
    Call("ShowSummaryScreen", true);
    Tap(500, 350);
    EXPECT_EQ(TakeLog(), "NextLevel ");
    EXPECT_TRUE(Settings().GetBool("runtime/auto_play_next"));
    EXPECT_FALSE(Settings().GetBool("game/perfect/level4"));

    // A replay added nothing, and its lines say so.
    EXPECT_EQ(Text("sum_fruit"), "Fruit: 50");
    EXPECT_EQ(Text("sum_time"), "Time bonus: 830");
    Settings().SetInt("runtime/levelScore", 0);
    Call("ShowSummaryScreen", true);
    EXPECT_EQ(Text("sum_fruit"), "Fruit: 0");
    EXPECT_EQ(Text("sum_time"), "Time bonus: 0");
    EXPECT_EQ(Text("sum_level"), "Level score: 0");

    // The last level offers Finish instead (at 160 + 150).
    Settings().SetInt("constants/levels_count", 4);
    Call("ShowSummaryScreen", true);
    Tap(500, 350);
    Tap(400, 350);
    EXPECT_EQ(TakeLog(), "GameEnd ");
    EXPECT_EQ(Settings().GetString("runtime/game_end_reason"), "complete");
}

// Every label and read-out holds its text on one line inside its button or panel in each
// language, the longest read-outs and the time-out's words included.
TEST_F(HudTest, EveryLabelFitsItsButtonOrPanelInEachLanguage)
{
    for (const auto& [key, value] : {std::pair{"game/score", 99999}, {"game/currentLevel", 30}, {"runtime/time", 0},
                                     {"runtime/fruits/apple", 11}, {"runtime/fruits/max/apple", 11}})
        Settings().SetInt(key, value);
    ExpectEveryTextLineFits({[this] {
                                 Call("ShowHUD", true);
                                 Call("ShowLoseScreen", true);
                                 Call("ShowSummaryScreen", true);
                             },
                             [this] {
                                 Settings().SetInt("runtime/time", 80);
                                 Call("ShowTapToContinue", true);
                             },
                             [this] {
                                 Settings().SetInt("runtime/time", 0);
                                 Call("ShowTapToContinue", true);
                             }});
}

// The loss panel says why when it can tell: a clock at 0 ran out. Points float up over fruit
// also on a replay of a won level, whose level score stays at 0, but not while an end panel
// covers the level.
TEST_F(HudTest, TheLossSaysTimesUpAndPointsFloatWhileNoEndPanelShows)
{
    for (const auto& [time, words] : {std::pair{0, "Time's up! Tap to try again."}, {12, "Ouch! Tap to try again."}}) {
        Settings().SetInt("runtime/time", time);
        Call("ShowTapToContinue", true);
        EXPECT_EQ(Text("tap_text"), words) << time;
    }
    Call("SetFruitPointsValue", 20);
    for (const char* panel : {"ShowTapToContinue", "ShowSummaryScreen"}) {
        Call(panel, true);
        Call("UpdateFruitPoints", 300, 330, 255);
        EXPECT_FALSE(Control("fruit_points")->IsVisibleInTree()) << panel;
        Call(panel, false);
    }
    for (const int levelScore : {0, 20}) {
        Settings().SetInt("runtime/levelScore", levelScore);
        Call("SetFruitPointsValue", 20);
        Call("UpdateFruitPoints", 300, 330, 255);
        EXPECT_TRUE(Control("fruit_points")->IsVisibleInTree()) << levelScore;
        Call("UpdateFruitPoints", 300, 330, 0);
        EXPECT_FALSE(Control("fruit_points")->IsVisibleInTree()) << levelScore;
    }
}

// Points float in the world, under the HUD: a label on the hint panel leaves the panel as it
// was, one beside it shows.
TEST_F(HudTest, PointsFloatUnderTheHintPanel)
{
    Call("ShowTutorialText", "IDS_TUT_1_BRIDGE", "bridge");
    Call("SetFruitPointsValue", 10);
    const Plim::Rect panel = Control("tut_back")->GetScreenRect();
    const auto frame = [this](const Plim::Rect& area) {
        Screen()->ClearGrey(110);
        Component()->GetScreen()->Draw(Screen());
        std::vector<std::uint8_t> rgba;
        EXPECT_TRUE(RenderTest::ReadBack(Screen(), area.x, area.y, area.width, area.height, rgba));
        return rgba;
    };
    for (const auto& [onPanel, below] : {std::pair{true, panel.height / 2}, {false, panel.height + 40}}) {
        // (x, y) is the lower-left corner of the hero's cell; the label floats above its middle.
        Call("UpdateFruitPoints", panel.x + panel.width / 2 - 24, panel.y + below + 60, 255);
        const Plim::Rect label = Control("fruit_points")->GetScreenRect();
        const std::vector<std::uint8_t> shown = frame(label);
        Call("UpdateFruitPoints", 0, 0, 0);
        EXPECT_EQ(shown == frame(label), onPanel) << label.x << "," << label.y;
    }
}

TEST_F(HudTest, APickupMatchesItsGolden)
{
    Settings().SetInt("game/score", 1260);
    Settings().SetInt("runtime/fruits/cherry", 3);
    Call("SetFruitPointsValue", 20);
    Call("UpdateFruitPoints", 300, 330, 255);
    owner->GetUpdater().Update(0.02f);
    ExpectGolden("pickup");
}

TEST_F(HudTest, PlayWithAHintAndAPerfectSummaryMatchTheirGoldens)
{
    Settings().SetString("runtime/activeTool", "pusher");
    Call("UpdateLevelData");
    Call("ShowTutorialText", "Tap the pusher, then the rock beside Pirrock.", "pusher");
    Call("ShowTutorialArrow", 320, 300);
    Call("SetFruitPointsValue", 20);
    Call("UpdateFruitPoints", 120, 330, 255);
    ExpectGolden("play");

    Settings().SetInt("runtime/fruits/apple", 3);
    Call("UpdateFruitPoints", 0, 0, 0);
    Tap(800 - 308 - 60, 440);
    Call("ShowSummaryScreen", true);
    EXPECT_TRUE(Settings().GetBool("game/perfect/level4"));
    ExpectGolden("summary");
}
