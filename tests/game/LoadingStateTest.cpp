// The loading screen on a real GL screen under Xvfb and in front of a real mixer: the hero's
// animation centred above the middle on black, its frames advanced by the screen's animator, and
// the mixer silent exactly while a loading phase lasts.
#include "audio/Mixer.h"
#include "game/LoadingState.h"
#include "scene/AnimatedSprite.h"
#include "tests/audio/TestSources.h"
#include "tests/graphics/render/RenderTestScreen.h"
#include "tests/scene/SceneFiles.h"
#include "tests/scene/SceneWorld.h"

#include <vector>

using namespace Pirrock;

class LoadingStateTest : public RenderTest::ScreenTest
{
protected:
    LoadingStateTest()
    {
        std::filesystem::create_directories(files.m_dir / "anim");
        files.WritePng("a.png", 40, 30, 0, 200, 0);
        files.WritePng("b.png", 40, 30, 200, 0, 0);
        files.Write(LoadingState::ANIMATION, "<a default-canvas-width='40' default-canvas-height='30' default-fps='10' "
                                             "default-loop='yes'><animation name='run'><frame>a.png</frame>"
                                             "<frame>b.png</frame></animation></a>");
        Tarv::MixerConfig config;
        config.createDevice = &AudioTest::ManualDevice::Create;
        mixer = Tarv::SmartPtr<Tarv::Mixer>(new Tarv::Mixer({1, 22050}, config));
        Tarv::Mixer::Instance = mixer.Get();
        mixer->Play(new AudioTest::VectorSource(std::vector<std::int16_t>(1 << 20, 1000), 1, 22050), true);
    }

    ~LoadingStateTest() override
    {
        Tarv::Mixer::Instance = nullptr;
    }

    // Whether the mixer's next whole block carries sound.
    bool Audible()
    {
        std::vector<std::int16_t> out(mixer->GetBlockBytes() / 2);
        mixer->Read(out.data(), static_cast<unsigned>(out.size() * 2));
        for (std::int16_t sample : out) {
            if (sample != 0)
                return true;
        }
        return false;
    }

    SceneTest::SceneFilesWorld files;
    SceneTest::SceneWorld world;
    Tarv::SmartPtr<Tarv::Mixer> mixer;
};

TEST_F(LoadingStateTest, TheAnimationStandsCentredOnTheMiddleRowAndRuns)
{
    const Tarv::SmartPtr<LoadingState> screen = Tarv::MakeSmart<LoadingState>();
    screen->LoadNow();
    screen->Enter();
    screen->RenderState(Screen());
    // The 40 x 30 canvas spans columns 380-419 with its bottom row at 259, above row 260.
    const std::pair<std::array<int, 2>, RenderTest::Rgba> expected[] = {
        {{380, 230}, {0, 200, 0, 255}}, {{419, 259}, {0, 200, 0, 255}}, {{379, 245}, {0, 0, 0, 255}},
        {{420, 245}, {0, 0, 0, 255}},   {{400, 229}, {0, 0, 0, 255}},   {{10, 10}, {0, 0, 0, 255}}};
    for (const auto& [at, colour] : expected) {
        const RenderTest::Rgba got = RenderTest::ReadPixel(Screen(), at[0], at[1]);
        EXPECT_TRUE(RenderTest::Near(got, colour, 2)) << at[0] << ", " << at[1] << ": " << got;
    }
    // The screen's own processes run the animation; a second phase goes on from where it stood.
    screen->GetProcessManager().Update(0.15f);
    EXPECT_EQ(screen->GetAnimation()->GetFrameIndex(), 1);
    screen->Leave();
    screen->Enter();
    EXPECT_EQ(screen->GetAnimation()->GetFrameIndex(), 1);
    screen->Leave();
}

TEST_F(LoadingStateTest, SoundStopsOnlyWhileAPhaseLastsAndComesBackWithTheScreenGone)
{
    Tarv::SmartPtr<LoadingState> screen = Tarv::MakeSmart<LoadingState>();
    screen->LoadNow();
    EXPECT_TRUE(Audible());
    for (int phase = 0; phase < 2; ++phase) {
        screen->Enter();
        EXPECT_FALSE(Audible()) << phase;
        screen->Leave();
        EXPECT_TRUE(Audible()) << phase;
    }
    // Released in the middle of a phase: the mixer must neither stay silent nor keep the effect.
    screen->Enter();
    screen.Reset();
    EXPECT_TRUE(Audible());
}
