// The play state's fixed assets: the atlases a level is drawn with, the sounds it asks the
// loader for, and the sound variants of tools and fruit.
#pragma once

#include "engine/core/NarrowString.h"
#include "game/CellCode.h"

#include <map>
#include <vector>

namespace Tarv
{
class RNG;
}

namespace Pirrock
{

// The tiles and background atlases of a level; "" for a level outside 1..30.
const char* GetTilesAtlasName(int level);
const char* GetBackAtlasName(int level);

// Every atlas level is drawn with, in loading order: the game atlases ("game.xml", or with
// atlas1024 "game1.xml" to "game3.xml" and on an 800 x 480 screen "game4.xml" and "game5.xml"
// too), "anim.xml", the tiles atlas and the background atlas; the last two are empty for a level
// outside 1..30, and the empty names are handed on like any other.
std::vector<Tarv::NarrowString> GetPlayAtlases(int level, bool atlas1024, bool screen800x480);

// The sound files play requests, in request order: the game music, then the effects. Each is
// played by its base name (no folder, no ".ogg").
const std::vector<const char*>& GetPlaySounds();

// The sound variants play registers for a tool or fruit code, in registration order: bridge,
// fire extinguisher, hair dryer, ladder, then each fruit, two each.
struct ToolSoundVariant
{
    CellCode code;
    const char* name;
};
const std::vector<ToolSoundVariant>& GetToolSoundVariants();

// The sound variants of a tool or fruit code, in registration order.
class ToolSounds
{
public:
    // Appends name to code's variants; a name may stand twice.
    void Register(CellCode code, const char* name);
    // The variant that rng picks for code, "tool_default" for a tool without variants, or ""
    // (nothing to play) for any other code.
    const char* Pick(CellCode code, Tarv::RNG& rng) const;

private:
    std::map<int, std::vector<const char*>> m_variants;
};

} // namespace Pirrock
