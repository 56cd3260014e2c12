// The menu and the level select on a real state machine with logging screen scripts: the one
// screen asked for on entry, the drags, and the commands (with their bad forms) acting on the
// machine, the settings, the developer switches and the application.
#include "framework/AssetDict.h"
#include "game/Game.h"
#include "game/GameState.h"
#include "game/Hud.h"
#include "game/MenuState.h"
#include "game/PlayState.h"
#include "gui/Screen.h"
#include "platform/AbstractApp.h"
#include "tests/game/GameWorld.h"

#include <array>
#include <chrono>

using namespace Pirrock;

namespace
{

class RecordingApp : public Tarv::AbstractApp
{
public:
    void Quit() override { ++quits; }
    bool OpenURL(const Tarv::WideString& url) override
    {
        urls.push_back(Tarv::NarrowString(url));
        return false;
    }
    int quits = 0;
    std::vector<std::string> urls;
};

Quor::TouchPoints At(int x, int y)
{
    return {Tarv::TouchPoint{x, y}};
}

} // namespace

class MenuStateTest : public testing::Test, public GameTest::GameFiles
{
protected:
    MenuStateTest()
    {
        Quor::System::Destroy();
        Quor::System::Create(root.Get());
        Quor::ScriptScreen::SetFactory(nullptr);
        Plim::Screen::InstallFactory();
        // Under a settings root, as in the program; no files to read or write.
        Settings().Init("quor", "", "", true);
        for (const char* key : {"first_run", "game/gameEnd", "dev/atlas_1024"})
            Settings().SetBool(key, false);
    }

    ~MenuStateTest() override
    {
        root->ReleaseStates();
        Quor::ScriptScreen::SetFactory(nullptr);
    }

    // Steps the machine until its current state is the state; false after two seconds.
    bool Reach(Quor::ApplicationState* state)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (root->GetCurrent() != state && std::chrono::steady_clock::now() < end)
            root->Update(0.02f);
        return root->GetCurrent() == state;
    }

    // The script calls since the last look.
    std::string TakeLog()
    {
        Tarv::NarrowString text;
        Tarv::Registry::Instance->GetString("/test/log", text);
        Tarv::Registry::Instance->SetString("/test/log", "");
        return text;
    }

    Tarv::SmartPtr<Quor::Substatable> root = Tarv::MakeSmart<Quor::Substatable>("application");
    Tarv::SmartPtr<MenuState> menu = Tarv::MakeSmart<MenuState>();
    RecordingApp app;
};

TEST_F(MenuStateTest, EachEntryAsksForOneScreen)
{
    Settings().SetBool("first_run", true);
    ASSERT_TRUE(Settings().GetBool("first_run"));
    root->ChangeState(menu.Get(), false);
    ASSERT_TRUE(Reach(menu.Get()));
    EXPECT_EQ(TakeLog(), "FirstRun ");
    EXPECT_FALSE(Settings().GetBool("first_run"));
    menu->Enter();
    EXPECT_EQ(TakeLog(), "ShowMenu:MainMenu ") << "the first run never asks for sounds";

    Settings().SetBool("game/gameEnd", true);
    menu->Enter();
    EXPECT_EQ(TakeLog(), "NewHighScore ");
    EXPECT_FALSE(Settings().GetBool("game/gameEnd"));

    // A game stored behind the menu: the pause menu is shown, then the level's points are left
    // out until "Continue"; anywhere but in play the main menu shows and the score stays.
    Settings().SetInt("game/score", 100);
    Settings().SetInt("runtime/levelScore", 30);
    Settings().SetBool("runtime/playing", true);
    root->ChangeStateKeepCurrent(Tarv::MakeSmart<GameState>().Get());
    const std::pair<const char*, const char*> places[] = {{"levelSelectState", "ShowMenu:MainMenu "},
                                                          {"playState", "ShowMenu:PauseMenu:100 "}};
    for (const auto& [place, screen] : places) {
        Settings().SetString("runtime/currentGameState", place);
        root->SetPending(nullptr);
        ASSERT_TRUE(root->HasStoredState());
        menu->Enter();
        EXPECT_EQ(TakeLog(), screen);
    }
    EXPECT_EQ(Settings().GetInt("game/score"), 70);
    menu->OnLuaFeedback("menu", "Continue");
    EXPECT_EQ(Settings().GetInt("game/score"), 100);

    // A level that has ended (its summary shows) keeps its points, also through "Main menu".
    Settings().SetBool("runtime/playing", false);
    root->SetPending(nullptr);
    menu->Enter();
    EXPECT_EQ(TakeLog(), "ShowMenu:PauseMenu:100 ");
    menu->OnLuaFeedback("menu", "LeaveToMainMenu");
    EXPECT_EQ(Settings().GetInt("game/score"), 100);
}

TEST_F(MenuStateTest, ALaterStartAsksForSoundsOnce)
{
    root->ChangeState(menu.Get(), false);
    ASSERT_TRUE(Reach(menu.Get()));
    menu->Enter();
    EXPECT_EQ(TakeLog(), "ShowMenu:EnableSounds ShowMenu:MainMenu ");
}

TEST_F(MenuStateTest, CommandsActAndBadOnesChangeNothing)
{
    Settings().SetString("constants/MoreGamesUrl", "https://example.org/more");
    Settings().SetInt("game/score", 5);
    Settings().SetInt("runtime/levelScore", 3);
    root->ChangeState(menu.Get(), false);
    ASSERT_TRUE(Reach(menu.Get()));
    TakeLog();
    for (const char* command : {"selectlevel", "EXIT", "Nonsense", "", "Continue", "LeaveToMainMenu"})
        menu->OnLuaFeedback("menu", command);
    EXPECT_EQ(root->GetPending(), nullptr);
    EXPECT_EQ(app.quits, 0);
    EXPECT_EQ(Settings().GetInt("game/score"), 5) << "Continue with nothing stored";

    menu->OnLuaFeedback("menu", "SelectLevel");
    menu->OnLuaFeedback("menu", "SelectLevel");
    EXPECT_EQ(root->GetStored(), menu.Get()) << "twice in one frame still stores the menu";
    Quor::ApplicationState* game = root->GetPending();
    ASSERT_NE(game, nullptr);
    menu->OnLuaFeedback("menu", "GetMoreGames");
    menu->OnLuaFeedback("menu", "Exit");
    EXPECT_EQ(app.urls, std::vector<std::string>{"https://example.org/more"});
    EXPECT_EQ(app.quits, 1);

    // Drags: none before "EnableTouch"; the first move sends 0, then half the upward pixels.
    menu->OnTouchMove(At(10, 300));
    EXPECT_EQ(TakeLog(), "");
    menu->OnLuaFeedback("menu", "EnableTouch");
    const std::pair<int, const char*> moves[] = {{200, "Move:0 "}, {199, "Move:0 "}, {196, "Move:1 "}, {199, "Move:-1 "}};
    for (const auto& [y, sent] : moves) {
        menu->OnTouchMove(At(10, y));
        EXPECT_EQ(TakeLog(), sent) << y;
    }
    menu->OnLuaFeedback("menu", "DisableTouch");
    menu->OnTouchMove(At(10, 100));
    EXPECT_EQ(TakeLog(), "");
    menu->OnLuaFeedback("menu", "UpdateLanguage");
    EXPECT_EQ(TakeLog(), "Texts ");
}

TEST_F(MenuStateTest, TheLevelSelectDragsPlaysAndGoesBack)
{
    Settings().SetInt(PlayState::LEVEL_KEY, 1);
    root->ChangeState(menu.Get(), false);
    ASSERT_TRUE(Reach(menu.Get()));
    menu->OnLuaFeedback("menu", "SelectLevel");
    // The game machine queues the level select, which loads behind the game's loading screen.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    auto current = [&] {
        auto* game = dynamic_cast<Quor::Substatable*>(root->GetCurrent());
        return game != nullptr ? game->GetCurrent() : nullptr;
    };
    while (dynamic_cast<LevelSelectState*>(current()) == nullptr && std::chrono::steady_clock::now() < end)
        root->Update(0.02f);
    auto* select = dynamic_cast<LevelSelectState*>(current());
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(GameState::Find(), root->GetCurrent());
    EXPECT_EQ(Settings().GetString("runtime/currentGameState"), "levelSelectState");
    TakeLog();

    select->OnTouchMove(At(100, 200));
    select->OnTouchDown(At(100, 200));
    select->OnTouchMove(At(100, 200));
    select->OnTouchMove(At(90, 230));
    select->OnLuaFeedback("level_select", "DisableTouch");
    select->OnTouchMove(At(50, 50));
    EXPECT_EQ(TakeLog(), "Move:0,0 Move:10,-30 ");

    select->OnLuaFeedback("level_select", "play");
    EXPECT_EQ(dynamic_cast<Quor::Substatable*>(root->GetCurrent())->GetPending(), nullptr);
    // Twice before the switch: the second replaces the first before it loads, one level plays.
    select->OnLuaFeedback("level_select", "Play");
    select->OnLuaFeedback("level_select", "Play");
    while (dynamic_cast<PlayState*>(current()) == nullptr && std::chrono::steady_clock::now() < end)
        root->Update(0.02f);
    auto* play = dynamic_cast<PlayState*>(current());
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->GetLevel(), 1);
    // Every load makes its HUD, whose script counts its start.
    int huds = 0;
    Tarv::Registry::Instance->GetInt("/test/huds", huds);
    EXPECT_EQ(huds, 1);
    EXPECT_EQ(Settings().GetString("runtime/currentGameState"), "playState");

    // The HUD's "NextLevel" comes back to a new level select, whose "Back" resumes the stored menu.
    play->GetHud()->OnLuaFeedback("hud", "NextLevel");
    while (dynamic_cast<LevelSelectState*>(current()) == nullptr && std::chrono::steady_clock::now() < end)
        root->Update(0.02f);
    ASSERT_NE(dynamic_cast<LevelSelectState*>(current()), nullptr);
    dynamic_cast<LevelSelectState*>(current())->OnLuaFeedback("level_select", "Back");
    ASSERT_TRUE(Reach(menu.Get()));
    // Play showed its HUD and started the clock on entry, and hid and stopped them when it was left.
    EXPECT_EQ(TakeLog(), "ShowHUD:true ActivateTimer:true ShowHUD:false ActivateTimer:false ShowMenu:MainMenu ");
}

// Set aside under the game, the menu keeps its atlas page: the pause screen draws from it at once.
TEST_F(MenuStateTest, ItsPageStaysInMemoryWhileSetAside)
{
    ASSERT_NE(Tarv::VfsMountPak(std::string(BRASHWICK_OUTPUT_DIR) + "/atlas.pak", "", Tarv::VFS_MOUNT_FALL_THROUGH),
              nullptr);
    Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
    root->ChangeState(menu.Get(), false);
    ASSERT_TRUE(Reach(menu.Get()));
    const Tarv::SmartPtr<Tarv::Surface> logo = Tarv::AssetDict::GetSurface("images/menu/logo.png@linear", false);
    ASSERT_TRUE(logo && logo->GetPixelData());
    Tarv::PixelDataGL* page = logo->GetPixelData();
    const std::size_t staged = page->GetStagedPixels().size();
    EXPECT_GT(staged, 0u);

    menu->OnLuaFeedback("menu", "SelectLevel");
    for (int step = 0; step < 100 && root->GetCurrent() == menu.Get(); ++step)
        root->Update(0.02f);
    ASSERT_EQ(root->GetStored(), menu.Get());
    EXPECT_EQ(page->GetStagedPixels().size(), staged);
    EXPECT_TRUE(page->IsDrawable());

    root->ReturnToStored();
    ASSERT_TRUE(Reach(menu.Get()));
    EXPECT_EQ(Tarv::AssetDict::GetSurface("images/menu/logo.png@linear", false).Get(), logo.Get());
    root->ReleaseStates();
    Tarv::AssetDict::Instance.Reset();
}

// The developer screen's commands: the level locks follow the switch, the read-out reaches
// nothing without an application, and the reset brings back the defaults' keys and keeps all
// others.
TEST_F(MenuStateTest, DeveloperCommandsTakeEffect)
{
    Write("defaults.xml", R"(<registry><node name="quor"><key name="language" type="string">en</key>
        <node name="game"><key name="score" type="int">0</key></node></node></registry>)");
    ASSERT_TRUE(Settings().Init("quor", "", "defaults.xml", true));
    Settings().SetInt(Game::LEVELS_COUNT_KEY, 3);
    const int levels[] = {2, 0, 2};
    for (int level = 1; level <= 3; ++level)
        Settings().SetInt(Game::LevelKey(level), levels[level - 1]);
    const std::pair<bool, std::array<int, 3>> locks[] = {{true, {2, 1, 2}}, {false, {1, 0, 0}}};
    for (const auto& [unlock, expected] : locks) {
        Settings().SetBool("dev/unlock_all_levels", unlock);
        menu->OnLuaFeedback("menu", "DebugLevelsLock");
        for (int level = 1; level <= 3; ++level)
            EXPECT_EQ(Settings().GetInt(Game::LevelKey(level)), expected[level - 1]) << unlock << level;
    }

    // The read-out is the console's, reached through the application's hooks (tested with the
    // console); without an application the command changes nothing else.
    Settings().SetBool("dev/show_fps_mem", true);
    menu->OnLuaFeedback("menu", "DebugShowFpsMem");

    Settings().SetString("language", "de");
    Settings().SetInt("game/score", 40);
    Settings().SetInt("game/highScore", 900);
    menu->OnLuaFeedback("menu", "DebugResetAllSettings");
    EXPECT_EQ(Settings().GetString("language"), "en");
    EXPECT_EQ(Settings().GetInt("game/score"), 0);
    EXPECT_EQ(Settings().GetInt("game/highScore"), 900) << "a key the defaults lack keeps its value";
}
