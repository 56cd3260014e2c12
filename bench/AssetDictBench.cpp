// Asset dictionary look-ups: the cost of a request for a live name (lock, map search, weak
// lock), alone and with threads asking at once, and of a request that finds a held name.
#include "audio/sources/AudioSource.h"
#include "engine/vfs/Vfs.h"
#include "framework/AssetDict.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

// A one-second mono WAV of silence in a temporary folder mounted at the root, and a dictionary
// with 1000 other names in it, so searches walk a realistic map.
struct World
{
    World()
    {
        char pattern[] = "/tmp/brashwick-assetbench-XXXXXX";
        dir = mkdtemp(pattern);
        const std::uint32_t samples = 22050;
        std::vector<std::uint8_t> wav = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                                         'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
                                         0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0,
                                         'd', 'a', 't', 'a'};
        const std::uint32_t dataBytes = samples * 2;
        for (int i = 0; i < 4; ++i)
            wav.push_back(static_cast<std::uint8_t>(dataBytes >> (8 * i)));
        wav.resize(wav.size() + dataBytes, 0);
        const std::uint32_t riff = static_cast<std::uint32_t>(wav.size() - 8);
        for (int i = 0; i < 4; ++i)
            wav[4 + i] = static_cast<std::uint8_t>(riff >> (8 * i));
        FILE* file = std::fopen((dir + "/tone.wav").c_str(), "wb");
        std::fwrite(wav.data(), 1, wav.size(), file);
        std::fclose(file);
        Tarv::VfsInit();
        Tarv::VfsMountNative(dir + "/", "", 0);
        Tarv::AssetDict::Instance = Tarv::MakeSmart<Tarv::AssetDict>();
        for (int i = 0; i < 1000; ++i)
            Tarv::AssetDict::GetAudio("missing/" + std::to_string(i) + ".wav", false);
        held = Tarv::AssetDict::GetAudio("tone.wav@buffer", true);
    }
    ~World()
    {
        held.Reset();
        Tarv::AssetDict::Instance.Reset();
        Tarv::VfsShutdown();
        std::remove((dir + "/tone.wav").c_str());
        std::remove(dir.c_str());
    }

    std::string dir;
    Tarv::SmartPtr<Tarv::AudioSource> held;
};

World& GetWorld()
{
    static World world;
    return world;
}

void LiveNameHit(benchmark::State& state)
{
    if (!GetWorld().held)
        return state.SkipWithError("the sound did not load");
    const Tarv::NarrowString key = "tone.wav@buffer";
    for (auto _ : state)
        benchmark::DoNotOptimize(Tarv::AssetDict::GetAudio(key, false));
}
BENCHMARK(LiveNameHit)->Threads(1)->Threads(2)->Threads(4);

void HeldNameHitWithHold(benchmark::State& state)
{
    if (!GetWorld().held)
        return state.SkipWithError("the sound did not load");
    const Tarv::NarrowString key = "tone.wav@buffer";
    for (auto _ : state)
        benchmark::DoNotOptimize(Tarv::AssetDict::GetAudio(key, true));
}
BENCHMARK(HeldNameHitWithHold);

} // namespace
