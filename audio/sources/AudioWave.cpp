// The RIFF/WAVE reader. The format chunk comes first, at offset 12; the chunks after it are
// walked with 64-bit offsets that must move forward and stay inside the file, so lying sizes
// end the walk instead of looping or wrapping.
#include "audio/sources/AudioWave.h"

#include "engine/vfs/File.h"
#include "engine/vfs/SeekableStream.h"
#include "engine/vfs/Vfs.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace Tarv
{

namespace
{

constexpr std::uint16_t FORMAT_PCM = 1;
constexpr int CHUNK_HEADER = 8;
constexpr std::int64_t FIRST_CHUNK = 12;
// The format fields of a PCM file, and the bytes from the first chunk's header to their end.
constexpr std::uint32_t FORMAT_FIELDS = 16;
constexpr int FORMAT_BYTES = CHUNK_HEADER + FORMAT_FIELDS;

std::uint16_t ReadU16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool ReadAt(SeekableStream* stream, std::int64_t offset, void* buffer, int count)
{
    if (offset < 0 || offset > INT32_MAX || !stream->Seek(static_cast<int>(offset), SEEK_ORIGIN_START))
        return false;
    return stream->Read(buffer, count) == count;
}

bool IsTagText(const std::uint8_t* tag)
{
    return std::all_of(tag, tag + 4, [](std::uint8_t c) { return c >= 0x20 && c < 0x7F; });
}

bool IsDataTag(const std::uint8_t* tag)
{
    const char* data = "DATA";
    for (int i = 0; i < 4; ++i) {
        if (std::toupper(tag[i]) != data[i])
            return false;
    }
    return true;
}

// The offset of the chunk after one of size bytes at start. An odd chunk is skipped by exactly
// its size first: the files this reader has always read put the next chunk right there, and
// they must read as they always have, even where the byte after that place would also pass for
// a tag. Only where that place holds no tag (a standard file's pad byte, 0, where the tag's
// first letter would be) is the chunk taken to be padded to an even size, as RIFF writers do;
// skipping by the size alone would read the pad byte as part of a tag and lose the data chunk.
std::int64_t NextChunk(SeekableStream* stream, std::int64_t start, std::uint32_t size, std::int64_t fileSize)
{
    const std::int64_t unpadded = start + CHUNK_HEADER + size;
    if ((size & 1) == 0)
        return unpadded;
    std::uint8_t tag[4];
    if (unpadded + CHUNK_HEADER <= fileSize && ReadAt(stream, unpadded, tag, 4) && IsTagText(tag))
        return unpadded;
    if (unpadded + 1 + CHUNK_HEADER <= fileSize && ReadAt(stream, unpadded + 1, tag, 4) && IsTagText(tag))
        return unpadded + 1;
    return unpadded;
}

// Samples of 1 to 8 bits are stored in one byte and samples of 17 to 24 bits in three: that data
// is not made of the 16-bit words the channels take. Any other sample size is handed out as
// 16-bit words, the way 12-bit samples, for one, are stored.
bool IsByteOrThreeByteData(std::uint16_t bitsPerSample)
{
    const int bytesPerSample = (bitsPerSample + 7) / 8;
    return bytesPerSample == 1 || bytesPerSample == 3;
}

// Only what the channels can play as it is: PCM, mono or stereo, in 16-bit words.
bool IsPlayable(const WaveHeader& header)
{
    return header.formatTag == FORMAT_PCM && (header.channels == 1 || header.channels == 2) &&
           !IsByteOrThreeByteData(header.bitsPerSample) && header.rate > 0;
}

} // namespace

std::uint32_t AudioWave::ParseHeader(WaveHeader& header, SeekableStream* stream)
{
    header = WaveHeader();
    if (stream == nullptr)
        return 0;
    const std::int64_t fileSize = stream->GetSize();
    // The first chunk is the format chunk, whatever its tag; its fields stand at fixed offsets.
    std::uint8_t format[FORMAT_BYTES];
    if (!ReadAt(stream, FIRST_CHUNK, format, FORMAT_BYTES))
        return 0;
    const std::uint32_t formatSize = ReadU32(format + 4);
    header.formatTag = ReadU16(format + 8);
    header.channels = ReadU16(format + 10);
    header.rate = ReadU32(format + 12);
    header.blockAlign = ReadU16(format + 20);
    // A format chunk too short to hold the sample size describes 16-bit samples.
    header.bitsPerSample = formatSize >= FORMAT_FIELDS ? ReadU16(format + 22) : 16;
    if (!IsPlayable(header))
        return 0;

    std::int64_t offset = NextChunk(stream, FIRST_CHUNK, formatSize, fileSize);
    // Every step moves forward by at least a chunk header, so the walk ends at the file's end.
    while (offset + CHUNK_HEADER <= fileSize) {
        std::uint8_t chunk[CHUNK_HEADER];
        if (!ReadAt(stream, offset, chunk, CHUNK_HEADER))
            return 0;
        const std::uint32_t size = ReadU32(chunk + 4);
        const std::int64_t body = offset + CHUNK_HEADER;
        if (IsDataTag(chunk)) {
            const std::uint32_t frame = header.channels * 2u;
            std::int64_t available = std::min<std::int64_t>(size, fileSize - body);
            available -= available % frame;
            if (available <= 0 || !stream->Seek(static_cast<int>(body), SEEK_ORIGIN_START))
                return 0;
            header.dataStart = static_cast<std::uint32_t>(body);
            header.dataSize = static_cast<std::uint32_t>(available);
            return header.dataSize;
        }
        offset = NextChunk(stream, offset, size, fileSize);
    }
    return 0;
}

AudioWave* AudioWave::Open(const char* path)
{
    SmartPtr<File> file(VfsOpenRead(path));
    if (!file)
        return nullptr;
    return Create(file.Get());
}

AudioWave* AudioWave::Create(SeekableStream* stream)
{
    SmartPtr<SeekableStream> hold(stream);
    WaveHeader header;
    if (ParseHeader(header, stream) == 0)
        return nullptr;
    return new AudioWave(stream, header);
}

AudioWave::AudioWave(SeekableStream* stream, const WaveHeader& header)
    : m_stream(stream), m_dataSize(header.dataSize), m_dataStart(header.dataStart)
{
    m_channels = header.channels;
    m_rate = header.rate;
}

unsigned AudioWave::Read(void* buffer, unsigned bytes)
{
    if (m_position >= m_dataSize || buffer == nullptr)
        return 0;
    const unsigned wanted = std::min(bytes, m_dataSize - m_position);
    std::uint8_t* out = static_cast<std::uint8_t*>(buffer);
    unsigned got = 0;
    while (got < wanted) {
        const int n = m_stream->Read(out + got, static_cast<int>(wanted - got));
        if (n <= 0 || static_cast<unsigned>(n) > wanted - got)
            break;
        got += static_cast<unsigned>(n);
    }
    m_position += got;
    return got;
}

void AudioWave::Rewind()
{
    Seek(0);
}

void AudioWave::Seek(unsigned offset)
{
    m_position = offset;
    if (offset <= m_dataSize)
        m_stream->Seek(static_cast<int>(m_dataStart + offset), SEEK_ORIGIN_START);
}

} // namespace Tarv
