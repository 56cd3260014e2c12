// Shipped levels from the built archives drawn on a real GL screen with the camera held where a
// player sees them, against goldens (BRASHWICK_UPDATE_GOLDEN=1 rewrites them): the ski hill with
// the cells under it, the open water a boat crosses beside the ice the skates cross, and the
// parallax background at the lowest camera of a tall level.
#include "framework/AssetDict.h"
#include "framework/AssetFunctions.h"
#include "game/Level.h"
#include "scene/BasicRenderer.h"
#include "scene/Camera.h"
#include "tests/game/GameWorld.h"
#include "tests/graphics/render/RenderTestScreen.h"

#include <cstdio>

using namespace Pirrock;

class LevelViewTest : public RenderTest::ScreenTest, public GameTest::GameFiles
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(GameTest::MountBuiltArchives());
        Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
        ASSERT_TRUE(Settings().Init("quor", "", "config/defaults.xml", true));
        Tarv::Registry::Instance->SetInt("/machine/resolution/x", 800);
        Tarv::Registry::Instance->SetInt("/machine/resolution/y", 480);
        Vund::Renderer::Instance = new Vund::BasicRenderer();
        camera = Tarv::MakeSmart<Vund::Camera>(Vund::Degree(60.0f));
        for (const char* atlas : ATLASES)
            ASSERT_TRUE(Quor::LoadAtlas(atlas)) << atlas;
        Vund::Camera::Install(camera.Get());
    }

    void TearDown() override
    {
        Vund::Camera::Install(nullptr);
        camera.Reset();
        Vund::Renderer::Instance.Reset();
        World::Instance.Reset();
        for (const char* atlas : ATLASES)
            Quor::UnloadAtlas(atlas);
        Tarv::AssetDict::Instance.Reset();
        ScreenTest::TearDown();
    }

    // Half the height of the level the camera shows (the defaults' "ideal_vertical_span"): the
    // camera's lowest middle.
    float HalfSpan() { return static_cast<float>(Settings().GetInt("constants/ideal_vertical_span")) / 2.0f; }

    // The level's scene and items, with the middle of the screen on world (x, y), seen from the
    // camera's height in play.
    void Draw(int number, float x, float y)
    {
        char path[32];
        std::snprintf(path, sizeof path, "levels/%02d.xml", number);
        level = Level::Load(path);
        ASSERT_TRUE(level && level->CreateWorld(nullptr)) << path;
        const Vund::Vector3D& projection = camera->GetProjection();
        camera->SetPosition({x, y, projection.z * HalfSpan() / projection.y}, false);
        Screen()->ClearGrey(0);
        level->Render(Screen());
        Batcher()->Flush();
    }

    void ExpectGolden(const char* name, int x, int y, int w, int h)
    {
        const std::string path = std::string(BRASHWICK_SOURCE_DIR "/tests/game/golden/level_") + name + ".ppm";
        const RenderTest::GoldenDiff diff = RenderTest::CompareGolden(Screen(), path, w, h, 4, x, y);
        ASSERT_TRUE(diff.compared) << path;
        EXPECT_LE(diff.differing, w * h / 200) << name;
        EXPECT_LE(diff.worst, 60) << name;
    }

    static constexpr const char* ATLASES[] = {"game.xml", "anim.xml", "tiles6.xml", "back5.xml"};
    Tarv::SmartPtr<Vund::Camera> camera;
    Tarv::SmartPtr<Level> level;
};

// Level 30 is 20 rows of 48: row r's foot lies at 48 (19 - r). Its ski stands in column 10 of
// row 4 (foot 720); the boat's water is columns 76..80 and the skates' ice 84..88 of row 12.
TEST_F(LevelViewTest, TheSkiHillStandsInItsCellsAndOpenWaterIsNotIce)
{
    Draw(30, 48 * 14.0f, 600.0f);
    ExpectGolden("30_ski_hill", 160, 100, 440, 300);
    Draw(30, 48 * 82.0f, 480.0f);
    ExpectGolden("30_water", 0, 220, 800, 180);
}

// Level 26 starts in row 4 and ends in row 13 of 19: at the camera's lowest the background's
// hills and their base fill the screen down to the ground, with no bare sky below them.
TEST_F(LevelViewTest, ATallLevelsBackgroundCoversItsLowestCamera)
{
    Draw(26, 48 * 92.0f, HalfSpan());
    ExpectGolden("26_low", 0, 40, 400, 360);
}
