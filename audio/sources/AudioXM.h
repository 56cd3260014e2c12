// Tarv::AudioXM: an XM module as an endless sound source: one channel at 22050 Hz, rendered by
// its module player; plays at the same time get players of their own over the shared song.
#pragma once

#include "audio/ModulePlayer.h"
#include "audio/ModuleSong.h"
#include "audio/sources/AudioSource.h"
#include "engine/core/WeakPtr.h"

#include <cstdint>
#include <memory>

namespace Tarv
{

class AudioXM : public AudioSource
{
public:
    // A source over the module at path in the virtual file system (count 0), or null when the
    // file is missing or refused.
    static AudioXM* Open(const char* path);
    // Takes the song and plays all of it, looping.
    explicit AudioXM(std::unique_ptr<ModulePlayer::CModuleSong> song);
    // A cursor over this source, so a module played again goes on where its player stood; while
    // such a cursor is still alive, another source over the same song (read-only while played)
    // with a player of its own at the song's start. Main thread.
    AudioSource* CreatePlay() override;

    // Always renders bytes / 2 whole samples and returns their size.
    unsigned Read(void* buffer, unsigned bytes) override;
    // A module has no byte position: Rewind and Seek do nothing, the song plays on.
    void Rewind() override {}
    // Endless: 0.
    unsigned GetLength() override { return 0; }
    void Seek(unsigned) override {}
    unsigned Tell() override { return 0; }

    const ModulePlayer::ModulePlayer& GetPlayer() const { return *m_player; }

private:
    explicit AudioXM(std::shared_ptr<const ModulePlayer::CModuleSong> song);

    // Rendered through this block, so the caller's buffer needs no 16-bit alignment.
    static constexpr int BLOCK_SAMPLES = 1024;

    std::shared_ptr<const ModulePlayer::CModuleSong> m_song;
    std::unique_ptr<ModulePlayer::ModulePlayer> m_player;
    // The last cursor made over this source: the play that reads m_player.
    WeakPtr<AudioSource> m_sharedPlay;
    std::int16_t m_block[BLOCK_SAMPLES] = {};
};

} // namespace Tarv
