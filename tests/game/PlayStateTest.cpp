// The play state on the fixture level with a logging HUD script: what it loads and releases,
// entering and leaving with a hint pending, restarting, taps on the tool bar and beside the
// grid, and commands and input before anything is loaded or with values that are not numbers.
#include "game/Director.h"
#include "game/PlayState.h"
#include "gui/Screen.h"
#include "scene/Camera.h"
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
    play->OnLuaFeedback("hud", "ContinueGame");
    EXPECT_FALSE(play->GetDirector()->IsPaused());
    EXPECT_EQ(TakeLog(), "ActivateTimer:false ShowHUD:false ActivateTimer:false ShowHUD:true ActivateTimer:false "
                         "ActivateTimer:true ");

    const World* before = World::Instance.Get();
    play->OnLuaFeedback("hud", "RestartLevel");
    EXPECT_NE(World::Instance.Get(), before);
    EXPECT_EQ(TakeLog(), "UpdateLevelData ");

    play.Reset();
    EXPECT_FALSE(Pirrock::Pirrock::GetInstance());
    EXPECT_FALSE(World::Instance);
}

// The camera keeps easing while a hint holds play; the arrow is put back on its cell every frame
// until the hint closes.
TEST_F(PlayStateTest, AHintsArrowStaysOnItsCellWhileTheCameraMovesUnderIt)
{
    Write("tutorials/1.xml", "<tutorial><event x=\"5\" y=\"4\"><text>IDS_T</text><arrow x=\"2\" y=\"4\"/>"
                             "</event></tutorial>");
    Settings().SetInt("game/levels/level1", 1);
    ASSERT_TRUE(play->LoadNow());
    play->Enter();
    play->GetDirector()->SetState(STATE_RUNNING);
    Vund::Camera* camera = Vund::Camera::GetActive();
    camera->SetPosition({200.0f, 100.0f, 400.0f}, false);
    auto arrowAt = [camera] {
        const Vund::ScreenPoint p = camera->WorldToScreen(World::Instance->CellToWorld({2, 4}));
        return "ShowTutorialArrow:" + std::to_string(p.x) + ":" + std::to_string(p.y) + " ";
    };
    TakeLog();
    play->OnCellChecked({5, 4});
    const std::string first = arrowAt();
    EXPECT_EQ(TakeLog(), "ShowTutorialText:IDS_T " + first + "ActivateTimer:false ");
    for (float dx : {30.0f, -7.0f, 0.0f}) {
        camera->MoveBy({dx, 0.0f, 0.0f}, false);
        play->UpdateState(0.02f);
        EXPECT_EQ(TakeLog(), arrowAt()) << dx;
    }
    EXPECT_NE(arrowAt(), first);
    play->OnLuaFeedback("hud", "ContinueGame");
    TakeLog();
    camera->MoveBy({10.0f, 0.0f, 0.0f}, false);
    play->UpdateState(0.02f);
    EXPECT_EQ(TakeLog(), "");
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
        for (const char* command : {"ContinueGame", "DisableTutorialEvent", "RestartLevel", "PlaySelectToolSound"})
            play->OnLuaFeedback("hud", command);
        play->OnTouchDown(At(1, 1));
        play->OnAccelerometer(nan, 0.0f, 0.0f);
        play->UpdateState(nan);
        play->ShowFruitPoints(50);
        play->UpdateState(std::numeric_limits<float>::infinity());
        play->MovePirrockBy(nan, 0.0f);
    }
    EXPECT_EQ(play->GetPauseReasons(), 0u);
}
