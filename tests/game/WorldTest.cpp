// The World grid headless: coordinates and their round trip, construction from level items,
// following the hero in sub-steps, the picture each code gets and where, the ladder's height,
// and removing and resetting items.
#include "game/World.h"

#include "framework/ProcessManager.h"
#include "game/AnimatedItem.h"
#include "game/Ladder.h"
#include "scene/TiledSprite.h"
#include "tests/game/GameWorld.h"

#include <cmath>
#include <limits>
#include <random>
#include <typeinfo>

using namespace Pirrock;
using Vund::Vector3D;

namespace
{

class WorldTest : public ::testing::Test, public GameTest::GameFiles
{
protected:
    // A hero published as the game does, standing in the World's start cell.
    Tarv::SmartPtr<Pirrock::Pirrock> MakeHero()
    {
        Pirrock::Pirrock::SetInstance(Tarv::MakeSmart<Pirrock::Pirrock>());
        return Pirrock::Pirrock::GetInstance();
    }

    // One physics step of the hero by delta.
    static void Move(Pirrock::Pirrock& hero, const Vector3D& delta)
    {
        hero.SetPosition(hero.GetPosition() + delta, false);
        hero.lastDisplacement = delta;
    }

    Quor::ProcessManager animator{"level animator"};
};

const std::vector<std::string> EMPTY_10x8(8, std::string(10, '.'));

} // namespace

TEST_F(WorldTest, PointsAndCellsConvertAsTheGridLiesInTheWorld)
{
    const Tarv::SmartPtr<World> world = GameTest::MakeWorld(EMPTY_10x8, 64, 32);
    ASSERT_TRUE(world);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::pair<Vector3D, Cell> toCell[] = {
        {{-0.5f, 10, 0}, {-1, 7}}, {{-64, 10, 0}, {-2, 7}},  {{0, 0, 0}, {0, 7}},       {{130, 0, 0}, {2, 7}},
        {{64, 32, 0}, {1, 6}},     {{63.9f, 31.9f, 0}, {0, 7}}, {{0, -0.5f, 0}, {0, 8}}, {{0, -32, 0}, {0, 9}},
        {{639, 255, 0}, {9, 0}},   {{640, 256, 0}, {10, -1}}};
    for (const auto& c : toCell)
        EXPECT_EQ(world->WorldToCell(c.first), c.second) << c.first.x << ", " << c.first.y;
    for (const Vector3D& far : {Vector3D(nan, nan, 0), Vector3D(1e30f, -1e30f, 0), Vector3D(-INFINITY, INFINITY, 0)})
        EXPECT_EQ(world->GetCellCode(world->WorldToCell(far)), CODE_VOID_SPACE);

    EXPECT_EQ(world->CellToWorld({0, 7}), Vector3D(0, 0, 0));
    EXPECT_EQ(world->CellToWorld({0, 0}), Vector3D(0, 224, 0));
    EXPECT_EQ(world->CellsToWorld(1.5f, 2.0f), Vector3D(96, 64, 0));
    const WorldBounds bounds = world->GetWorldBounds();
    EXPECT_EQ((std::array<float, 4>{bounds.left, bounds.bottom, bounds.right, bounds.top}),
              (std::array<float, 4>{0, 0, 640, 256}));
    for (const Cell outside : {Cell{-1, 0}, Cell{10, 0}, Cell{0, -1}, Cell{0, 8}}) {
        EXPECT_EQ(world->GetCellCode(outside), CODE_VOID_SPACE);
        EXPECT_FALSE(world->IsInsideGrid(outside));
        world->SetMagicGround(outside);
        world->SetCellUsed(outside);
        world->RemoveItemAt(outside);
    }
}

TEST_F(WorldTest, EveryCellAndEveryPointInsideItComeBackToTheCell)
{
    const Tarv::SmartPtr<World> world = GameTest::MakeWorld(EMPTY_10x8, 48, 40);
    for (int x = 0; x < 10; ++x) {
        for (int y = 0; y < 8; ++y) {
            const Vector3D corner = world->CellToWorld({x, y});
            for (const Vector3D& inside : {Vector3D(0, 0, 0), Vector3D(47.9f, 39.9f, 0), Vector3D(24, 20, 0)})
                EXPECT_EQ(world->WorldToCell(corner + inside), (Cell{x, y}));
        }
    }
}

TEST_F(WorldTest, ToolCellsStartFreeAndEverythingElseLive)
{
    const Tarv::SmartPtr<World> world = GameTest::MakeWorld({".b1F", "####"}, 32, 32, &animator);
    EXPECT_EQ(world->GetCellCode({1, 0}), CODE_BRIDGE);
    EXPECT_FALSE(world->IsCellUsed({1, 0}));
    EXPECT_EQ(world->GetCellItem({1, 0}), nullptr);
    EXPECT_TRUE(world->IsCellUsed({2, 0}));
    EXPECT_TRUE(world->IsCellUsed({0, 1}));
    EXPECT_TRUE(world->IsCellUsed({0, 0}));
    // The apple's and the fire's pictures exist from the start; the fire runs in the animator.
    EXPECT_EQ(world->GetItemScene().GetObjectCount(), 2u);
    ASSERT_EQ(animator.GetItems().size(), 1u);
    EXPECT_EQ(dynamic_cast<AnimatedItem*>(animator.GetItems()[0]), world->GetCellItem({3, 0}));
}

TEST_F(WorldTest, ALaterItemInACellReplacesTheEarlierOneAndItsPicture)
{
    struct Dummy : Quor::Process {
        Dummy() : Quor::Process("dummy") {}
        void Update() override {}
    } dummy;
    animator.AddProcess(&dummy);
    const std::vector<LevelItem> items = {{42, 1, 0}, {15, 1, 0}, {15, 2, 0}, {43, 2, 0}, {33, 3, 0}, {35, 3, 0}};
    const Tarv::SmartPtr<World> world = World::Create({4, 2, 32, 32}, items, {0, 0}, &animator, {});
    ASSERT_TRUE(world);
    EXPECT_EQ(world->GetCellCode({1, 0}), CODE_FIRE);
    EXPECT_EQ(world->GetCellCode({2, 0}), 43);
    EXPECT_EQ(world->GetCellCode({3, 0}), CODE_FLAT);
    EXPECT_TRUE(world->IsCellUsed({3, 0}));
    // Only the fire in (1, 0) and the cherry are shown; the replaced fire's process ends.
    EXPECT_EQ(world->GetItemScene().GetObjectCount(), 2u);
    ASSERT_EQ(animator.GetItems().size(), 2u);
    animator.Tick(0.01f);
    ASSERT_EQ(animator.GetItems().size(), 1u);
    EXPECT_EQ(dynamic_cast<AnimatedItem*>(animator.GetItems()[0]), world->GetCellItem({1, 0}));
}

TEST_F(WorldTest, TheSelectionIndicatorFollowsTheTwoSwitches)
{
    for (int switches = 0; switches < 4; ++switches) {
        Settings().SetBool("dev/enable_cheats", switches & 1);
        Settings().SetBool("dev/selection_indicator", switches & 2);
        const Tarv::SmartPtr<World> world = GameTest::MakeWorld(EMPTY_10x8);
        EXPECT_EQ(static_cast<bool>(world->GetSelectionIndicator()), (switches & 1) != 0);
        EXPECT_EQ(world->GetIndicatorScene().GetObjectCount(), switches == 3 ? 1u : 0u);
        EXPECT_EQ(world->GetSelectionIndicatorCell(), (switches & 1 ? Cell{0, 7} : NO_CELL));
    }
}

TEST_F(WorldTest, TheHeroStandsInItsStartCellAndIsDrawnWithTheWorld)
{
    const auto hero = MakeHero();
    const Tarv::SmartPtr<World> world = GameTest::MakeWorld(EMPTY_10x8, 64, 32, nullptr, hero, {3, 5});
    EXPECT_EQ(hero->GetPosition(), Vector3D(192, 64, 0));
    EXPECT_EQ(hero->position, Vector3D(192, 64, 0));
    EXPECT_EQ(world->GetHeroCell(), (Cell{3, 5}));
    EXPECT_EQ(world->GetHeroScene().GetObjects().front(), hero);
}

TEST_F(WorldTest, ALongMovementIsWalkedInSubStepsOfAtMostOneCell)
{
    const auto hero = MakeHero();
    const Tarv::SmartPtr<World> world = GameTest::MakeWorld(EMPTY_10x8, 64, 32, nullptr, hero, {1, 5});
    Move(*hero, Vector3D(3.5f * 64, 0, 0));
    const bool changed[] = {false, true, true, true};
    const int column[] = {1, 2, 3, 4};
    for (int i = 0; i < 4; ++i) {
        bool more = false;
        EXPECT_EQ(world->Update(more), changed[i]) << i;
        EXPECT_EQ(more, i < 3) << i;
        EXPECT_EQ(world->GetHeroCell(), (Cell{column[i], 5})) << i;
    }
}

TEST_F(WorldTest, AVelocityChangeBetweenSubStepsDropsTheRestOfTheFrame)
{
    const auto hero = MakeHero();
    const Tarv::SmartPtr<World> world = GameTest::MakeWorld(EMPTY_10x8, 64, 32, nullptr, hero, {1, 5});
    Move(*hero, Vector3D(3.5f * 64, 0, 0));
    bool more = false;
    world->Update(more);
    world->Update(more);
    hero->SetVelocity(Vector3D(-1, 0, 0));
    EXPECT_FALSE(world->Update(more));
    EXPECT_FALSE(more);
    EXPECT_EQ(world->GetHeroCell(), (Cell{2, 5}));
    // The next call starts the frame again from the hero's last movement.
    EXPECT_TRUE(world->Update(more));
    EXPECT_TRUE(more);
    EXPECT_EQ(world->GetHeroCell(), (Cell{1, 5}));
}

TEST_F(WorldTest, NonFiniteAndHugeMovementsEndInBoundedSteps)
{
    const auto hero = MakeHero();
    const Tarv::SmartPtr<World> world = GameTest::MakeWorld(EMPTY_10x8, 64, 32, nullptr, hero, {1, 5});
    const float inf = std::numeric_limits<float>::infinity();
    for (const Vector3D& delta : {Vector3D(inf, 0, 0), Vector3D(NAN, NAN, 0), Vector3D(1e30f, -1e30f, 0)}) {
        hero->lastDisplacement = delta;
        int calls = 0;
        bool more = true;
        while (more && calls <= World::MAX_SUB_STEPS) {
            world->Update(more);
            ++calls;
        }
        EXPECT_FALSE(more);
    }
}

TEST_F(WorldTest, ConsecutiveHeroCellsAreNeighbours)
{
    const auto hero = MakeHero();
    const Tarv::SmartPtr<World> world = GameTest::MakeWorld(EMPTY_10x8, 64, 32, nullptr, hero, {5, 4});
    std::mt19937 random(20261207);
    std::uniform_real_distribution<float> cells(-50.0f, 50.0f);
    for (int frame = 0; frame < 200; ++frame) {
        Move(*hero, Vector3D(cells(random) * 64, cells(random) * 32, 0));
        bool more = true;
        for (int calls = 0; more && calls <= World::MAX_SUB_STEPS; ++calls) {
            const Cell before = world->GetHeroCell();
            world->Update(more);
            const Cell after = world->GetHeroCell();
            ASSERT_LE(std::abs(after.x - before.x), 1);
            ASSERT_LE(std::abs(after.y - before.y), 1);
        }
        EXPECT_EQ(world->GetHeroCell(), world->WorldToCell(hero->GetPosition()));
    }
}

TEST_F(WorldTest, LeavingATrapDoorStartsItsLidMovingInEitherDirection)
{
    Write("anim/trap_door.xml", "<a><animation name='shut'><frame>s.png</frame></animation>"
                                "<animation name='moving'><frame>m.png</frame></animation></a>");
    for (const bool left : {false, true}) {
        Settings().SetBool("runtime/running_left", left);
        const auto hero = MakeHero();
        const Tarv::SmartPtr<World> world =
            GameTest::MakeWorld({".....", "..._.", "....."}, 32, 32, &animator, hero, {3, 1});
        auto* lid = dynamic_cast<AnimatedItem*>(world->GetCellItem({3, 1}));
        ASSERT_NE(lid, nullptr);
        EXPECT_EQ(lid->GetAnimationName(), "shut");
        Move(*hero, Vector3D(left ? -32.0f : 32.0f, 0, 0));
        bool more = false;
        EXPECT_TRUE(world->Update(more));
        EXPECT_EQ(lid->GetAnimationName(), "moving") << left;
    }
}

namespace
{

struct Placement
{
    CellCode code;
    Cell cell;
    Cell pictureCell;
};

// A 6 x 6 grid of 32-unit cells: a trap door in (4, 4) over a gap, ground in row 5.
const std::vector<std::string> PLACES = {"......", "......", "......", "......", "...._.", "####.#"};

} // namespace

TEST_F(WorldTest, EveryCodeGetsItsPictureInItsPictureCell)
{
    const Placement special[] = {
        {CODE_TRAP_DOOR, {2, 1}, {2, 2}},    {CODE_BRIDGE, {1, 2}, {1, 3}},  {CODE_BRIDGE, {4, 3}, {4, 5}},
        {CODE_FIRE_EXTINGUISHER, {2, 2}, {1, 2}}, {CODE_SKATES, {1, 4}, {0, 4}}, {CODE_SKATES, {1, 1}, {1, 1}},
        {CODE_SKATES, {3, 4}, {3, 4}}};
    std::vector<Placement> placements(std::begin(special), std::end(special));
    for (CellCode code = -1; code <= CODE_COUNT; ++code) {
        if (code != CODE_TRAP_DOOR && code != CODE_BRIDGE && code != CODE_FIRE_EXTINGUISHER)
            placements.push_back({code, {2, 1}, {2, 1}});
    }

    for (const Placement& p : placements) {
        Quor::ProcessManager tools("tool animator");
        const Tarv::SmartPtr<World> world = GameTest::MakeWorld(PLACES, 32, 32, nullptr);
        const std::size_t items = world->GetItemScene().GetObjectCount();
        world->PlaceItem(p.code, p.cell, &tools);
        EXPECT_EQ(world->GetCellCode(p.cell), p.code);
        EXPECT_TRUE(world->IsCellUsed(p.cell));
        Vund::DrawableObject* picture = world->GetCellItem(p.cell);
        ASSERT_NE(picture, nullptr) << p.code;
        const auto& sprite = dynamic_cast<Vund::Sprite&>(*picture);
        const Vector3D offset = IsBoatCode(p.code) ? Vector3D(-15, -8, 0) : Vector3D();
        EXPECT_EQ(sprite.position, world->CellToWorld(p.pictureCell) + offset) << p.code;
        const Vund::Scene& scene = IsBoatCode(p.code) ? world->GetHeroScene() : world->GetItemScene();
        EXPECT_EQ(scene.GetObjects().back().Get(), picture) << p.code;
        EXPECT_EQ(world->GetItemScene().GetObjectCount(), items + (IsBoatCode(p.code) ? 0 : 1));
        const std::type_info& kind = IsAnimatedItemCode(p.code) ? typeid(AnimatedItem)
                                     : IsLadderCode(p.code)     ? typeid(Vund::TiledSprite)
                                                                : typeid(Vund::Sprite);
        EXPECT_EQ(typeid(sprite), kind) << p.code;
        EXPECT_EQ(tools.GetItems().size(), IsAnimatedItemCode(p.code) ? 1u : 0u) << p.code;
        if (auto* animated = dynamic_cast<AnimatedItem*>(picture)) {
            EXPECT_EQ(animated->itemCode, p.code);
            EXPECT_EQ(animated->itemCell, p.cell);
        }
    }
}

TEST_F(WorldTest, ALadderReachesUpToTheSurfaceAboveIt)
{
    Write("tiles/ladder.xml", "<t width='1' height='2' tile-width='32' tile-height='32'>"
                              "<tile x='0' y='0'>top.png</tile><tile x='0' y='1'>foot.png</tile></t>");
    const Tarv::SmartPtr<World> world =
        GameTest::MakeWorld({".....", "###..", ".....", ".....", ".....", "#####"}, 32, 32);
    const std::pair<Cell, std::vector<float>> ladders[] = {
        {{1, 4}, {128, 32, 96, 64}},  // from row 4 up to the ledge's top in row 1: four cells
        {{4, 4}, {64, 32}},           // nothing above: the shortest ladder
        {{1, 2}, {128, 96}}};         // right under the ledge: two cells
    for (const auto& ladder : ladders) {
        world->PlaceItem(CODE_LADDER, ladder.first, nullptr);
        const auto* tiles = dynamic_cast<Vund::TiledSprite*>(world->GetCellItem(ladder.first));
        ASSERT_NE(tiles, nullptr);
        std::vector<float> heights;
        for (const auto& tile : tiles->tiles)
            heights.push_back(tile->position.y);
        EXPECT_EQ(heights, ladder.second) << ladder.first.x << ", " << ladder.first.y;
    }
}

TEST(LadderHeight, TwoCellsOrFewerLeaveTheTilesAsTheyAre)
{
    for (int cells = -1; cells <= 5; ++cells) {
        Vund::TiledSprite ladder(Vector3D(), 1.0f);
        ladder.tiles.push_back(Tarv::SmartPtr<Vund::Sprite>(new Vund::Sprite({}, Vector3D(7, 100, 3), 1.0f)));
        SetLadderHeight(ladder, cells);
        const int middles = std::max(cells - 2, 0);
        EXPECT_EQ(ladder.tiles.size(), 1u + static_cast<std::size_t>(middles)) << cells;
    }
}

TEST_F(WorldTest, RemovingAnItemTakesItsPictureOutOnceAndKeepsTheCell)
{
    Quor::ProcessManager tools("tool animator");
    const Tarv::SmartPtr<World> world = GameTest::MakeWorld({"F.v.", "####"}, 32, 32, &animator);
    world->PlaceItem(CODE_BOAT, {2, 0}, &tools);
    for (int twice = 0; twice < 2; ++twice) {
        world->RemoveItemAt({0, 0});
        world->RemoveItemAt({2, 0});
        EXPECT_EQ(world->GetItemScene().GetObjectCount(), 0u);
        EXPECT_EQ(world->GetHeroScene().GetObjectCount(), 0u);
        EXPECT_EQ(world->GetCellCode({0, 0}), CODE_FIRE);
        EXPECT_EQ(world->GetCellCode({2, 0}), CODE_BOAT);
        EXPECT_NE(world->GetCellItem({2, 0}), nullptr);
    }
    animator.Tick(0.01f);
    EXPECT_TRUE(animator.GetItems().empty());
}

TEST_F(WorldTest, ResettingTheGridEmptiesEveryCell)
{
    const Tarv::SmartPtr<World> world = GameTest::MakeWorld({"1F.b", "####"}, 32, 32, &animator);
    EXPECT_FALSE(world->ResetGrid(0, 3));
    EXPECT_FALSE(world->ResetGrid(2, 5000));
    ASSERT_TRUE(world->ResetGrid(3, 3));
    for (int x = -1; x <= 3; ++x) {
        for (int y = -1; y <= 3; ++y) {
            const bool inside = x >= 0 && x < 3 && y >= 0 && y < 3;
            EXPECT_EQ(world->GetCellCode({x, y}), inside ? CODE_NONE : CODE_VOID_SPACE);
            EXPECT_EQ(world->IsCellUsed({x, y}), inside);
            EXPECT_EQ(world->GetCellItem({x, y}), nullptr);
        }
    }
    EXPECT_EQ(world->GetItemScene().GetObjectCount(), 0u);
}

TEST_F(WorldTest, TheSurfaceIsTheFirstGroundOrWaterTopAboveTheStart)
{
    const Tarv::SmartPtr<World> world =
        GameTest::MakeWorld({"......", "~.....", "#.....", "#...#.", "......"}, 32, 32);
    const std::pair<Cell, Cell> cases[] = {
        {{1, 4}, {1, 3}},  // ground beside the column in row 3, nothing above the column's own row 2
        {{3, 4}, {3, 3}},  // ground right of the column
        {{1, 1}, {1, 1}},  // water left of the column
        {{0, 4}, {0, 1}},  // the column's own ground and water lie below its top
        {{5, 2}, NO_CELL}, {{1, 0}, NO_CELL}, {{-9, 4}, NO_CELL}, {{1, 2000000000}, {1, 3}}};
    for (const auto& c : cases)
        EXPECT_EQ(world->FindSurface(c.first), c.second) << c.first.x << ", " << c.first.y;
}

TEST_F(WorldTest, APlacedVehicleBehindTheHeroBecomesTheTouchedCell)
{
    const auto hero = MakeHero();
    const Tarv::SmartPtr<World> world = GameTest::MakeWorld({"vk..", "####"}, 32, 32, nullptr, hero, {2, 0});
    EXPECT_FALSE(world->TouchPlacedToolBehind(CODE_SKATES));
    world->SetCellUsed({1, 0});
    EXPECT_FALSE(world->TouchPlacedToolBehind(CODE_BOAT));
    EXPECT_TRUE(world->TouchPlacedToolBehind(CODE_SKATES));
    EXPECT_EQ(world->GetTouchedCell(), (Cell{1, 0}));
}

TEST_F(WorldTest, AnUnusableGridIsRefusedWithAMessage)
{
    const WorldGeometry bad[] = {{0, 5, 32, 32}, {5, -1, 32, 32}, {5, 5, 0, 32}, {5, 5, 32, -3}, {2000, 2000, 1, 1}};
    for (const WorldGeometry& geometry : bad)
        EXPECT_FALSE(World::Create(geometry, {}, {0, 0}, nullptr, {}));
    EXPECT_EQ(log.GetLines().size(), std::size(bad));
    EXPECT_TRUE(World::Create({2, 2, 8, 8}, {{42, 2, 0}, {42, 0, -1}, {42, 1, 1}}, {0, 0}, nullptr, {}));
    EXPECT_EQ(log.GetLines().size(), std::size(bad) + 2);
}
