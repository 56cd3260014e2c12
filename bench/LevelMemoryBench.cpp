// Memory across the shipped levels: each of the 30 levels is loaded in turn as the game loads it
// (from the level select, behind the loading screen), drawn and played for a second, and then
// all of them again. Each load reports the process's resident memory and the heap's figures,
// and on the second pass how far they moved from the same level's first: the heap in use comes
// back to its figure unless something leaks, while resident memory follows what the heap holds.
#include "bench/GameServices.h"
#include "game/GameState.h"
#include "game/PlayState.h"

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <array>
#include <cstdio>

namespace
{

constexpr int LEVELS = 30;
// Logic steps played after a load, a frame drawn after each: a second of play.
constexpr int PLAY_STEPS = 30;
constexpr double MIB = 1024.0 * 1024.0;

struct MemoryFigures
{
    double residentMiB;
    double heapInUseMiB; // handed out by malloc: chunks in the arenas and mapped blocks
    double arenaMiB;     // what the arenas hold from the system, in use or free
    double mappedMiB;    // blocks malloc mapped on their own
};

MemoryFigures Measure()
{
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    const struct mallinfo2 info = mallinfo2();
    MemoryFigures figures;
    figures.residentMiB = static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / MIB;
    figures.heapInUseMiB = static_cast<double>(info.uordblks + info.hblkhd) / MIB;
    figures.arenaMiB = static_cast<double>(info.arena) / MIB;
    figures.mappedMiB = static_cast<double>(info.hblkhd) / MIB;
    return figures;
}

// One set of services over all the rows, as the game keeps its own over all its levels; made
// after the screen, so it goes first.
GameServices& Services()
{
    static GameServices s_services;
    return s_services;
}

// Each level's figures on the first pass, to set the second's beside.
std::array<MemoryFigures, LEVELS + 1> g_firstPass{};

void PlayASecond(GameServices& services, Tarv::MaemoSurface* screen)
{
    for (int step = 0; step <= PLAY_STEPS; ++step) {
        if (step > 0)
            services.Step();
        screen->BeginFrame();
        services.Render(screen);
        screen->EndFrame();
    }
}

void ReportFigures(benchmark::State& state, int pass, int level)
{
    const MemoryFigures now = Measure();
    state.counters["residentMiB"] = now.residentMiB;
    state.counters["heapInUseMiB"] = now.heapInUseMiB;
    state.counters["arenaMiB"] = now.arenaMiB;
    state.counters["mappedMiB"] = now.mappedMiB;
    // Code, the GL driver's compiled shaders and its own mappings: whatever malloc does not hold.
    state.counters["outsideHeapMiB"] = now.residentMiB - now.arenaMiB - now.mappedMiB;
    if (pass == 1) {
        g_firstPass[static_cast<std::size_t>(level)] = now;
        return;
    }
    const MemoryFigures& first = g_firstPass[static_cast<std::size_t>(level)];
    state.counters["heapChangeKiB"] = (now.heapInUseMiB - first.heapInUseMiB) * 1024.0;
    state.counters["residentChangeKiB"] = (now.residentMiB - first.residentMiB) * 1024.0;
}

// The time is the load alone: from the level select until the level is the current state.
void BM_LoadEveryLevel(benchmark::State& state)
{
    const int pass = static_cast<int>(state.range(0));
    const int level = static_cast<int>(state.range(1));
    Tarv::MaemoSurface* screen = PlayerScreen();
    if (screen == nullptr)
        return state.SkipWithError("no screen");
    GameServices& services = Services();
    if (!services.IsReady())
        return state.SkipWithError("no archives");
    for (auto _ : state) {
        state.PauseTiming();
        if (!services.SwitchTo(new Pirrock::LevelSelectState))
            return state.SkipWithError("the level select did not load");
        GameServices::SetLevel(level);
        state.ResumeTiming();
        if (!services.SwitchTo(new Pirrock::PlayState))
            return state.SkipWithError("the level did not load in time");
        state.PauseTiming();
        if (!services.IsPlaying())
            return state.SkipWithError("the level is not played");
        PlayASecond(services, screen);
        state.ResumeTiming();
    }
    ReportFigures(state, pass, level);
}

void EveryLevelTwice(benchmark::internal::Benchmark* bench)
{
    bench->ArgNames({"pass", "level"});
    for (int pass = 1; pass <= 2; ++pass)
        for (int level = 1; level <= LEVELS; ++level)
            bench->Args({pass, level});
}
BENCHMARK(BM_LoadEveryLevel)->Apply(EveryLevelTwice)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
