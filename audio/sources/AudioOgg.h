// Tarv::AudioOgg: decodes an Ogg Vorbis stream on demand through Tremor, fed from an engine
// stream (a file streamed from the file system, or one held whole in memory).
#pragma once

#include "audio/sources/AudioSource.h"
#include "engine/core/SmartPtr.h"

#include <cstddef>
#include <memory>

struct OggVorbis_File;

namespace Tarv
{

class SeekableStream;

// The decoder is opened when the source is created and held until the source goes, so every
// operation answers from the decoder itself.
class AudioOgg : public AudioSource
{
public:
    // A source over the stream (count 0, holding a reference to it) in the format of its first
    // link, or null when the stream is null or is not Ogg Vorbis.
    static AudioOgg* Create(SeekableStream* stream);
    // Opens path through the file system; null when missing or refused.
    static AudioOgg* OpenFile(const char* path);
    ~AudioOgg() override;

    // Decodes until bytes are filled, the stream ends or the decoder reports damage; a short
    // result ends the sound, and the next Read tries again from where the decoder stands.
    unsigned Read(void* buffer, unsigned bytes) override;
    // A time seek to the start.
    void Rewind() override;
    // The decoder's total in bytes; 0 when it knows none (an unseekable stream, a damaged end).
    // Like Tell, a count beyond 4 GiB keeps its low 32 bits.
    unsigned GetLength() override;
    // Seeks to the frame that holds offset.
    void Seek(unsigned offset) override;
    // The decoder's position in bytes.
    unsigned Tell() override;

    // The decoder's read callback over an engine stream (datasource): whole elements of size
    // bytes read. A size other than 1, 2 or 4 is reported on standard output.
    static size_t ReadCallback(void* ptr, size_t size, size_t count, void* datasource);

private:
    explicit AudioOgg(SeekableStream* stream);
    unsigned GetFrameBytes() const { return m_channels * 2; }

    SmartPtr<SeekableStream> m_stream;
    std::unique_ptr<OggVorbis_File> m_vorbisFile;
    bool m_opened = false;
};

} // namespace Tarv
