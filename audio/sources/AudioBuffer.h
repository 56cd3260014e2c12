// Tarv::AudioBuffer: a source decoded whole into memory at load, so each read is one copy.
#pragma once

#include "audio/sources/AudioSource.h"

#include <cstdint>
#include <vector>

namespace Tarv
{

class AudioBuffer : public AudioSource
{
public:
    // Largest decoded size accepted; a longer (or lying) source gives null, to be streamed.
    static constexpr unsigned MAX_BYTES = 32u * 1024u * 1024u;

    // Decodes source whole and returns the buffer (count 0), or null for a null source or one
    // longer than MAX_BYTES. The size is what the source actually delivered, so a source that
    // claims more than it holds gives a shorter buffer, never stale memory. An endless source
    // (length 0) gives an empty buffer. A source nobody else holds is destroyed here.
    static AudioBuffer* Create(AudioSource* source);

    unsigned Read(void* buffer, unsigned bytes) override;
    void Rewind() override { m_position = 0; }
    unsigned GetLength() override { return static_cast<unsigned>(m_data.size()); }
    void Seek(unsigned offset) override { m_position = offset; }
    unsigned Tell() override { return m_position; }

private:
    AudioBuffer() = default;

    std::vector<std::uint8_t> m_data;
    unsigned m_position = 0;
};

} // namespace Tarv
