// Mixer cost per 2048-byte block with 4 and 16 looping channels, and the heap allocations per
// block in steady state, counted by a replaced global operator new (the target is 0).
#include "audio/Mixer.h"
#include "audio/sources/AudioBuffer.h"
#include "audio/sources/AudioPosition.h"
#include "engine/core/SmartPtr.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace
{

std::atomic<long> g_allocations{0};

// A 2048-byte block of mono 22050 Hz audio lasts 46.44 ms.
constexpr double BLOCK_SECONDS = 1024.0 / 22050.0;

// A generated tone held in memory, the kind of source a buffered sound effect is.
class ToneSource : public Tarv::AudioSource
{
public:
    ToneSource(std::uint32_t channels, std::uint32_t rate, std::size_t frames) : m_samples(frames * channels)
    {
        m_channels = channels;
        m_rate = rate;
        for (std::size_t i = 0; i < m_samples.size(); ++i)
            m_samples[i] = static_cast<std::int16_t>(3000.0 * std::sin(0.05 * static_cast<double>(i)));
    }
    unsigned Read(void* buffer, unsigned bytes) override
    {
        const unsigned size = GetLength();
        const unsigned n = m_position >= size ? 0 : std::min(bytes, size - m_position);
        std::memcpy(buffer, reinterpret_cast<const std::uint8_t*>(m_samples.data()) + m_position, n);
        m_position += n;
        return n;
    }
    void Rewind() override { m_position = 0; }
    unsigned GetLength() override { return static_cast<unsigned>(m_samples.size() * 2); }
    void Seek(unsigned offset) override { m_position = offset; }
    unsigned Tell() override { return m_position; }

private:
    std::vector<std::int16_t> m_samples;
    unsigned m_position = 0;
};

Tarv::AudioDevice* NoDevice(const Tarv::AudioFormat&, const unsigned&)
{
    return nullptr;
}

// Channels alternate between the mixer's own format and stereo 44100 Hz (downmixed, halved).
void MixBlocks(benchmark::State& state, float skew)
{
    const int channels = static_cast<int>(state.range(0));
    Tarv::MixerConfig config;
    config.createDevice = &NoDevice;
    Tarv::SmartPtr<Tarv::Mixer> mixer(new Tarv::Mixer({1, 22050}, config));
    Tarv::SmartPtr<Tarv::AudioBuffer> mono(Tarv::AudioBuffer::Create(new ToneSource(1, 22050, 30000)));
    Tarv::SmartPtr<Tarv::AudioBuffer> stereo(Tarv::AudioBuffer::Create(new ToneSource(2, 44100, 50000)));
    for (int i = 0; i < channels; ++i) {
        Tarv::SmartPtr<Tarv::AudioPosition> position(new Tarv::AudioPosition(i % 2 == 0 ? mono.Get() : stereo.Get()));
        Tarv::SmartPtr<Tarv::AudioChannel> channel = mixer->CreateChannel(position.Get(), true).Lock();
        if (!channel)
            return state.SkipWithError("a channel was refused");
        channel->SetLooping(true);
        channel->SetPaused(false);
    }
    mixer->SetTimeSkew(skew);
    std::vector<std::uint8_t> block(2048);
    // Warm-up: scratch buffers reach their steady size.
    for (int i = 0; i < 16; ++i)
        mixer->Read(block.data(), 2048);

    const long before = g_allocations.load();
    long blocks = 0;
    for (auto _ : state) {
        mixer->Read(block.data(), 2048);
        benchmark::DoNotOptimize(block.data());
        ++blocks;
    }
    const double perBlock = static_cast<double>(g_allocations.load() - before) / static_cast<double>(blocks);
    state.counters["allocs_per_block"] = perBlock;
    // Share of the 46.4 ms a block lasts, from the mean time per iteration.
    state.counters["block_period_pct"] =
        benchmark::Counter(BLOCK_SECONDS / 100.0, benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
    if (perBlock != 0.0)
        state.SkipWithError("the mixer allocated in steady state");
    if (std::all_of(block.begin(), block.end(), [](std::uint8_t byte) { return byte == 0; }))
        state.SkipWithError("the mixer mixed silence");
}

void BM_MixerBlock(benchmark::State& state)
{
    MixBlocks(state, 1.0f);
}

void BM_MixerBlockSkewed(benchmark::State& state)
{
    MixBlocks(state, 1.37f);
}

} // namespace

BENCHMARK(BM_MixerBlock)->Arg(4)->Arg(16);
BENCHMARK(BM_MixerBlockSkewed)->Arg(4)->Arg(16);

// The counting allocator pairs malloc with free; GCC cannot see that new and delete match here.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
