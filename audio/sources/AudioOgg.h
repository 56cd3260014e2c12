// Tarv::AudioOgg: decodes an Ogg Vorbis stream on demand through Tremor, fed from an engine
// stream (a file streamed from the file system, or one held whole in memory).
#pragma once

#include "audio/sources/AudioSource.h"
#include "engine/core/SmartPtr.h"

#include <cstdint>
#include <memory>

struct OggVorbis_File;

namespace Tarv
{

class SeekableStream;

// The decoder state (tens of kilobytes, mostly codebooks) is held only while a sound plays:
// it is opened by the first Read that needs it and released when a Read reaches the end of
// the stream, on Rewind and on a Seek to the start. An idle source keeps the stream, the
// format and the position, so GetLength, Tell and Seek answer without a decoder.
class AudioOgg : public AudioSource
{
public:
    // A source over the stream (count 0, holding a reference to it), or null when the stream
    // is null, is not Ogg Vorbis, or chains links of different formats. The stream is read
    // from its start. The result holds no decoder.
    static AudioOgg* Create(SeekableStream* stream);
    // Opens path through the file system; null when missing or refused.
    static AudioOgg* OpenFile(const char* path);
    ~AudioOgg() override;

    // Decodes until bytes are filled, the stream ends or the decoder reports damage; a short
    // result ends the sound, and the next Read tries again from where the decoder stands.
    // Reopening the decoder after idling costs the header parse and, away from the start, a
    // seek; a stream that no longer opens or seeks gives 0.
    unsigned Read(void* buffer, unsigned bytes) override;
    void Rewind() override;
    unsigned GetLength() override;
    // Seeks to the frame that holds offset; an offset past the end leaves the position as it
    // was. While idle the seek is only noted, and made by the next Read.
    void Seek(unsigned offset) override;
    unsigned Tell() override;

    bool HasDecoder() const { return m_decoder != nullptr; }

private:
    struct DecoderDeleter
    {
        void operator()(OggVorbis_File* file) const;
    };
    using Decoder = std::unique_ptr<OggVorbis_File, DecoderDeleter>;

    explicit AudioOgg(SeekableStream* stream);
    unsigned GetFrameBytes() const { return m_channels * 2; }
    // Opens a decoder over the stream from its start; null when the decoder refuses it.
    static Decoder OpenDecoder(SeekableStream* stream);
    bool ReopenDecoder();
    void ReleaseDecoder(bool atEnd);

    SmartPtr<SeekableStream> m_stream;
    Decoder m_decoder;
    // Frames in the whole stream (0 when the decoder cannot tell).
    std::int64_t m_totalFrames = 0;
    // Where an idle source stands, in frames, and whether its last Read met the end there.
    std::int64_t m_idleFrame = 0;
    bool m_idleAtEnd = false;
};

} // namespace Tarv
