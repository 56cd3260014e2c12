// Cost of the World on the largest level the game ships, read from the built archives: building
// it from its items (done at every level start and restart), the layout check that can run
// with it, and following a hero that moves several cells a frame.
#include "engine/registry/Registry.h"
#include "engine/vfs/PakMount.h"
#include "engine/vfs/Vfs.h"
#include "framework/Settings.h"
#include "framework/System.h"
#include "game/CodeMap.h"
#include "game/GameLog.h"
#include "game/Pirrock.h"
#include "game/World.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

namespace
{

constexpr int LEVELS = 30;

class Setting
{
public:
    Setting()
    {
        Quor::System::Create(nullptr);
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
    }
    ~Setting()
    {
        Quor::System::Destroy();
        Tarv::Registry::Instance.Reset();
    }
};

// The shipped level of the most cells, from common.pak beside the program; empty without it.
const Pirrock::CodeMap& LargestLevel()
{
    static const Pirrock::CodeMap largest = [] {
        Pirrock::CodeMap best;
        if (chdir(BRASHWICK_OUTPUT_DIR) != 0)
            return best;
        Tarv::VfsInit();
        if (Tarv::VfsMountPak("common.pak", "", 0) != nullptr) {
            for (int level = 1; level <= LEVELS; ++level) {
                char path[32];
                std::snprintf(path, sizeof path, "levels/%02d_map.xml", level);
                Pirrock::CodeMap map;
                if (Pirrock::ReadCodeMap(path, map) && map.width * map.height > best.width * best.height)
                    best = map;
            }
        }
        Tarv::VfsShutdown();
        return best;
    }();
    return largest;
}

// The World takes the level's size from the settings, as loading the level publishes it.
Tarv::SmartPtr<Pirrock::World> Build(const Pirrock::CodeMap& map, const Tarv::SmartPtr<Pirrock::Pirrock>& hero)
{
    Quor::Settings& settings = *Quor::Settings::GetInstance();
    settings.SetInt("runtime/level_width", map.width);
    settings.SetInt("runtime/level_height", map.height);
    settings.SetInt("runtime/level_cell_width", map.cellWidth);
    settings.SetInt("runtime/level_cell_height", map.cellHeight);
    return Pirrock::World::Create(map.items, map.heroStart, nullptr, hero);
}

void BM_BuildWorld(benchmark::State& state)
{
    Setting setting;
    const Pirrock::CodeMap& map = LargestLevel();
    if (map.items.empty())
        return state.SkipWithError("no shipped levels");
    for (auto _ : state)
        benchmark::DoNotOptimize(Build(map, {}).Get());
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(map.items.size()));
    state.SetLabel(std::to_string(map.width) + " x " + std::to_string(map.height) + " cells");
}
BENCHMARK(BM_BuildWorld);

class NullSink : public Pirrock::MessageSink
{
public:
    void Print(const Tarv::NarrowString&) override { ++lines; }
    int lines = 0;
};

void BM_ValidateLevel(benchmark::State& state)
{
    Setting setting;
    const Pirrock::CodeMap& map = LargestLevel();
    if (map.items.empty())
        return state.SkipWithError("no shipped levels");
    const Tarv::SmartPtr<Pirrock::World> world = Build(map, {});
    NullSink sink;
    for (auto _ : state)
        benchmark::DoNotOptimize(world->ValidateLevel(8, false, sink));
    state.SetItemsProcessed(state.iterations() * map.width * map.height);
}
BENCHMARK(BM_ValidateLevel);

void BM_TrackHero(benchmark::State& state)
{
    Setting setting;
    const Pirrock::CodeMap& map = LargestLevel();
    if (map.items.empty())
        return state.SkipWithError("no shipped levels");
    const Tarv::SmartPtr<Pirrock::Pirrock> hero = Tarv::MakeSmart<Pirrock::Pirrock>();
    const Tarv::SmartPtr<Pirrock::World> world = Build(map, hero);
    const float end = static_cast<float>(map.width * map.cellWidth);
    const Vund::Vector3D frame(static_cast<float>(state.range(0)) * static_cast<float>(map.cellWidth) / 4.0f, 0.0f,
                               0.0f);
    std::int64_t changes = 0;
    for (auto _ : state) {
        if (hero->GetPosition().x > end)
            hero->SetPosition(world->CellToWorld(map.heroStart), false);
        hero->SetPosition(hero->GetPosition() + frame, false);
        hero->lastDisplacement = frame;
        bool more = true;
        while (more)
            changes += world->Update(more);
    }
    // A hero that went a whole cell or more must have changed cells.
    const float travelled = static_cast<float>(state.iterations()) * frame.x;
    if (changes == 0 && travelled >= static_cast<float>(map.cellWidth))
        state.SkipWithError("the hero changed no cell");
}
// A quarter of a cell a frame (a run), and 4 and 16 cells a frame (a fall far beyond any speed).
BENCHMARK(BM_TrackHero)->Arg(1)->Arg(16)->Arg(64);

} // namespace
