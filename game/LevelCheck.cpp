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
        // Loading publishes the level's size, which the World reads.
        const Tarv::SmartPtr<Level> level = Level::Load(Level::GetLevelPath(number));
        const Tarv::SmartPtr<World> world =
            level ? World::Create(level->GetItems(), level->GetHeroStartCell(), nullptr, Tarv::SmartPtr<Pirrock>())
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
