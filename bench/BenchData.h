// Test data shared by the archive benchmarks: text-like bytes and independent LZMA chunks.
#pragma once

#include <lzma.h>

#include <cstdint>
#include <string>
#include <vector>

namespace BenchData
{

using Bytes = std::vector<std::uint8_t>;

// Words drawn from a small vocabulary with a fixed seed: compresses about as well as the
// game's XML, scripts and texts.
inline Bytes Text(std::size_t size, std::uint32_t seed)
{
    static const char* const words[] = {"<layer ", "name=\"", "button", "\" x=\"", "12", "340", "\"/>\n",
                                        "function ", "local ", "end\n", "registry:Get(", "then ", "sprite",
                                        "tile-width", "  ", "level_", "fruit", "return ", "if ", "=", "\n"};
    Bytes out;
    out.reserve(size);
    std::uint32_t state = seed;
    while (out.size() < size) {
        state = state * 1664525u + 1013904223u;
        const std::string word = words[(state >> 16) % (sizeof words / sizeof words[0])];
        out.insert(out.end(), word.begin(), word.end());
        if ((state & 0xFF) < 12)
            out.push_back(static_cast<std::uint8_t>('a' + (state >> 8) % 26));
    }
    out.resize(size);
    return out;
}

// Encodes each chunkSize piece as its own raw LZMA stream (lc 3, lp 0, pb 2).
inline std::vector<Bytes> Chunks(const Bytes& content, std::size_t chunkSize)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    options.dict_size = static_cast<std::uint32_t>(chunkSize);
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    std::vector<Bytes> chunks;
    for (std::size_t at = 0; at < content.size(); at += chunkSize) {
        Bytes out(chunkSize + chunkSize / 2 + 1024);
        std::size_t written = 0;
        lzma_raw_buffer_encode(filters, nullptr, content.data() + at, chunkSize, out.data(), &written, out.size());
        out.resize(written);
        chunks.push_back(out);
    }
    return chunks;
}

} // namespace BenchData
