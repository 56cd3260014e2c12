// Reading archive entries through Tarv::VirtualFile: sequential throughput of a large entry
// next to the decoder alone on the same chunks, the cost of a random 4 KiB read, and reading
// a text entry line by line.
#include "engine/vfs/LzmaDecoder.h"
#include "engine/vfs/PakMount.h"
#include "engine/vfs/VirtualFile.h"
#include "tools/ContainerWriter.h"
#include "tools/PakWriter.h"

#include "BenchData.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <unistd.h>

namespace
{

constexpr std::uint32_t CHUNK = 65536;
constexpr std::size_t ENTRY = 8u << 20;

// An archive with one large entry, written once to a temporary file.
class Archive
{
public:
    Archive()
    {
        m_content = BenchData::Text(ENTRY, 1);
        Tarv::PakWriter writer;
        std::string error;
        writer.AddFile("big.txt", m_content, error);
        std::vector<std::uint8_t> content, container;
        writer.BuildContent(CHUNK, content, error);
        Tarv::ContainerWriter::Options options;
        options.chunkSize = CHUNK;
        Tarv::ContainerWriter(options).Build(content, container, error);
        char path[] = "/tmp/brashwick-vfsbench-XXXXXX";
        const int fd = mkstemp(path);
        m_path = path;
        if (fd >= 0) {
            if (write(fd, container.data(), container.size()) != static_cast<ssize_t>(container.size()))
                m_path.clear();
            close(fd);
        }
        m_mount = new Tarv::PakMount(m_path.c_str(), "", 0);
        m_chunks = BenchData::Chunks(content, CHUNK);
    }
    ~Archive() { std::remove(m_path.c_str()); }

    Tarv::SmartPtr<Tarv::File> Open() { return m_mount->OpenRead("big.txt"); }
    const std::vector<BenchData::Bytes>& Chunks() const { return m_chunks; }

private:
    std::string m_path;
    BenchData::Bytes m_content;
    Tarv::SmartPtr<Tarv::PakMount> m_mount;
    std::vector<BenchData::Bytes> m_chunks;
};

Archive& TheArchive()
{
    static Archive archive;
    return archive;
}

void VirtualFileSequential(benchmark::State& state)
{
    TheArchive(); // built once, outside the timing
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(state.range(0)));
    std::size_t read = 0;
    for (auto _ : state) {
        Tarv::SmartPtr<Tarv::File> file = TheArchive().Open();
        read = 0;
        for (int n; (n = file->Read(buffer.data(), static_cast<int>(buffer.size()))) > 0;)
            read += static_cast<std::size_t>(n);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ENTRY));
    if (read != ENTRY)
        state.SkipWithError("the entry was not read whole");
}

// The decoder alone over the same chunks, held in memory: the ceiling for the read above.
void RawDecoderSequential(benchmark::State& state)
{
    TheArchive();
    const std::uint8_t properties[5] = {0x5D, 0x00, 0x00, 0x01, 0x00};
    Tarv::LzmaDecoder decoder;
    decoder.SetProperties(properties);
    std::vector<std::uint8_t> output(CHUNK);
    for (auto _ : state) {
        for (const BenchData::Bytes& chunk : TheArchive().Chunks()) {
            decoder.Restart(output.data(), CHUNK);
            std::size_t used = chunk.size();
            decoder.Decode(CHUNK, chunk.data(), used);
        }
        benchmark::DoNotOptimize(output.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TheArchive().Chunks().size() * CHUNK));
}

void RandomRead4K(benchmark::State& state)
{
    Tarv::SmartPtr<Tarv::File> file = TheArchive().Open();
    std::vector<std::uint8_t> buffer(4096);
    std::uint32_t seed = 7;
    for (auto _ : state) {
        seed = seed * 1664525u + 1013904223u;
        file->Seek(static_cast<int>(seed % (ENTRY - 4096)), Tarv::SEEK_ORIGIN_START);
        benchmark::DoNotOptimize(file->Read(buffer.data(), 4096));
    }
}

// Two readers (say the loader and the audio thread) taking turns on entries in different
// chunks, 4 KiB at a time: each read continues where that reader left off.
void InterleavedReaders(benchmark::State& state)
{
    TheArchive();
    std::vector<std::uint8_t> buffer(4096);
    for (auto _ : state) {
        Tarv::SmartPtr<Tarv::File> first = TheArchive().Open();
        Tarv::SmartPtr<Tarv::File> second = TheArchive().Open();
        second->Seek(static_cast<int>(ENTRY / 2), Tarv::SEEK_ORIGIN_START);
        for (std::size_t done = 0; done < ENTRY / 2; done += buffer.size()) {
            first->Read(buffer.data(), 4096);
            second->Read(buffer.data(), 4096);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ENTRY));
}

void ReadLines(benchmark::State& state)
{
    TheArchive();
    const std::size_t bytes = 1u << 20;
    std::size_t total = 0;
    for (auto _ : state) {
        Tarv::SmartPtr<Tarv::File> file = TheArchive().Open();
        Tarv::NarrowString line;
        total = 0;
        while (total < bytes && file->ReadLine(line)) {
            total += line.size() + 1;
            line.clear();
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    if (total < bytes)
        state.SkipWithError("the lines ended early");
}

BENCHMARK(VirtualFileSequential)->Arg(4096)->Arg(65536)->Unit(benchmark::kMillisecond);
BENCHMARK(RawDecoderSequential)->Unit(benchmark::kMillisecond);
BENCHMARK(RandomRead4K)->Unit(benchmark::kMicrosecond);
BENCHMARK(InterleavedReaders)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadLines)->Unit(benchmark::kMillisecond);

} // namespace
