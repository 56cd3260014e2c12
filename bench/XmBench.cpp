// XM player speed: one minute of the generated 16-channel module rendered in 1024-sample
// blocks, single blocks at 16 and 32 channels, and the independent player openmpt123 rendering
// the same file to raw PCM (one minute, and one second to show its start-up cost).
#include "audio/ModulePlayer.h"
#include "audio/ModuleSong.h"
#include "tools/xm/XmFixtures.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace
{

constexpr int RATE = 22050;
constexpr int BLOCK = 1024;

// The 16-channel fixture, or a copy with every channel doubled.
std::vector<std::uint8_t> BenchModule(int channels)
{
    Tarv::XmModuleDesc module;
    Tarv::MakeXmFixture("bench16", module);
    if (channels == 32) {
        module.channelCount = 32;
        for (Tarv::XmPatternDesc& pattern : module.patterns) {
            Tarv::XmPatternDesc wide(pattern.rows, 32);
            for (int row = 0; row < pattern.rows; ++row) {
                for (int channel = 0; channel < 32; ++channel)
                    wide.At(row, channel) = pattern.At(row, channel % 16);
            }
            pattern = wide;
        }
    }
    Tarv::XmWriter writer;
    return writer.Write(module);
}

void BM_XmRenderMinute16(benchmark::State& state)
{
    const std::vector<std::uint8_t> bytes = BenchModule(16);
    Tarv::ModulePlayer::CModuleSong song;
    if (!song.LoadFromMemory(bytes.data(), bytes.size()))
        return state.SkipWithError("the module did not load");
    std::vector<std::int16_t> out(BLOCK);
    for (auto _ : state) {
        Tarv::ModulePlayer::ModulePlayer player;
        player.SetSong(&song);
        player.SetPlayRange(-1, -1);
        for (int done = 0; done < 60 * RATE; done += BLOCK) {
            player.Render(out.data(), BLOCK);
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.counters["x_realtime"] =
        benchmark::Counter(60.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_XmRenderMinute16)->Unit(benchmark::kMillisecond);

void BM_XmRenderBlock(benchmark::State& state)
{
    const std::vector<std::uint8_t> bytes = BenchModule(static_cast<int>(state.range(0)));
    Tarv::ModulePlayer::CModuleSong song;
    if (!song.LoadFromMemory(bytes.data(), bytes.size()))
        return state.SkipWithError("the module did not load");
    Tarv::ModulePlayer::ModulePlayer player;
    player.SetSong(&song);
    player.SetPlayRange(-1, -1);
    std::vector<std::int16_t> out(BLOCK);
    // Past the head start, so every channel sounds.
    for (int i = 0; i < 10; ++i)
        player.Render(out.data(), BLOCK);
    for (auto _ : state) {
        player.Render(out.data(), BLOCK);
        benchmark::DoNotOptimize(out.data());
    }
    if (std::all_of(out.begin(), out.end(), [](std::int16_t sample) { return sample == 0; }))
        state.SkipWithError("the player rendered silence");
}
BENCHMARK(BM_XmRenderBlock)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

int Run(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 1, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 1, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// openmpt123 at the same rate and channel count with linear interpolation, as this player
// mixes; it writes <file>.raw next to the module.
void BM_Openmpt123Render16(benchmark::State& state)
{
    char dir[] = "/tmp/xmbenchXXXXXX";
    if (mkdtemp(dir) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string path = std::string(dir) + "/bench16.xm";
    const std::vector<std::uint8_t> bytes = BenchModule(16);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool written = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file != nullptr)
        std::fclose(file);
    const std::vector<std::string> command = {"openmpt123", "--quiet", "--render", "--force", "--output-type", "raw",
                                              "--no-float", "--samplerate", "22050", "--channels", "1", "--filter",
                                              "2", "--end-time", std::to_string(state.range(0)), path};
    if (!written || Run(command) != 0) {
        state.SkipWithError("openmpt123 is not installed or failed");
    } else {
        for (auto _ : state)
            Run(command);
    }
    std::remove((path + ".raw").c_str());
    std::remove(path.c_str());
    rmdir(dir);
}
BENCHMARK(BM_Openmpt123Render16)->Arg(60)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
