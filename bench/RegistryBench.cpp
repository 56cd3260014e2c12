// Cost of registry access by path (locked, one map lookup per component) and of saving.
#include "engine/registry/Registry.h"

#include <benchmark/benchmark.h>

namespace
{

void GetIntByPath(benchmark::State& state)
{
    Tarv::Registry registry;
    registry.SetInt("/quor/levels/world1/best", 3);
    for (auto _ : state) {
        int value = 0;
        benchmark::DoNotOptimize(registry.GetInt("/quor/levels/world1/best", value));
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(GetIntByPath);

void SetIntByPath(benchmark::State& state)
{
    Tarv::Registry registry;
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(registry.SetInt("/runtime/loader/progress", ++i));
}
BENCHMARK(SetIntByPath);

// A settings subtree of a few hundred keys, as a player's progress grows to.
void SettingsToXml(benchmark::State& state)
{
    Tarv::Registry registry;
    for (int i = 0; i < 300; ++i) {
        Tarv::NarrowString path = "/quor/levels/l";
        path.AppendInt(i);
        registry.SetInt(path + "/best", i);
        registry.SetBool(path + "/done", i % 2 == 0);
    }
    for (auto _ : state) {
        Tarv::NarrowString text = registry.ToXml("/quor");
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(SettingsToXml);

} // namespace
