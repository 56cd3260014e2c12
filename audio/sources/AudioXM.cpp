// The module source: the player renders into a block of its own that is copied out, so a read
// of any size or alignment is served whole.
#include "audio/sources/AudioXM.h"

#include "audio/sources/AudioPosition.h"

#include <algorithm>
#include <cstring>

namespace Tarv
{

AudioXM* AudioXM::Open(const char* path)
{
    std::unique_ptr<ModulePlayer::CModuleSong> song(new ModulePlayer::CModuleSong());
    if (!song->Load(path))
        return nullptr;
    return new AudioXM(std::move(song));
}

AudioXM::AudioXM(std::unique_ptr<ModulePlayer::CModuleSong> song)
    : AudioXM(std::shared_ptr<const ModulePlayer::CModuleSong>(std::move(song)))
{
}

AudioXM::AudioXM(std::shared_ptr<const ModulePlayer::CModuleSong> song)
    : m_song(std::move(song)), m_player(new ModulePlayer::ModulePlayer())
{
    m_channels = 1;
    m_rate = ModulePlayer::ModulePlayer::RATE;
    m_player->SetSong(m_song.get());
    m_player->SetPlayRange(-1, -1);
}

unsigned AudioXM::Read(void* buffer, unsigned bytes)
{
    std::uint8_t* out = static_cast<std::uint8_t*>(buffer);
    const unsigned samples = bytes / 2;
    unsigned done = 0;
    while (done < samples) {
        const int chunk = static_cast<int>(std::min<unsigned>(samples - done, BLOCK_SAMPLES));
        if (!m_player->Render(m_block, chunk))
            return 0;
        std::memcpy(out + done * 2, m_block, static_cast<std::size_t>(chunk) * 2);
        done += static_cast<unsigned>(chunk);
    }
    return samples * 2;
}

AudioSource* AudioXM::CreatePlay()
{
    // Two plays reading one player would each hear every other block of the song at twice its
    // speed: while the play of the shared player is live, another gets a player of its own.
    if (m_sharedPlay.Lock())
        return new AudioXM(m_song);
    AudioPosition* play = new AudioPosition(this);
    m_sharedPlay = play;
    return play;
}

} // namespace Tarv
