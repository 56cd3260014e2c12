// The audio settings service: mutes and master volume over the mixer, driven by the settings.
#include "framework/Audio.h"

#include "audio/EffectMute.h"
#include "audio/EffectVolumeShift.h"
#include "audio/Mixer.h"
#include "engine/registry/Registry.h"
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

// The stored int setting, or false when the key is absent or not an int.
bool ReadStoredInt(const char* name, int& out)
{
    Settings* settings = Settings::GetInstance();
    Tarv::Registry* registry = Tarv::Registry::Instance.Get();
    return settings != nullptr && registry != nullptr && registry->GetInt(settings->GetRoot() + "/" + name, out);
}

void StoreVolume(const Audio& audio)
{
    if (Settings* settings = Settings::GetInstance())
        settings->SetInt("volume", static_cast<int>(audio.GetAttenuation()));
}

// An audible kind is muted, a muted one opened; the setting records whether it is now heard.
void ToggleMute(Tarv::EffectMute& mute, const char* setting)
{
    const bool nowOn = mute.IsMuted();
    mute.SetMuted(!nowOn);
    if (Settings* settings = Settings::GetInstance())
        settings->SetBool(setting, nowOn);
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

Audio::~Audio()
{
    if (Tarv::Mixer::Instance != nullptr)
        Tarv::Mixer::Instance->RemoveEffect(m_volumeShift.Get());
}

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
        ToggleMute(*audio->m_sfxMute, "sfx_on");
}

void Audio::SwitchMusic()
{
    if (Audio* audio = GetInstance())
        ToggleMute(*audio->m_musicMute, "music_on");
}

void Audio::InitFromSettings()
{
    Audio* audio = GetInstance();
    if (audio == nullptr)
        return;
    // Every start is silent and says so: both switches are written off and both kinds muted,
    // whatever the last run stored. The menu asks at each start, and its answer switches them on.
    if (Settings* settings = Settings::GetInstance()) {
        settings->SetBool("sfx_on", false);
        settings->SetBool("music_on", false);
    }
    audio->MuteSfx();
    audio->MuteMusic();
    int volume = 0;
    if (ReadStoredInt("volume", volume))
        audio->SetAttenuation(volume);
    else
        audio->SetAttenuation(static_cast<std::int32_t>(DEFAULT_ATTENUATION));
}

} // namespace Quor
