// Fuzzes the Ogg Vorbis source: open from memory, decode a bounded amount, seek and tell.
#include "audio/sources/AudioOgg.h"
#include "engine/core/SmartPtr.h"
#include "engine/vfs/CachedFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 20))
        return 0;
    Tarv::SmartPtr<Tarv::CachedFile> file(new Tarv::CachedFile(data, static_cast<int>(size), false));
    Tarv::SmartPtr<Tarv::AudioOgg> ogg(Tarv::AudioOgg::Create(file.Get()));
    if (!ogg)
        return 0;
    std::vector<std::uint8_t> buffer(8192);
    unsigned total = 0;
    // Bounded: a valid file may decode to far more than a fuzz run should spend time on.
    while (total < (1u << 20)) {
        const unsigned got = ogg->Read(buffer.data(), static_cast<unsigned>(buffer.size()));
        if (got == 0)
            break;
        total += got;
    }
    const unsigned length = ogg->GetLength();
    ogg->Seek(length / 2 + 3);
    ogg->Tell();
    ogg->Read(buffer.data(), 1000);
    ogg->Seek(length + 100);
    ogg->Read(buffer.data(), 100);
    ogg->Rewind();
    ogg->Read(buffer.data(), 0);
    ogg->Read(buffer.data(), 777);
    return 0;
}
