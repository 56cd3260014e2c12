// The chunked LZMA container: header and chunk table checks, and reads that run one decoder
// through the current chunk (stored chunks are read straight from the file).
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

std::uint32_t EndOf(std::uint32_t entry)
{
    return entry & ~CompressedFile::COMPRESSED_CHUNK_BIT;
}

} // namespace

bool CompressedFile::OpenRead(const char* path)
{
    Reset();
    // PosixFile::OpenRead closes through the virtual Close, which keeps the archive file open:
    // close a previous one here, so a second open doesn't leak its handle.
    PosixFile::Close();
    if (!PosixFile::OpenRead(path))
        return false;
    m_filePosition = 0;

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
    m_dictionarySize = std::min<std::size_t>(m_decoder.GetDictionarySize(), m_chunkSize);
    m_dictionary.reset(new std::uint8_t[m_dictionarySize]);
    return true;
}

bool CompressedFile::ReadHeader(std::uint8_t* properties, std::int32_t& tableBytes)
{
    std::uint8_t header[HEADER_SIZE];
    if (PosixFile::Read(header, HEADER_SIZE) != HEADER_SIZE)
        return false;
    m_filePosition = HEADER_SIZE;
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
        // The table stream lies between the header and the first chunk.
        m_decoder.Restart(bytes.data(), bytes.size());
        StartInput(HEADER_SIZE, m_dataStart);
        DecodeTable(bytes.size());
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
        const std::uint32_t end = EndOf(entry);
        if (end <= previous)
            return false;
        previous = end;
    }
    return static_cast<long>(m_dataStart) + previous <= fileSize;
}

void CompressedFile::Reset()
{
    m_table.clear();
    m_table.shrink_to_fit();
    m_dictionary.reset();
    m_dictionarySize = 0;
    m_currentChunk = -1;
    m_currentCompressed = true;
    m_produced = 0;
    m_chunkDamaged = false;
    m_inputBegin = m_inputEnd = 0;
    m_filePosition = -1;
    m_dataStart = 0;
    m_chunkSize = 0;
    m_totalSize = 0;
    m_position = 0;
}

bool CompressedFile::Close()
{
    Reset();
    m_decoder.FreeProbabilities();
    return true;
}

bool CompressedFile::IsChunkCompressed(int chunk) const
{
    return chunk >= 0 && chunk < GetChunkCount() && (m_table[static_cast<std::size_t>(chunk)] & COMPRESSED_CHUNK_BIT) != 0;
}

long CompressedFile::ChunkBegin(int chunk) const
{
    return static_cast<long>(m_dataStart) + (chunk == 0 ? 0 : EndOf(m_table[static_cast<std::size_t>(chunk) - 1]));
}

long CompressedFile::ChunkEnd(int chunk) const
{
    return static_cast<long>(m_dataStart) + EndOf(m_table[static_cast<std::size_t>(chunk)]);
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
        // A running decoder only goes forward: going back, or to another chunk, starts over at
        // that chunk's first byte.
        if (chunk != m_currentChunk || offset < m_produced)
            RestartChunk(chunk);
        const int step = static_cast<int>(std::min<std::uint32_t>(static_cast<std::uint32_t>(remaining), m_chunkSize - offset));
        const int got = m_currentCompressed ? ReadCompressed(offset, out + done, step)
                                            : ReadStored(offset, out + done, step);
        done += got;
        m_position += got;
        remaining -= got;
        if (got < step)
            break;
    }
    return done;
}

void CompressedFile::RestartChunk(int chunk)
{
    m_currentChunk = chunk;
    m_currentCompressed = IsChunkCompressed(chunk);
    m_produced = 0;
    m_chunkDamaged = false;
    if (m_currentCompressed) {
        m_decoder.Restart(m_dictionary.get(), m_dictionarySize);
        StartInput(ChunkBegin(chunk), ChunkEnd(chunk));
    }
}

int CompressedFile::ReadStored(std::uint32_t offset, std::uint8_t* out, int count)
{
    const long begin = ChunkBegin(m_currentChunk);
    const long stored = ChunkEnd(m_currentChunk) - begin;
    // Bytes past the chunk's own stored bytes belong to the next chunk, never to this one.
    if (static_cast<long>(offset) >= stored || !SeekFile(begin + static_cast<long>(offset)))
        return 0;
    m_produced = offset;
    const int got = PosixFile::Read(out, static_cast<int>(std::min<long>(count, stored - static_cast<long>(offset))));
    if (got < 1) {
        m_filePosition = -1;
        return 0;
    }
    m_filePosition += got;
    m_produced += static_cast<std::uint32_t>(got);
    return got;
}

int CompressedFile::ReadCompressed(std::uint32_t offset, std::uint8_t* out, int count)
{
    std::uint8_t scratch[SKIP_SIZE];
    while (m_produced < offset) {
        const std::size_t skip = std::min<std::size_t>(SKIP_SIZE, offset - m_produced);
        const std::size_t made = DecodeBytes(scratch, skip);
        m_produced += static_cast<std::uint32_t>(made);
        if (made < skip)
            return 0;
    }
    const std::size_t made = DecodeBytes(out, static_cast<std::size_t>(count));
    m_produced += static_cast<std::uint32_t>(made);
    return static_cast<int>(made);
}

std::size_t CompressedFile::DecodeBytes(std::uint8_t* out, std::size_t count)
{
    std::size_t done = 0;
    while (!m_chunkDamaged && done < count) {
        // Out of stored bytes, what the decoder still holds may finish the request.
        const bool haveInput = m_inputBegin < m_inputEnd || FillInput();
        std::size_t used = haveInput ? m_inputEnd - m_inputBegin : 0;
        std::size_t made = count - done;
        const LzmaDecoder::Status status = m_decoder.DecodeInto(out + done, made, m_input + m_inputBegin, used);
        m_inputBegin += used;
        done += made;
        if (status != LzmaDecoder::Status::OK || (used == 0 && made == 0))
            m_chunkDamaged = true;
    }
    return done;
}

void CompressedFile::StartInput(long begin, long end)
{
    m_inputBegin = m_inputEnd = 0;
    m_inputNext = begin;
    m_inputLimit = end;
    m_chunkDamaged = false;
}

void CompressedFile::DecodeTable(std::size_t target)
{
    while (!m_chunkDamaged && m_decoder.GetProduced() < target) {
        const std::size_t before = m_decoder.GetProduced();
        const bool haveInput = m_inputBegin < m_inputEnd || FillInput();
        std::size_t used = haveInput ? m_inputEnd - m_inputBegin : 0;
        const LzmaDecoder::Status status = m_decoder.Decode(target, m_input + m_inputBegin, used);
        m_inputBegin += used;
        if (status != LzmaDecoder::Status::OK || (used == 0 && m_decoder.GetProduced() == before))
            m_chunkDamaged = true;
    }
}

bool CompressedFile::FillInput()
{
    // Input never runs past the stream's own stored bytes.
    if (m_inputNext >= m_inputLimit || !SeekFile(m_inputNext))
        return false;
    const int wanted = static_cast<int>(std::min<long>(INPUT_SIZE, m_inputLimit - m_inputNext));
    const int got = PosixFile::Read(m_input, wanted);
    if (got < 1) {
        m_filePosition = -1;
        return false;
    }
    m_filePosition += got;
    m_inputNext += got;
    m_inputBegin = 0;
    m_inputEnd = static_cast<std::size_t>(got);
    return true;
}

bool CompressedFile::SeekFile(long offset)
{
    if (m_filePosition == offset)
        return true;
    if (offset > INT_MAX || !PosixFile::Seek(static_cast<int>(offset), SEEK_ORIGIN_START)) {
        m_filePosition = -1;
        return false;
    }
    m_filePosition = offset;
    return true;
}

} // namespace Tarv
