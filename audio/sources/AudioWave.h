// Tarv::AudioWave: plays signed 16-bit PCM straight from a RIFF/WAVE file, reading the data
// chunk through a stream as the channel asks for bytes.
#pragma once

#include "audio/sources/AudioSource.h"
#include "engine/core/SmartPtr.h"

#include <cstdint>

namespace Tarv
{

class SeekableStream;

// What the chunk walk found in a file.
struct WaveHeader
{
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint32_t dataStart = 0;
    std::uint32_t dataSize = 0;
};

class AudioWave : public AudioSource
{
public:
    // Reads the format from the first chunk (at offset 12, whatever its tag), walks the chunks
    // after it to the data chunk and fills header. Returns the data size in bytes, 0 when the
    // file is refused: a format other than PCM with 1 or 2 channels and a non-zero rate, 8- or
    // 24-bit data (samples of 1 to 8 or 17 to 24 bits; any other size is taken as 16-bit words,
    // and a format chunk too short to give it counts as 16-bit), no data chunk, or no data left
    // once the size is clamped to the file and rounded down to whole frames. Leaves the stream
    // at the first data byte.
    static std::uint32_t ParseHeader(WaveHeader& header, SeekableStream* stream);

    // A source over the file at path in the virtual file system, or null.
    static AudioWave* Open(const char* path);
    // A source over an open stream (count 0, holding a reference to it), or null.
    static AudioWave* Create(SeekableStream* stream);

    // Returns the bytes the file actually delivered, never more than the data chunk holds.
    unsigned Read(void* buffer, unsigned bytes) override;
    void Rewind() override;
    unsigned GetLength() override { return m_dataSize; }
    // An offset past the end makes the next Read return 0.
    void Seek(unsigned offset) override;
    unsigned Tell() override { return m_position; }

private:
    AudioWave(SeekableStream* stream, const WaveHeader& header);

    SmartPtr<SeekableStream> m_stream;
    std::uint32_t m_dataSize;
    std::uint32_t m_dataStart;
    std::uint32_t m_position = 0;
};

} // namespace Tarv
