// Tarv::CompressedFile: reads the chunked LZMA container of an archive, so its uncompressed
// content can be read at any position by decoding at most one chunk, holding only the chunk
// table, one dictionary and a small input buffer.
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
    // A chunk larger than this is taken for damage rather than a dictionary to allocate.
    static constexpr std::uint32_t MAX_CHUNK_SIZE = 16u << 20;
    // The decoder's input is read from the archive file in pieces of this size.
    static constexpr int INPUT_SIZE = 4096;
    // A forward seek within a compressed chunk decodes and discards in pieces of this size.
    static constexpr int SKIP_SIZE = 512;

    CompressedFile() = default;

    // Opens and checks a container: header, properties, chunk table (raw or compressed; its
    // chunk ends must rise strictly and stay inside the file). False for any damage, with the
    // table and decoder freed and a content size of 0.
    bool OpenRead(const char* path) override;
    bool OpenWrite(const char*) override { return false; }
    // Frees the table and the decoder; the archive file stays open until destruction.
    bool Close() override;

    // Reads uncompressed content. Sequential reads continue the running decoder; a backward
    // move or a move to another chunk restarts it at that chunk's start. A chunk that is
    // damaged or shorter than the chunk size gives a short read (what decoded cleanly before
    // the damage), never invented bytes.
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

    long ChunkBegin(int chunk) const;
    long ChunkEnd(int chunk) const;
    void RestartChunk(int chunk);
    int ReadCompressed(std::uint32_t offset, std::uint8_t* out, int count);
    int ReadStored(std::uint32_t offset, std::uint8_t* out, int count);
    std::size_t DecodeBytes(std::uint8_t* out, std::size_t count);
    void StartInput(long begin, long end);
    void DecodeTable(std::size_t target);
    bool FillInput();
    bool SeekFile(long offset);

    LzmaDecoder m_decoder;
    // The decoder's dictionary: the properties' size, but never more than one chunk, since
    // every chunk is a stream of its own.
    std::unique_ptr<std::uint8_t[]> m_dictionary;
    std::size_t m_dictionarySize = 0;
    std::vector<std::uint32_t> m_table;
    std::uint32_t m_dataStart = 0;
    std::uint32_t m_chunkSize = 0;
    int m_totalSize = 0;
    int m_position = 0;
    long m_filePosition = -1; // the archive file's own position, -1 when unknown

    int m_currentChunk = -1;
    bool m_currentCompressed = true;
    std::uint32_t m_produced = 0; // bytes of the current chunk decoded or read so far
    bool m_chunkDamaged = false;  // the current chunk's stream failed; nothing more comes

    // The running decode's input: stored bytes from m_inputNext up to m_inputLimit.
    std::uint8_t m_input[INPUT_SIZE];
    std::size_t m_inputBegin = 0;
    std::size_t m_inputEnd = 0;
    long m_inputNext = 0;
    long m_inputLimit = 0;
};

} // namespace Tarv
