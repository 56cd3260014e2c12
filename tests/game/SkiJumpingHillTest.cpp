// The ski-jump curve with cells of 32 units: bottom 2 cells right and 2 down, take-off 4 right
// and level with the start, so the slope at the start is -2 in every unit.
#include "game/SkiJumpingHill.h"

#include "GameWorld.h"

#include <cmath>

namespace
{

using Pirrock::SkiJumpingHill;
using Vund::Vector3D;

class SkiJumpingHillTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Pirrock::Pirrock::SetInstance(Tarv::MakeSmart<Pirrock::Pirrock>());
        hero = Pirrock::Pirrock::GetInstance().Get();
        Pirrock::World::Instance = GameTest::MakeWorld({"....", "...."});
        Constants(2, -2, 4, 0);
        files.Settings().SetInt("constants/pirrock_rotation_shift_flat/x", -20);
        files.Settings().SetInt("constants/pirrock_rotation_shift_flat/y", -30);
    }
    void Constants(int bx, int by, int ex, int ey)
    {
        files.Settings().SetInt("constants/ski_jumping_hill_bottom_cells/x", bx);
        files.Settings().SetInt("constants/ski_jumping_hill_bottom_cells/y", by);
        files.Settings().SetInt("constants/ski_jumping_hill_end_cells/x", ex);
        files.Settings().SetInt("constants/ski_jumping_hill_end_cells/y", ey);
    }

    GameTest::GameFiles files;
    Pirrock::Pirrock* hero = nullptr;
};

TEST_F(SkiJumpingHillTest, TheHeroIsPinnedAndPushedInsideTheSpanOnly)
{
    SkiJumpingHill hill({50.0f, 100.0f, 0.0f});  // right half of column 1: starts at 64
    EXPECT_EQ(hill.GetStart().x, 64.0f);
    EXPECT_EQ(hill.GetEnd().x, 192.0f);
    const float steep = std::atan(2.0f) * 57.29578f;
    EXPECT_NEAR(hill.GetTangentAngle(64.0f).value, steep, 1e-3f);
    EXPECT_NEAR(hill.GetTangentAngle(128.0f).value, 360.0f, 1e-3f);

    struct Case
    {
        float x, y;  // hero before the step
        bool inside;
        float yAfter, push;
    };
    for (const Case& c : {Case{50, 5, false, 5, 0}, Case{64, 5, true, 100, 4}, Case{128, 5, true, 36, 0},
                          Case{192, 5, true, 100, -4}, Case{192.5f, 5, false, 5, 0}}) {
        hero->SetPosition({c.x, c.y, 0}, false);
        hero->force = Vector3D();
        EXPECT_EQ(hill.Step(), c.inside) << c.x;
        EXPECT_NEAR(hero->GetPosition().y, c.yAfter, 1e-2f) << c.x;
        EXPECT_NEAR(hero->force.x, c.push, 1e-3f) << c.x;
    }
}

// The game's own hill (bottom 3 cells right and 2 down, lip 6 right and 1 down, cells of 48): the
// hero leans nose-down on the falling start, level at the bottom and nose-up at the lip, like on
// slope cells (rotation -45 degrees on a rising cell, +45 on a falling one), and its picture
// offset moves from the level one towards the slope cell's in the same proportion.
TEST_F(SkiJumpingHillTest, TheHeroLeansWithTheTangentFromTheStartOverTheBottomToTheLip)
{
    Pirrock::World::Instance = GameTest::CreateWorld({8, 2, 48, 48}, {}, {0, 0}, nullptr, {});
    Constants(3, -2, 6, -1);
    files.Settings().SetInt("constants/pirrock_rotation_shift_down/x", 25);
    files.Settings().SetInt("constants/pirrock_rotation_shift_down/y", 6);
    files.Settings().SetInt("constants/pirrock_rotation_shift_up/x", -65);
    files.Settings().SetInt("constants/pirrock_rotation_shift_up/y", -39);
    SkiJumpingHill hill({96.0f, 480.0f, 0.0f});
    // y = x * x / 288 - 7 x / 6 from the start: slope -7/6 at the start, 0 at 168, 5/6 at 288.
    struct Case
    {
        const char* where;
        float x, tiltDegrees;
    };
    for (const Case& c : {Case{"start", 96, -49.399f}, Case{"bottom", 96 + 168, 0.0f}, Case{"lip", 96 + 288, 39.806f}}) {
        hero->SetPosition({c.x, 0, 0}, false);
        ASSERT_TRUE(hill.Step()) << c.where;
        EXPECT_NEAR(hero->rotation, -c.tiltDegrees * 0.017453292f, 1e-3f) << c.where;
        const float t = std::fabs(c.tiltDegrees) / 45.0f;
        const Vector3D slope = c.tiltDegrees > 0 ? Vector3D(-65, -39, 0) : Vector3D(25, 6, 0);
        EXPECT_NEAR(hero->GetSpriteOffset().x, -20.0f + (slope.x + 20.0f) * t, 0.05f) << c.where;
        EXPECT_NEAR(hero->GetSpriteOffset().y, -30.0f + (slope.y + 30.0f) * t, 0.05f) << c.where;
    }
}

TEST_F(SkiJumpingHillTest, DegenerateConstantsGiveALevelOrEmptyHillWithoutFault)
{
    Constants(0, 0, 0, 0);
    SkiJumpingHill level({64.0f, 10.0f, 0.0f});
    hero->SetPosition({64, 3, 0}, false);
    EXPECT_TRUE(level.Step());
    EXPECT_EQ(level.GetTangentAngle(64.0f).value, 360.0f);
    EXPECT_TRUE(std::isfinite(hero->GetSpriteOffset().x) && std::isfinite(hero->rotation));

    Constants(2, -2, -4, 0);
    SkiJumpingHill empty({64.0f, 10.0f, 0.0f});
    for (float x : {0.0f, 64.0f, 100.0f}) {
        hero->SetPosition({x, 3, 0}, false);
        EXPECT_FALSE(empty.Step());
    }
}

} // namespace
