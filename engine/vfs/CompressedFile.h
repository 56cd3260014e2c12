// Tarv::CompressedFile: reads the chunked LZMA container of an archive, so its uncompressed
// content can be read at any position by decoding at most one chunk.
#pragma once

#include "engine/vfs/LzmaDecoder.h"
#include "engine/vfs/PosixFile.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Tarv
{

class CompressedFile : public PosixFile
{
public:
    static constexpr int HEADER_SIZE = 17;
    static constexpr std::uint32_t COMPRESSED_CHUNK_BIT = 0x80000000u;
    // Chunks beyond this would only cost memory: the reader holds one decoded chunk.
    static constexpr std::uint32_t MAX_CHUNK_SIZE = 16u << 20;

    CompressedFile() = default;

    // Opens and checks a container: header, properties, chunk table (raw or compressed; its
    // chunk ends must rise strictly and stay inside the file). False, with nothing held, for
    // any damage; the content size is then 0.
    bool OpenRead(const char* path) override;
    bool OpenWrite(const char*) override { return false; }
    // Drops the table, decoder and archive file.
    bool Close() override;

    // Reads uncompressed content. A chunk that is damaged or shorter than the chunk size gives
    // a short read (what decoded cleanly before the damage), never invented bytes.
    int Read(void* buffer, int count) override;
    int Write(const void*, int) override { return 0; }
    // Sets the position clamped to 0 .. content size; true (an unknown origin only clamps).
    bool Seek(int offset, int origin) override;
    int Tell() override { return m_position; }
    int GetSize() override { return m_totalSize; }

    std::uint32_t GetChunkSize() const { return m_chunkSize; }
    int GetChunkCount() const { return static_cast<int>(m_table.size()); }
    bool IsChunkCompressed(int chunk) const;

private:
    bool ReadHeader(std::uint8_t* properties, std::int32_t& tableBytes);
    bool ReadTable(std::int32_t tableBytes, long fileSize);
    bool CheckTable(long fileSize) const;
    void Reset();

    bool StartChunk(int chunk);
    int ReadFromChunk(std::uint32_t offset, std::uint8_t* out, int count);
    int ReadStored(std::uint32_t offset, std::uint8_t* out, int count);
    void DecodeUpTo(std::uint32_t target);
    bool FillInput();
    bool SeekFile(long offset);

    LzmaDecoder m_decoder;
    std::vector<std::uint32_t> m_table;
    std::unique_ptr<std::uint8_t[]> m_chunkBuffer; // the decoded chunk, and the dictionary
    std::uint8_t m_input[4096];
    std::size_t m_inputBegin = 0;
    std::size_t m_inputEnd = 0;
    long m_fileOffset = -1; // where the archive file's own position is, -1 when unknown

    std::uint32_t m_dataStart = 0;
    std::uint32_t m_chunkSize = 0;
    int m_totalSize = 0;
    int m_position = 0;

    int m_currentChunk = -1;
    bool m_currentCompressed = false;
    bool m_currentDamaged = false;
    long m_chunkBegin = 0; // file offsets of the current chunk's stored bytes
    long m_chunkEnd = 0;
};

} // namespace Tarv
