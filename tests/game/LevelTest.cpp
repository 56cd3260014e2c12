// The level scene file and its code map read from fixture files (tests/game/levels), the keys a
// level publishes and resets, the World it builds, and damaged files refused or items skipped.
#include "game/Level.h"

#include "framework/ProcessManager.h"
#include "scene/ParallaxSprite.h"
#include "scene/TiledSprite.h"
#include "tests/game/GameWorld.h"

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <typeinfo>

using namespace Pirrock;

namespace
{

std::string ReadFixture(const std::string& name)
{
    std::ifstream in(std::string(BRASHWICK_SOURCE_DIR) + "/tests/game/levels/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class LevelTest : public ::testing::Test, public GameTest::GameFiles
{
protected:
    void SetUp() override
    {
        Write("levels/01.xml", ReadFixture("01.xml"));
        Write("levels/01_map.xml", ReadFixture("01_map.xml"));
        Settings().SetInt("constants/pirrock_default_speed", 240);
    }

    int Key(const std::string& name) { return Settings().GetInt(name); }
};

struct SceneObject
{
    const std::type_info& kind;
    Vund::Vector3D position;
    float scale;
    bool screenFixed;
};

} // namespace

TEST_F(LevelTest, TheSceneHoldsItsObjectsInFileOrderWithTheirLayersDepths)
{
    const Tarv::SmartPtr<Level> level = Level::Load("levels/01.xml");
    ASSERT_TRUE(level);
    const float none = Level::NO_DEPTH;
    const SceneObject expected[] = {
        {typeid(Vund::ParallaxSprite), {3, 4, none}, 1.0f, true},
        {typeid(Vund::TiledParallaxSprite), {0, 10, none}, 0.5f, false},
        {typeid(Vund::ParallaxSprite), {0, 0, 0}, 0.0f, false},
        {typeid(Vund::TiledSprite), {0, 0, 0}, 1.0f, false},
        {typeid(Vund::Sprite), {96.5f, -2.25f, 5}, 2.0f, false},
        {typeid(Vund::Sprite), {1, 0, -5}, 0.0f, false},
    };
    ASSERT_EQ(level->GetScene().GetObjectCount(), std::size(expected));
    std::size_t i = 0;
    for (const auto& object : level->GetScene().GetObjects()) {
        const auto* sprite = dynamic_cast<const Vund::Sprite*>(object.Get());
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(typeid(*sprite), expected[i].kind) << i;
        EXPECT_EQ(sprite->position, expected[i].position) << i;
        EXPECT_EQ(sprite->scale, expected[i].scale) << i;
        const auto* parallax = dynamic_cast<const Vund::ParallaxSprite*>(sprite);
        EXPECT_EQ(parallax != nullptr && parallax->screenFixed, expected[i].screenFixed) << i;
        ++i;
    }
    uint32_t bits = 0;
    std::memcpy(&bits, &none, sizeof bits);
    EXPECT_EQ(bits, 0xFEFFFFFFu);
    EXPECT_TRUE(log.GetLines().empty());
}

TEST_F(LevelTest, TheCodeMapGivesTheItemsTheHeroStartAndTheLevelsKeys)
{
    const Tarv::SmartPtr<Level> level = Level::Load("levels/01.xml");
    ASSERT_TRUE(level);
    const std::vector<std::array<int, 3>> expected = {
        {11, 4, 4}, {35, 0, 5}, {35, 1, 5}, {33, 1, 4}, {33, 2, 4}, {33, 3, 4}, {28, 2, 3},
        {8, 3, 3},  {24, 6, 3}, {42, 6, 2}, {42, 7, 2}, {46, 7, 1}, {12, 7, 4}, {99, 0, 0}};
    ASSERT_EQ(level->GetItems().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const LevelItem& item = level->GetItems()[i];
        EXPECT_EQ((std::array<int, 3>{item.code, item.x, item.y}), expected[i]) << i;
    }
    EXPECT_EQ(level->GetHeroStartCell(), (Cell{5, 4}));
    const std::pair<const char*, int> keys[] = {
        {"runtime/level_time", 90}, {"runtime/level_width", 8}, {"runtime/level_height", 6},
        {"runtime/level_cell_width", 64}, {"runtime/level_cell_height", 32}, {"runtime/tools/max/ladder", 3},
        {"runtime/tools/max/bridge", 1}, {"runtime/tools/max/ski", 0}, {"runtime/fruits/max/apple", 2},
        {"runtime/fruits/max/watermelon", 1}, {"runtime/fruits/max/cherry", 0}};
    for (const auto& key : keys)
        EXPECT_EQ(Key(key.first), key.second) << key.first;

    ASSERT_TRUE(level->CreateWorld(nullptr));
    EXPECT_EQ(World::Instance->WorldToCell(Vund::Vector3D(130, 0, 0)).x, 2);
}

TEST_F(LevelTest, CreatingTheWorldAgainReplacesItAndResetsTheKeys)
{
    const Tarv::SmartPtr<Level> level = Level::Load("levels/01.xml");
    ASSERT_TRUE(level);
    Quor::ProcessManager animator("level animator");
    ASSERT_TRUE(level->CreateWorld(&animator));
    const Tarv::SmartPtr<World> first = World::Instance;
    Settings().SetInt("runtime/tools/ladder", 0);
    Settings().SetInt("runtime/fruits/apple", 2);
    Settings().SetInt("runtime/levelScore", 50);
    Settings().SetInt("runtime/time", 3);
    Settings().SetString("runtime/activeTool", "bridge");

    ASSERT_TRUE(level->CreateWorld(&animator));
    EXPECT_NE(World::Instance, first);
    EXPECT_EQ(World::Instance->GetCellCode({1, 4}), 33);
    EXPECT_EQ(Key("runtime/tools/ladder"), 3);
    EXPECT_EQ(Key("runtime/tools/ski"), 0);
    EXPECT_EQ(Key("runtime/fruits/apple"), 0);
    EXPECT_EQ(Key("runtime/levelScore"), 0);
    EXPECT_EQ(Key("runtime/time"), 90);
    EXPECT_EQ(Key("runtime/pirrock_speed"), 240);
    EXPECT_EQ(Settings().GetString("runtime/activeTool"), "");
    EXPECT_EQ(level->GetItems().size(), 14u);
}

TEST_F(LevelTest, ALevelLetsGoOnlyOfTheWorldItBuilt)
{
    Tarv::SmartPtr<Level> older = Level::Load("levels/01.xml");
    Tarv::SmartPtr<Level> newer = Level::Load("levels/01.xml");
    ASSERT_TRUE(older && newer && older->CreateWorld(nullptr) && newer->CreateWorld(nullptr));
    const Tarv::SmartPtr<World> current = World::Instance;
    older.Reset();
    EXPECT_EQ(World::Instance, current);
    newer.Reset();
    EXPECT_FALSE(World::Instance);
}

TEST(LevelPath, TwoDigitsAtLeast)
{
    EXPECT_EQ(Level::GetLevelPath(3), "levels/03.xml");
    EXPECT_EQ(Level::GetLevelPath(12), "levels/12.xml");
}

namespace
{

struct BadLevel
{
    const char* name;
    const char* scene;  // null: no scene file
    const char* map;    // the code map's root attributes and items
    bool loads;
    const char* message;
};

void PrintTo(const BadLevel& bad, std::ostream* out)
{
    *out << bad.name;
}

const char* const GOOD_SCENE = "<level><scene/><time>60</time><code-map>m.xml</code-map></level>";
const char* const SIZES = "width='4' height='3' tile-width='32' tile-height='32'";

class BadLevels : public LevelTest, public ::testing::WithParamInterface<BadLevel>
{
};

} // namespace

TEST_P(BadLevels, AreRefusedWithAMessageOrLoseTheBadItemWithOne)
{
    const BadLevel& bad = GetParam();
    if (bad.scene != nullptr)
        Write("l.xml", bad.scene);
    std::string map = bad.map;
    const std::size_t at = map.find("SIZES");
    if (at != std::string::npos)
        map.replace(at, 5, SIZES);
    Write("m.xml", "<map " + map + "</map>");
    Settings().SetInt("runtime/level_width", -7);

    const Tarv::SmartPtr<Level> level = Level::Load("l.xml");
    EXPECT_EQ(static_cast<bool>(level), bad.loads);
    ASSERT_FALSE(log.GetLines().empty());
    EXPECT_NE(log.GetLines()[0].find(bad.message), std::string::npos) << log.GetLines()[0];
    EXPECT_EQ(Key("runtime/level_width"), bad.loads ? 4 : -7);
    EXPECT_EQ(Key("runtime/tools/max/ladder"), 0);
    if (level) {
        EXPECT_TRUE(level->CreateWorld(nullptr));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadLevels,
    ::testing::Values(
        BadLevel{"MissingFile", nullptr, "SIZES>", false, "missing"},
        BadLevel{"NotXml", "<level><scene>", "SIZES>", false, "not well-formed"},
        BadLevel{"NoScene", "<level><time>6</time><code-map>m.xml</code-map></level>", "SIZES>", false, "needs"},
        BadLevel{"NoTime", "<level><scene/><code-map>m.xml</code-map></level>", "SIZES>", false, "needs"},
        BadLevel{"TimeNotANumber", "<level><scene/><time>soon</time><code-map>m.xml</code-map></level>", "SIZES>",
                 false, "needs"},
        BadLevel{"NoCodeMap", "<level><scene/><time>6</time></level>", "SIZES>", false, "needs"},
        BadLevel{"MissingCodeMap", "<level><scene/><time>6</time><code-map>x.xml</code-map></level>", "SIZES>",
                 false, "x.xml: the code map is missing"},
        BadLevel{"NoWidth", GOOD_SCENE, "height='3' tile-width='32' tile-height='32'>", false, "\"width\""},
        BadLevel{"ZeroWidth", GOOD_SCENE, "width='0' height='3' tile-width='32' tile-height='32'>", false,
                 "unusable"},
        BadLevel{"NegativeHeight", GOOD_SCENE, "width='4' height='-3' tile-width='32' tile-height='32'>", false,
                 "unusable"},
        BadLevel{"ZeroCellWidth", GOOD_SCENE, "width='4' height='3' tile-width='0' tile-height='32'>", false,
                 "unusable"},
        BadLevel{"NegativeCellHeight", GOOD_SCENE, "width='4' height='3' tile-width='32' tile-height='-1'>", false,
                 "unusable"},
        BadLevel{"HugeGrid", GOOD_SCENE, "width='4000' height='4000' tile-width='32' tile-height='32'>", false,
                 "unusable"},
        BadLevel{"HeroStartOutside", GOOD_SCENE, "SIZES><item x='3' y='1'>11</item>", false,
                 "start cell (4, 1) lies outside"},
        BadLevel{"ItemOutside", GOOD_SCENE, "SIZES><item x='4' y='1'>33</item>", true, "(4, 1) lies outside"},
        BadLevel{"ItemBelow", GOOD_SCENE, "SIZES><item x='0' y='-1'>33</item>", true, "(0, -1) lies outside"},
        BadLevel{"ItemWithoutY", GOOD_SCENE, "SIZES><item x='1'>33</item>", true, "without \"x\" or \"y\""},
        BadLevel{"DuplicateCell", GOOD_SCENE, "SIZES><item x='1' y='1'>42</item><item x='1' y='1'>35</item>", true,
                 "given again"},
        BadLevel{"UnknownItemType",
                 "<level><scene><layer><item type='mesh'>a</item><item>b</item></layer></scene>"
                 "<time>6</time><code-map>m.xml</code-map></level>",
                 "SIZES>", true, "unknown type \"mesh\""}),
    [](const ::testing::TestParamInfo<BadLevel>& info) { return std::string(info.param.name); });
