// The check of every shipped level, as the level tests run it.
#include "game/LevelCheck.h"

#include "game/GameLog.h"
#include "game/Level.h"
#include "game/Pirrock.h"
#include "game/World.h"

#include <string>

namespace Pirrock
{

int ValidateLevelFiles(int count, MessageSink& sink)
{
    int faults = 0;
    for (int number = 1; number <= count; ++number) {
        const Tarv::SmartPtr<Level> level = Level::Read(Level::GetLevelPath(number));
        const CodeMap* map = level ? &level->GetCodeMap() : nullptr;
        const Tarv::SmartPtr<World> world =
            map != nullptr ? World::Create(WorldGeometry{map->width, map->height, map->cellWidth, map->cellHeight},
                                           map->items, map->heroStart, nullptr, Tarv::SmartPtr<Pirrock>())
                           : Tarv::SmartPtr<World>();
        if (!world) {
            sink.Print("level " + std::to_string(number) + ": " + Level::GetLevelPath(number) + " does not load");
            ++faults;
            continue;
        }
        faults += world->ValidateLevel(number, false, sink);
    }
    sink.Print("levels 1 to " + std::to_string(count) + ": " + std::to_string(faults) + " faults");
    return faults;
}

} // namespace Pirrock
