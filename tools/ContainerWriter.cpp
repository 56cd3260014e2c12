// The container encoder, over liblzma's raw LZMA1 encoder (deterministic: same input, same
// bytes). Streams carry an end mark, which the reader never reaches: it stops at the chunk size.
#include "tools/ContainerWriter.h"

#include <lzma.h>

#include <algorithm>

namespace Tarv
{

namespace
{

constexpr std::uint32_t COMPRESSED_CHUNK_BIT = 0x80000000u;
constexpr std::size_t HEADER_SIZE = 17;

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Encodes bytes as one raw LZMA stream; false when it does not fit in limit bytes.
bool Encode(const lzma_options_lzma& options, const std::uint8_t* bytes, std::size_t size, std::size_t limit,
            std::vector<std::uint8_t>& out)
{
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, const_cast<lzma_options_lzma*>(&options)},
                              {LZMA_VLI_UNKNOWN, nullptr}};
    out.resize(limit);
    std::size_t written = 0;
    if (lzma_raw_buffer_encode(filters, nullptr, bytes, size, out.data(), &written, limit) != LZMA_OK)
        return false;
    out.resize(written);
    return true;
}

} // namespace

bool ContainerWriter::Build(const std::vector<std::uint8_t>& content, std::vector<std::uint8_t>& out,
                            std::string& error) const
{
    const std::uint32_t chunkSize = m_options.chunkSize;
    if (chunkSize == 0 || content.empty() || content.size() % chunkSize != 0) {
        error = "content must be a whole, non-zero number of chunks";
        return false;
    }
    if (m_options.level < 0 || m_options.level > 9) {
        error = "compression level must be 0 to 9";
        return false;
    }
    lzma_options_lzma options;
    if (lzma_lzma_preset(&options, static_cast<std::uint32_t>(m_options.level))) {
        error = "the LZMA encoder does not know that level";
        return false;
    }
    // Chunks are independent streams: a dictionary beyond one chunk would never be used.
    options.dict_size = std::max<std::uint32_t>(LZMA_DICT_SIZE_MIN, std::min(options.dict_size, chunkSize));

    std::vector<std::uint8_t> chunks;
    std::vector<std::uint8_t> table;
    std::vector<std::uint8_t> packed;
    for (std::size_t at = 0; at < content.size(); at += chunkSize) {
        const std::uint8_t* chunk = content.data() + at;
        bool compressed = m_options.compressChunks && Encode(options, chunk, chunkSize, chunkSize - 1, packed);
        if (compressed)
            chunks.insert(chunks.end(), packed.begin(), packed.end());
        else
            chunks.insert(chunks.end(), chunk, chunk + chunkSize);
        if (chunks.size() >= COMPRESSED_CHUNK_BIT) {
            error = "the archive's chunks would reach 2 GiB";
            return false;
        }
        AppendU32(table, static_cast<std::uint32_t>(chunks.size()) | (compressed ? COMPRESSED_CHUNK_BIT : 0));
    }

    std::vector<std::uint8_t> packedTable;
    bool tableCompressed = false;
    if (m_options.table != TableMode::RAW) {
        const std::size_t limit = m_options.table == TableMode::LZMA ? table.size() + table.size() / 2 + 1024 : table.size() - 1;
        tableCompressed = Encode(options, table.data(), table.size(), limit, packedTable);
        if (!tableCompressed && m_options.table == TableMode::LZMA) {
            error = "the chunk table could not be compressed";
            return false;
        }
    }
    const std::vector<std::uint8_t>& storedTable = tableCompressed ? packedTable : table;
    const std::int32_t tableBytes = tableCompressed ? static_cast<std::int32_t>(table.size()) : -static_cast<std::int32_t>(table.size());

    out.clear();
    AppendU32(out, static_cast<std::uint32_t>(HEADER_SIZE + storedTable.size()));
    AppendU32(out, chunkSize);
    AppendU32(out, static_cast<std::uint32_t>(tableBytes));
    out.push_back(static_cast<std::uint8_t>((options.pb * 5 + options.lp) * 9 + options.lc));
    AppendU32(out, options.dict_size);
    out.insert(out.end(), storedTable.begin(), storedTable.end());
    out.insert(out.end(), chunks.begin(), chunks.end());
    return true;
}

} // namespace Tarv
