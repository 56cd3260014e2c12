// The two LZMA decoders that can read the archive's chunks, side by side: the LZMA SDK's
// (behind Tarv::LzmaDecoder) and liblzma's raw LZMA1 decoder. Sequential decoding of whole
// chunks, and the cost of restarting at a chunk start (decode 64 bytes, then restart).
#include "engine/vfs/LzmaDecoder.h"

#include "BenchData.h"

#include <benchmark/benchmark.h>
#include <lzma.h>

namespace
{

constexpr std::size_t CHUNK = 65536;
constexpr std::size_t CONTENT = 8u << 20;
const std::uint8_t PROPERTIES[5] = {0x5D, 0x00, 0x00, 0x01, 0x00}; // lc 3, lp 0, pb 2, 64 KiB

const std::vector<BenchData::Bytes>& Chunks()
{
    static const std::vector<BenchData::Bytes> chunks = BenchData::Chunks(BenchData::Text(CONTENT, 1), CHUNK);
    return chunks;
}

bool SdkDecode(Tarv::LzmaDecoder& decoder, std::uint8_t* output, const BenchData::Bytes& chunk, std::size_t target)
{
    decoder.Restart(output, CHUNK);
    std::size_t used = chunk.size();
    return decoder.Decode(target, chunk.data(), used) == Tarv::LzmaDecoder::Status::OK && decoder.GetProduced() == target;
}

void LzmaSdkSequential(benchmark::State& state)
{
    Tarv::LzmaDecoder decoder;
    decoder.SetProperties(PROPERTIES);
    BenchData::Bytes output(CHUNK);
    Chunks(); // encoded once, outside the timing
    for (auto _ : state) {
        for (const BenchData::Bytes& chunk : Chunks()) {
            if (!SdkDecode(decoder, output.data(), chunk, CHUNK))
                state.SkipWithError("LZMA SDK failed");
        }
        benchmark::DoNotOptimize(output.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * CONTENT));
}

void LzmaSdkRestart(benchmark::State& state)
{
    Tarv::LzmaDecoder decoder;
    decoder.SetProperties(PROPERTIES);
    BenchData::Bytes output(CHUNK);
    Chunks(); // encoded once, outside the timing
    for (auto _ : state) {
        if (!SdkDecode(decoder, output.data(), Chunks()[0], 64))
            state.SkipWithError("LZMA SDK failed");
        benchmark::DoNotOptimize(output.data());
    }
}

// liblzma: the decoder is set up again on the same stream at every chunk (liblzma keeps its
// allocations when the filter chain stays the same).
bool LiblzmaDecode(lzma_stream& stream, std::uint8_t* output, const BenchData::Bytes& chunk, std::size_t target)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    options.dict_size = CHUNK;
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_raw_decoder(&stream, filters) != LZMA_OK)
        return false;
    stream.next_in = chunk.data();
    stream.avail_in = chunk.size();
    stream.next_out = output;
    stream.avail_out = target;
    const lzma_ret result = lzma_code(&stream, LZMA_RUN);
    return (result == LZMA_OK || result == LZMA_STREAM_END) && stream.avail_out == 0;
}

void LiblzmaSequential(benchmark::State& state)
{
    lzma_stream stream = LZMA_STREAM_INIT;
    BenchData::Bytes output(CHUNK);
    Chunks(); // encoded once, outside the timing
    for (auto _ : state) {
        for (const BenchData::Bytes& chunk : Chunks()) {
            if (!LiblzmaDecode(stream, output.data(), chunk, CHUNK))
                state.SkipWithError("liblzma failed");
        }
        benchmark::DoNotOptimize(output.data());
    }
    lzma_end(&stream);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * CONTENT));
}

void LiblzmaRestart(benchmark::State& state)
{
    lzma_stream stream = LZMA_STREAM_INIT;
    BenchData::Bytes output(CHUNK);
    Chunks(); // encoded once, outside the timing
    for (auto _ : state) {
        if (!LiblzmaDecode(stream, output.data(), Chunks()[0], 64))
            state.SkipWithError("liblzma failed");
        benchmark::DoNotOptimize(output.data());
    }
    lzma_end(&stream);
}

BENCHMARK(LzmaSdkSequential)->Unit(benchmark::kMillisecond);
BENCHMARK(LiblzmaSequential)->Unit(benchmark::kMillisecond);
BENCHMARK(LzmaSdkRestart)->Unit(benchmark::kMicrosecond);
BENCHMARK(LiblzmaRestart)->Unit(benchmark::kMicrosecond);

} // namespace
