// The play state's atlas names, sound list and tool sound variants.
#include "game/PlayAssets.h"

#include "engine/core/RNG.h"

#include <utility>

namespace Pirrock
{

namespace
{

struct LevelAtlases
{
    int lastLevel;
    const char* tiles;
    const char* back;
};

// Bands of levels, each up to and including its last level.
constexpr LevelAtlases LEVEL_ATLASES[] = {
    {3, "tiles1.xml", "back1.xml"},
    {6, "tiles2.xml", "back2.xml"},
    {8, "tiles3.xml", "back3.xml"},
    {10, "tiles4.xml", "back4.xml"},
    {15, "tiles5.xml", "back1.xml"},
    {20, "tiles6.xml", "back5.xml"},
    {25, "tiles5.xml", "back1.xml"},
    {30, "tiles6.xml", "back5.xml"},
};

const LevelAtlases* FindLevelAtlases(int level)
{
    if (level < 1)
        return nullptr;
    for (const LevelAtlases& band : LEVEL_ATLASES) {
        if (level <= band.lastLevel)
            return &band;
    }
    return nullptr;
}

} // namespace

const char* GetTilesAtlasName(int level)
{
    const LevelAtlases* band = FindLevelAtlases(level);
    return band != nullptr ? band->tiles : "";
}

const char* GetBackAtlasName(int level)
{
    const LevelAtlases* band = FindLevelAtlases(level);
    return band != nullptr ? band->back : "";
}

std::vector<Tarv::NarrowString> GetPlayAtlases(int level, bool atlas1024, bool screen800x480)
{
    std::vector<Tarv::NarrowString> names;
    if (!atlas1024) {
        names.emplace_back("game.xml");
    } else {
        for (const char* name : {"game1.xml", "game2.xml", "game3.xml"})
            names.emplace_back(name);
        if (screen800x480) {
            names.emplace_back("game4.xml");
            names.emplace_back("game5.xml");
        }
    }
    names.emplace_back("anim.xml");
    names.emplace_back(GetTilesAtlasName(level));
    names.emplace_back(GetBackAtlasName(level));
    return names;
}

const std::vector<const char*>& GetPlaySounds()
{
    static const std::vector<const char*> sounds = {
        "music/game_music.ogg", "sfx/menu_ok1.ogg", "sfx/start_strong.ogg", "sfx/start_weak.ogg",
        "sfx/win_strong.ogg", "sfx/win_weak.ogg", "sfx/lose_weak.ogg", "sfx/lose_strong.ogg",
        "sfx/bridge_1.ogg", "sfx/bridge_2.ogg", "sfx/fire_extinguisher_1.ogg", "sfx/fire_extinguisher_2.ogg",
        "sfx/hair_dryer_1.ogg", "sfx/hair_dryer_2.ogg", "sfx/ladder_1.ogg", "sfx/ladder_2.ogg",
        "sfx/tool_default.ogg", "sfx/wrong_tool_1.ogg", "sfx/wrong_tool_2.ogg", "sfx/fruit_1.ogg",
        "sfx/fruit_2.ogg", "sfx/sailing.ogg", "sfx/parachuting.ogg", "sfx/skating.ogg", "sfx/skiing.ogg",
        "sfx/jumping_1.ogg", "sfx/jumping_2.ogg", "sfx/jumping_long.ogg", "sfx/flying.ogg",
        "sfx/hitting_1.ogg", "sfx/hitting_2.ogg", "sfx/failing_1.ogg", "sfx/failing_2.ogg",
        "sfx/failing_3.ogg",
    };
    return sounds;
}

const std::vector<ToolSoundVariant>& GetToolSoundVariants()
{
    static const std::vector<ToolSoundVariant> variants = [] {
        std::vector<ToolSoundVariant> list = {
            {CODE_BRIDGE, "bridge_1"}, {CODE_BRIDGE, "bridge_2"},
            {CODE_FIRE_EXTINGUISHER, "fire_extinguisher_1"}, {CODE_FIRE_EXTINGUISHER, "fire_extinguisher_2"},
            {CODE_HAIR_DRYER, "hair_dryer_1"}, {CODE_HAIR_DRYER, "hair_dryer_2"},
            {CODE_LADDER, "ladder_1"}, {CODE_LADDER, "ladder_2"},
        };
        for (CellCode fruit = CODE_APPLE; fruit <= CODE_WATERMELON; ++fruit) {
            list.push_back({fruit, "fruit_1"});
            list.push_back({fruit, "fruit_2"});
        }
        return list;
    }();
    return variants;
}

void ToolSounds::Register(CellCode code, const char* name)
{
    m_variants[static_cast<int>(code)].push_back(name);
}

const char* ToolSounds::Pick(CellCode code, Tarv::RNG& rng) const
{
    const auto found = m_variants.find(static_cast<int>(code));
    if (found != m_variants.end() && !found->second.empty())
        return found->second[rng.GetU32() % found->second.size()];
    return IsToolCode(code) ? "tool_default" : "";
}

} // namespace Pirrock
