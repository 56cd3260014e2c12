// The play state's assets: the level bands' edges, the atlas list it loads and unloads, the tool
// sound choice, and every named atlas and sound present in the shipped archives.
#include "game/PlayAssets.h"

#include "engine/core/RNG.h"
#include "engine/vfs/File.h"
#include "engine/vfs/Vfs.h"
#include "tests/game/GameWorld.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace Pirrock;
using Names = std::vector<Tarv::NarrowString>;

TEST(PlayAssets, LevelBandsChangeAtTheirEdges)
{
    for (const auto& [level, tiles, back] : std::initializer_list<std::tuple<int, const char*, const char*>>{
             {0, "", ""},
             {3, "tiles1.xml", "back1.xml"},
             {4, "tiles2.xml", "back2.xml"},
             {10, "tiles4.xml", "back4.xml"},
             {11, "tiles5.xml", "back1.xml"},
             {30, "tiles6.xml", "back5.xml"},
             {31, "", ""}}) {
        EXPECT_STREQ(GetTilesAtlasName(level), tiles) << level;
        EXPECT_STREQ(GetBackAtlasName(level), back) << level;
    }
}

TEST(PlayAssets, AtlasListFollowsTheSwitchAndScreenWithEmptyNamesBeyondTheLevels)
{
    EXPECT_EQ(GetPlayAtlases(7, false, true), (Names{"game.xml", "anim.xml", "tiles3.xml", "back3.xml"}));
    EXPECT_EQ(GetPlayAtlases(31, true, false), (Names{"game1.xml", "game2.xml", "game3.xml", "anim.xml", "", ""}));
    EXPECT_EQ(GetPlayAtlases(1, true, true).size(), 8u);
}

TEST(PlayAssets, ToolSoundsPickVariantsTheDefaultOrNothing)
{
    ToolSounds sounds;
    for (const ToolSoundVariant& variant : GetToolSoundVariants())
        sounds.Register(variant.code, variant.name);
    Tarv::RNG rng(7);
    std::set<std::string> bridge;
    for (int i = 0; i < 64; ++i)
        bridge.insert(sounds.Pick(CODE_BRIDGE, rng));
    EXPECT_EQ(bridge, (std::set<std::string>{"bridge_1", "bridge_2"}));
    EXPECT_STREQ(sounds.Pick(CODE_TRAMPOLINE, rng), "tool_default");
    EXPECT_STREQ(sounds.Pick(0, rng), "");
    EXPECT_STREQ(ToolSounds().Pick(CODE_APPLE, rng), "");
}

TEST(PlayAssets, EveryAtlasAndSoundShips)
{
    Tarv::VfsInit();
    ASSERT_NO_FATAL_FAILURE(GameTest::MountBuiltArchives());
    const auto ships = [](const std::string& path) {
        return bool(Tarv::SmartPtr<Tarv::File>(Tarv::VfsOpenRead(path.c_str())));
    };
    for (int level = 1; level <= 30; ++level) {
        for (const Tarv::NarrowString& atlas : GetPlayAtlases(level, level % 2 == 0, true))
            EXPECT_TRUE(ships(atlas)) << atlas;
    }
    std::set<std::string> requested;
    for (const char* sound : GetPlaySounds()) {
        EXPECT_TRUE(ships(sound)) << sound;
        const std::string path = sound;
        requested.insert(path.substr(path.find('/') + 1, path.size() - path.find('/') - 5));
    }
    // Every variant a tool or fruit plays was asked for, and the default too.
    for (const ToolSoundVariant& variant : GetToolSoundVariants())
        EXPECT_EQ(requested.count(variant.name), 1u) << variant.name;
    EXPECT_EQ(requested.count("tool_default"), 1u);
    Tarv::VfsShutdown();
}
