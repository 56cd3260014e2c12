// The audio settings service: mutes and master volume over the mixer, driven by the settings.
#include "framework/Audio.h"

#include "audio/EffectMute.h"
#include "audio/EffectVolumeShift.h"
#include "audio/Mixer.h"
#include "framework/Settings.h"
#include "framework/System.h"

namespace Quor
{

namespace
{

Tarv::AudioFormat OutputFormat()
{
    return Tarv::Mixer::Instance != nullptr ? Tarv::Mixer::Instance->GetFormat() : Tarv::AudioFormat{};
}

void StoreVolume(const Audio& audio)
{
    if (Settings* settings = Settings::GetInstance())
        settings->SetInt("volume", static_cast<int>(audio.GetAttenuation()));
}

// The stored switch decides: a kind stored as on is muted, one stored as off opened, and the
// setting flips. The mute flag itself is not consulted.
void Switch(Tarv::EffectMute& mute, const char* setting)
{
    Settings* settings = Settings::GetInstance();
    const bool on = settings != nullptr && settings->GetBool(setting);
    mute.SetMuted(on);
    if (settings != nullptr)
        settings->SetBool(setting, !on);
}

} // namespace

Audio* Audio::GetInstance()
{
    return System::GetOrCreateService<Audio>("Audio");
}

Audio::Audio()
{
    const Tarv::AudioFormat format = OutputFormat();
    m_sfxMute = Tarv::MakeSmart<Tarv::EffectMute>(format, false);
    m_musicMute = Tarv::MakeSmart<Tarv::EffectMute>(format, false);
    m_volumeShift = Tarv::MakeSmart<Tarv::EffectVolumeShift>(format, MAX_ATTENUATION);
    if (Tarv::Mixer::Instance != nullptr)
        Tarv::Mixer::Instance->AddEffect(m_volumeShift.Get());
}

// The volume shift stays on the mixer's list under the mixer's own reference.
Audio::~Audio() = default;

void Audio::MuteSfx() { m_sfxMute->SetMuted(true); }
void Audio::UnmuteSfx() { m_sfxMute->SetMuted(false); }
void Audio::MuteMusic() { m_musicMute->SetMuted(true); }
void Audio::UnmuteMusic() { m_musicMute->SetMuted(false); }
bool Audio::IsSfxMuted() const { return m_sfxMute->IsMuted(); }
bool Audio::IsMusicMuted() const { return m_musicMute->IsMuted(); }

void Audio::IncreaseAttenuation()
{
    if (m_attenuation < MAX_ATTENUATION)
        ++m_attenuation;
    m_volumeShift->SetShift(m_attenuation);
}

void Audio::DecreaseAttenuation()
{
    if (m_attenuation > 0)
        --m_attenuation;
    m_volumeShift->SetShift(m_attenuation);
}

void Audio::SetAttenuation(std::int32_t attenuation)
{
    const std::uint32_t asUnsigned = static_cast<std::uint32_t>(attenuation);
    m_attenuation = asUnsigned >= MAX_ATTENUATION ? MAX_ATTENUATION : asUnsigned;
    m_volumeShift->SetShift(m_attenuation);
}

void Audio::VolumeDown()
{
    if (Audio* audio = GetInstance()) {
        audio->IncreaseAttenuation();
        StoreVolume(*audio);
    }
}

void Audio::VolumeUp()
{
    if (Audio* audio = GetInstance()) {
        audio->DecreaseAttenuation();
        StoreVolume(*audio);
    }
}

void Audio::SwitchSfx()
{
    if (Audio* audio = GetInstance())
        Switch(*audio->m_sfxMute, "sfx_on");
}

void Audio::SwitchMusic()
{
    if (Audio* audio = GetInstance())
        Switch(*audio->m_musicMute, "music_on");
}

void Audio::InitFromSettings()
{
    Audio* audio = GetInstance();
    if (audio == nullptr)
        return;
    // Every start is silent and says so: both switches are written off and both kinds muted,
    // whatever the last run stored. The menu asks at each start, and its answer switches them on.
    Settings* settings = Settings::GetInstance();
    if (settings != nullptr) {
        settings->SetBool("sfx_on", false);
        settings->SetBool("music_on", false);
    }
    audio->MuteSfx();
    audio->MuteMusic();
    // A missing "volume" reads as 0: full volume.
    audio->SetAttenuation(settings != nullptr ? settings->GetInt("volume") : 0);
}

} // namespace Quor
