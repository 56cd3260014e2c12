// Tarv::AudioSource: a playable sound that hands out signed 16-bit interleaved PCM on request.
// Every length, offset and count here is in bytes of that PCM.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/WeakRefCounter.h"

#include <cstdint>

namespace Tarv
{

class AudioSource : public RefCounter, public WeakRefCounter
{
public:
    ~AudioSource() override = default;

    // Writes up to bytes bytes into buffer and returns how many; fewer means the data ended.
    virtual unsigned Read(void* buffer, unsigned bytes) = 0;
    virtual void Rewind() = 0;
    // Total length in bytes; 0 for an endless source.
    virtual unsigned GetLength() = 0;
    virtual void Seek(unsigned offset) = 0;
    virtual unsigned Tell() = 0;
    // The source for one play (count 0), for sources whose state an AudioPosition cannot keep
    // apart between plays (a module's player); null when a play is a new AudioPosition over
    // this source.
    virtual AudioSource* CreatePlay() { return nullptr; }

    // 1 or 2 for every source a factory makes; 0 until the concrete source sets them.
    std::uint32_t GetChannels() const { return m_channels; }
    std::uint32_t GetRate() const { return m_rate; }

protected:
    std::uint32_t m_channels = 0;
    std::uint32_t m_rate = 0;
};

} // namespace Tarv
