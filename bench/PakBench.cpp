// The packer at scale: a folder of many small files packed whole (collect, name checks,
// layout, compression, write, read-back verify). Time should grow linearly with the count.
#include "tools/PakTool.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace
{

namespace fs = std::filesystem;

// count files of 64 to 319 bytes, 500 to a sub-folder, made once per count.
const std::string& SmallFiles(int count)
{
    static std::map<int, std::string> folders;
    std::string& folder = folders[count];
    if (!folder.empty())
        return folder;
    char pattern[] = "/tmp/brashwick-pakbench-XXXXXX";
    folder = mkdtemp(pattern);
    std::uint32_t seed = 11;
    for (int i = 0; i < count; ++i) {
        const fs::path sub = fs::path(folder) / "in" / ("d" + std::to_string(i / 500));
        fs::create_directories(sub);
        seed = seed * 1664525u + 1013904223u;
        std::ofstream out(sub / ("File" + std::to_string(i) + ".txt"), std::ios::binary);
        out << std::string(64 + seed % 256, static_cast<char>('a' + i % 26));
    }
    std::atexit([] {
        for (const auto& entry : folders)
            fs::remove_all(entry.second);
    });
    return folder;
}

void PackSmallFiles(benchmark::State& state)
{
    const std::string& folder = SmallFiles(static_cast<int>(state.range(0)));
    std::ostringstream out;
    std::ostringstream errors;
    Tarv::PakTool tool(out, errors);
    for (auto _ : state) {
        if (!tool.Pack(folder + "/in", folder + "/out.pak", Tarv::ContainerWriter::Options()))
            state.SkipWithError(errors.str().c_str());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(PackSmallFiles)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
