// Tarv::ContainerWriter: compresses an archive's content into the chunked LZMA container that
// Tarv::CompressedFile reads: header, chunk table (raw or LZMA), then the chunks.
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

    // Writes the container of content (a whole number of chunks) to out. Each chunk is an
    // independent raw LZMA stream, or stored when compression does not make it smaller.
    // False, with a message, for bad options or an encoder failure.
    bool Build(const std::vector<std::uint8_t>& content, std::vector<std::uint8_t>& out, std::string& error) const;

private:
    Options m_options;
};

} // namespace Tarv
