// Cost of the World on a level of the largest shipped size (128 x 48 cells): building it from
// its items (done at every level start and restart), the layout check that can run with it,
// and following a hero that moves several cells a frame.
#include "engine/registry/Registry.h"
#include "framework/Settings.h"
#include "framework/System.h"
#include "game/GameLog.h"
#include "game/Pirrock.h"
#include "game/World.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{

constexpr int WIDTH = 128;
constexpr int HEIGHT = 48;

// Ground under every third band of rows, fruit and tools along each band, as a busy level has.
std::vector<Pirrock::LevelItem> BusyLevel()
{
    std::vector<Pirrock::LevelItem> items;
    for (int band = 8; band < HEIGHT; band += 8) {
        for (int x = 0; x < WIDTH; ++x) {
            items.push_back({x % 17 == 9 ? 16 : 35, x, band});
            items.push_back({35, x, band + 1});
            if (x % 5 == 0)
                items.push_back({42 + x % 5, x, band - 2});
            if (x % 11 == 3)
                items.push_back({26 + x % 9, x, band - 1});
        }
    }
    return items;
}

class Setting
{
public:
    Setting()
    {
        Quor::System::Create(nullptr);
        Tarv::Registry::Instance = Tarv::MakeSmart<Tarv::Registry>();
        // The level's size, as loading the level publishes it.
        Quor::Settings& settings = *Quor::Settings::GetInstance();
        settings.SetInt("runtime/level_width", WIDTH);
        settings.SetInt("runtime/level_height", HEIGHT);
        settings.SetInt("runtime/level_cell_width", 48);
        settings.SetInt("runtime/level_cell_height", 48);
    }
    ~Setting()
    {
        Quor::System::Destroy();
        Tarv::Registry::Instance.Reset();
    }
};

Tarv::SmartPtr<Pirrock::World> Build(const std::vector<Pirrock::LevelItem>& items,
                                    const Tarv::SmartPtr<Pirrock::Pirrock>& hero)
{
    return Pirrock::World::Create(items, {1, 7}, nullptr, hero);
}

void BM_BuildWorld(benchmark::State& state)
{
    Setting setting;
    const std::vector<Pirrock::LevelItem> items = BusyLevel();
    for (auto _ : state)
        benchmark::DoNotOptimize(Build(items, {}).Get());
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(items.size()));
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
    const Tarv::SmartPtr<Pirrock::World> world = Build(BusyLevel(), {});
    NullSink sink;
    for (auto _ : state)
        benchmark::DoNotOptimize(world->ValidateLevel(8, false, sink));
    state.SetItemsProcessed(state.iterations() * WIDTH * HEIGHT);
}
BENCHMARK(BM_ValidateLevel);

void BM_TrackHero(benchmark::State& state)
{
    Setting setting;
    const Tarv::SmartPtr<Pirrock::Pirrock> hero = Tarv::MakeSmart<Pirrock::Pirrock>();
    const Tarv::SmartPtr<Pirrock::World> world = Build(BusyLevel(), hero);
    const Vund::Vector3D frame(static_cast<float>(state.range(0)) * 48.0f / 4.0f, 0.0f, 0.0f);
    std::int64_t changes = 0;
    for (auto _ : state) {
        if (hero->GetPosition().x > WIDTH * 48.0f)
            hero->SetPosition(world->CellToWorld({1, 7}), false);
        hero->SetPosition(hero->GetPosition() + frame, false);
        hero->lastDisplacement = frame;
        bool more = true;
        while (more)
            changes += world->Update(more);
    }
    benchmark::DoNotOptimize(changes);
}
// A quarter of a cell a frame (a run), and 4 and 16 cells a frame (a fall far beyond any speed).
BENCHMARK(BM_TrackHero)->Arg(1)->Arg(16)->Arg(64);

} // namespace
