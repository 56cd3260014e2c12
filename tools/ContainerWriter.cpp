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

// The LZMA options of the preset level, with the dictionary bounded by one chunk: chunks are
// independent streams, so a larger dictionary would never be used.
bool PresetOptions(const ContainerWriter::Options& settings, lzma_options_lzma& options, std::string& error)
{
    if (settings.level < 0 || settings.level > 9) {
        error = "compression level must be 0 to 9";
        return false;
    }
    if (lzma_lzma_preset(&options, static_cast<std::uint32_t>(settings.level))) {
        error = "the LZMA encoder does not know that level";
        return false;
    }
    options.dict_size = std::max<std::uint32_t>(LZMA_DICT_SIZE_MIN, std::min(options.dict_size, settings.chunkSize));
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
    ContainerWriter writer(m_options);
    if (!writer.Start(content.size(), error))
        return false;
    for (std::size_t at = 0; at < content.size(); at += chunkSize) {
        if (!writer.AddChunk(content.data() + at, error))
            return false;
    }
    if (!writer.Finish(out, error))
        return false;
    out.insert(out.end(), writer.m_chunks.begin(), writer.m_chunks.end());
    return true;
}

bool ContainerWriter::Start(std::uint64_t expectedBytes, std::string& error)
{
    lzma_options_lzma options;
    if (m_options.chunkSize == 0) {
        error = "chunk size must be at least 1";
        return false;
    }
    if (!PresetOptions(m_options, options, error))
        return false;
    m_chunks.clear();
    m_table.clear();
    // Stored chunks are never larger than the content: the area is set aside once, and only
    // the pages written are ever touched.
    m_chunks.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(expectedBytes, COMPRESSED_CHUNK_BIT)));
    m_started = true;
    return true;
}

bool ContainerWriter::AddChunk(const std::uint8_t* chunk, std::string& error)
{
    lzma_options_lzma options;
    if (!m_started || chunk == nullptr) {
        error = "the container was not started";
        return false;
    }
    if (!PresetOptions(m_options, options, error))
        return false;
    const std::uint32_t chunkSize = m_options.chunkSize;
    const bool compressed = m_options.compressChunks && Encode(options, chunk, chunkSize, chunkSize - 1, m_packed);
    if (compressed)
        m_chunks.insert(m_chunks.end(), m_packed.begin(), m_packed.end());
    else
        m_chunks.insert(m_chunks.end(), chunk, chunk + chunkSize);
    if (m_chunks.size() >= COMPRESSED_CHUNK_BIT) {
        error = "the archive's chunks would reach 2 GiB";
        return false;
    }
    AppendU32(m_table, static_cast<std::uint32_t>(m_chunks.size()) | (compressed ? COMPRESSED_CHUNK_BIT : 0));
    return true;
}

bool ContainerWriter::Finish(std::vector<std::uint8_t>& head, std::string& error)
{
    lzma_options_lzma options;
    if (!m_started || m_table.empty()) {
        error = "content must be a whole, non-zero number of chunks";
        return false;
    }
    if (!PresetOptions(m_options, options, error))
        return false;
    std::vector<std::uint8_t> packedTable;
    bool tableCompressed = false;
    if (m_options.table != TableMode::RAW) {
        const std::size_t limit = m_options.table == TableMode::LZMA ? m_table.size() + m_table.size() / 2 + 1024 : m_table.size() - 1;
        tableCompressed = Encode(options, m_table.data(), m_table.size(), limit, packedTable);
        if (!tableCompressed && m_options.table == TableMode::LZMA) {
            error = "the chunk table could not be compressed";
            return false;
        }
    }
    const std::vector<std::uint8_t>& storedTable = tableCompressed ? packedTable : m_table;
    const std::int32_t tableBytes = tableCompressed ? static_cast<std::int32_t>(m_table.size()) : -static_cast<std::int32_t>(m_table.size());

    head.clear();
    AppendU32(head, static_cast<std::uint32_t>(HEADER_SIZE + storedTable.size()));
    AppendU32(head, m_options.chunkSize);
    AppendU32(head, static_cast<std::uint32_t>(tableBytes));
    head.push_back(static_cast<std::uint8_t>((options.pb * 5 + options.lp) * 9 + options.lc));
    AppendU32(head, options.dict_size);
    head.insert(head.end(), storedTable.begin(), storedTable.end());
    return true;
}

} // namespace Tarv
