// Levels loaded on a real loader thread while the main loop keeps running physics passes and the
// game machine (run under ThreadSanitizer too): start, restart and leave, again and again; and a
// level whose files do not load, which goes back to the level select without playing.
#include "engine/script/LuaErrorQueue.h"
#include "framework/Substatable.h"
#include "framework/System.h"
#include "game/GameState.h"
#include "game/Hud.h"
#include "game/PlayState.h"
#include "gui/Screen.h"
#include "scene/Physics.h"
#include "tests/game/GameWorld.h"

#include <algorithm>
#include <chrono>

using namespace Pirrock;

class PlayStateLoadTest : public testing::Test, public GameTest::GameFiles
{
protected:
    PlayStateLoadTest()
    {
        // The game machine is the tree: the HUD's commands reach its active state.
        Quor::System::Destroy();
        Quor::System::Create(game.Get());
        Quor::ScriptScreen::SetFactory(nullptr);
        Plim::Screen::InstallFactory();
        Settings().Init("quor", "", "", true);
        Settings().SetInt(PlayState::LEVEL_KEY, 1);
        Settings().SetBool("dev/atlas_1024", false);
        Tarv::Registry::Instance->SetInt("/machine/resolution/x", 800);
        Tarv::Registry::Instance->SetInt("/machine/resolution/y", 480);
        Vund::Physics::GetInstance()->gravity = Vund::Vector3D(0.0f, -800.0f, 0.0f);
    }

    ~PlayStateLoadTest() override
    {
        game->ReleaseStates();
        Quor::ScriptScreen::SetFactory(nullptr);
    }

    // One logic step of the program: the managers (physics among them), then the game machine.
    void Step()
    {
        Quor::System::GetInstance()->UpdateManagers(STEP);
        game->Update(STEP);
    }

    // Steps until the game machine's current state has the name; false after the timeout.
    bool StepUntilCurrent(const char* name)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < end) {
            Step();
            if (game->GetCurrent() != nullptr && game->GetCurrent()->GetName() == name && !game->GetPending())
                return true;
        }
        return false;
    }

    std::string LogText() const
    {
        std::string text;
        for (const Tarv::NarrowString& line : log.GetLines())
            text += line + "\n";
        return text;
    }

    static constexpr float STEP = 1.0f / 30.0f;
    Tarv::SmartPtr<Quor::Substatable> game = Tarv::MakeSmart<Quor::Substatable>(GameState::NAME);
};

TEST_F(PlayStateLoadTest, LevelsStartRestartAndEndWhileTheMainLoopRuns)
{
    game->ChangeState(Tarv::MakeSmart<LevelSelectState>().Get(), false);
    ASSERT_TRUE(StepUntilCurrent(LevelSelectState::NAME));
    for (int round = 0; round < 4; ++round) {
        game->GetCurrent()->OnLuaFeedback("level_select", "Play");
        ASSERT_TRUE(StepUntilCurrent(PlayState::NAME)) << round;
        PlayState* play = static_cast<PlayState*>(game->GetCurrent());
        const Pirrock::Pirrock* hero = Pirrock::Pirrock::GetInstance().Get();
        ASSERT_TRUE(hero != nullptr && World::Instance) << round;
        // Set up on the loader thread, the hero is stepped from the main thread once loaded.
        EXPECT_TRUE(Vund::Physics::GetInstance()->HasItem(hero)) << round;
        for (int i = 0; i < 20; ++i)
            Step();
        ASSERT_TRUE(play->GetHud() != nullptr) << round;
        play->GetHud()->OnLuaFeedback("hud", "RestartLevel");
        for (int i = 0; i < 20; ++i)
            Step();
        play->GetHud()->OnLuaFeedback("hud", "NextLevel");
        ASSERT_TRUE(StepUntilCurrent(LevelSelectState::NAME)) << round;
        EXPECT_FALSE(Pirrock::Pirrock::GetInstance()) << round;
        EXPECT_FALSE(World::Instance) << round;
    }
    EXPECT_EQ(LogText(), "");
}

TEST_F(PlayStateLoadTest, ALevelThatDoesNotLoadGoesBackToTheLevelSelectWithTheReason)
{
    struct Case {
        const char* name;
        const char* scene;   // levels/02.xml, none when null
        const char* codeMap; // levels/02_map.xml, none when null
        const char* reason;
    };
    const char* scene = "<level><scene/><time>60</time><code-map>levels/02_map.xml</code-map></level>";
    const Case cases[] = {
        {"missing", nullptr, nullptr, "levels/02.xml: the level file is missing or is not well-formed XML"},
        {"truncated", "<level><scene>", nullptr, "levels/02.xml: the level file is missing or is not well-formed XML"},
        {"code map missing", scene, nullptr, "levels/02_map.xml: the code map is missing or is not well-formed XML"},
        {"code map damaged", scene, "<codemap width='8' height='x' tile-width='64' tile-height='32'/>",
         "levels/02_map.xml: the code map has no number in \"height\""},
    };
    Settings().SetInt(PlayState::LEVEL_KEY, 2);
    for (const Case& c : cases) {
        std::filesystem::remove_all(dir / "levels");
        if (c.scene != nullptr)
            Write("levels/02.xml", c.scene);
        if (c.codeMap != nullptr)
            Write("levels/02_map.xml", c.codeMap);
        Tarv::Registry::Instance->SetString("/test/log", "");
        const std::size_t logged = log.GetLines().size();

        game->ChangeState(Tarv::MakeSmart<PlayState>().Get(), false);
        ASSERT_TRUE(StepUntilCurrent(LevelSelectState::NAME)) << c.name;
        const std::string text = LogText();
        EXPECT_NE(text.find(c.reason), std::string::npos) << c.name << ": " << text;
        EXPECT_NE(text.find("level 2 did not load: back to the level select"), std::string::npos) << c.name;
        EXPECT_EQ(log.GetLines().size(), logged + 2) << c.name << ": " << text;
        // Never shown: no HUD and no timer.
        Tarv::NarrowString hudCalls;
        Tarv::Registry::Instance->GetString("/test/log", hudCalls);
        EXPECT_EQ(hudCalls, "") << c.name;
        EXPECT_FALSE(World::Instance) << c.name;
    }
}

TEST_F(PlayStateLoadTest, WithoutTheHudScriptALevelStillPlaysAndItsLoaderSaysSoOnce)
{
    // Only the level's files: no "scripts/hud.lua" anywhere.
    Tarv::VfsShutdown();
    Tarv::VfsInit();
    std::filesystem::create_directories(dir);
    std::filesystem::copy(std::string(BRASHWICK_SOURCE_DIR) + "/tests/game/levels", dir / "levels");
    Tarv::VfsMountNative(dir.string() + "/", "", 0);
    std::vector<std::string> reports;
    Tarv::LuaErrorQueue::Global().Reset();
    Tarv::LuaErrorQueue::Global().SetHandler(
        [&reports](const Tarv::LuaErrorReport& r) { reports.push_back(r.heading + ": " + r.message); });
    const Tarv::SmartPtr<PlayState> play = Tarv::MakeSmart<PlayState>();
    testing::internal::CaptureStderr();
    play->LoadNow();
    play->Enter();
    play->UpdateState(STEP);
    play->RestartLevel();
    testing::internal::GetCapturedStderr();
    Tarv::LuaErrorQueue::Global().Drain();
    Tarv::LuaErrorQueue::Global().Reset();
    EXPECT_TRUE(World::Instance);
    EXPECT_NE(play->GetHud(), nullptr);
    // Said by the script host that cannot read it, once; the calls that find no function follow.
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front(), "Fatal error reading file scripts/hud.lua: cannot open scripts/hud.lua");
    EXPECT_EQ(std::count_if(reports.begin(), reports.end(),
                            [](const std::string& r) { return r.find("hud.lua") != std::string::npos; }),
              1);
}
