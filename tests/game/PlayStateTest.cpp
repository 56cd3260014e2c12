// The play state on the fixture level with a logging HUD script: what it loads and releases,
// entering and leaving with a hint pending, restarting, taps on the tool bar and beside the
// grid, and commands and input before anything is loaded or with values that are not numbers.
#include "game/Director.h"
#include "game/Hud.h"
#include "game/PlayState.h"
#include "gui/Screen.h"
#include "platform/AbstractApp.h"
#include "tests/game/GameWorld.h"

#include <limits>

using namespace Pirrock;

namespace
{

Quor::TouchPoints At(int x, int y)
{
    return {Tarv::TouchPoint{x, y}};
}

} // namespace

class PlayStateTest : public testing::Test, public GameTest::GameFiles
{
protected:
    PlayStateTest()
    {
        Quor::ScriptScreen::SetFactory(nullptr);
        Plim::Screen::InstallFactory();
        Settings().Init("quor", "", "", true);
        Settings().SetInt(PlayState::LEVEL_KEY, 1);
        Settings().SetBool("dev/atlas_1024", false);
        for (const auto& [key, value] : {std::pair<const char*, int>{"/machine/resolution/x", 800},
                                         {"/machine/resolution/y", 480}, {"runtime/tool_bar_width", 100},
                                         {"runtime/tool_bar_height", 80}})
            Tarv::Registry::Instance->SetInt(key[0] == '/' ? key : (std::string("/quor/") + key).c_str(), value);
    }

    ~PlayStateTest() override
    {
        play.Reset();
        Quor::ScriptScreen::SetFactory(nullptr);
    }

    std::string TakeLog()
    {
        Tarv::NarrowString text;
        Tarv::Registry::Instance->GetString("/test/log", text);
        Tarv::Registry::Instance->SetString("/test/log", "");
        return text;
    }

    bool IsCameraPaused()
    {
        for (Quor::Process* process : play->GetProcessManager().GetItems()) {
            if (process->GetName() == "camera movement")
                return process->IsPaused();
        }
        return false;
    }

    Tarv::SmartPtr<PlayState> play = Tarv::MakeSmart<PlayState>();
};

TEST_F(PlayStateTest, LoadsEntersHoldsAHintAcrossThePauseMenuRestartsAndReleases)
{
    ASSERT_TRUE(play->LoadNow());
    EXPECT_EQ(play->GetLoadedAtlases(),
              (std::vector<Tarv::NarrowString>{"game.xml", "anim.xml", "tiles1.xml", "back1.xml"}));
    ASSERT_TRUE(World::Instance && Pirrock::Pirrock::GetInstance());
    play->Enter();
    EXPECT_EQ(TakeLog(), "ShowHUD:true ActivateTimer:true ");
    EXPECT_EQ(Settings().GetString("runtime/currentGameState"), "playState");

    // A hint, then the pause menu and back: the hint still holds play, the camera keeps moving.
    play->SetPaused(true, PlayState::PAUSE_TUTORIAL);
    play->Leave();
    play->Enter();
    EXPECT_EQ(play->GetPauseReasons(), PlayState::PAUSE_TUTORIAL);
    EXPECT_TRUE(play->GetDirector()->IsPaused());
    EXPECT_FALSE(IsCameraPaused());
    play->GetHud()->OnLuaFeedback("hud", "ContinueGame");
    EXPECT_FALSE(play->GetDirector()->IsPaused());
    EXPECT_EQ(TakeLog(), "ActivateTimer:false ShowHUD:false ActivateTimer:false ShowHUD:true ActivateTimer:false "
                         "ActivateTimer:true ");

    const World* before = World::Instance.Get();
    play->GetHud()->OnLuaFeedback("hud", "RestartLevel");
    EXPECT_NE(World::Instance.Get(), before);
    EXPECT_EQ(TakeLog(), "UpdateLevelData ");

    play.Reset();
    EXPECT_FALSE(Pirrock::Pirrock::GetInstance());
    EXPECT_FALSE(World::Instance);
}

TEST_F(PlayStateTest, TapsOnTheToolBarAreLeftToTheHudAndTapsBesideTheGridOnlyClearTheSelection)
{
    ASSERT_TRUE(play->LoadNow());
    play->Enter();
    play->GetDirector()->SetState(STATE_RUNNING);
    TakeLog();
    Settings().SetString("runtime/activeTool", "ladder");
    play->OnTouchDown(At(700, 400));
    play->OnTouchDown({});
    EXPECT_EQ(TakeLog(), "");
    EXPECT_EQ(Settings().GetString("runtime/activeTool"), "ladder");
    EXPECT_EQ(play->UseToolAt({-5, 99}), ToolUseResult::NoTool);
    EXPECT_EQ(TakeLog(), "UpdateLevelData ");
    EXPECT_EQ(Settings().GetString("runtime/activeTool"), "");
}

TEST_F(PlayStateTest, CommandsAndInputBeforeLoadOrNotNumbersChangeNothing)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int loaded = 0; loaded < 2; ++loaded) {
        if (loaded == 1) {
            ASSERT_TRUE(play->LoadNow());
        }
        // Before the load there is no HUD to send them; after it, names in another case or
        // empty do nothing.
        for (const char* command : {"ContinueGame", "DisableTutorialEvent", "RestartLevel", "PlaySelectToolSound",
                                    "gotopausemenu", "GAMEEND", ""}) {
            if (Hud* hud = play->GetHud())
                hud->OnLuaFeedback("hud", command);
        }
        play->OnTouchDown(At(1, 1));
        play->OnAccelerometer(nan, 0.0f, 0.0f);
        play->UpdateState(nan);
        play->ShowFruitPoints(50);
        play->UpdateState(std::numeric_limits<float>::infinity());
        play->MovePirrockBy(nan, 0.0f);
    }
    EXPECT_EQ(play->GetPauseReasons(), 0u);
    EXPECT_FALSE(Settings().GetBool("game/gameEnd"));
    play->GetHud()->OnLuaFeedback("hud", "GameEnd");
    EXPECT_TRUE(Settings().GetBool("game/gameEnd"));
}

TEST_F(PlayStateTest, ALevelLostThenWonAddsExactlyTheWonAttemptsPoints)
{
    Settings().SetInt("game/levels/level1", 1);
    for (const auto& [key, value] : {std::pair<const char*, int>{"game/score", 100}, {"game/lives", 3},
                                     {"constants/score_fruits_apple", 10}, {"constants/levels_count", 30},
                                     {"constants/score_time_multiplier", 10}})
        Settings().SetInt(key, value);
    ASSERT_TRUE(play->LoadNow());
    play->Enter();
    Director& director = *play->GetDirector();
    // Two attempts take the same apple; the first ends at a rock.
    for (int attempt = 0; attempt < 2; ++attempt) {
        director.SetState(STATE_RUNNING);
        director.HandleTrigger(42);
        EXPECT_EQ(Settings().GetInt("game/score"), 110) << attempt;
        if (attempt == 0) {
            director.EnterTrap(19);
            director.SetState(STATE_DEAD);
            EXPECT_EQ(Settings().GetInt("game/score"), 100);
            play->GetHud()->OnLuaFeedback("hud", "RestartLevel");
        }
    }
    Settings().SetInt("runtime/time", 5);
    director.HandleTrigger(12);
    EXPECT_EQ(Settings().GetInt("game/score"), 100 + 10 + 50);
    EXPECT_EQ(Settings().GetInt("runtime/levelScore"), 10 + 50);
    EXPECT_EQ(Settings().GetInt("game/lives"), 2);
}

TEST_F(PlayStateTest, ARestartUnderAHintClosesItAndRunsUnlessTheDeveloperPauseHolds)
{
    ASSERT_TRUE(play->LoadNow());
    play->Enter();
    struct Case {
        unsigned before, after;
        const char* log;
    };
    for (const Case& c : {Case{PlayState::PAUSE_TUTORIAL, 0, "HideTutorial UpdateLevelData "},
                          Case{PlayState::PAUSE_TUTORIAL | PlayState::PAUSE_DEVELOPER, PlayState::PAUSE_DEVELOPER,
                               "HideTutorial UpdateLevelData "},
                          Case{PlayState::PAUSE_DEVELOPER, PlayState::PAUSE_DEVELOPER, "UpdateLevelData "}}) {
        play->SetPaused(true, c.before);
        TakeLog();
        play->RestartLevel();
        EXPECT_EQ(play->GetPauseReasons(), c.after) << c.before;
        EXPECT_EQ(play->GetDirector()->IsPaused(), c.after != 0) << c.before;
        EXPECT_EQ(Pirrock::Pirrock::GetInstance()->frozen, c.after != 0) << c.before;
        EXPECT_FALSE(IsCameraPaused()) << c.before;
        EXPECT_EQ(TakeLog(), c.log) << "the clock waits for the run";
        play->SetPaused(false, PlayState::PAUSE_TUTORIAL | PlayState::PAUSE_DEVELOPER);
    }
}
