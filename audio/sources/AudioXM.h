// Tarv::AudioXM: an XM module as an endless sound source: one channel at 22050 Hz, rendered by
// a module player of its own over a song shared by every play of the module.
#pragma once

#include "audio/ModulePlayer.h"
#include "audio/ModuleSong.h"
#include "audio/sources/AudioSource.h"

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
    // Another source over the same song (read-only while played) with a player of its own at
    // the song's start, so plays at once each keep their own position and speed.
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
    std::int16_t m_block[BLOCK_SAMPLES] = {};
};

} // namespace Tarv
