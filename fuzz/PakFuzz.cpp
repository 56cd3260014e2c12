// Archive bytes from the fuzzer, mounted and read: the container header and chunk table, the
// PAK directory, and every entry with seeks in both directions.
#include "engine/vfs/PakMount.h"
#include "engine/vfs/VirtualFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace
{

// Reads are capped so one input can't ask for gigabytes of high-ratio LZMA output.
constexpr int READ_LIMIT = 1 << 18;

const std::string& ArchivePath()
{
    static const std::string path = "/tmp/brashwick-pakfuzz-" + std::to_string(getpid()) + ".pak";
    return path;
}

void ReadEntry(Tarv::File& file, const std::uint8_t* data, std::size_t size)
{
    static std::uint8_t buffer[8192];
    int total = 0;
    int got;
    while (total < READ_LIMIT && (got = file.Read(buffer, static_cast<int>(1 + (total * 31 % sizeof buffer)))) > 0)
        total += got;
    const int entrySize = file.GetSize();
    for (std::size_t i = 0; i + 1 < size && i < 16; i += 2) {
        file.Seek(entrySize - data[i] * 97, Tarv::SEEK_ORIGIN_START);
        file.Read(buffer, std::min<int>(data[i + 1] * 64 + 1, static_cast<int>(sizeof buffer)));
    }
    Tarv::NarrowString line;
    file.Seek(0, Tarv::SEEK_ORIGIN_START);
    for (int i = 0; i < 4 && file.ReadLine(line); ++i)
        line.clear();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* out = std::fopen(ArchivePath().c_str(), "wb");
    if (out == nullptr)
        return 0;
    if (size > 0)
        std::fwrite(data, 1, size, out);
    std::fclose(out);

    {
        Tarv::CompressedFile container;
        if (container.OpenRead(ArchivePath().c_str())) {
            static std::uint8_t buffer[READ_LIMIT];
            container.Read(buffer, READ_LIMIT);
            container.Seek(size > 0 ? data[0] * 131 : 0, Tarv::SEEK_ORIGIN_START);
            container.Read(buffer, 4096);
        }
    }

    Tarv::SmartPtr<Tarv::PakMount> mount(new Tarv::PakMount(ArchivePath().c_str(), "", 0));
    for (int i = 0; i < mount->GetEntryCount() && i < 64; ++i) {
        const Tarv::PakEntry& entry = mount->GetEntry(i);
        Tarv::SmartPtr<Tarv::File> file(mount->OpenRead(mount->GetName(entry)));
        if (file)
            ReadEntry(*file, data, size);
    }
    Tarv::SmartPtr<Tarv::File> defaults(mount->OpenRead("config/defaults.xml"));
    std::remove(ArchivePath().c_str());
    return 0;
}
