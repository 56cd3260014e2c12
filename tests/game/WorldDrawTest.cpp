// A level drawn on a real GL screen under Xvfb: the level's scene first, then the World's items,
// its selection indicator and the hero, each above the one before, read back from the frame.
#include "framework/Settings.h"
#include "game/Level.h"
#include "game/Pirrock.h"
#include "game/World.h"
#include "tests/graphics/render/RenderTestScreen.h"
#include "tests/scene/SceneFiles.h"
#include "tests/scene/SceneWorld.h"

using namespace Pirrock;

class WorldDrawTest : public RenderTest::ScreenTest
{
protected:
    ~WorldDrawTest() override
    {
        World::Instance.Reset();
        Pirrock::Pirrock::SetInstance({});
    }

    SceneTest::SceneFilesWorld files;
    SceneTest::SceneWorld world;
};

TEST_F(WorldDrawTest, TheHeroCoversTheIndicatorWhichCoversTheItemsOverTheLevelsScene)
{
    // Squares with their lower-left corners at world (100, 100), screen (100, 380) for the camera
    // at rest: the level's 64-pixel background, the apple's 32, the indicator's 24, the hero's 16.
    for (const char* folder : {"anim", "levels", "images/game", "images/debug"})
        std::filesystem::create_directories(files.m_dir / folder);
    files.WritePng("back.png", 64, 64, 0, 200, 0);
    files.WritePng("images/game/apple.png", 32, 32, 220, 0, 0);
    files.WritePng("images/debug/debug_cell_yellow.png", 24, 24, 230, 230, 0);
    files.WritePng("hero.png", 16, 16, 0, 0, 240);
    files.Write("anim/pirrock_game.xml", "<a default-canvas-width='16' default-canvas-height='16'>"
                                         "<animation name='run'><frame>hero.png</frame></animation></a>");
    files.Write("levels/01.xml", "<l><scene><layer z='0'><item type='sprite' x='100' y='100' scale='1'>back.png"
                                 "</item></layer></scene><time>9</time><code-map>levels/m.xml</code-map></l>");
    files.Write("levels/m.xml", "<m width='3' height='3' tile-width='100' tile-height='100'>"
                                "<item x='0' y='1'>11</item><item x='1' y='1'>42</item></m>");
    Quor::Settings::GetInstance()->SetBool("dev/enable_cheats", true);
    Quor::Settings::GetInstance()->SetBool("dev/selection_indicator", true);
    Pirrock::Pirrock::SetInstance(Tarv::MakeSmart<Pirrock::Pirrock>());
    const Tarv::SmartPtr<Level> level = Level::Load("levels/01.xml");
    ASSERT_TRUE(level && level->CreateWorld(nullptr));
    World::Instance->GetSelectionIndicator()->position = World::Instance->CellToWorld({1, 1});
    level->Render(Screen());

    const std::pair<std::array<int, 2>, RenderTest::Rgba> expected[] = {
        {{104, 376}, {0, 0, 240, 255}}, {{120, 362}, {230, 230, 0, 255}}, {{128, 352}, {220, 0, 0, 255}},
        {{150, 330}, {0, 200, 0, 255}}, {{170, 300}, {0, 0, 0, 255}}};
    for (const auto& [at, colour] : expected) {
        const RenderTest::Rgba got = RenderTest::ReadPixel(Screen(), at[0], at[1]);
        EXPECT_TRUE(RenderTest::Near(got, colour, 2)) << at[0] << ", " << at[1] << ": " << got;
    }
}
