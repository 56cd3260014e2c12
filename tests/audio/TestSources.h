// Sources and devices for the audio tests: PCM held in a vector, a source that never yields,
// and a device without a thread that the test pulls by hand.
#pragma once

#include "audio/AudioDevice.h"
#include "audio/AudioStream.h"
#include "audio/sources/AudioSource.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace AudioTest
{

class VectorSource : public Tarv::AudioSource
{
public:
    VectorSource(std::vector<std::int16_t> samples, std::uint32_t channels, std::uint32_t rate)
        : m_samples(std::move(samples))
    {
        m_channels = channels;
        m_rate = rate;
    }

    unsigned Read(void* buffer, unsigned bytes) override
    {
        ++reads;
        const unsigned size = static_cast<unsigned>(m_samples.size() * 2);
        if (m_position >= size)
            return 0;
        const unsigned n = std::min(bytes, size - m_position);
        std::memcpy(buffer, reinterpret_cast<const std::uint8_t*>(m_samples.data()) + m_position, n);
        m_position += n;
        return n;
    }
    void Rewind() override { ++rewinds; m_position = 0; }
    unsigned GetLength() override { return static_cast<unsigned>(m_samples.size() * 2); }
    void Seek(unsigned offset) override { ++seeks; m_position = offset; }
    unsigned Tell() override { return m_position; }

    int reads = 0;
    int rewinds = 0;
    int seeks = 0;

private:
    std::vector<std::int16_t> m_samples;
    unsigned m_position = 0;
};

// Samples 0, 1, 2, ... (wrapping at 16 bits).
inline std::vector<std::int16_t> Ramp(std::size_t count, int start = 0)
{
    std::vector<std::int16_t> samples(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = static_cast<std::int16_t>(start + static_cast<int>(i));
    return samples;
}

// A device that never runs a thread: the test calls the stream's Read itself.
class ManualDevice : public Tarv::AudioDevice
{
public:
    explicit ManualDevice(const Tarv::AudioFormat& format) : m_format(format) { ++s_created; ++s_alive; }
    ~ManualDevice() override { --s_alive; }

    static Tarv::AudioDevice* Create(const Tarv::AudioFormat& format, const unsigned& /*blockBytes*/)
    {
        return new ManualDevice(format);
    }

    void Start(Tarv::AudioStream* stream) override { m_stream = stream; }
    void Update() override { ++updates; }
    const Tarv::AudioFormat& GetFormat() const override { return m_format; }

    Tarv::AudioStream* GetStream() const { return m_stream; }
    int updates = 0;

    static inline int s_created = 0;
    static inline int s_alive = 0;

private:
    Tarv::AudioFormat m_format;
    Tarv::AudioStream* m_stream = nullptr;
};

// A device whose thread pulls blocks as fast as it can, for stress tests.
class PullingDevice : public Tarv::AudioDevice
{
public:
    PullingDevice(const Tarv::AudioFormat& format, unsigned blockBytes) : m_format(format), m_block(blockBytes) {}
    ~PullingDevice() override
    {
        m_stop.store(true);
        if (m_thread.joinable())
            m_thread.join();
    }

    static Tarv::AudioDevice* Create(const Tarv::AudioFormat& format, const unsigned& blockBytes)
    {
        return new PullingDevice(format, blockBytes);
    }

    void Start(Tarv::AudioStream* stream) override
    {
        m_thread = std::thread([this, stream] {
            while (!m_stop.load()) {
                stream->Read(m_block.data(), static_cast<unsigned>(m_block.size()));
                s_pulled.fetch_add(1);
            }
        });
    }
    void Update() override {}
    const Tarv::AudioFormat& GetFormat() const override { return m_format; }

    static inline std::atomic<long> s_pulled{0};

private:
    Tarv::AudioFormat m_format;
    std::vector<std::uint8_t> m_block;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace AudioTest
