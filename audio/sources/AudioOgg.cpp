// The Tremor adapter: the four decoder callbacks over an engine stream, the source operations
// in bytes of 16-bit PCM, and the decoder's release while idle and reopening on demand.
#include "audio/sources/AudioOgg.h"

#include "engine/vfs/File.h"
#include "engine/vfs/SeekableStream.h"
#include "engine/vfs/Vfs.h"

#include <tremor/ivorbisfile.h>

#include <climits>
#include <cstdint>
#include <utility>

namespace Tarv
{

namespace
{

size_t ReadCallback(void* ptr, size_t size, size_t count, void* datasource)
{
    if (size == 0 || count == 0)
        return 0;
    SeekableStream* stream = static_cast<SeekableStream*>(datasource);
    const size_t wanted = count > INT_MAX / size ? (INT_MAX / size) * size : size * count;
    const int got = stream->Read(ptr, static_cast<int>(wanted));
    // The decoder counts whole elements.
    return got > 0 ? static_cast<size_t>(got) / size : 0;
}

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

} // namespace

void AudioOgg::DecoderDeleter::operator()(OggVorbis_File* file) const
{
    ov_clear(file);
    delete file;
}

AudioOgg::AudioOgg(SeekableStream* stream) : m_stream(stream)
{
}

AudioOgg::~AudioOgg() = default;

AudioOgg::Decoder AudioOgg::OpenDecoder(SeekableStream* stream)
{
    // The decoder reads its headers from wherever the stream stands.
    if (!stream->Seek(0, SEEK_ORIGIN_START))
        return nullptr;
    auto file = std::make_unique<OggVorbis_File>();
    const ov_callbacks callbacks = {ReadCallback, SeekCallback, CloseCallback, TellCallback};
    // A failed open has cleared its own state.
    if (ov_open_callbacks(stream, file.get(), nullptr, 0, callbacks) < 0)
        return nullptr;
    return Decoder(file.release());
}

AudioOgg* AudioOgg::Create(SeekableStream* stream)
{
    SmartPtr<SeekableStream> hold(stream);
    if (!hold)
        return nullptr;
    const Decoder decoder = OpenDecoder(stream);
    if (!decoder)
        return nullptr;
    const vorbis_info* info = ov_info(decoder.get(), -1);
    if (info == nullptr || info->channels < 1 || info->rate < 1)
        return nullptr;
    // Chained links of another format would come out as noise: refuse them.
    const long links = ov_streams(decoder.get());
    for (long i = 0; i < links; ++i) {
        const vorbis_info* link = ov_info(decoder.get(), static_cast<int>(i));
        if (link == nullptr || link->channels != info->channels || link->rate != info->rate)
            return nullptr;
    }
    AudioOgg* ogg = new AudioOgg(stream);
    ogg->m_channels = static_cast<std::uint32_t>(info->channels);
    ogg->m_rate = static_cast<std::uint32_t>(info->rate);
    // A negative total is an error code, not a length.
    const ogg_int64_t frames = ov_pcm_total(decoder.get(), -1);
    ogg->m_totalFrames = frames > 0 ? frames : 0;
    return ogg;
}

AudioOgg* AudioOgg::OpenFile(const char* path)
{
    SmartPtr<File> file(VfsOpenRead(path));
    if (!file)
        return nullptr;
    return Create(file.Get());
}

bool AudioOgg::ReopenDecoder()
{
    Decoder decoder = OpenDecoder(m_stream.Get());
    if (!decoder || (m_idleFrame != 0 && ov_pcm_seek(decoder.get(), m_idleFrame) != 0))
        return false;
    m_decoder = std::move(decoder);
    return true;
}

void AudioOgg::ReleaseDecoder(bool atEnd)
{
    const ogg_int64_t frame = atEnd && m_decoder ? ov_pcm_tell(m_decoder.get()) : 0;
    m_decoder.reset();
    m_idleFrame = frame > 0 ? frame : 0;
    m_idleAtEnd = atEnd;
}

unsigned AudioOgg::Read(void* buffer, unsigned bytes)
{
    if (bytes == 0 || buffer == nullptr)
        return 0;
    if (!m_decoder && (m_idleAtEnd || !ReopenDecoder()))
        return 0;
    char* out = static_cast<char*>(buffer);
    unsigned got = 0;
    long n = 1;
    while (got < bytes) {
        const unsigned left = bytes - got;
        const int ask = left > INT_MAX ? INT_MAX : static_cast<int>(left);
        int bitstream = 0;
        n = ov_read(m_decoder.get(), out + got, ask, &bitstream);
        // 0 is the end of the stream, a negative value damage such as a hole in the data.
        if (n <= 0 || static_cast<unsigned long>(n) > left)
            break;
        got += static_cast<unsigned>(n);
    }
    // Damage keeps the decoder, so the next Read carries on past the hole.
    if (n == 0)
        ReleaseDecoder(true);
    return got;
}

void AudioOgg::Rewind()
{
    ReleaseDecoder(false);
}

unsigned AudioOgg::GetLength()
{
    const std::uint64_t length = static_cast<std::uint64_t>(m_totalFrames) * GetFrameBytes();
    return length > UINT_MAX ? UINT_MAX - UINT_MAX % GetFrameBytes() : static_cast<unsigned>(length);
}

void AudioOgg::Seek(unsigned offset)
{
    const std::int64_t frame = offset / GetFrameBytes();
    if (frame == 0) {
        ReleaseDecoder(false);
        return;
    }
    if (m_decoder) {
        ov_pcm_seek(m_decoder.get(), frame);
        return;
    }
    // The decoder would refuse a frame past the end in the same way.
    if (frame == m_idleFrame || frame > m_totalFrames)
        return;
    m_idleFrame = frame;
    m_idleAtEnd = false;
}

unsigned AudioOgg::Tell()
{
    const ogg_int64_t frames = m_decoder ? ov_pcm_tell(m_decoder.get()) : m_idleFrame;
    if (frames <= 0)
        return 0;
    const std::uint64_t position = static_cast<std::uint64_t>(frames) * GetFrameBytes();
    return position > UINT_MAX ? UINT_MAX : static_cast<unsigned>(position);
}

} // namespace Tarv
