// The game application's own rules, on a real registry and state machine: the level locks, the
// native-screen test, the focus rule and the services and switches set at start-up; and the
// game itself on Xvfb, for the atlases its start-up registers and releases.
#include "engine/vfs/PakMount.h"
#include "engine/vfs/Vfs.h"
#include "engine/vfs/VfsMount.h"
#include "framework/AssetDict.h"
#include "framework/AssetFunctions.h"
#include "framework/CacheList.h"
#include "framework/Settings.h"
#include "framework/System.h"
#include "game/Game.h"
#include "game/SplashStates.h"
#include "scene/Physics.h"
#include "tests/scene/SceneWorld.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

using namespace Pirrock;

class GameTest : public testing::Test
{
protected:
    GameTest() { Quor::System::Create(root.Get()); }
    ~GameTest() override
    {
        root->ReleaseStates();
        Quor::System::Destroy();
    }

    Quor::Settings& Settings() { return *Quor::Settings::GetInstance(); }

    std::vector<int> Levels(int count)
    {
        std::vector<int> values;
        for (int level = 1; level <= count; ++level)
            values.push_back(Settings().GetInt(Game::LevelKey(level)));
        return values;
    }

    SceneTest::SceneWorld world;
    Tarv::SmartPtr<Quor::Substatable> root = Tarv::MakeSmart<Quor::Substatable>("application");
};

TEST_F(GameTest, UnlockingOpensLockedLevelsAndLockingLeavesTheFirst)
{
    struct Case {
        int count;
        bool unlock;
        std::vector<int> after;
    };
    // Levels 1-4 start 0, 2, 1, 0; a fifth beyond the count is never touched.
    const Case cases[] = {{4, true, {1, 2, 1, 1, 7}}, {4, false, {1, 0, 0, 0, 7}},
                          {0, true, {0, 2, 1, 0, 7}}, {-3, false, {0, 2, 1, 0, 7}}};
    for (const Case& c : cases) {
        const int start[] = {0, 2, 1, 0, 7};
        for (int level = 1; level <= 5; ++level)
            Settings().SetInt(Game::LevelKey(level), start[level - 1]);
        Settings().SetInt(Game::LEVELS_COUNT_KEY, c.count);
        Game::SetLevelsUnlocked(c.unlock);
        EXPECT_EQ(Levels(5), c.after) << c.count << " " << c.unlock;
    }
}

TEST_F(GameTest, OnlyTheNative800By480ScreenCounts)
{
    const std::pair<int, int> sizes[] = {{800, 480}, {480, 800}, {854, 480}, {800, 600}};
    for (const auto& [width, height] : sizes) {
        world.machine.width = width;
        world.machine.height = height;
        EXPECT_EQ(IsScreen800x480(), width == 800 && height == 480) << width << "x" << height;
    }
}

TEST_F(GameTest, FocusLossPausesOnlyALevelPlayedBehindTheStoredMenu)
{
    const Tarv::SmartPtr<Quor::ApplicationState> menu = Tarv::MakeSmart<Quor::ApplicationState>("menu");
    const Tarv::SmartPtr<Quor::ApplicationState> game = Tarv::MakeSmart<Quor::ApplicationState>("game");
    const Tarv::SmartPtr<Quor::ApplicationState> play = Tarv::MakeSmart<Quor::ApplicationState>("play");
    root->ChangeState(menu.Get(), false);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (root->GetCurrent() != menu.Get() && std::chrono::steady_clock::now() < end)
        root->Update(0.02f);
    ASSERT_EQ(root->GetCurrent(), menu.Get());
    EXPECT_FALSE(Game::PauseForFocusLoss(*root, play.Get())) << "no stored menu";
    root->ChangeStateKeepCurrent(game.Get());
    ASSERT_EQ(root->GetStored(), menu.Get());
    for (const char* leaf : {"level select", "master loading", "Play"})
        EXPECT_FALSE(Game::PauseForFocusLoss(*root, Tarv::MakeSmart<Quor::ApplicationState>(leaf).Get())) << leaf;
    EXPECT_FALSE(Game::PauseForFocusLoss(*root, nullptr));
    EXPECT_EQ(root->GetStored(), menu.Get());
    EXPECT_TRUE(Game::PauseForFocusLoss(*root, play.Get()));
    EXPECT_EQ(root->GetPending(), menu.Get());
}

TEST_F(GameTest, ServicesAndSwitchesAtStartUp)
{
    // The logic rate: 30 per second as a float; none or a negative rate runs at the default.
    const std::pair<int, float> rates[] = {{30, 0.033333335f}, {60, 1.0f / 60.0f}, {0, 1.0f / 30.0f}, {-4, 1.0f / 30.0f}};
    for (const auto& [fps, interval] : rates) {
        Settings().SetInt("constants/logic_fps", fps);
        EXPECT_FLOAT_EQ(Game::SetUpServices(&Settings()), interval) << fps;
    }
    Vund::Physics* physics = Vund::Physics::GetInstance();
    ASSERT_NE(physics, nullptr);
    EXPECT_EQ(physics->gravity.y, -800.0f);
    EXPECT_EQ(physics->defaultDrag, 8.0f);
    EXPECT_EQ(physics->angularDragCoefficient, 2.0f);

    for (bool on : {false, true}) {
        Settings().SetInt(PictureState::TIME_KEY, 3000);
        Settings().SetBool("dev/disable_tutorial", false);
        Settings().SetInt(Game::LEVELS_COUNT_KEY, 2);
        Settings().SetInt(Game::LevelKey(2), 0);
        for (const char* key : {"dev/reduce_splash_time", "dev/unlock_all_levels", "dev/enable_auto_test"})
            Settings().SetBool(key, on);
        Game::ApplyDeveloperSwitches(&Settings());
        EXPECT_EQ(Settings().GetInt(PictureState::TIME_KEY), on ? 500 : 3000);
        EXPECT_EQ(Settings().GetInt(Game::LevelKey(2)), on ? 1 : 0);
        EXPECT_EQ(Settings().GetBool("dev/disable_tutorial"), on);
    }
}

namespace
{

int AtlasRegistrations(const char* name)
{
    return Tarv::AssetDict::Instance->GetAtlasCount(std::string(name) + "@" + Quor::GetDefaultSurfaceOptions());
}

} // namespace

// The game itself on a private Xvfb with the built archives: its start-up atlases, the one the
// title splash registers, and the splash atlas released when the menu takes over.
TEST(GameStartUp, TheStartUpAtlasesComeAndTheSplashAtlasGoesWithTheSplash)
{
    TestSupport::XvfbServer server(16);
    ASSERT_TRUE(server.IsRunning());
    setenv("DISPLAY", server.GetDisplayName().c_str(), 1);
    setenv("PULSE_SERVER", "unix:/nonexistent/brashwick-no-sound-server", 1);
    Tarv::SmartPtr<Tarv::MaemoApplication> app(new Game);
    ASSERT_TRUE(app->IsReady());
    auto& game = static_cast<Game&>(*app);
    Tarv::VfsInit();
    for (const char* pak : {"platform.pak", "common.pak", "atlas.pak"})
        ASSERT_NE(Tarv::VfsMountPak(std::string(BRASHWICK_OUTPUT_DIR) + "/" + pak, "", Tarv::VFS_MOUNT_FALL_THROUGH),
                  nullptr);
    Quor::Settings::GetInstance()->Init("quor", "", "", true);
    Quor::Settings::GetInstance()->SetInt(PictureState::TIME_KEY, 0);

    game.LoadAtlases();
    EXPECT_EQ(AtlasRegistrations("splash.xml"), 1);
    EXPECT_EQ(AtlasRegistrations("loading.xml"), 1);
    EXPECT_EQ(AtlasRegistrations("debug.xml"), 0);

    GameSplashState::SetNextState([]() -> Quor::ApplicationState* { return new Quor::ApplicationState("menu"); });
    game.ChangeState(Tarv::MakeSmart<SplashState>().Get(), false);
    game.SetInterval(0.0f);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((game.GetCurrent() == nullptr || game.GetCurrent()->GetName() != std::string("menu")) &&
           std::chrono::steady_clock::now() < end)
        game.Update(0.02f);
    ASSERT_NE(game.GetCurrent(), nullptr);
    EXPECT_EQ(game.GetCurrent()->GetName(), std::string("menu"));
    EXPECT_EQ(AtlasRegistrations("splash.xml"), 0);
    EXPECT_EQ(AtlasRegistrations("loading.xml"), 1);
    EXPECT_EQ(AtlasRegistrations("debug.xml"), 1);

    GameSplashState::SetNextState(nullptr);
    game.ReleaseStates();
    app.Reset();
    Quor::System::Destroy();
    Tarv::VfsShutdown();
}
