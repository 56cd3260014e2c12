// The chunked LZMA container: header and chunk table checks, and reads that decode one chunk
// at a time into a chunk-sized buffer (which is also the decoder's dictionary).
#include "engine/vfs/CompressedFile.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace Tarv
{

namespace
{

std::uint32_t ReadU32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::uint32_t ChunkEnd(std::uint32_t entry)
{
    return entry & ~CompressedFile::COMPRESSED_CHUNK_BIT;
}

// How far ahead of a read the decoder runs, so small sequential reads don't pay a decoder
// call each.
constexpr std::uint32_t DECODE_AHEAD = 4096;

} // namespace

bool CompressedFile::OpenRead(const char* path)
{
    Close();
    if (!PosixFile::OpenRead(path))
        return false;
    m_fileOffset = 0;

    std::uint8_t properties[LzmaDecoder::PROPERTIES_SIZE];
    std::int32_t tableBytes = 0;
    const long fileSize = PosixFile::GetSize();
    if (!ReadHeader(properties, tableBytes) || !m_decoder.SetProperties(properties) ||
        !ReadTable(tableBytes, fileSize) || !CheckTable(fileSize)) {
        Close();
        return false;
    }
    // Positions are 32-bit: the content must stay below 2 GiB.
    const std::uint64_t total = static_cast<std::uint64_t>(m_chunkSize) * m_table.size();
    if (total > static_cast<std::uint64_t>(INT_MAX)) {
        Close();
        return false;
    }
    m_totalSize = static_cast<int>(total);
    return true;
}

bool CompressedFile::ReadHeader(std::uint8_t* properties, std::int32_t& tableBytes)
{
    std::uint8_t header[HEADER_SIZE];
    if (PosixFile::Read(header, HEADER_SIZE) != HEADER_SIZE)
        return false;
    m_fileOffset = HEADER_SIZE;
    m_dataStart = ReadU32(header);
    m_chunkSize = ReadU32(header + 4);
    tableBytes = static_cast<std::int32_t>(ReadU32(header + 8));
    std::memcpy(properties, header + 12, LzmaDecoder::PROPERTIES_SIZE);
    return m_chunkSize != 0 && m_chunkSize <= MAX_CHUNK_SIZE && m_dataStart >= HEADER_SIZE &&
           tableBytes != 0 && tableBytes != INT32_MIN;
}

bool CompressedFile::ReadTable(std::int32_t tableBytes, long fileSize)
{
    const bool compressed = tableBytes > 0;
    const std::uint32_t count = static_cast<std::uint32_t>(compressed ? tableBytes : -tableBytes) / 4;
    // Every chunk holds at least one stored byte, so the file bounds the count before anything
    // is allocated.
    if (count == 0 || static_cast<long>(count) > fileSize - static_cast<long>(m_dataStart))
        return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count) * 4);
    if (!compressed) {
        if (m_dataStart - HEADER_SIZE < bytes.size())
            return false;
        if (PosixFile::Read(bytes.data(), static_cast<int>(bytes.size())) != static_cast<int>(bytes.size()))
            return false;
    } else {
        m_decoder.Restart(bytes.data(), bytes.size());
        m_chunkBegin = HEADER_SIZE;
        m_chunkEnd = m_dataStart;
        m_inputBegin = m_inputEnd = 0;
        m_currentDamaged = false;
        DecodeUpTo(static_cast<std::uint32_t>(bytes.size()));
        if (m_decoder.GetProduced() != bytes.size())
            return false;
    }
    m_table.resize(count);
    for (std::uint32_t i = 0; i < count; ++i)
        m_table[i] = ReadU32(bytes.data() + 4 * i);
    return true;
}

bool CompressedFile::CheckTable(long fileSize) const
{
    std::uint32_t previous = 0;
    for (std::uint32_t entry : m_table) {
        const std::uint32_t end = ChunkEnd(entry);
        if (end <= previous)
            return false;
        previous = end;
    }
    return static_cast<long>(m_dataStart) + previous <= fileSize;
}

void CompressedFile::Reset()
{
    m_table.clear();
    m_chunkBuffer.reset();
    m_inputBegin = m_inputEnd = 0;
    m_fileOffset = -1;
    m_dataStart = 0;
    m_chunkSize = 0;
    m_totalSize = 0;
    m_position = 0;
    m_currentChunk = -1;
    m_currentCompressed = false;
    m_currentDamaged = false;
}

bool CompressedFile::Close()
{
    Reset();
    return PosixFile::Close();
}

bool CompressedFile::IsChunkCompressed(int chunk) const
{
    return chunk >= 0 && chunk < GetChunkCount() && (m_table[static_cast<std::size_t>(chunk)] & COMPRESSED_CHUNK_BIT) != 0;
}

bool CompressedFile::Seek(int offset, int origin)
{
    long long target = m_position;
    if (origin == SEEK_ORIGIN_START)
        target = offset;
    else if (origin == SEEK_ORIGIN_CURRENT)
        target = static_cast<long long>(m_position) + offset;
    else if (origin == SEEK_ORIGIN_END)
        target = static_cast<long long>(m_totalSize) + offset;
    m_position = static_cast<int>(std::clamp<long long>(target, 0, m_totalSize));
    return true;
}

int CompressedFile::Read(void* buffer, int count)
{
    if (buffer == nullptr || count < 1 || m_table.empty() || m_position >= m_totalSize)
        return 0;
    std::uint8_t* out = static_cast<std::uint8_t*>(buffer);
    int remaining = std::min(count, m_totalSize - m_position);
    int done = 0;
    while (remaining > 0) {
        const int chunk = static_cast<int>(static_cast<std::uint32_t>(m_position) / m_chunkSize);
        const std::uint32_t offset = static_cast<std::uint32_t>(m_position) % m_chunkSize;
        if (chunk != m_currentChunk && !StartChunk(chunk))
            break;
        const int step = static_cast<int>(std::min<std::uint32_t>(static_cast<std::uint32_t>(remaining), m_chunkSize - offset));
        const int got = ReadFromChunk(offset, out + done, step);
        done += got;
        m_position += got;
        remaining -= got;
        if (got < step)
            break;
    }
    return done;
}

bool CompressedFile::StartChunk(int chunk)
{
    const std::size_t index = static_cast<std::size_t>(chunk);
    m_currentChunk = chunk;
    m_currentCompressed = (m_table[index] & COMPRESSED_CHUNK_BIT) != 0;
    m_currentDamaged = false;
    m_chunkBegin = static_cast<long>(m_dataStart) + (index == 0 ? 0 : ChunkEnd(m_table[index - 1]));
    m_chunkEnd = static_cast<long>(m_dataStart) + ChunkEnd(m_table[index]);
    m_inputBegin = m_inputEnd = 0;
    if (!m_currentCompressed)
        return true;
    if (!m_chunkBuffer)
        m_chunkBuffer.reset(new std::uint8_t[m_chunkSize]);
    m_decoder.Restart(m_chunkBuffer.get(), m_chunkSize);
    return SeekFile(m_chunkBegin);
}

int CompressedFile::ReadFromChunk(std::uint32_t offset, std::uint8_t* out, int count)
{
    if (!m_currentCompressed)
        return ReadStored(offset, out, count);
    const std::uint32_t need = offset + static_cast<std::uint32_t>(count);
    if (m_decoder.GetProduced() < need)
        DecodeUpTo(std::max(need, std::min<std::uint32_t>(m_chunkSize, static_cast<std::uint32_t>(m_decoder.GetProduced()) + DECODE_AHEAD)));
    // Bytes of this chunk already decoded are served from the buffer, whichever way the
    // position moved inside the chunk.
    const std::size_t produced = m_decoder.GetProduced();
    if (produced <= offset)
        return 0;
    const int available = static_cast<int>(std::min<std::size_t>(produced - offset, static_cast<std::size_t>(count)));
    std::memcpy(out, m_chunkBuffer.get() + offset, static_cast<std::size_t>(available));
    return available;
}

int CompressedFile::ReadStored(std::uint32_t offset, std::uint8_t* out, int count)
{
    const long stored = m_chunkEnd - m_chunkBegin;
    if (static_cast<long>(offset) >= stored)
        return 0;
    const int wanted = static_cast<int>(std::min<long>(count, stored - offset));
    if (!SeekFile(m_chunkBegin + offset))
        return 0;
    const int got = PosixFile::Read(out, wanted);
    m_fileOffset += got;
    return got;
}

void CompressedFile::DecodeUpTo(std::uint32_t target)
{
    while (!m_currentDamaged && m_decoder.GetProduced() < target) {
        if (m_inputBegin == m_inputEnd && !FillInput()) {
            // Out of stored bytes: what the decoder still holds may finish the request.
            std::size_t none = 0;
            const std::size_t before = m_decoder.GetProduced();
            if (m_decoder.Decode(target, m_input, none) != LzmaDecoder::Status::OK || m_decoder.GetProduced() == before)
                m_currentDamaged = true;
            continue;
        }
        std::size_t used = m_inputEnd - m_inputBegin;
        const std::size_t before = m_decoder.GetProduced();
        const LzmaDecoder::Status status = m_decoder.Decode(target, m_input + m_inputBegin, used);
        m_inputBegin += used;
        if (status != LzmaDecoder::Status::OK || (used == 0 && m_decoder.GetProduced() == before))
            m_currentDamaged = true;
    }
}

bool CompressedFile::FillInput()
{
    // Input never runs past the chunk's own stored bytes.
    if (m_fileOffset < 0 || m_fileOffset >= m_chunkEnd)
        return false;
    const int wanted = static_cast<int>(std::min<long>(sizeof m_input, m_chunkEnd - m_fileOffset));
    const int got = PosixFile::Read(m_input, wanted);
    if (got < 1) {
        m_fileOffset = -1;
        return false;
    }
    m_fileOffset += got;
    m_inputBegin = 0;
    m_inputEnd = static_cast<std::size_t>(got);
    return true;
}

bool CompressedFile::SeekFile(long offset)
{
    if (m_fileOffset == offset)
        return true;
    if (offset > INT_MAX || !PosixFile::Seek(static_cast<int>(offset), SEEK_ORIGIN_START)) {
        m_fileOffset = -1;
        return false;
    }
    m_fileOffset = offset;
    return true;
}

} // namespace Tarv
