// The basic renderer on a real GL screen under Xvfb: where each sprite kind lands for the
// camera at rest and moved, what is culled, and a scene of sprites at several depths against
// a golden image (BRASHWICK_UPDATE_GOLDEN=1 writes it anew).
#include "scene/BasicRenderer.h"

#include "framework/ProcessManager.h"
#include "scene/AnimatedSprite.h"
#include "scene/Camera.h"
#include "scene/ParallaxSprite.h"
#include "scene/Scene.h"
#include "scene/Sphere.h"
#include "scene/Sprite.h"
#include "scene/TiledSprite.h"
#include "tests/graphics/render/RenderTestScreen.h"
#include "tests/scene/SceneFiles.h"
#include "tests/scene/SceneWorld.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>

using namespace Vund;
using Tarv::SmartPtr;
using Tarv::Surface;

namespace
{

constexpr float F = 415.6922f; // the 60-degree camera's focal length at 800x480
const RenderTest::Rgba INK{200, 40, 90, 255};

struct Box {
    int x0 = -1;
    int y0 = -1;
    int x1 = -1; // exclusive
    int y1 = -1;
};

SmartPtr<Surface> Solid(int size)
{
    return RenderTest::MakeImage(size, size, Tarv::Texture::FORMAT_RGBA8888,
                                 [](int, int) { return INK; });
}

class BasicRendererTest : public RenderTest::ScreenTest
{
protected:
    // The bounding box of the pixels of that colour on the screen; x0 = -1 when there are none.
    Box FindInk(const RenderTest::Rgba& ink = INK)
    {
        std::vector<std::uint8_t> rgba;
        EXPECT_TRUE(Screen()->ReadBack(0, 0, 800, 480, rgba));
        Box box;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 800; ++x) {
                const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * 800 + x) * 4];
                if (!RenderTest::Near({p[0], p[1], p[2], p[3]}, ink, 2))
                    continue;
                box.x0 = box.x0 < 0 ? x : std::min(box.x0, x);
                box.y0 = box.y0 < 0 ? y : std::min(box.y0, y);
                box.x1 = std::max(box.x1, x + 1);
                box.y1 = std::max(box.y1, y + 1);
            }
        return box;
    }

    // Made first: the scene world below installs its own registry over the files' one.
    SceneTest::SceneFilesWorld files;
    SceneTest::SceneWorld world;
};

void ExpectBox(const Box& got, const Box& want)
{
    EXPECT_EQ(got.x0, want.x0);
    EXPECT_EQ(got.y0, want.y0);
    EXPECT_EQ(got.x1, want.x1);
    EXPECT_EQ(got.y1, want.y1);
}

struct Placement {
    const char* name;
    std::function<SmartPtr<DrawableObject>()> make;
    float cameraMoveX;
    Box expected; // x0 = -1: nothing drawn
};

void PrintTo(const Placement& p, std::ostream* out)
{
    *out << p.name;
}

SmartPtr<DrawableObject> PlainAt(const Vector3D& position, float scale = 1.0f)
{
    return SmartPtr<DrawableObject>(new Sprite(Solid(8), position, scale));
}

SmartPtr<DrawableObject> Untransformed(const Vector3D& position, int ox, int oy)
{
    Sprite* sprite = new Sprite(Solid(8), position, 3.0f);
    sprite->rotation = 1.0f;
    sprite->SetOffset(ox, oy);
    sprite->SetTransformed(false);
    return SmartPtr<DrawableObject>(sprite);
}

SmartPtr<DrawableObject> Parallax(const Vector3D& position, bool fixed)
{
    ParallaxSprite* sprite = new ParallaxSprite(Solid(8), position, 1.0f);
    sprite->screenFixed = fixed;
    return SmartPtr<DrawableObject>(sprite);
}

template <class Grid>
SmartPtr<DrawableObject> GridWithTileAt(float gridZ, const Vector3D& tile, float tileScale = 5.0f)
{
    Grid* grid = new Grid(Vector3D(0, 0, gridZ), 1.0f);
    grid->tiles.push_back(SmartPtr<Sprite>(new Sprite(Solid(8), tile, tileScale)));
    return SmartPtr<DrawableObject>(grid);
}

class Placements : public BasicRendererTest, public ::testing::WithParamInterface<Placement>
{
};

TEST_P(Placements, LandWhereTheProjectionPutsThem)
{
    const Placement& p = GetParam();
    Camera* camera = Camera::GetActive();
    camera->MoveBy(Vector3D(p.cameraMoveX, 0, 0), false);
    p.make()->Draw(Screen());
    ExpectBox(FindInk(), p.expected);
}

const float NAN_F = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Kinds, Placements,
    ::testing::Values(
        Placement{"AtTheCameraCentre", [] { return PlainAt(Vector3D(400, 240, 0)); }, 0, {400, 232, 408, 240}},
        Placement{"AtTheCameraDepth", [] { return PlainAt(Vector3D(400, 240, F)); }, 0, {}},
        Placement{"BehindTheCamera", [] { return PlainAt(Vector3D(400, 240, 2 * F)); }, 0, {}},
        Placement{"AtANaNDepth", [] { return PlainAt(Vector3D(400, 240, NAN_F)); }, 0, {}},
        Placement{"TransformedWithOffset",
                  [] {
                      Sprite* s = new Sprite(Solid(8), Vector3D(100, 50, 0), 2.0f);
                      s->SetOffset(1, 2);
                      return SmartPtr<DrawableObject>(s);
                  },
                  0, {102, 418, 118, 434}},
        Placement{"PlainBlitIgnoresScaleAndRotation", [] { return Untransformed(Vector3D(100.7f, 50, 0), 2, 3); },
                  0, {102, 409, 110, 417}},
        Placement{"PlainBlitTruncatesTowardZero", [] { return Untransformed(Vector3D(-0.5f, 50, 0), 0, 0); }, 0,
                  {0, 406, 8, 414}},
        Placement{"WithoutASurface",
                  [] { return SmartPtr<DrawableObject>(new Sprite(Vector3D(400, 240, 0), 1.0f)); }, 0, {}},
        Placement{"Sphere", [] { return SmartPtr<DrawableObject>(new Sphere(Vector3D(400, 240, 0), 50)); }, 0, {}},
        Placement{"ScreenFixed", [] { return Parallax(Vector3D(10.7f, 20.2f, -F), true); }, 100, {10, 20, 18, 28}},
        Placement{"ParallaxAtZeroDepth", [] { return Parallax(Vector3D(100, 50, 0), false); }, 0, {100, 422, 108, 430}},
        Placement{"ParallaxTwiceAsFar", [] { return Parallax(Vector3D(100, 50, -F), false); }, 0, {50, 447, 58, 455}},
        Placement{"ParallaxTwiceAsFarCameraMoved", [] { return Parallax(Vector3D(100, 50, -F), false); }, 100,
                  {0, 447, 8, 455}},
        Placement{"TiledParallaxTile",
                  [] { return GridWithTileAt<TiledParallaxSprite>(-F, Vector3D(100, 50, -F), 1.0f); }, 0,
                  {100, 422, 108, 430}},
        // Each tile of a tiled parallax sprite keeps its own scale (here 5).
        Placement{"TiledParallaxTileCameraMoved",
                  [] { return GridWithTileAt<TiledParallaxSprite>(-F, Vector3D(100, 50, -F)); }, 100,
                  {50, 390, 90, 430}},
        // One depth test for the grid: a tile whose own z lies behind the camera is drawn,
        // at the grid's scale (1), not its own (5).
        Placement{"TiledSpriteTestsTheGridDepthOnly",
                  [] { return GridWithTileAt<TiledSprite>(0, Vector3D(100, 50, 2 * F)); }, 0, {100, 422, 108, 430}},
        Placement{"TiledParallaxTestsEachTile",
                  [] { return GridWithTileAt<TiledParallaxSprite>(0, Vector3D(100, 50, 2 * F)); }, 0, {}}),
    [](const ::testing::TestParamInfo<Placement>& info) { return std::string(info.param.name); });

TEST_F(BasicRendererTest, FirstDrawInstallsOneDefaultCamera)
{
    ASSERT_FALSE(ActiveCamera);
    const SmartPtr<DrawableObject> sprite = PlainAt(Vector3D(400, 240, 0));
    sprite->Draw(Screen());
    Camera* installed = ActiveCamera.Get();
    ASSERT_NE(installed, nullptr);
    EXPECT_FLOAT_EQ(installed->GetProjection().z, F);
    sprite->Draw(Screen());
    EXPECT_EQ(ActiveCamera.Get(), installed);
}

TEST_F(BasicRendererTest, WithoutARendererNothingIsDrawn)
{
    Renderer::Instance.Reset();
    PlainAt(Vector3D(400, 240, 0))->Draw(Screen());
    EXPECT_EQ(FindInk().x0, -1);
}

// Two background layers scrolled by the camera: the far one (twice as far from the camera as
// the world layer) moves at half the camera's speed, the near one at its full speed.
TEST_F(BasicRendererTest, ParallaxBackgroundScrollsWithTheCamera)
{
    const RenderTest::Rgba far{40, 200, 60, 255};
    files.WritePng("near.png", 8, 8, INK.r, INK.g, INK.b);
    files.WritePng("far.png", 8, 8, far.r, far.g, far.b);
    Scene background;
    background.AddObject(SmartPtr<DrawableObject>(
        new ParallaxSprite(Tarv::AssetDict::GetSurface("far.png@linear", false), Vector3D(400, 100, -F), 1.0f)));
    background.AddObject(SmartPtr<DrawableObject>(
        new ParallaxSprite(Tarv::AssetDict::GetSurface("near.png@linear", false), Vector3D(200, 100, 0), 1.0f)));
    for (const float move : {0.0f, 100.0f}) {
        Camera::GetActive()->MoveBy(Vector3D(move, 0, 0), false);
        Screen()->ClearGrey(0);
        background.Draw(Screen());
        ExpectBox(FindInk(), {200 - int(move), 372, 208 - int(move), 380});
        ExpectBox(FindInk(far), {200 - int(move) / 2, 422, 208 - int(move) / 2, 430});
    }
}

// A hero animation cycled frame by frame, plain and mirrored: each frame sits at its offset
// on the 64 x 64 canvas (mirrored about the canvas's middle) and its image is turned over.
TEST_F(BasicRendererTest, AnimationFramesCycleMirroredAndNot)
{
    files.WritePng("run1.png", 20, 8, INK.r, INK.g, INK.b, true);
    files.WritePng("run2.png", 12, 8, INK.r, INK.g, INK.b, true);
    files.Write("hero.xml", R"(<anim default-canvas-width="64" default-canvas-height="64" default-fps="8" default-loop="yes">
        <animation name="run"><frame x="10" y="4">run1.png</frame><frame>run2.png</frame></animation></anim>)");
    SmartPtr<AnimatedSprite> hero(new AnimatedSprite("hero.xml", Vector3D(100, 100, 0), "", 1.0f));
    Quor::ProcessManager steps("hero");
    steps.AddProcess(hero.Get());
    const RenderTest::Rgba blue{0, 0, 255, 255};
    struct Expected {
        int mirror;
        Box box;
        bool blueOnTheRight;
    };
    const Expected frames[] = {{0, {110, 320, 130, 328}, true}, {0, {100, 316, 112, 324}, true},
                               {2, {134, 320, 154, 328}, false}, {2, {152, 316, 164, 324}, false}};
    for (const Expected& frame : frames) {
        hero->mirrorMode = frame.mirror;
        Screen()->ClearGrey(0);
        hero->Draw(Screen());
        const Box red = FindInk(), right = FindInk(blue);
        EXPECT_EQ(std::min(red.x0, right.x0), frame.box.x0);
        EXPECT_EQ(std::max(red.x1, right.x1), frame.box.x1);
        EXPECT_EQ(red.y0, frame.box.y0);
        EXPECT_EQ(red.y1, frame.box.y1);
        EXPECT_EQ(right.x0 > red.x0, frame.blueOnTheRight);
        steps.Tick(0.125f);
    }
}

// The golden scene: a screen-fixed frame, a far parallax band, tiles, and sprites at three
// depths, turned, scaled and mirrored, drawn back to front.
constexpr int GOLDEN_X = 0, GOLDEN_Y = 240, GOLDEN_W = 320, GOLDEN_H = 240;

RenderTest::Rgba Texel(int x, int y)
{
    if ((x - 8) * (x - 8) + (y - 8) * (y - 8) > 64)
        return RenderTest::Rgba{255, 0, 255, 255};
    return RenderTest::Rgba{30 + 14 * x, 220 - 12 * y, 60 + 9 * (x ^ y), 255};
}

SmartPtr<Scene> GoldenScene()
{
    const SmartPtr<Surface> ball = RenderTest::MakeImage(16, 16, Tarv::Texture::FORMAT_RGB888, Texel);
    ball->SetFlags(Surface::FLAG_COLOR_KEY);
    const SmartPtr<Surface> band = RenderTest::MakeImage(
        64, 16, Tarv::Texture::FORMAT_RGBA8888, [](int x, int y) { return RenderTest::Rgba{40 + 3 * x, 90, 120 + 6 * y, 255}; });
    SmartPtr<Scene> scene(new Scene());
    for (int i = 0; i < 5; ++i)
        scene->AddObject(SmartPtr<DrawableObject>(new ParallaxSprite(band, Vector3D(128.0f * i, 100, -F), 1.0f)));
    TiledSprite* tiles = new TiledSprite(Vector3D(16, 8, 0), 1.0f);
    for (int i = 0; i < 6; ++i)
        tiles->tiles.push_back(SmartPtr<Sprite>(new Sprite(ball, Vector3D(16.0f + 16.0f * i, 8.0f + 8.0f * (i % 2), 0), 1.0f)));
    scene->AddObject(SmartPtr<DrawableObject>(tiles));
    for (int i = 0; i < 5; ++i) {
        const float depth = i % 3 == 0 ? 0.0f : (i % 3 == 1 ? -F / 2 : F / 3);
        Sprite* sprite = new Sprite(ball, Vector3D(40.0f + 50.0f * i, 60.0f + 20.0f * (i % 2), depth), 1.0f + 0.5f * i);
        sprite->rotation = 0.3f * i;
        sprite->mirrorMode = i % 3;
        sprite->SetOffset(-8, -8);
        scene->AddObject(SmartPtr<DrawableObject>(sprite));
    }
    ParallaxSprite* badge = new ParallaxSprite(ball, Vector3D(290, 250, 0), 1.0f);
    badge->screenFixed = true;
    scene->AddObject(SmartPtr<DrawableObject>(badge));
    return scene;
}

std::string GoldenPath()
{
    return BRASHWICK_SOURCE_DIR "/tests/scene/golden/DepthScene.ppm";
}

TEST_F(BasicRendererTest, SceneOfSpritesAtSeveralDepthsMatchesTheGoldenImage)
{
    GoldenScene()->Draw(Screen());
    std::vector<std::uint8_t> rgba;
    ASSERT_TRUE(Screen()->ReadBack(GOLDEN_X, GOLDEN_Y, GOLDEN_W, GOLDEN_H, rgba));
    std::vector<std::uint8_t> rgb;
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
    const char* update = std::getenv("BRASHWICK_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream out(GoldenPath(), std::ios::binary);
        out << "P6\n" << GOLDEN_W << " " << GOLDEN_H << "\n255\n";
        out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
        return;
    }
    std::ifstream in(GoldenPath(), std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    ASSERT_TRUE(in && magic == "P6" && width == GOLDEN_W && height == GOLDEN_H && maximum == 255) << GoldenPath();
    const std::vector<std::uint8_t> golden((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(golden.size(), rgb.size());
    int differing = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        int largest = 0;
        for (int c = 0; c < 3; ++c)
            largest = std::max(largest, std::abs(int(rgb[i + c]) - int(golden[i + c])));
        differing += largest > 4 ? 1 : 0;
    }
    // Rasterisation may differ by a pixel along turned edges, nowhere else.
    EXPECT_LE(differing, GOLDEN_W * GOLDEN_H / 200);
}

} // namespace
