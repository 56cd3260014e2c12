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
    // A chunk decoded (wholly or up to `produced`) into its own chunk-sized buffer; the buffer
    // the decoder is writing into is also its dictionary.
    struct DecodedChunk
    {
        int chunk = -1;
        std::unique_ptr<std::uint8_t[]> bytes;
        std::size_t produced = 0;
        bool damaged = false;
        std::uint64_t lastUse = 0;
    };

    bool ReadHeader(std::uint8_t* properties, std::int32_t& tableBytes);
    bool ReadTable(std::int32_t tableBytes, long fileSize);
    bool CheckTable(long fileSize) const;
    void Reset();

    long ChunkBegin(int chunk) const;
    long ChunkEnd(int chunk) const;
    int ReadCompressed(int chunk, std::uint32_t offset, std::uint8_t* out, int count);
    int ReadStored(int chunk, std::uint32_t offset, std::uint8_t* out, int count);
    std::size_t ClaimSlot(int chunk);
    void StartDecoding(std::size_t slot);
    void StartInput(long begin, long end);
    void DecodeUpTo(std::size_t target);
    bool FillInput();
    bool SeekFile(long offset);

    LzmaDecoder m_decoder;
    std::vector<std::uint32_t> m_table;
    std::uint32_t m_dataStart = 0;
    std::uint32_t m_chunkSize = 0;
    int m_totalSize = 0;
    int m_position = 0;
    long m_filePosition = -1; // the archive file's own position, -1 when unknown

    // A few recently read chunks stay decoded, so readers of different entries (loader and
    // audio threads) don't restart each other's chunks on every read.
    std::vector<DecodedChunk> m_decoded;
    std::uint64_t m_useClock = 0;
    int m_decoding = -1; // the slot the decoder is writing into, -1 for none

    // The running decode's input: stored bytes from m_inputNext up to m_inputLimit.
    std::uint8_t m_input[4096];
    std::size_t m_inputBegin = 0;
    std::size_t m_inputEnd = 0;
    long m_inputNext = 0;
    long m_inputLimit = 0;
    bool m_decodeDamaged = false;
};

} // namespace Tarv
