// The start-up pictures driven through a real state machine: the logo, then the title splash, then
// the state after start-up, each switch at the first step past the configured time; and their
// drawing, read back from a GL frame under Xvfb.
#include "framework/Settings.h"
#include "framework/System.h"
#include "game/SplashStates.h"
#include "tests/graphics/render/RenderTestScreen.h"
#include "tests/scene/SceneFiles.h"

#include <chrono>
#include <thread>

using namespace Pirrock;

namespace
{

constexpr float DT = 1.0f / 30.0f;

Quor::ApplicationState* MakeMenu()
{
    return new Quor::ApplicationState("menu");
}

} // namespace

class SplashStatesTest : public RenderTest::ScreenTest
{
protected:
    SplashStatesTest()
    {
        // The files' world made a registry without a root; the application's machine is the root.
        Quor::System::Destroy();
        Quor::System::Create(root.Get());
        GameSplashState::SetNextState(MakeMenu);
        std::filesystem::create_directories(files.m_dir / "images/splash");
    }

    ~SplashStatesTest() override
    {
        GameSplashState::SetNextState(nullptr);
        root->ReleaseStates();
    }

    // Steps the root until the deepest current state has the name; the number of steps taken, or
    // -1 after two seconds.
    int StepUntil(const char* name)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        for (int steps = 0; std::chrono::steady_clock::now() < end; ++steps) {
            if (LeafName() == name)
                return steps;
            root->Update(DT);
            if (steps > 200)
                std::this_thread::yield();
        }
        return -1;
    }

    Quor::ApplicationState* Leaf() const
    {
        Quor::ApplicationState* state = root->GetCurrent();
        while (state != nullptr && state->IsSubstatable())
            state = static_cast<Quor::Substatable*>(state)->GetCurrent();
        return state;
    }

    std::string LeafName() const { return Leaf() != nullptr ? std::string(Leaf()->GetName()) : std::string(); }

    SceneTest::SceneFilesWorld files;
    Tarv::SmartPtr<Quor::Substatable> root = Tarv::MakeSmart<Quor::Substatable>("application");
};

// The time each picture was updated for before it gave way, for a time setting in milliseconds.
class SplashTimesTest : public SplashStatesTest, public testing::WithParamInterface<std::pair<int, int>>
{
};

TEST_P(SplashTimesTest, EachPictureGivesWayAtTheFirstStepPastItsTime)
{
    const auto [timeMs, steps] = GetParam();
    files.WritePng("images/splash/vexolan_logo.png", 8, 8, 10, 10, 10);
    files.WritePng("images/splash/game_splash.png", 8, 8, 20, 20, 20);
    Quor::Settings::GetInstance()->SetInt(PictureState::TIME_KEY, timeMs);
    root->ChangeState(Tarv::MakeSmart<SplashState>().Get(), false);
    for (const char* name : {VexolanLogoState::NAME, GameSplashState::NAME}) {
        ASSERT_GE(StepUntil(name), 0) << name;
        const Tarv::SmartPtr<PictureState> picture(dynamic_cast<PictureState*>(Leaf()));
        ASSERT_TRUE(picture);
        ASSERT_GE(StepUntil(name == VexolanLogoState::NAME ? GameSplashState::NAME : "menu"), 0) << name;
        EXPECT_NEAR(picture->GetElapsed(), steps * DT, 1e-4) << name;
    }
    EXPECT_EQ(Quor::Substatable::FindByName(SplashState::NAME), nullptr);
}

// 60 steps of 1/30 s sum to no more than 2000 ms in floats, the 61st passes it; no time, or a
// negative one, gives way at the first step.
INSTANTIATE_TEST_SUITE_P(Times, SplashTimesTest,
                         testing::Values(std::make_pair(2000, 61), std::make_pair(0, 1), std::make_pair(-5, 1)));

TEST_F(SplashStatesTest, ThePictureIsCentredOnWhiteAndClipped)
{
    struct Case {
        int width, height;
        bool written;
        std::array<int, 2> inside, outside;
    };
    // (800 - 101) / 2 = 349 and (480 - 61) / 2 = 209 truncate; a picture wider than the screen
    // starts left of it and is clipped.
    const Case cases[] = {{101, 61, true, {349, 209}, {348, 208}},
                          {900, 20, true, {0, 230}, {0, 229}},
                          {10, 10, false, {-1, -1}, {400, 240}}};
    for (const Case& c : cases) {
        // A fresh dictionary, so that the picture is read again under the same name.
        Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
        if (c.written)
            files.WritePng("images/splash/vexolan_logo.png", c.width, c.height, 200, 0, 0);
        else
            std::filesystem::remove(files.m_dir / "images/splash/vexolan_logo.png");
        const Tarv::SmartPtr<VexolanLogoState> logo = Tarv::MakeSmart<VexolanLogoState>();
        logo->LoadNow();
        EXPECT_EQ(logo->GetImage() != nullptr, c.written);
        logo->RenderState(Screen());
        if (c.inside[0] >= 0) {
            EXPECT_TRUE(RenderTest::Near(RenderTest::ReadPixel(Screen(), c.inside[0], c.inside[1]), {200, 0, 0, 255}, 2))
                << c.width;
        }
        EXPECT_TRUE(RenderTest::Near(RenderTest::ReadPixel(Screen(), c.outside[0], c.outside[1]), {255, 255, 255, 255}, 2))
            << c.width;
    }
}
