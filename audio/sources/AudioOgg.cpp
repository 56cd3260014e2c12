// The Tremor adapter: the four decoder callbacks over an engine stream, and the source
// operations in bytes of 16-bit PCM.
#include "audio/sources/AudioOgg.h"

#include "engine/vfs/File.h"
#include "engine/vfs/SeekableStream.h"
#include "engine/vfs/Vfs.h"

#include <tremor/ivorbisfile.h>

#include <climits>
#include <cstdint>
#include <cstdio>

namespace Tarv
{

namespace
{

// Returns -1 for a target outside the stream, so the decoder never trusts a failed seek.
int SeekCallback(void* datasource, ogg_int64_t offset, int whence)
{
    SeekableStream* stream = static_cast<SeekableStream*>(datasource);
    std::int64_t base = 0;
    if (whence == SEEK_ORIGIN_CURRENT)
        base = stream->Tell();
    else if (whence == SEEK_ORIGIN_END)
        base = stream->GetSize();
    else if (whence != SEEK_ORIGIN_START)
        return -1;
    if (offset > INT_MAX || offset < -static_cast<std::int64_t>(INT_MAX))
        return -1;
    const std::int64_t target = base + offset;
    if (target < 0 || target > stream->GetSize())
        return -1;
    return stream->Seek(static_cast<int>(target), SEEK_ORIGIN_START) ? 0 : -1;
}

// The stream belongs to the source, which releases it.
int CloseCallback(void*)
{
    return 0;
}

long TellCallback(void* datasource)
{
    return static_cast<SeekableStream*>(datasource)->Tell();
}

// Formed in 64 bits, so no count a file claims overflows, then kept to the width of a source's
// byte counts: beyond 4 GiB the count wraps.
unsigned FramesToBytes(ogg_int64_t frames, unsigned frameBytes)
{
    return static_cast<unsigned>(static_cast<std::uint64_t>(frames) * frameBytes);
}

} // namespace

size_t AudioOgg::ReadCallback(void* ptr, size_t size, size_t count, void* datasource)
{
    if (size == 0 || count == 0)
        return 0;
    SeekableStream* stream = static_cast<SeekableStream*>(datasource);
    const size_t wanted = count > INT_MAX / size ? (INT_MAX / size) * size : size * count;
    const int got = stream->Read(ptr, static_cast<int>(wanted));
    // The decoder only ever reads bytes, words or long words.
    if (size != 1 && size != 2 && size != 4)
        std::puts("read_callback error.");
    // Whole elements: a byte count in their place would tell the decoder of bytes never read.
    return got > 0 ? static_cast<size_t>(got) / size : 0;
}

AudioOgg::AudioOgg(SeekableStream* stream) : m_stream(stream), m_vorbisFile(new OggVorbis_File())
{
}

AudioOgg::~AudioOgg()
{
    if (m_opened)
        ov_clear(m_vorbisFile.get());
}

AudioOgg* AudioOgg::Create(SeekableStream* stream)
{
    SmartPtr<SeekableStream> hold(stream);
    if (!hold)
        return nullptr;
    // Raw until accepted: the factory hands its result out with a count of 0.
    std::unique_ptr<AudioOgg> ogg(new AudioOgg(stream));
    OggVorbis_File* file = ogg->m_vorbisFile.get();
    const ov_callbacks callbacks = {AudioOgg::ReadCallback, SeekCallback, CloseCallback, TellCallback};
    if (ov_open_callbacks(stream, file, nullptr, 0, callbacks) < 0)
        return nullptr;
    ogg->m_opened = true;
    const vorbis_info* info = ov_info(file, -1);
    if (info == nullptr || info->channels < 1 || info->rate < 1)
        return nullptr;
    // The first link's format stands for the whole file, chained links of another one included.
    ogg->m_channels = static_cast<std::uint32_t>(info->channels);
    ogg->m_rate = static_cast<std::uint32_t>(info->rate);
    return ogg.release();
}

AudioOgg* AudioOgg::OpenFile(const char* path)
{
    SmartPtr<File> file(VfsOpenRead(path));
    if (!file)
        return nullptr;
    return Create(file.Get());
}

unsigned AudioOgg::Read(void* buffer, unsigned bytes)
{
    if (bytes == 0 || buffer == nullptr)
        return 0;
    char* out = static_cast<char*>(buffer);
    unsigned got = 0;
    while (got < bytes) {
        const unsigned left = bytes - got;
        const int ask = left > INT_MAX ? INT_MAX : static_cast<int>(left);
        int bitstream = 0;
        const long n = ov_read(m_vorbisFile.get(), out + got, ask, &bitstream);
        // 0 is the end of the stream, a negative value damage such as a hole in the data.
        if (n <= 0 || static_cast<unsigned long>(n) > left)
            break;
        got += static_cast<unsigned>(n);
    }
    return got;
}

void AudioOgg::Rewind()
{
    ov_time_seek(m_vorbisFile.get(), 0);
}

unsigned AudioOgg::GetLength()
{
    const ogg_int64_t frames = ov_pcm_total(m_vorbisFile.get(), -1);
    // A negative total is an error code, not a length.
    if (frames <= 0)
        return 0;
    return FramesToBytes(frames, GetFrameBytes());
}

void AudioOgg::Seek(unsigned offset)
{
    ov_pcm_seek(m_vorbisFile.get(), offset / GetFrameBytes());
}

unsigned AudioOgg::Tell()
{
    const ogg_int64_t frames = ov_pcm_tell(m_vorbisFile.get());
    if (frames <= 0)
        return 0;
    return FramesToBytes(frames, GetFrameBytes());
}

} // namespace Tarv
