// Quor::Audio: the service "Audio" that turns the user's sound settings ("sfx_on", "music_on",
// "volume") into mixer state: a mute for sound effects, one for music, and a master volume.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"

#include <cstdint>

namespace Tarv
{
class EffectMute;
class EffectVolumeShift;
}

namespace Quor
{

// Main thread. The audio thread reads the mute flags and the shift as atomics while it mixes.
class Audio : public Tarv::RefCounter
{
public:
    // The quietest attenuation: every sample shifted right by 16 bits, silence.
    static constexpr std::uint32_t MAX_ATTENUATION = 16;

    // The registered service, created on first use; null when there is no service registry or
    // no mixer.
    static Audio* GetInstance();

    // Needs Tarv::Mixer::Instance: both mutes open, attenuation MAX_ATTENUATION, the volume
    // shift on the mixer's effect list. Without a mixer the effects exist but mix nothing.
    Audio();
    // Releases the three effects; the volume shift stays on the mixer's list, held there by
    // the mixer.
    ~Audio() override;

    void MuteSfx();
    void UnmuteSfx();
    void MuteMusic();
    void UnmuteMusic();
    bool IsSfxMuted() const;
    bool IsMusicMuted() const;
    void IncreaseAttenuation();
    void DecreaseAttenuation();
    // 0..15 stay; anything else (negative values included) becomes MAX_ATTENUATION.
    void SetAttenuation(std::int32_t attenuation);
    std::uint32_t GetAttenuation() const { return m_attenuation; }

    Tarv::EffectMute* GetSfxMute() const { return m_sfxMute.Get(); }
    Tarv::EffectMute* GetMusicMute() const { return m_musicMute.Get(); }
    Tarv::EffectVolumeShift* GetVolumeShift() const { return m_volumeShift.Get(); }

    // One step quieter / louder, written to "volume".
    static void VolumeDown();
    static void VolumeUp();
    // Follow the stored "sfx_on" / "music_on", not the mute flag: a kind stored as on is muted
    // and stored off, one stored as off (or absent) is opened and stored on.
    static void SwitchSfx();
    static void SwitchMusic();
    // Start-up: "sfx_on" and "music_on" are written false and both kinds muted, whatever was
    // stored (the menu's sound prompt switches them on). The attenuation comes from "volume";
    // a missing one reads as 0, full volume.
    static void InitFromSettings();

private:
    Tarv::SmartPtr<Tarv::EffectMute> m_sfxMute;
    Tarv::SmartPtr<Tarv::EffectMute> m_musicMute;
    Tarv::SmartPtr<Tarv::EffectVolumeShift> m_volumeShift;
    std::uint32_t m_attenuation = MAX_ATTENUATION;
};

} // namespace Quor
