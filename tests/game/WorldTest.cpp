// The World grid headless: coordinates and their round trip, construction from level items,
// following the hero in sub-steps, the picture each code gets and where, and removing items.
#include "game/World.h"

#include "framework/ProcessManager.h"
#include "game/AnimatedItem.h"
#include "game/Ladder.h"
#include "tests/game/GameWorld.h"

#include <cmath>
#include <typeinfo>

using namespace Pirrock;
using Vund::Vector3D;

namespace
{

class WorldTest : public ::testing::Test, public GameTest::GameFiles
{
protected:
    // A published hero and a World of 10 x 8 cells of 64 x 32 units with the hero in start.
    Tarv::SmartPtr<World> MakeHeroWorld(Cell start)
    {
        Pirrock::Pirrock::SetInstance(Tarv::MakeSmart<Pirrock::Pirrock>());
        hero = Pirrock::Pirrock::GetInstance();
        return GameTest::CreateWorld({10, 8, 64, 32}, {}, start, nullptr, hero);
    }

    // One physics step of the hero, then the World's sub-steps; the hero cell after each.
    std::vector<Cell> Walk(World& world, const Vector3D& delta)
    {
        hero->SetPosition(hero->GetPosition() + delta, false);
        hero->lastDisplacement = delta;
        std::vector<Cell> cells;
        for (bool more = true; more && cells.size() <= World::MAX_SUB_STEPS;) {
            world.Update(more);
            cells.push_back(world.GetHeroCell());
        }
        return cells;
    }

    Quor::ProcessManager animator{"level animator"};
    Tarv::SmartPtr<Pirrock::Pirrock> hero;
};

} // namespace

TEST_F(WorldTest, PointsAndCellsConvertBothWaysAndOutsideCellsReadAsVoidSpace)
{
    const Tarv::SmartPtr<World> world = GameTest::CreateWorld({10, 8, 64, 32}, {}, {0, 0}, nullptr, {});
    const std::pair<Vector3D, Cell> toCell[] = {
        {{-0.5f, 10, 0}, {-1, 7}}, {{-64, 10, 0}, {-2, 7}},       {{0, 0, 0}, {0, 7}},     {{130, 0, 0}, {2, 7}},
        {{64, 32, 0}, {1, 6}},     {{63.9f, 31.9f, 0}, {0, 7}},   {{0, -0.5f, 0}, {0, 8}}, {{0, -32, 0}, {0, 9}},
        {{640, 256, 0}, {10, -1}}, {{NAN, 1e30f, 0}, {-(1 << 30), 7 - (1 << 30)}}, {{INFINITY, 0, 0}, {1 << 30, 7}}};
    for (const auto& c : toCell)
        EXPECT_EQ(world->WorldToCell(c.first), c.second) << c.first.x << ", " << c.first.y;
    for (int x = 0; x < 10; ++x) {
        for (int y = 0; y < 8; ++y) {
            for (const Vector3D& inside : {Vector3D(0, 0, 0), Vector3D(63.9f, 31.9f, 0), Vector3D(32, 16, 0)})
                EXPECT_EQ(world->WorldToCell(world->CellToWorld({x, y}) + inside), (Cell{x, y}));
        }
    }
    EXPECT_EQ(world->CellToWorld({0, 7}), Vector3D(0, 0, 0));
    EXPECT_EQ(world->CellToWorld({0, 0}), Vector3D(0, 224, 0));
    EXPECT_EQ(world->CellsToWorld(1.5f, 2.0f), Vector3D(96, 64, 0));
    EXPECT_EQ(world->GetWorldBounds().right * world->GetWorldBounds().top, 640.0f * 256.0f);
    for (const Cell& outside : {Cell{-1, 0}, Cell{10, 0}, Cell{0, -1}, Cell{0, 8}}) {
        world->SetMagicGround(outside);
        world->PlaceItem(CODE_APPLE, outside, nullptr);
        EXPECT_EQ(world->GetCellCode(outside), CODE_VOID_SPACE);
    }
    EXPECT_EQ(world->GetItemScene().GetObjectCount(), 0u);
}

TEST_F(WorldTest, TheGridHasTheSizeOfTheLevelSettings)
{
    Settings().SetInt("runtime/level_width", 3);
    Settings().SetInt("runtime/level_height", 2);
    Settings().SetInt("runtime/level_cell_width", 16);
    Settings().SetInt("runtime/level_cell_height", 8);
    const Tarv::SmartPtr<World> world = World::Create({}, {0, 0}, nullptr, {});
    ASSERT_TRUE(world);
    EXPECT_EQ(world->GetWorldBounds().right, 48.0f);
    EXPECT_EQ(world->GetWorldBounds().top, 16.0f);
    EXPECT_EQ(world->GetCellCode({2, 1}), CODE_NONE);
    EXPECT_EQ(world->GetCellCode({3, 1}), CODE_VOID_SPACE);
    EXPECT_EQ(world->GetCellCode({2, 2}), CODE_VOID_SPACE);
}

TEST_F(WorldTest, ToolCellsStartFreeOthersLiveAndALaterItemReplacesAnEarlierOne)
{
    struct Idle : Quor::Process {
        Idle() : Quor::Process("idle") {}
        void Update() override {}
    } idle;
    animator.AddProcess(&idle);
    const std::vector<LevelItem> items = {{28, 0, 0}, {42, 1, 0}, {15, 1, 0}, {15, 2, 0}, {43, 2, 0},
                                          {33, 3, 0}, {35, 3, 0}, {42, 4, 0}, {42, 0, 2}};
    const Tarv::SmartPtr<World> world = GameTest::CreateWorld({4, 2, 32, 32}, items, {0, 0}, &animator, {});
    // The two items outside the grid are left out without a word.
    EXPECT_TRUE(log.GetLines().empty());
    const std::pair<CellCode, bool> cells[] = {{28, false}, {15, true}, {43, true}, {35, true}};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(std::make_pair(world->GetCellCode({x, 0}), world->IsCellUsed({x, 0})), cells[x]) << x;
    // Shown: the fire in (1, 0) and the cherry; the replaced fire's process ends, the idle one is gone.
    EXPECT_EQ(world->GetItemScene().GetObjectCount(), 2u);
    animator.Tick(0.01f);
    ASSERT_EQ(animator.GetItems().size(), 1u);
    EXPECT_EQ(dynamic_cast<AnimatedItem*>(animator.GetItems()[0]), world->GetCellItem({1, 0}));
    const WorldGeometry unusable[] = {{0, 5, 8, 8}, {5, 5, 8, -3}, {2000, 999, 1, 1}};
    for (const WorldGeometry& geometry : unusable)
        EXPECT_FALSE(GameTest::CreateWorld(geometry, {}, {0, 0}, nullptr, {}));
}

TEST_F(WorldTest, TheHeroCellFollowsALongMovementOneSubStepAtATime)
{
    const Tarv::SmartPtr<World> world = MakeHeroWorld({1, 5});
    EXPECT_EQ(hero->position, Vector3D(64, 64, 0));
    EXPECT_EQ(world->GetHeroScene().GetObjects().front(), hero);
    // 3.5 cells in four steps of 0.875 cells: a new column at each step but the first.
    EXPECT_EQ(Walk(*world, {3.5f * 64, 0, 0}), (std::vector<Cell>{{1, 5}, {2, 5}, {3, 5}, {4, 5}}));
    EXPECT_EQ(Walk(*world, {0, -2.5f * 32, 0}), (std::vector<Cell>{{4, 6}, {4, 7}, {4, 7}, {4, 8}}));

    // A velocity changed between sub-steps drops the rest of the frame; the next call starts anew.
    hero->lastDisplacement = {-3.5f * 64, 0, 0};
    bool more = false;
    world->Update(more);
    hero->SetVelocity({-1, 0, 0});
    EXPECT_FALSE(world->Update(more) || more);
    EXPECT_TRUE(!world->Update(more) && more);
    for (const Vector3D& wild : {Vector3D(INFINITY, 0, 0), Vector3D(NAN, NAN, 0), Vector3D(1e30f, -1e30f, 0)})
        EXPECT_LE(Walk(*world, wild).size(), static_cast<std::size_t>(World::MAX_SUB_STEPS));
}

TEST_F(WorldTest, LeavingATrapDoorStartsItsLidMovingInEitherDirection)
{
    Write("anim/trap_door.xml", "<a><animation name='shut'><frame>s.png</frame></animation>"
                                "<animation name='moving'><frame>m.png</frame></animation></a>");
    for (const bool left : {false, true}) {
        Settings().SetBool("runtime/running_left", left);
        const Tarv::SmartPtr<World> world = MakeHeroWorld({3, 1});
        world->PlaceItem(CODE_TRAP_DOOR, {3, 1}, nullptr);
        auto& lid = dynamic_cast<AnimatedItem&>(*world->GetCellItem({3, 1}));
        EXPECT_EQ(lid.GetAnimationName(), "shut");
        Walk(*world, {left ? -64.0f : 64.0f, 0, 0});
        EXPECT_EQ(lid.GetAnimationName(), "moving") << left;
    }
}

TEST_F(WorldTest, EveryCodeGetsItsPictureInItsPictureCell)
{
    // A trap door in (4, 4) over a gap in the ground of row 5.
    const std::vector<std::string> rows = {"......", "......", "......", "......", "...._.", "####.#"};
    std::vector<std::array<int, 5>> cases = {
        {17, 2, 1, 2, 2}, {28, 1, 2, 1, 3}, {28, 4, 3, 4, 5}, {29, 2, 2, 1, 2}, {38, 1, 4, 0, 4}, {38, 3, 4, 3, 4}};
    for (CellCode code = -1; code <= CODE_COUNT; ++code) {
        if (code != 17 && code != 28 && code != 29)
            cases.push_back({code, 2, 1, 2, 1});
    }
    for (const auto& [code, x, y, pictureX, pictureY] : cases) {
        Quor::ProcessManager tools("tool animator");
        const Tarv::SmartPtr<World> world = GameTest::MakeWorld(rows);
        world->PlaceItem(code, {x, y}, &tools);
        EXPECT_EQ(world->GetCellCode({x, y}), code);
        EXPECT_TRUE(world->IsCellUsed({x, y}));
        const auto& picture = dynamic_cast<Vund::Sprite&>(*world->GetCellItem({x, y}));
        const Vector3D offset = IsBoatCode(code) ? Vector3D(-15, -8, 0) : Vector3D();
        EXPECT_EQ(picture.position, world->CellToWorld({pictureX, pictureY}) + offset) << code;
        const Vund::Scene& scene = IsBoatCode(code) ? world->GetHeroScene() : world->GetItemScene();
        EXPECT_EQ(scene.GetObjects().back().Get(), &picture) << code;
        const std::type_info& kind = IsAnimatedItemCode(code) ? typeid(AnimatedItem)
                                     : IsLadderCode(code)     ? typeid(Ladder)
                                                              : typeid(Vund::Sprite);
        EXPECT_EQ(typeid(picture), kind) << code;
        EXPECT_EQ(tools.GetItems().size(), IsAnimatedItemCode(code) ? 1u : 0u) << code;
    }
}

TEST_F(WorldTest, ALadderReachesUpToTheSurfaceAboveIt)
{
    Write("tiles/ladder.xml", "<t width='1' height='2' tile-width='32' tile-height='32'>"
                              "<tile x='0' y='0'>top.png</tile><tile x='0' y='1'>foot.png</tile></t>");
    const Tarv::SmartPtr<World> world =
        GameTest::MakeWorld({".....", "~##..", ".....", ".....", ".....", "#####"});
    // Up to the ledge's top in row 1 (four cells, with two middle pieces), under nothing (the
    // shortest ladder), just under the ledge, and up the column left of the water.
    const std::pair<Cell, std::vector<float>> ladders[] = {
        {{1, 4}, {128, 32, 96, 64}}, {{4, 4}, {64, 32}}, {{1, 2}, {128, 96}}, {{0, 4}, {128, 32, 96, 64}}};
    for (const auto& [cell, heights] : ladders) {
        world->PlaceItem(CODE_LADDER, cell, nullptr);
        std::vector<float> placed;
        for (const auto& tile : dynamic_cast<Ladder&>(*world->GetCellItem(cell)).tiles)
            placed.push_back(tile->position.y);
        EXPECT_EQ(placed, heights) << cell.x << ", " << cell.y;
    }
}

TEST_F(WorldTest, RemovingAnItemTakesItsPictureOutOnceAndKeepsTheCell)
{
    const Tarv::SmartPtr<World> world = GameTest::MakeWorld({"F.v.", "####"}, &animator);
    world->PlaceItem(CODE_BOAT, {2, 0}, nullptr);
    for (int twice = 0; twice < 2; ++twice) {
        world->RemoveItemAt({0, 0});
        world->RemoveItemAt({2, 0});
        EXPECT_EQ(world->GetItemScene().GetObjectCount() + world->GetHeroScene().GetObjectCount(), 0u);
        EXPECT_EQ(world->GetCellCode({0, 0}) + world->GetCellCode({2, 0}), CODE_FIRE + CODE_BOAT);
        EXPECT_NE(world->GetCellItem({2, 0}), nullptr);
    }
    animator.Tick(0.01f);
    EXPECT_TRUE(animator.GetItems().empty());
}
