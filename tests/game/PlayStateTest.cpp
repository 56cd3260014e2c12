// The play state on the fixture level with a logging HUD script: what it loads and releases,
// entering and leaving with a hint pending, restarting, taps on the tool bar and beside the
// grid, and commands and input before anything is loaded or with values that are not numbers.
#include "engine/core/KeyCodes.h"
#include "framework/AssetDict.h"
#include "framework/AssetFunctions.h"
#include "framework/Substatable.h"
#include "framework/System.h"
#include "game/Director.h"
#include "game/GameState.h"
#include "game/Hud.h"
#include "game/PlayState.h"
#include "game/Tutorial.h"
#include "gui/Screen.h"
#include "scene/Camera.h"
#include "platform/AbstractApp.h"
#include "scene/Camera.h"
#include "tests/game/GameWorld.h"

#include <filesystem>
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
        // The HUD's commands go to the tree's active state.
        Quor::System::Destroy();
        Quor::System::Create(root.Get());
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
        root->ReleaseStates();
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

    // Play made the tree's current state, entered by the machine as in the game.
    void EnterTree()
    {
        root->SetPending(play.Get());
        root->Update(0.0f);
    }

    bool IsCameraPaused()
    {
        for (Quor::Process* process : play->GetProcessManager().GetItems()) {
            if (process->GetName() == "camera movement")
                return process->IsPaused();
        }
        return false;
    }

    // A new play state on level 1 with the tutorial file (none for null) and the level's state
    // setting, entered, with the hero running in its start cell and the log emptied.
    void Start(const char* tutorial, int levelState = 1)
    {
        if (tutorial != nullptr)
            Write("tutorials/1.xml", tutorial);
        else
            std::filesystem::remove(dir / "tutorials/1.xml");
        Settings().SetInt("game/levels/level1", levelState);
        play = Tarv::MakeSmart<PlayState>();
        play->LoadNow();
        EnterTree();
        play->GetDirector()->SetState(STATE_RUNNING);
        hero = World::Instance->GetHeroCell();
        TakeLog();
    }

    // A hint at the hero's cell with the tool child given (none for tool 0).
    std::string HintAtHero(const std::string& tool)
    {
        return "<tutorial><event x='" + std::to_string(hero.x) + "' y='" + std::to_string(hero.y) +
               "'><text>Here</text>" + tool + "</event></tutorial>";
    }

    Tarv::SmartPtr<Quor::Substatable> root = Tarv::MakeSmart<Quor::Substatable>("application");
    Tarv::SmartPtr<PlayState> play = Tarv::MakeSmart<PlayState>();
    Cell hero = NO_CELL;
};

namespace
{

// A free ladder cell of the fixture level, and the ladder's code.
constexpr Cell LADDER_CELL{2, 4};
constexpr CellCode LADDER = 33;

} // namespace

TEST_F(PlayStateTest, LoadsEntersHoldsAHintAcrossThePauseMenuRestartsAndReleases)
{
    play->LoadNow();
    ASSERT_TRUE(World::Instance && Pirrock::Pirrock::GetInstance());
    EnterTree();
    // The entry starts the clock, though the hero still waits.
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
    EXPECT_EQ(TakeLog(),
              "ActivateTimer:false ShowHUD:false ActivateTimer:false ShowHUD:true ActivateTimer:false ActivateTimer:true ");

    const World* before = World::Instance.Get();
    play->GetHud()->OnLuaFeedback("hud", "RestartLevel");
    EXPECT_NE(World::Instance.Get(), before);
    EXPECT_EQ(TakeLog(), "UpdateLevelData ");

    root->ReleaseStates();
    play.Reset();
    EXPECT_FALSE(Pirrock::Pirrock::GetInstance());
    EXPECT_FALSE(World::Instance);
}

// The HUD's select sound, and its way to the pause menu: "menu_ok1" through the active state,
// before the switch the pause asks for; the select sound alone changes nothing in the tree.
TEST_F(PlayStateTest, TheHudPlaysMenuOk1AndOnlyThenGoesToThePauseMenu)
{
    struct Heard : PlayState {
        explicit Heard(Quor::Substatable& tree) : tree(tree) {}
        bool Play(const Tarv::NarrowString& name, bool loop) override
        {
            heard += name + (tree.GetPending() != nullptr ? ":switching " : ":staying ");
            return PlayState::Play(name, loop);
        }
        Quor::Substatable& tree;
        std::string heard;
    };
    const Tarv::SmartPtr<Heard> heard = Tarv::MakeSmart<Heard>(*root);
    play = heard.Get();
    play->LoadNow();
    // The menu stored behind play, as after "SelectLevel".
    const auto menu = Tarv::MakeSmart<Quor::ApplicationState>("menu");
    root->SetPending(menu.Get());
    root->Update(0.0f);
    root->ChangeStateKeepCurrent(play.Get());
    EnterTree();
    ASSERT_EQ(root->GetStored(), menu.Get());
    heard->heard.clear();
    play->GetHud()->OnLuaFeedback("hud", "PlaySelectToolSound");
    EXPECT_EQ(heard->heard, "menu_ok1:staying ");
    EXPECT_EQ(root->GetPending(), nullptr);
    play->GetHud()->OnLuaFeedback("hud", "GoToPauseMenu");
    EXPECT_EQ(heard->heard, "menu_ok1:staying menu_ok1:staying ");
    EXPECT_EQ(root->GetPending(), menu.Get());
    EXPECT_EQ(root->GetStored(), play.Get());
}

// The camera keeps easing while a hint holds play; the arrow is put back on its cell every frame
// until the hint closes.
TEST_F(PlayStateTest, AHintsArrowStaysOnItsCellWhileTheCameraMovesUnderIt)
{
    Write("tutorials/1.xml", "<tutorial><event x=\"5\" y=\"4\"><text>IDS_T</text><arrow x=\"2\" y=\"4\"/>"
                             "</event></tutorial>");
    Settings().SetInt("game/levels/level1", 1);
    play->LoadNow();
    EnterTree();
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
    play->GetHud()->OnLuaFeedback("hud", "ContinueGame");
    TakeLog();
    camera->MoveBy({10.0f, 0.0f, 0.0f}, false);
    play->UpdateState(0.02f);
    EXPECT_EQ(TakeLog(), "");
}

TEST_F(PlayStateTest, TapsOnTheToolBarAreLeftToTheHudAndTapsBesideTheGridOnlyClearTheSelection)
{
    play->LoadNow();
    EnterTree();
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
            play->LoadNow();
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

// Points once added stay: a loss and a restart take none back, and the next attempt adds its own.
TEST_F(PlayStateTest, PointsWonStayThroughALossAndARestart)
{
    Settings().SetInt("game/levels/level1", 1);
    for (const auto& [key, value] : {std::pair<const char*, int>{"game/score", 100}, {"game/lives", 3},
                                     {"constants/score_fruits_apple", 10}, {"constants/levels_count", 30},
                                     {"constants/score_time_multiplier", 10}})
        Settings().SetInt(key, value);
    play->LoadNow();
    EnterTree();
    Director& director = *play->GetDirector();
    // Two attempts take the same apple; the first ends at a rock.
    for (int attempt = 0; attempt < 2; ++attempt) {
        director.SetState(STATE_RUNNING);
        director.HandleTrigger(42);
        EXPECT_EQ(Settings().GetInt("game/score"), 110 + 10 * attempt) << attempt;
        if (attempt == 0) {
            director.EnterTrap(19);
            director.SetState(STATE_DEAD);
            EXPECT_EQ(Settings().GetInt("game/score"), 110);
            play->GetHud()->OnLuaFeedback("hud", "RestartLevel");
            EXPECT_EQ(Settings().GetInt("game/score"), 110);
            EXPECT_EQ(Settings().GetInt("runtime/levelScore"), 0);
        }
    }
    Settings().SetInt("runtime/time", 5);
    director.HandleTrigger(12);
    EXPECT_EQ(Settings().GetInt("game/score"), 100 + 10 + 10 + 50);
    EXPECT_EQ(Settings().GetInt("runtime/levelScore"), 10 + 50);
    EXPECT_EQ(Settings().GetInt("game/lives"), 2);
}

// With every fruit taken the auto-test goes on to the level the win made current; after the last
// level the win makes none current, and the won level stays instead of starting again.
TEST_F(PlayStateTest, TheAutoTestGoesOnToTheNextLevelAndStopsAfterTheLast)
{
    Settings().SetBool("dev/enable_auto_test", true);
    const auto game = Tarv::MakeSmart<Quor::Substatable>(GameState::NAME);
    for (const auto& [count, goesOn] : {std::pair{2, true}, {1, false}}) {
        Settings().SetInt("constants/levels_count", count);
        Settings().SetInt(PlayState::LEVEL_KEY, 1);
        Start(nullptr);
        for (const char* fruit : {"apple", "cherry", "strawberry", "banana", "watermelon"})
            Settings().SetInt(std::string("runtime/fruits/") + fruit,
                              Settings().GetInt(std::string("runtime/fruits/max/") + fruit));
        play->GetDirector()->HandleTrigger(12);
        EXPECT_EQ(play->GetDirector()->GetState(), STATE_SAFE) << count;
        EXPECT_EQ(game->GetPending() != nullptr, goesOn) << count;
        game->ReleaseStates();
    }
}

// A restart frees the hero, its animation and the camera whatever holds play; the reasons stay
// for their own ends, and the HUD is told nothing but the new level data.
TEST_F(PlayStateTest, ARestartRunsAgainAndLeavesThePauseReasons)
{
    play->LoadNow();
    EnterTree();
    for (unsigned reasons : {PlayState::PAUSE_TUTORIAL, PlayState::PAUSE_TUTORIAL | PlayState::PAUSE_DEVELOPER,
                             PlayState::PAUSE_DEVELOPER}) {
        play->SetPaused(true, reasons);
        TakeLog();
        play->RestartLevel();
        EXPECT_EQ(play->GetPauseReasons(), reasons);
        EXPECT_FALSE(play->GetDirector()->IsPaused()) << reasons;
        EXPECT_FALSE(Pirrock::Pirrock::GetInstance()->frozen) << reasons;
        EXPECT_FALSE(play->FindManager(PlayState::HERO_ANIMATOR)->IsPaused()) << reasons;
        EXPECT_FALSE(IsCameraPaused()) << reasons;
        EXPECT_EQ(TakeLog(), "UpdateLevelData ") << "a restart leaves the clock alone";
        play->SetPaused(false, PlayState::PAUSE_TUTORIAL | PlayState::PAUSE_DEVELOPER);
    }
}

// Each hint shows its text (with its icon when it has one), its arrow at the arrow cell's point on
// screen and its tool; play then holds for the tutorial while the camera goes on moving.
TEST_F(PlayStateTest, AHintShowsItsPartsAndHoldsPlayButNotTheCamera)
{
    Start("<tutorial><event x='1' y='1'><text>Jump</text><icon>ski</icon></event>"
          "<event x='2' y='1'><text>Tap</text><arrow x='3' y='2'/><tool>33</tool></event>"
          "<event x='3' y='1'><text>Look</text><arrow x='3'/></event></tutorial>");
    // The camera straight above the arrow cell puts it at the screen's centre.
    Vund::Camera::GetActive()->SetPosition(World::Instance->CellToWorld({3, 2}) + Vund::Vector3D(0, 0, 500), false);
    const std::pair<Cell, const char*> hints[] = {
        {{1, 1}, "ShowTutorialText:Jump:ski ActivateTimer:false "},
        {{2, 1}, "ShowTutorialText:Tap ShowTutorialArrow:400:240 AnimateTutorialTool:ladder ActivateTimer:false "},
        {{3, 1}, "ShowTutorialText:Look ActivateTimer:false "}};
    for (const auto& [cell, calls] : hints) {
        play->OnCellChecked(cell);
        EXPECT_EQ(TakeLog(), calls);
        EXPECT_EQ(play->GetPauseReasons(), PlayState::PAUSE_TUTORIAL);
        EXPECT_TRUE(play->GetDirector()->IsPaused());
        EXPECT_FALSE(IsCameraPaused());
        play->GetHud()->OnLuaFeedback("hud", "ContinueGame");
        EXPECT_EQ(play->GetPauseReasons(), 0u);
        TakeLog();
    }
    // A hint stays until the script confirms it; hints of the current cell only.
    play->OnCellChecked({1, 1});
    EXPECT_EQ(TakeLog(), "ShowTutorialText:Jump:ski ActivateTimer:false ");
    play->OnCellChecked({1, 2});
    EXPECT_EQ(TakeLog(), "");
}

// With a hint at the hero's cell only its tool is taken (tool 0 takes none); an ignored tap
// keeps the selection and refreshes nothing. The placed tool's hint is then dropped unseen.
TEST_F(PlayStateTest, AHintLetsOnlyItsToolThroughAndAUsedToolsHintIsDropped)
{
    const struct {
        const char* tool;
        const char* selected;
        ToolUseResult result;
        const char* shown;
    } cases[] = {
        {"<tool>33</tool>", "bridge", ToolUseResult::Ignored, "ShowTutorialText:Here AnimateTutorialTool:ladder ActivateTimer:false "},
        {"", "ladder", ToolUseResult::Ignored, "ShowTutorialText:Here ActivateTimer:false "},
        {"<tool>ladder</tool>", "ladder", ToolUseResult::Ignored, "ShowTutorialText:Here ActivateTimer:false "},
        {"<tool>33</tool>", "ladder", ToolUseResult::Placed, ""}};
    Start("<tutorial/>");
    for (const auto& c : cases) {
        Start(HintAtHero(c.tool).c_str());
        Settings().SetString("runtime/activeTool", c.selected);
        EXPECT_EQ(play->UseToolAt(LADDER_CELL), c.result) << c.tool << " " << c.selected;
        const bool placed = c.result == ToolUseResult::Placed;
        EXPECT_EQ(Settings().GetString("runtime/activeTool"), placed ? "" : c.selected) << c.tool;
        EXPECT_EQ(TakeLog(), placed ? "UpdateLevelData " : "") << c.tool;
        play->OnCellChecked(hero);
        EXPECT_EQ(TakeLog(), c.shown) << c.tool;
        EXPECT_EQ(play->GetTutorial()->FindEventAt(hero)->enabled, !placed) << c.tool;
    }
}

TEST_F(PlayStateTest, ToolsAreRecordedOnlyWhileTheTutorialIsOnAndLoaded)
{
    const char* file = "<tutorial><event x='0' y='0'><text>Elsewhere</text></event></tutorial>";
    const struct {
        const char* tutorial;
        int levelState;
        bool recorded;
    } cases[] = {{file, 1, true}, {file, 2, false}, {nullptr, 1, false}, {"<tutorial><event/></tutorial>", 1, false}};
    for (const auto& c : cases) {
        Start(c.tutorial, c.levelState);
        Settings().SetString("runtime/activeTool", "ladder");
        ASSERT_EQ(play->UseToolAt(LADDER_CELL), ToolUseResult::Placed);
        EXPECT_EQ(play->GetTutorial()->IsToolUsed(LADDER), c.recorded) << c.levelState << " " << (c.tutorial ? c.tutorial : "");
    }
}

// After the end the director takes no trampoline or pusher from the developer keys, while T still
// puts the hero onto the selected cell.
TEST_F(PlayStateTest, AfterTheEndDeveloperKeyTStillMovesTheHeroWhileJAndRChangeNothing)
{
    Settings().SetBool("dev/enable_cheats", true);
    Start(nullptr);
    Director& director = *play->GetDirector();
    director.SetState(STATE_DEAD);
    Pirrock::Pirrock& pirrock = *Pirrock::Pirrock::GetInstance();
    pirrock.SetVelocity({1.0f, 0.0f, 0.0f});
    play->OnKeyDown(Tarv::KEY_J);
    play->OnKeyDown(Tarv::KEY_R);
    EXPECT_EQ(director.GetState(), STATE_DEAD);

    World::Instance->ShowSelection(Cell{hero.x + 2, hero.y - 1});
    const Vund::Vector3D before = pirrock.GetPosition();
    play->OnKeyDown(Tarv::KEY_T);
    EXPECT_EQ(pirrock.GetPosition(), before + World::Instance->CellsToWorld(2.0f, 1.0f));
}

// The atlases go under the names the settings give when play ends, as the menu's do: with the
// split set switched on meanwhile, the single game atlas stays registered.
TEST_F(PlayStateTest, TheAtlasesAreUnloadedUnderTheNamesTheSettingsGiveAtTheEnd)
{
    ASSERT_NE(Tarv::VfsMountPak(std::string(BRASHWICK_OUTPUT_DIR) + "/atlas.pak", "", Tarv::VFS_MOUNT_FALL_THROUGH),
              nullptr);
    Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
    const auto registered = [](const char* name) {
        return Tarv::AssetDict::Instance->GetAtlasCount(std::string(name) + "@" + Quor::GetDefaultSurfaceOptions());
    };
    for (bool switched : {false, true}) {
        Settings().SetBool("dev/atlas_1024", false);
        play = Tarv::MakeSmart<PlayState>();
        play->LoadNow();
        for (const char* name : {"game.xml", "anim.xml", "tiles1.xml", "back1.xml"})
            EXPECT_EQ(registered(name), 1) << name;
        Settings().SetBool("dev/atlas_1024", switched);
        play.Reset();
        EXPECT_EQ(registered("game.xml"), switched ? 1 : 0);
        for (const char* name : {"anim.xml", "tiles1.xml", "back1.xml"})
            EXPECT_EQ(registered(name), 0) << name;
        Tarv::AssetDict::UnregisterAtlas(std::string("game.xml@") + Quor::GetDefaultSurfaceOptions());
    }
    Tarv::AssetDict::Instance.Reset();
}
