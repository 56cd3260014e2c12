// Fuzzes the XM loader and player: load from memory, then render 20 blocks through the module
// source and a few more over a play range taken from the input.
#include "audio/ModulePlayer.h"
#include "audio/ModuleSong.h"
#include "audio/sources/AudioXM.h"
#include "engine/core/SmartPtr.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 20))
        return 0;
    std::unique_ptr<Tarv::ModulePlayer::CModuleSong> song(new Tarv::ModulePlayer::CModuleSong());
    if (!song->LoadFromMemory(data, size))
        return 0;

    Tarv::ModulePlayer::ModulePlayer player;
    player.SetSong(song.get());
    player.SetPlayRange(size > 1 ? data[size - 1] : -1, size > 2 ? data[size - 2] : -1);
    std::vector<std::int16_t> out(1024);
    for (int block = 0; block < 4; ++block)
        player.Render(out.data(), static_cast<int>(out.size()));

    Tarv::SmartPtr<Tarv::AudioXM> source(new Tarv::AudioXM(std::move(song)));
    std::vector<std::uint8_t> bytes(2048);
    for (int block = 0; block < 20; ++block)
        source->Read(bytes.data(), static_cast<unsigned>(bytes.size()));
    return 0;
}
