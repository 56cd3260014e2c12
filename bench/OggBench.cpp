// Starting a cached sound again: the first mixer-sized Read after a Rewind (a seek to the
// start), against the next Read of a playing sound; the heap that a loaded sound holds from its
// creation on (its decoder included), and what a play adds to it. Over the game's own sounds
// from the built archives.
#include "audio/sources/AudioFactory.h"
#include "audio/sources/AudioSource.h"
#include "engine/core/SmartPtr.h"
#include "engine/vfs/PakMount.h"
#include "engine/vfs/Vfs.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include <malloc.h>

namespace
{

// What a channel asks of a mono 22050 Hz source for one 2048-byte block of the mixer.
constexpr unsigned BLOCK_BYTES = 2048;
constexpr double BLOCK_SECONDS = 1024.0 / 22050.0;

// The archives stay mounted for the whole run.
bool MountArchives()
{
    static const bool mounted = [] {
        Tarv::VfsInit();
        return Tarv::VfsMountPak(std::string(BRASHWICK_OUTPUT_DIR) + "/common.pak", "", 0) != nullptr;
    }();
    return mounted;
}

std::size_t HeapInUse()
{
    return mallinfo2().uordblks;
}

Tarv::SmartPtr<Tarv::AudioSource> OpenSound(benchmark::State& state, const char* path)
{
    Tarv::SmartPtr<Tarv::AudioSource> source;
    if (MountArchives()) {
        const std::size_t before = HeapInUse();
        source = Tarv::SmartPtr<Tarv::AudioSource>(Tarv::CreateCachedOggSource(path));
        state.counters["source_kib"] = (static_cast<double>(HeapInUse()) - static_cast<double>(before)) / 1024.0;
    }
    if (!source)
        state.SkipWithError("the sound is missing: build the content target first");
    return source;
}

// One iteration: a play starts from the start of a loaded source and stops after its first block.
void BM_OggFirstBlock(benchmark::State& state, const char* path)
{
    Tarv::SmartPtr<Tarv::AudioSource> source = OpenSound(state, path);
    if (!source)
        return;
    std::vector<std::uint8_t> block(BLOCK_BYTES);
    const std::size_t loaded = HeapInUse();
    if (source->Read(block.data(), BLOCK_BYTES) != BLOCK_BYTES)
        return state.SkipWithError("the sound gave no full block");
    const std::size_t playing = HeapInUse();
    source->Rewind();
    for (auto _ : state) {
        benchmark::DoNotOptimize(source->Read(block.data(), BLOCK_BYTES));
        source->Rewind();
    }
    state.counters["play_kib"] = (static_cast<double>(playing) - static_cast<double>(loaded)) / 1024.0;
    state.counters["block_period_pct"] =
        benchmark::Counter(BLOCK_SECONDS / 100.0, benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}

// One iteration: the next block of a playing source; the seek back at each new pass is left out.
void BM_OggNextBlock(benchmark::State& state, const char* path)
{
    Tarv::SmartPtr<Tarv::AudioSource> source = OpenSound(state, path);
    if (!source)
        return;
    std::vector<std::uint8_t> block(BLOCK_BYTES);
    source->Read(block.data(), BLOCK_BYTES);
    for (auto _ : state) {
        if (source->Read(block.data(), BLOCK_BYTES) < BLOCK_BYTES) {
            state.PauseTiming();
            source->Rewind();
            source->Read(block.data(), BLOCK_BYTES);
            state.ResumeTiming();
        }
    }
    state.counters["block_period_pct"] =
        benchmark::Counter(BLOCK_SECONDS / 100.0, benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK_CAPTURE(BM_OggFirstBlock, menu_ok1, "sfx/menu_ok1.ogg");
BENCHMARK_CAPTURE(BM_OggFirstBlock, win_strong, "sfx/win_strong.ogg");
BENCHMARK_CAPTURE(BM_OggFirstBlock, game_music, "music/game_music.ogg");
BENCHMARK_CAPTURE(BM_OggNextBlock, win_strong, "sfx/win_strong.ogg");
BENCHMARK_CAPTURE(BM_OggNextBlock, game_music, "music/game_music.ogg");
