// The World headless around the player and the hero: the candidate cells of a tap and the tool
// that lands in one, a placed tool's effects, what the hero touches and stands on, and the
// moves onto the cell geometry.
#include "game/World.h"

#include "game/HeroCells.h"
#include "game/ToolUse.h"

#include "scene/Camera.h"
#include "tests/game/GameWorld.h"

#include <cmath>

using namespace Pirrock;
using Vund::Vector3D;

namespace
{

class WorldToolTest : public ::testing::Test, public GameTest::GameFiles
{
protected:
    // A World with a published hero standing in start.
    Tarv::SmartPtr<World> HeroWorld(const std::vector<std::string>& rows, Cell start, bool left = false)
    {
        Settings().SetBool("runtime/running_left", left);
        Pirrock::Pirrock::SetInstance(Tarv::MakeSmart<Pirrock::Pirrock>());
        return GameTest::MakeWorld(rows, nullptr, start, Pirrock::Pirrock::GetInstance());
    }
};

// A tool into cell through the two World calls the play state makes.
void Place(World& world, CellCode tool, const Cell& cell)
{
    world.PlaceItem(tool, cell, nullptr);
    world.ArmPlacedTool(tool, cell);
}

} // namespace

TEST_F(WorldToolTest, ATapGivesTheSelectedToolToTheNearestFreeCellOfIt)
{
    // Carrots left and right of (2, 1), a trap door above it, a pusher below, a bridge far off.
    const Tarv::SmartPtr<World> world = GameTest::MakeWorld({".._...", ".c.c..", "..p..b", "......"});
    EXPECT_EQ(world->GetToolCandidates({2, 1}), (std::vector<Cell>{{1, 1}, {3, 1}, {2, -1}, {2, 2}}));
    EXPECT_TRUE(world->GetToolCandidates({6, 1}).empty());
    EXPECT_EQ(world->GetFreeCellCode({2, -1}), CODE_VOID_SPACE);

    struct Tap {
        Cell cell;
        const char* tool;
        bool allowed;
        ToolUseResult result;
        Cell placed;
        const char* heard;
    };
    const Tap taps[] = {
        {{3, 1}, "carrot", true, ToolUseResult::Placed, {3, 1}, "tool 27;hud;"},  // the tapped cell first
        {{2, 1}, "carrot", false, ToolUseResult::Ignored, NO_CELL, ""},
        {{2, 1}, "carrot", true, ToolUseResult::Placed, {1, 1}, "tool 27;hud;"},
        {{2, 1}, "carrot", true, ToolUseResult::WrongTool, NO_CELL, "wrong;hud;"},  // the pusher is free
        {{2, 1}, "", true, ToolUseResult::NoTool, NO_CELL, "hud;"},
        {{9, 9}, "bridge", true, ToolUseResult::NoTool, NO_CELL, "hud;"},           // outside the grid
        {{5, 3}, "bridge", true, ToolUseResult::Placed, {5, 2}, "tool 28;hud;"},
    };
    struct Ears : ToolUseListener {
        explicit Ears(World& w) : world(w) {}
        void PlaceTool(CellCode tool, const Cell& cell) override
        {
            TakeToolFromStock(tool);
            Place(world, tool, cell);
            heard += "tool " + std::to_string(tool) + ";";
        }
        void PlayWrongToolSound() override { heard += "wrong;"; }
        void UpdateLevelData() override { heard += "hud;"; }
        World& world;
        std::string heard;
    };
    Settings().SetInt("runtime/tools/bridge", 1);
    Settings().SetInt("runtime/tools/carrot", 2);
    for (const Tap& tap : taps) {
        Ears ears(*world);
        Cell placed;
        Settings().SetString("runtime/activeTool", tap.tool);
        EXPECT_EQ(UseToolAt(*world, tap.cell, tap.allowed, ears, &placed), tap.result) << tap.tool;
        EXPECT_EQ(placed, tap.placed);
        EXPECT_EQ(ears.heard, tap.heard);
        EXPECT_EQ(Settings().GetString("runtime/activeTool"), tap.allowed ? "" : tap.tool);
    }
    EXPECT_EQ(Settings().GetInt("runtime/tools/carrot"), 0);
    EXPECT_EQ(Settings().GetInt("runtime/tools/bridge"), 0);
    // The stock is not asked first: a used-up one goes below 0, a missing one ends at -1.
    const Tarv::SmartPtr<World> more = GameTest::MakeWorld({"......", ".c.k..", "......"});
    for (const char* tool : {"carrot", "skates"}) {
        Ears ears(*more);
        Cell placed;
        Settings().SetString("runtime/activeTool", tool);
        EXPECT_EQ(UseToolAt(*more, {2, 1}, true, ears, &placed), ToolUseResult::Placed) << tool;
        EXPECT_NE(placed, NO_CELL);
        EXPECT_EQ(Settings().GetInt(std::string("runtime/tools/") + tool), -1) << tool;
    }
    EXPECT_EQ(world->GetFreeCellCode({1, 1}), CODE_NONE);
    world->ArmPlacedTool(CODE_FIRE, {2, 2});  // not a tool: the pusher's cell stays free
    EXPECT_EQ(world->GetFreeCellCode({2, 2}), CODE_PUSHER);
}

TEST_F(WorldToolTest, APlacedToolSwitchesItsObstacleOffAndABridgeLaysMagicGround)
{
    // Bridges over two empty rows, over one ground row, over ground twice, in the last column.
    const Tarv::SmartPtr<World> world =
        GameTest::MakeWorld({"b.b.b..b", "..#.#...", "....#...", "e.......", "........"});
    for (const Cell& bridge : {Cell{0, 0}, Cell{2, 0}, Cell{4, 0}, Cell{7, 0}})
        Place(*world, CODE_BRIDGE, bridge);
    const std::vector<std::string> expected = {"........", "MM#.#..M", "..MM#...", "........", "........"};
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(world->GetCellCode({x, y}) == CODE_MAGIC_GROUND, expected[y][x] == 'M') << x << "," << y;
    }
    EXPECT_TRUE(world->IsCellUsed({7, 0}));

    Write("anim/fire.xml", "<a><animation name='burn'><frame>b.png</frame></animation>"
                           "<animation name='extinguish'><frame>x.png</frame></animation></a>");
    const Tarv::SmartPtr<World> fire = GameTest::MakeWorld({"eF..", "....", "..e.", "...F"}, nullptr, {1, 0},
                                                           {});
    Place(*fire, CODE_FIRE_EXTINGUISHER, {0, 0});
    EXPECT_FALSE(fire->IsCellUsed({1, 0}));
    EXPECT_EQ(fire->GetTouchedCode(), CODE_NONE);
    EXPECT_EQ(dynamic_cast<Vund::AnimatedSprite&>(*fire->GetCellItem({1, 0})).GetAnimationName(), "extinguish");
    Place(*fire, CODE_FIRE_EXTINGUISHER, {2, 2});  // the fire diagonally below
    EXPECT_FALSE(fire->IsCellUsed({3, 3}));
}

TEST_F(WorldToolTest, TheHeroTouchesTriggersAheadInItsCellBehindItAndFruitAbove)
{
    struct Case {
        std::vector<std::string> rows;
        Cell hero;
        bool left;
        Cell placed;  // a tool cell set used first, or NO_CELL
        CellCode touched;
    };
    const Case cases[] = {
        {{".p.."}, {0, 0}, false, {1, 0}, CODE_PUSHER},     // a placed pusher one cell ahead
        {{".pF."}, {2, 0}, false, NO_CELL, CODE_FIRE},      // behind the hero: ignored
        {{"Fp.."}, {0, 0}, false, NO_CELL, CODE_NONE},      // not placed: its own cell not looked at
        {{"p..."}, {2, 0}, true, {0, 0}, CODE_PUSHER},      // two ahead running left
        {{"t..."}, {0, 0}, false, {0, 0}, CODE_NONE},       // a trampoline in the hero cell
        {{"t..."}, {1, 0}, false, {0, 0}, CODE_TRAMPOLINE}, // then behind it
        {{".t.."}, {1, 0}, true, {1, 0}, CODE_TRAMPOLINE},  // in its own cell running left
        {{".1..", "...."}, {1, 1}, false, NO_CELL, CODE_APPLE},
        {{".F..", "...."}, {1, 1}, false, NO_CELL, CODE_NONE},
        {{"_..."}, {0, 0}, false, NO_CELL, CODE_NONE},
        {{"...."}, {1, 5}, false, NO_CELL, CODE_VOID_SPACE},
    };
    for (const Case& c : cases) {
        const Tarv::SmartPtr<World> world = HeroWorld(c.rows, c.hero, c.left);
        world->SetCellUsed(c.placed);
        EXPECT_EQ(world->GetTouchedCode(), c.touched) << c.rows[0] << " hero " << c.hero.x << "," << c.hero.y;
        if (c.touched != CODE_NONE && c.touched != CODE_VOID_SPACE) {
            EXPECT_EQ(world->GetCellCode(world->GetTouchedCell()), c.touched);
        }
    }
}

TEST_F(WorldToolTest, TheGroundUnderTheHeroAndAHairDryerBehindIt)
{
    const std::vector<std::string> rows = {"d.......", "........", "#..M/s..", ".#~..#..", "......##"};
    const std::pair<Cell, CellCode> platforms[] = {{{1, 2}, 35}, {{2, 2}, 49}, {{6, 2}, 49}, {{7, 2}, 0},
                                                   {{3, 2}, 49}, {{4, 2}, 36}, {{0, 4}, 48}};
    for (const auto& p : platforms)
        EXPECT_EQ(HeroWorld(rows, p.first)->GetPlatformCode(), p.second) << p.first.x << "," << p.first.y;
    const Tarv::SmartPtr<World> world = HeroWorld(rows, {5, 2});
    EXPECT_TRUE(world->IsPirrockOnSki() && !world->IsPirrockOnGround() && !world->IsPirrockOnSlope());
    EXPECT_TRUE(HeroWorld(rows, {4, 2})->IsPirrockOnSlope());

    const Tarv::SmartPtr<World> dryer = HeroWorld(rows, {3, 0});
    for (const int distance : {0, -1, 2, 3}) {
        Settings().SetInt("constants/max_hair_dryer_distance", distance);
        EXPECT_FALSE(dryer->IsHairDryerBehind()) << distance;  // not placed yet
        dryer->SetCellUsed({0, 0});
        EXPECT_EQ(dryer->IsHairDryerBehind(), distance >= 3) << distance;
        dryer->ClearCellUsed({0, 0});
    }
}

TEST_F(WorldToolTest, TheHeroIsPutOntoSlopesGroundAndItsColumnEdge)
{
    // Five rows of 32: flat ground in row 3 of column 1, an up slope in row 3 of column 3.
    const std::vector<std::string> rows = {"......", "......", "......", ".#./..", "......"};
    const Tarv::SmartPtr<World> world = HeroWorld(rows, {1, 2});
    Pirrock::Pirrock& hero = *Pirrock::Pirrock::GetInstance();
    hero.SetPosition({40, 90, 0}, false);
    world->DropPirrockToGround();
    EXPECT_EQ(hero.GetPosition(), Vector3D(40, 64, 0));
    EXPECT_EQ(hero.lastDisplacement, Vector3D(0, -26, 0));
    world->SnapPirrockToGround(CODE_FLAT);
    EXPECT_EQ(hero.GetPosition(), Vector3D(32, 64, 0));
    const Tarv::SmartPtr<World> slope = HeroWorld(rows, {3, 2});
    Pirrock::Pirrock::GetInstance()->SetPosition({100, 70, 0}, false);
    slope->SnapPirrockToGround(CODE_UP);
    EXPECT_EQ(Pirrock::Pirrock::GetInstance()->GetPosition(), Vector3D(98, 33, 0));

    // No surface below: the hero stays. Column edges of a hero at x = 70.
    const Tarv::SmartPtr<World> bare = HeroWorld({"....", "...."}, {2, 0});
    for (const bool left : {false, true}) {
        Settings().SetBool("runtime/running_left", left);
        Pirrock::Pirrock::GetInstance()->SetPosition({70, 40, 0}, false);
        bare->SnapPirrockToGround(CODE_FLAT);
        bare->DropPirrockToGround();
        bare->AlignPirrockInColumn();
        EXPECT_EQ(Pirrock::Pirrock::GetInstance()->GetPosition(), Vector3D(left ? 95 : 65, 40, 0));
    }
}

TEST_F(WorldToolTest, AFrameCrossingSeveralCellsIsHandledCellByCellInOrder)
{
    struct Trace : HeroCellListener {
        void OnCellEntered(const Cell& cell) override { text += "[" + std::to_string(cell.x) + "]"; }
        void HandleTrigger(CellCode code) override { text += " touch " + std::to_string(code); }
        void PlayToolSound(CellCode code) override { text += " sound " + std::to_string(code); }
        void HandleCell(CellCode ground) override { text += " on " + std::to_string(ground); }
        std::string text;
    };
    const Tarv::SmartPtr<World> world = HeroWorld({"..1...", "....s.", "######"}, {0, 1});
    Place(*world, CODE_SKI, {4, 1});
    const std::size_t pictures = world->GetItemScene().GetObjectCount();
    Pirrock::Pirrock& hero = *Pirrock::Pirrock::GetInstance();
    const Vector3D step(4 * 32, 0, 0);
    hero.SetPosition(hero.GetPosition() + step, false);
    hero.lastDisplacement = step;
    Trace trace;
    EXPECT_EQ(FollowHero(*world, trace), 4);
    EXPECT_EQ(trace.text, "[1] on 35[2] touch 42 sound 42 on 35[3] on 35[4] touch 47 on 35");
    EXPECT_EQ(world->GetItemScene().GetObjectCount(), pictures - 2);
    EXPECT_FALSE(world->IsCellUsed({2, 0}));
    EXPECT_TRUE(world->IsCellUsed({4, 1}));

    // Back over the fruit's cell: nothing is touched; then out of the grid, a deadly cell.
    Settings().SetBool("runtime/running_left", true);
    for (const float dx : {-3.0f * 32, -2.0f * 32}) {
        hero.SetPosition(hero.GetPosition() + Vector3D(dx, 0, 0), false);
        hero.lastDisplacement = Vector3D(dx, 0, 0);
        FollowHero(*world, trace);
    }
    EXPECT_EQ(trace.text.substr(trace.text.rfind("[3]")), "[3] on 35[2] on 35[1] on 35[0] on 35[-2] touch 48 on 48");
}

TEST_F(WorldToolTest, TapsOnTheToolBarStayThereOthersBecomeCellsAndTiltSetsTheRunSpeed)
{
    // No machine keys: the fallback screen of 800 x 480, as for the camera.
    Settings().SetInt("runtime/tool_bar_width", 200);
    Settings().SetInt("runtime/tool_bar_height", 80);
    EXPECT_TRUE(IsOnToolBar(600, 400) && IsOnToolBar(799, 479));
    EXPECT_FALSE(IsOnToolBar(599, 400) || IsOnToolBar(600, 399));
    Settings().SetInt("runtime/tool_bar_width", -2147483647 - 1);
    EXPECT_FALSE(IsOnToolBar(2147483647, 479));

    // The default camera puts the world's layer 0 pixel for pixel on the screen, origin bottom-left.
    const Tarv::SmartPtr<World> world = GameTest::MakeWorld({"....", "....", "...."});
    EXPECT_EQ(ScreenToCell(*world, 40, 480 - 40), (Cell{1, 1}));
    EXPECT_EQ(ScreenToCell(*world, 700, 10), (Cell{21, -12}));
    Vund::Camera::Install(nullptr);

    Settings().SetInt("constants/pirrock_default_speed", 100);
    struct Tilt {
        int boost;
        bool left;
        float x;
        int speed;
    };
    const Tilt tilts[] = {{4, false, 0.25f, 200}, {4, true, 0.25f, 50}, {4, false, 3.0f, 400}, {4, true, -9.0f, 400},
                          {0, false, 0.5f, 100},  {-3, true, 0.5f, 100}, {4, false, NAN, 100}, {4, false, 0.0f, 100}};
    for (const Tilt& t : tilts) {
        Settings().SetInt("constants/accelerometer_speed_boost", t.boost);
        Settings().SetBool("runtime/running_left", t.left);
        EXPECT_FLOAT_EQ(TiltRunSpeed(t.x), static_cast<float>(t.speed)) << t.boost << " " << t.x;
        EXPECT_EQ(Settings().GetInt("runtime/pirrock_speed"), t.speed);
    }
    Settings().SetInt("constants/pirrock_default_speed", 2147483647);
    TiltRunSpeed(0.5f);
    EXPECT_GT(Settings().GetInt("runtime/pirrock_speed"), 0);
}
