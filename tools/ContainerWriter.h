// Tarv::ContainerWriter: compresses an archive's content into the chunked LZMA container that
// Tarv::CompressedFile reads: header, chunk table (raw or LZMA), then the chunks. Content can
// come whole or a chunk at a time, so a packer need not hold it all.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Tarv
{

class ContainerWriter
{
public:
    enum class TableMode
    {
        RAW,
        LZMA,
        SMALLER, // whichever of the two takes fewer bytes
    };

    struct Options
    {
        std::uint32_t chunkSize = 65536;
        int level = 6;             // LZMA preset, 0 to 9
        bool compressChunks = true; // false stores every chunk as is
        TableMode table = TableMode::SMALLER;
    };

    explicit ContainerWriter(const Options& options) : m_options(options) {}
    ContainerWriter(const ContainerWriter&) = delete;
    ContainerWriter& operator=(const ContainerWriter&) = delete;

    // Writes the container of content (a whole number of chunks) to out. Each chunk is an
    // independent raw LZMA stream, or stored when compression does not make it smaller.
    // False, with a message, for bad options or an encoder failure.
    bool Build(const std::vector<std::uint8_t>& content, std::vector<std::uint8_t>& out, std::string& error) const;

    // The same a chunk at a time: Start (false, with a message, for bad options), AddChunk for
    // each chunk in order (chunkSize bytes each), then Finish, which gives the header and chunk
    // table that go before GetChunks() in the file. expectedBytes, the content's size if
    // known, lets the chunk area be set aside once instead of growing.
    bool Start(std::uint64_t expectedBytes, std::string& error);
    bool AddChunk(const std::uint8_t* chunk, std::string& error);
    bool Finish(std::vector<std::uint8_t>& head, std::string& error);
    const std::vector<std::uint8_t>& GetChunks() const { return m_chunks; }

private:
    Options m_options;
    bool m_started = false;
    std::vector<std::uint8_t> m_chunks;
    std::vector<std::uint8_t> m_table;
    std::vector<std::uint8_t> m_packed; // one chunk's encoding, reused
};

} // namespace Tarv
