// The level scene file and its code map read from fixture files (tests/game/levels), the keys a
// level publishes and resets, the World it builds, and damaged files refused or items skipped.
#include "game/Level.h"

#include "scene/ParallaxSprite.h"
#include "scene/TiledSprite.h"
#include "tests/game/GameWorld.h"

#include <array>
#include <cstring>
#include <sstream>
#include <string>
#include <typeinfo>

using namespace Pirrock;

namespace
{

class LevelTest : public ::testing::Test, public GameTest::GameFiles
{
protected:
    void SetUp() override { Settings().SetInt("constants/pirrock_default_speed", 240); }

    int Key(const std::string& name) { return Settings().GetInt(name); }
};

} // namespace

TEST_F(LevelTest, TheSceneHoldsItsObjectsInFileOrderAtTheirLayersDepths)
{
    const Tarv::SmartPtr<Level> level = Level::Load("levels/01.xml");
    ASSERT_TRUE(level);
    std::vector<std::string> objects;
    for (const auto& object : level->GetScene().GetObjects()) {
        const auto& sprite = dynamic_cast<const Vund::Sprite&>(*object);
        const auto* parallax = dynamic_cast<const Vund::ParallaxSprite*>(&sprite);
        std::ostringstream text;
        text << typeid(sprite).name() << " " << sprite.position.x << " " << sprite.position.y << " "
             << (sprite.position.z == Level::NO_DEPTH ? "none" : std::to_string(sprite.position.z)) << " "
             << sprite.scale << (parallax != nullptr && parallax->screenFixed ? " fixed" : "");
        objects.push_back(text.str());
    }
    const std::string parallax = typeid(Vund::ParallaxSprite).name(), sprite = typeid(Vund::Sprite).name();
    EXPECT_EQ(objects, (std::vector<std::string>{parallax + " 3 4 none 1 fixed",
                                                 typeid(Vund::TiledParallaxSprite).name() + std::string(" 0 10 none 0.5"),
                                                 parallax + " 0 0 0.000000 0",
                                                 typeid(Vund::TiledSprite).name() + std::string(" 0 0 0.000000 1"),
                                                 sprite + " 96.5 -2.25 5.000000 2", sprite + " 1 0 -5.000000 0"}));
    const float none = Level::NO_DEPTH;
    std::uint32_t bits = 0;
    std::memcpy(&bits, &none, sizeof bits);
    EXPECT_EQ(bits, 0xFEFFFFFFu);
    EXPECT_TRUE(log.GetLines().empty());
    EXPECT_EQ(Level::GetLevelPath(3) + Level::GetLevelPath(12), "levels/03.xmllevels/12.xml");
}

TEST_F(LevelTest, TheCodeMapGivesTheItemsTheHeroStartAndTheLevelsKeys)
{
    const Tarv::SmartPtr<Level> level = Tarv::MakeSmart<Level>("levels/01.xml");
    ASSERT_TRUE(level->IsLoaded());
    // The names are the eleven tools' and the five fruits' whatever the map holds.
    EXPECT_EQ(level->GetToolNames().size(), 11u);
    EXPECT_EQ(level->GetToolNames().back(), "ski");
    EXPECT_EQ(level->GetFruitNames(),
              (std::vector<Tarv::NarrowString>{"apple", "cherry", "strawberry", "banana", "watermelon"}));
    const std::vector<std::array<int, 3>> expected = {{11, 4, 4}, {35, 0, 5}, {35, 1, 5}, {33, 1, 4}, {33, 2, 4},
                                                      {33, 3, 4}, {28, 2, 3}, {8, 3, 3},  {24, 6, 3}, {42, 6, 2},
                                                      {42, 7, 2}, {46, 7, 1}, {12, 7, 4}, {99, 0, 0}};
    std::vector<std::array<int, 3>> items;
    for (const LevelItem& item : level->GetItems())
        items.push_back({item.code, item.x, item.y});
    EXPECT_EQ(items, expected);
    EXPECT_EQ(level->GetHeroStartCell(), (Cell{5, 4}));
    const std::pair<const char*, int> keys[] = {
        {"level_time", 90},    {"level_width", 8},       {"level_height", 6},      {"level_cell_width", 64},
        {"level_cell_height", 32}, {"tools/max/ladder", 3}, {"tools/max/bridge", 1}, {"tools/max/ski", 0},
        {"fruits/max/apple", 2}, {"fruits/max/watermelon", 1}, {"fruits/max/cherry", 0}};
    for (const auto& key : keys)
        EXPECT_EQ(Key(std::string("runtime/") + key.first), key.second) << key.first;
    ASSERT_TRUE(level->CreateWorld(nullptr));
    EXPECT_EQ(World::Instance->WorldToCell({130, 0, 0}).x, 2);
}

TEST_F(LevelTest, CreatingTheWorldAgainReplacesItAndResetsTheKeysAndALevelDropsOnlyItsOwnWorld)
{
    Tarv::SmartPtr<Level> level = Level::Load("levels/01.xml");
    ASSERT_TRUE(level && level->CreateWorld(nullptr));
    const Tarv::SmartPtr<World> first = World::Instance;
    for (const char* key : {"tools/ladder", "fruits/apple", "levelScore", "time"})
        Settings().SetInt(std::string("runtime/") + key, 7);
    Settings().SetString("runtime/activeTool", "bridge");
    ASSERT_TRUE(level->CreateWorld(nullptr));
    EXPECT_NE(World::Instance, first);
    const std::pair<const char*, int> keys[] = {{"tools/ladder", 3}, {"tools/ski", 0}, {"fruits/apple", 0},
                                                {"levelScore", 0},   {"time", 90},     {"pirrock_speed", 240}};
    for (const auto& key : keys)
        EXPECT_EQ(Key(std::string("runtime/") + key.first), key.second) << key.first;
    EXPECT_EQ(Settings().GetString("runtime/activeTool"), "");
    EXPECT_EQ(level->GetItems().size(), 14u);

    Tarv::SmartPtr<Level> newer = Level::Load("levels/01.xml");
    ASSERT_TRUE(newer->CreateWorld(nullptr));
    level.Reset();
    EXPECT_TRUE(World::Instance);
    newer.Reset();
    EXPECT_FALSE(World::Instance);
}

namespace
{

struct BadLevel
{
    const char* name;
    const char* scene;  // null: no scene file
    const char* map;    // the code map's root attributes and items; "S" for a good size
    bool loads;
    const char* message;
};

void PrintTo(const BadLevel& bad, std::ostream* out)
{
    *out << bad.name;
}

class BadLevels : public LevelTest, public ::testing::WithParamInterface<BadLevel>
{
};

const char* const SCENE = "<l><scene/><time>60</time><code-map>m.xml</code-map></l>";

} // namespace

TEST_P(BadLevels, AreRefusedWithAMessageOrLoseTheBadItemWithOne)
{
    const BadLevel& bad = GetParam();
    if (bad.scene != nullptr)
        Write("l.xml", bad.scene);
    const std::string map = bad.map;
    const std::string sizes = "width='4' height='3' tile-width='32' tile-height='32'";
    Write("m.xml", "<m " + (map[0] == 'S' ? sizes + map.substr(1) : map) + "</m>");
    Settings().SetInt("runtime/level_width", -7);
    const Tarv::SmartPtr<Level> level = Level::Load("l.xml");
    EXPECT_EQ(static_cast<bool>(level), bad.loads);
    ASSERT_FALSE(log.GetLines().empty());
    EXPECT_NE(log.GetLines()[0].find(bad.message), std::string::npos) << log.GetLines()[0];
    EXPECT_EQ(Key("runtime/level_width"), bad.loads ? 4 : -7);
    EXPECT_EQ(Key("runtime/tools/max/ladder"), 0);
    EXPECT_TRUE(!level || level->CreateWorld(nullptr));
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadLevels,
    ::testing::Values(
        BadLevel{"MissingFile", nullptr, "S>", false, "missing"},
        BadLevel{"NotXml", "<l><scene>", "S>", false, "well-formed"},
        BadLevel{"NoScene", "<l><time>6</time><code-map>m.xml</code-map></l>", "S>", false, "needs"},
        BadLevel{"OddTime", "<l><scene/><time>soon</time><code-map>m.xml</code-map></l>", "S>", false, "needs"},
        BadLevel{"NoCodeMap", "<l><scene/><time>6</time></l>", "S>", false, "needs"},
        BadLevel{"MissingCodeMap", "<l><scene/><time>6</time><code-map>x</code-map></l>", "S>", false, "x: the code"},
        BadLevel{"NoWidth", SCENE, "height='3' tile-width='32' tile-height='32'>", false, "\"width\""},
        BadLevel{"ZeroWidth", SCENE, "width='0' height='3' tile-width='32' tile-height='32'>", false, "unusable"},
        BadLevel{"NegativeCellHeight", SCENE, "width='4' height='3' tile-width='8' tile-height='-1'>", false, "unus"},
        BadLevel{"HugeGrid", SCENE, "width='4000' height='4000' tile-width='32' tile-height='32'>", false, "unusable"},
        BadLevel{"ItemOutside", SCENE, "S><item x='4' y='1'>33</item>", true, "(4, 1) lies outside"},
        BadLevel{"ItemWithoutY", SCENE, "S><item x='1'>33</item>", true, "without \"x\" or \"y\""},
        BadLevel{"TwoItemsInACell", SCENE, "S><item x='1' y='1'>42</item><item x='1' y='1'>35</item>", true, "again"},
        BadLevel{"UnknownItemType", "<l><scene><layer><item type='mesh'>a</item><item>b</item></layer></scene>"
                                    "<time>6</time><code-map>m.xml</code-map></l>", "S>", true, "type \"mesh\""}),
    [](const ::testing::TestParamInfo<BadLevel>& info) { return std::string(info.param.name); });

// The start lies right of the marker, also past the last column: the level loads, and the
// World answers for the hero's cell there as for any cell outside its grid.
TEST_F(LevelTest, AMarkerInTheLastColumnStartsTheHeroPastTheGrid)
{
    Write("l.xml", SCENE);
    Write("m.xml", "<m width='4' height='3' tile-width='32' tile-height='32'><item x='3' y='1'>11</item></m>");
    const Tarv::SmartPtr<Level> level = Level::Load("l.xml");
    ASSERT_TRUE(level);
    EXPECT_TRUE(log.GetLines().empty());
    EXPECT_EQ(level->GetHeroStartCell(), (Cell{4, 1}));
    const Tarv::SmartPtr<Pirrock::Pirrock> hero = Tarv::MakeSmart<Pirrock::Pirrock>();
    Pirrock::Pirrock::SetInstance(hero);
    ASSERT_TRUE(level->CreateWorld(nullptr));
    World& world = *World::Instance;
    EXPECT_EQ(world.GetHeroCell(), (Cell{4, 1}));
    EXPECT_EQ(world.GetTouchedCode(), CODE_VOID_SPACE);
    EXPECT_EQ(world.GetPlatformCode(), CODE_VOID_SPACE);
    EXPECT_FALSE(world.IsPirrockOnGround() || world.IsPirrockOnSlope() || world.IsHairDryerBehind());
    // No surface below: the hero stays where it is.
    const Vund::Vector3D start = hero->GetPosition();
    world.SnapPirrockToGround(CODE_FLAT);
    EXPECT_EQ(hero->GetPosition(), start);
}
