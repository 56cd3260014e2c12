// Archive bytes for the archive tests: hand-made containers for damage cases, and whole archives
// made by the content packer's own writer for round trips.
#pragma once

#include "tools/ContainerWriter.h"
#include "tools/PakWriter.h"

#include <lzma.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Archives
{

using Bytes = std::vector<std::uint8_t>;

inline void PutU32(Bytes& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline void SetU32(Bytes& out, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// One raw LZMA stream (lc 3, lp 0, pb 2, 64 KiB dictionary unless given) of bytes.
inline Bytes Lzma(const Bytes& bytes, std::uint32_t dictionary = 1u << 16)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    options.dict_size = dictionary;
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    Bytes out(bytes.size() + bytes.size() / 2 + 1024);
    std::size_t written = 0;
    lzma_raw_buffer_encode(filters, nullptr, bytes.data(), bytes.size(), out.data(), &written, out.size());
    out.resize(written);
    return out;
}

// The header and table of a container; table entries as given, raw (tableBytes < 0) or
// compressed. The chunks' bytes are appended by the caller.
inline Bytes Header(std::uint32_t chunkSize, const std::vector<std::uint32_t>& table, bool compressTable,
                    std::uint8_t properties = 0x5D, std::uint32_t dictionary = 1u << 16)
{
    Bytes tableBytes;
    for (std::uint32_t entry : table)
        PutU32(tableBytes, entry);
    const Bytes stored = compressTable ? Lzma(tableBytes) : tableBytes;
    Bytes out;
    PutU32(out, static_cast<std::uint32_t>(17 + stored.size()));
    PutU32(out, chunkSize);
    const std::int32_t size = static_cast<std::int32_t>(tableBytes.size());
    PutU32(out, static_cast<std::uint32_t>(compressTable ? size : -size));
    out.push_back(properties);
    PutU32(out, dictionary);
    out.insert(out.end(), stored.begin(), stored.end());
    return out;
}

// A whole archive of the files, as the packer writes it.
inline Bytes Pack(const std::map<std::string, Bytes>& files, const Tarv::ContainerWriter::Options& options)
{
    Tarv::PakWriter writer;
    std::string error;
    for (const auto& file : files)
        writer.AddFile(file.first, file.second, error);
    Bytes content;
    Bytes container;
    writer.BuildContent(options.chunkSize, content, error);
    Tarv::ContainerWriter(options).Build(content, container, error);
    return container;
}

// Deterministic filler: text-like runs (compressible) or noise, from a fixed seed.
inline Bytes Filler(std::size_t size, std::uint32_t seed, bool noise)
{
    Bytes out(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        out[i] = noise ? static_cast<std::uint8_t>(state >> 24)
                       : static_cast<std::uint8_t>("abcdefgh \n"[(state >> 24) % 10]);
    }
    return out;
}

} // namespace Archives
