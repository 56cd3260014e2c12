// The basic renderer on a real GL screen under Xvfb: where each sprite kind lands for the
// camera at rest and moved, what is culled, a parallax background and an animation read back,
// and a scene of sprites at several depths against a golden image (BRASHWICK_UPDATE_GOLDEN=1
// writes it anew).
#include "scene/BasicRenderer.h"

#include "framework/ProcessManager.h"
#include "scene/AnimatedSprite.h"
#include "scene/Camera.h"
#include "scene/ParallaxSprite.h"
#include "scene/Scene.h"
#include "scene/Sphere.h"
#include "scene/TiledSprite.h"
#include "tests/graphics/render/RenderTestScreen.h"
#include "tests/scene/SceneFiles.h"
#include "tests/scene/SceneWorld.h"

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <string>

using namespace Vund;
using Tarv::SmartPtr;
using Tarv::Surface;

namespace
{

constexpr float F = 415.6922f; // the 60-degree camera's focal length at 800x480
const RenderTest::Rgba INK{200, 40, 90, 255};
const RenderTest::Rgba BLUE{0, 0, 255, 255};
using Box = std::array<int, 4>; // x0, y0, x1, y1 (exclusive); all -1 when nothing is drawn
const Box NONE = {-1, -1, -1, -1};

SmartPtr<Surface> Solid()
{
    return RenderTest::MakeImage(8, 8, Tarv::PixelDataGL::FORMAT_RGBA8888, [](int, int) { return INK; });
}

class BasicRendererTest : public RenderTest::ScreenTest
{
protected:
    // The grids below come from a tiled-sprite file without tiles; the tests append their own,
    // as the game does.
    BasicRendererTest() { files.Write("grid.xml", "<grid width=\"0\" height=\"0\"/>"); }

    // The bounding box of the pixels of that colour on the screen.
    Box FindInk(const RenderTest::Rgba& ink = INK)
    {
        std::vector<std::uint8_t> rgba;
        EXPECT_TRUE(RenderTest::ReadBack(Screen(), 0, 0, 800, 480, rgba));
        Box box = NONE;
        for (int i = 0; i < 800 * 480; ++i) {
            const std::uint8_t* p = &rgba[static_cast<std::size_t>(i) * 4];
            if (!RenderTest::Near({p[0], p[1], p[2], p[3]}, ink, 2))
                continue;
            const int x = i % 800, y = i / 800;
            box = box[0] < 0 ? Box{x, y, x + 1, y + 1}
                             : Box{std::min(box[0], x), box[1], std::max(box[2], x + 1), y + 1};
        }
        return box;
    }

    // Made first: the scene world below installs its own registry over the files' one.
    SceneTest::SceneFilesWorld files;
    SceneTest::SceneWorld world;
};

SmartPtr<DrawableObject> Plain(const Vector3D& at, float scale = 1.0f, int ox = 0, int oy = 0, bool transformed = true)
{
    Sprite* sprite = new Sprite(Solid(), at, scale);
    sprite->rotation = transformed ? 0.0f : 1.0f;
    sprite->SetOffset(ox, oy);
    sprite->SetTransformed(transformed);
    return SmartPtr<DrawableObject>(sprite);
}

SmartPtr<DrawableObject> Parallax(const Vector3D& at, bool fixed)
{
    ParallaxSprite* sprite = new ParallaxSprite(Solid(), at, 1.0f);
    sprite->screenFixed = fixed;
    return SmartPtr<DrawableObject>(sprite);
}

// A grid at depth gridZ (scale 1) holding one tile of its own scale.
template <class Grid>
SmartPtr<DrawableObject> GridWith(float gridZ, const Vector3D& tile, float tileScale)
{
    Grid* grid = new Grid("grid.xml", Vector3D(0, 0, gridZ), "", 1.0f);
    grid->tiles.push_back(SmartPtr<Sprite>(new Sprite(Solid(), tile, tileScale)));
    return SmartPtr<DrawableObject>(grid);
}

struct Placement {
    const char* name;
    std::function<SmartPtr<DrawableObject>()> make;
    float cameraMoveX;
    Box expected;
};

void PrintTo(const Placement& c, std::ostream* out)
{
    *out << c.name;
}

class Placements : public BasicRendererTest, public ::testing::WithParamInterface<Placement>
{
};

TEST_P(Placements, LandWhereTheProjectionPutsThem)
{
    Camera::GetActive()->MoveBy(Vector3D(GetParam().cameraMoveX, 0, 0), false);
    GetParam().make()->Draw(Screen());
    EXPECT_EQ(FindInk(), GetParam().expected);
}

const float NAN_F = std::numeric_limits<float>::quiet_NaN();
using TP = TiledParallaxSprite;

INSTANTIATE_TEST_SUITE_P(
    Kinds, Placements,
    ::testing::Values(
        Placement{"AtTheCameraCentre", [] { return Plain({400, 240, 0}); }, 0, {400, 232, 408, 240}},
        Placement{"AtTheCameraDepth", [] { return Plain({400, 240, F}); }, 0, NONE},
        Placement{"BehindTheCamera", [] { return Plain({400, 240, 2 * F}); }, 0, NONE},
        Placement{"AtANaNDepth", [] { return Plain({400, 240, NAN_F}); }, 0, NONE},
        Placement{"TransformedWithOffset", [] { return Plain({100, 50, 0}, 2, 1, 2); }, 0, {102, 418, 118, 434}},
        Placement{"PlainBlitIgnoresScale", [] { return Plain({100.7f, 50, 0}, 3, 2, 3, false); }, 0, {102, 409, 110, 417}},
        Placement{"PlainBlitTruncatesTowardZero", [] { return Plain({-0.5f, 50, 0}, 3, 0, 0, false); }, 0,
                  {0, 406, 8, 414}},
        Placement{"WithoutASurface", [] { return SmartPtr<DrawableObject>(new Sprite({400, 240, 0}, 1)); }, 0, NONE},
        Placement{"Sphere", [] { return SmartPtr<DrawableObject>(new Sphere({400, 240, 0}, 50)); }, 0, NONE},
        Placement{"ScreenFixed", [] { return Parallax({10.7f, 20.2f, -F}, true); }, 100, {10, 20, 18, 28}},
        Placement{"ParallaxAtZeroDepth", [] { return Parallax({100, 50, 0}, false); }, 0, {100, 422, 108, 430}},
        Placement{"ParallaxTwiceAsFar", [] { return Parallax({100, 50, -F}, false); }, 0, {50, 447, 58, 455}},
        Placement{"ParallaxCameraMoved", [] { return Parallax({100, 50, -F}, false); }, 100, {0, 447, 8, 455}},
        Placement{"TiledParallaxTile", [] { return GridWith<TP>(-F, {100, 50, -F}, 1); }, 0, {100, 422, 108, 430}},
        // Each tile of a tiled parallax sprite keeps its own scale.
        Placement{"TiledParallaxCameraMoved", [] { return GridWith<TP>(-F, {100, 50, -F}, 5); }, 100, {50, 390, 90, 430}},
        // One depth test for a tiled sprite: a tile behind the camera is drawn, at the grid's scale.
        Placement{"TiledSpriteTestsTheGridOnly", [] { return GridWith<TiledSprite>(0, {100, 50, 2 * F}, 5); }, 0,
                  {100, 422, 108, 430}},
        Placement{"TiledParallaxTestsEachTile", [] { return GridWith<TP>(0, {100, 50, 2 * F}, 5); }, 0, NONE}),
    [](const ::testing::TestParamInfo<Placement>& info) { return std::string(info.param.name); });

TEST_F(BasicRendererTest, FirstDrawInstallsOneDefaultCameraAndNoRendererDrawsNothing)
{
    ASSERT_FALSE(ActiveCamera);
    const SmartPtr<DrawableObject> sprite = Plain({400, 240, 0});
    sprite->Draw(Screen());
    Camera* installed = ActiveCamera.Get();
    ASSERT_NE(installed, nullptr);
    sprite->Draw(Screen());
    EXPECT_EQ(ActiveCamera.Get(), installed);
    Screen()->ClearGrey(0);
    Renderer::Instance.Reset();
    sprite->Draw(Screen());
    EXPECT_EQ(FindInk(), NONE);
}

// The far layer (twice as far from the camera as the world layer) moves at half the camera's
// speed, the near one at its full speed.
TEST_F(BasicRendererTest, ParallaxBackgroundScrollsWithTheCamera)
{
    files.WritePng("near.png", 8, 8, INK.r, INK.g, INK.b);
    files.WritePng("far.png", 8, 8, 0, 0, 255);
    Scene background;
    background.AddObject(SmartPtr<DrawableObject>(
        new ParallaxSprite(Tarv::AssetDict::GetSurface("far.png@linear", false), {400, 100, -F}, 1)));
    background.AddObject(SmartPtr<DrawableObject>(
        new ParallaxSprite(Tarv::AssetDict::GetSurface("near.png@linear", false), {200, 100, 0}, 1)));
    for (const int move : {0, 100}) {
        Camera::GetActive()->MoveBy(Vector3D(static_cast<float>(move), 0, 0), false);
        Screen()->ClearGrey(0);
        background.Draw(Screen());
        EXPECT_EQ(FindInk(), (Box{200 - move, 372, 208 - move, 380}));
        EXPECT_EQ(FindInk(BLUE), (Box{200 - move / 2, 422, 208 - move / 2, 430}));
    }
}

// A hero animation cycled frame by frame, plain and mirrored: each frame sits at its offset on
// the 64 x 64 canvas (mirrored about the canvas's middle), its image turned over.
TEST_F(BasicRendererTest, AnimationFramesCycleMirroredAndNot)
{
    files.WritePng("run1.png", 20, 8, INK.r, INK.g, INK.b, true);
    files.WritePng("run2.png", 12, 8, INK.r, INK.g, INK.b, true);
    files.Write("hero.xml", R"(<a default-canvas-width="64" default-canvas-height="64" default-fps="8" default-loop="yes">
        <animation name="run"><frame x="10" y="4">run1.png</frame><frame>run2.png</frame></animation></a>)");
    SmartPtr<AnimatedSprite> hero(new AnimatedSprite("hero.xml", {100, 100, 0}, "", 1));
    Quor::ProcessManager steps("hero");
    steps.AddProcess(hero.Get());
    const std::array<int, 4> left = {110, 100, 134, 152}, right = {130, 112, 154, 164}, top = {320, 316, 320, 316};
    for (int i = 0; i < 4; ++i) {
        hero->mirrorMode = i < 2 ? 0 : 2;
        Screen()->ClearGrey(0);
        hero->Draw(Screen());
        const Box red = FindInk(), blue = FindInk(BLUE);
        EXPECT_EQ(std::min(red[0], blue[0]), left[i]) << i;
        EXPECT_EQ(std::max(red[2], blue[2]), right[i]) << i;
        EXPECT_EQ(red[1], top[i]) << i;
        EXPECT_EQ(blue[0] > red[0], i < 2) << i; // the blue half is on the right unless mirrored
        steps.Tick(0.125f);
    }
}

RenderTest::Rgba Ball(int x, int y)
{
    if ((x - 8) * (x - 8) + (y - 8) * (y - 8) > 64)
        return RenderTest::Rgba{255, 0, 255, 255};
    return RenderTest::Rgba{30 + 14 * x, 220 - 12 * y, 60 + 9 * (x ^ y), 255};
}

// A far parallax band, a row of tiles, sprites at three depths (turned, scaled, mirrored,
// offset) and a screen-fixed badge, drawn back to front.
SmartPtr<Scene> GoldenScene()
{
    const SmartPtr<Surface> ball = RenderTest::MakeImage(16, 16, Tarv::PixelDataGL::FORMAT_RGB888, Ball);
    ball->SetFlags(Surface::FLAG_COLOR_KEY);
    const SmartPtr<Surface> band = RenderTest::MakeImage(64, 16, Tarv::PixelDataGL::FORMAT_RGBA8888, [](int x, int y) {
        return RenderTest::Rgba{40 + 3 * x, 90, 120 + 6 * y, 255};
    });
    SmartPtr<Scene> scene(new Scene());
    for (int i = 0; i < 5; ++i)
        scene->AddObject(SmartPtr<DrawableObject>(new ParallaxSprite(band, {128.0f * i, 100, -F}, 1)));
    TiledSprite* tiles = new TiledSprite("grid.xml", {16, 8, 0}, "", 1);
    for (int i = 0; i < 6; ++i)
        tiles->tiles.push_back(SmartPtr<Sprite>(new Sprite(ball, {16.0f + 16.0f * i, 8.0f + 8.0f * (i % 2), 0}, 1)));
    scene->AddObject(SmartPtr<DrawableObject>(tiles));
    for (int i = 0; i < 5; ++i) {
        const float depths[3] = {0.0f, -F / 2, F / 3};
        Sprite* sprite = new Sprite(ball, {40.0f + 50.0f * i, 60.0f + 20.0f * (i % 2), depths[i % 3]}, 1.0f + 0.5f * i);
        sprite->rotation = 0.3f * i;
        sprite->mirrorMode = i % 3;
        sprite->SetOffset(-8, -8);
        scene->AddObject(SmartPtr<DrawableObject>(sprite));
    }
    ParallaxSprite* badge = new ParallaxSprite(ball, {290, 250, 0}, 1);
    badge->screenFixed = true;
    scene->AddObject(SmartPtr<DrawableObject>(badge));
    return scene;
}

TEST_F(BasicRendererTest, SceneOfSpritesAtSeveralDepthsMatchesTheGoldenImage)
{
    GoldenScene()->Draw(Screen());
    const RenderTest::GoldenDiff diff = RenderTest::CompareGolden(
        Screen(), BRASHWICK_SOURCE_DIR "/tests/scene/golden/DepthScene.ppm", 320, 240, 4, 0, 240);
    ASSERT_TRUE(diff.compared);
    // Rasterisation may differ by a pixel along turned edges, nowhere else.
    EXPECT_LE(diff.differing, 320 * 240 / 200);
}

} // namespace
