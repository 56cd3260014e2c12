// Fuzzes the WAV reader: open from memory, read everything, seek, rewind, and play it through a
// looping channel, which must end or fill without reading outside any buffer.
#include "audio/AudioChannel.h"
#include "audio/sources/AudioWave.h"
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
    Tarv::SmartPtr<Tarv::AudioWave> wave(Tarv::AudioWave::Create(file.Get()));
    if (!wave)
        return 0;
    std::vector<std::uint8_t> buffer(4096);
    while (wave->Read(buffer.data(), static_cast<unsigned>(buffer.size())) == buffer.size()) {
    }
    const unsigned length = wave->GetLength();
    wave->Seek(length / 3);
    wave->Read(buffer.data(), 1001);
    wave->Seek(length + 7);
    wave->Read(buffer.data(), 100);
    wave->Rewind();

    Tarv::SmartPtr<Tarv::AudioChannel> channel(new Tarv::AudioChannel({1, 22050}, wave.Get()));
    channel->SetLooping(true);
    channel->SetPaused(false);
    std::vector<std::int16_t> mix(1024);
    for (int block = 0; block < 4; ++block) {
        if (channel->Mix(mix.data(), 2048) < 2048)
            break;
    }
    return 0;
}
