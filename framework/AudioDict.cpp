// The sound table: loading by base name, playing on the mixer with the kind's mute, and the
// weak records of the channels it started.
#include "framework/AudioDict.h"

#include "audio/AudioChannel.h"
#include "audio/EffectMute.h"
#include "audio/Mixer.h"
#include "audio/sources/AudioPosition.h"
#include "engine/core/Path.h"
#include "framework/AssetDict.h"
#include "framework/Audio.h"
#include "framework/CacheList.h"

namespace Quor
{

AudioDict::~AudioDict()
{
    StopAll();
}

bool AudioDict::LoadSound(const Tarv::NarrowString& path, bool failIfPresent, bool buffered)
{
    const Tarv::NarrowString name = Tarv::GetBaseName(path);
    CacheList* cacheList = CacheList::GetInstance();
    const bool hold = cacheList != nullptr && cacheList->Contains(path);
    const Tarv::NarrowString key = path + (buffered ? "@buffer" : "@cache");
    SoundEntry entry;
    entry.music = Tarv::GetPathComponent(path, 1) == "music";
    entry.source = Tarv::AssetDict::GetAudio(key, hold);
    return AddSound(name, entry, failIfPresent);
}

bool AudioDict::AddSound(const Tarv::NarrowString& name, const SoundEntry& entry, bool failIfPresent)
{
    const bool added = m_sounds.emplace(name, entry).second;
    return added || !failIfPresent;
}

bool AudioDict::Play(const Tarv::NarrowString& name, bool loop)
{
    const bool stopped = Stop(name);
    const auto sound = m_sounds.find(name);
    Tarv::Mixer* mixer = Tarv::Mixer::Instance;
    if (sound == m_sounds.end() || !sound->second.source || mixer == nullptr)
        return stopped;
    Audio* audio = Audio::GetInstance();

    // Each play is a cursor over the shared source; a module decides for itself, as its one
    // player cannot serve two plays at once.
    Tarv::SmartPtr<Tarv::AudioSource> play(sound->second.source->CreatePlay());
    if (!play)
        play = Tarv::SmartPtr<Tarv::AudioSource>(new Tarv::AudioPosition(sound->second.source.Get()));
    const Tarv::WeakPtr<Tarv::AudioChannel> record = mixer->CreateChannel(play.Get(), true);
    const Tarv::SmartPtr<Tarv::AudioChannel> channel = record.Lock();
    if (!channel)
        return stopped;
    // Loop flag and mute are in place before the channel is first mixed.
    channel->SetLooping(loop);
    if (audio != nullptr)
        channel->AddEffect(sound->second.music ? audio->GetMusicMute() : audio->GetSfxMute());
    channel->SetPaused(false);
    m_channels[name] = record;
    return stopped;
}

bool AudioDict::Stop(const Tarv::NarrowString& name)
{
    const auto record = m_channels.find(name);
    if (record == m_channels.end())
        return false;
    const Tarv::SmartPtr<Tarv::AudioChannel> channel = record->second.Lock();
    m_channels.erase(record);
    Tarv::Mixer* mixer = Tarv::Mixer::Instance;
    return channel && mixer != nullptr && mixer->RemoveChannel(channel.Get());
}

void AudioDict::StopAll()
{
    Tarv::Mixer* mixer = Tarv::Mixer::Instance;
    for (const auto& record : m_channels) {
        const Tarv::SmartPtr<Tarv::AudioChannel> channel = record.second.Lock();
        if (channel && mixer != nullptr)
            mixer->RemoveChannel(channel.Get());
    }
    m_channels.clear();
}

bool AudioDict::Unload(const Tarv::NarrowString& name)
{
    Stop(name);
    return m_sounds.erase(name) != 0;
}

void AudioDict::Clear()
{
    StopAll();
    m_sounds.clear();
}

bool AudioDict::SetPaused(const Tarv::NarrowString& name, bool paused)
{
    const auto record = m_channels.find(name);
    if (record == m_channels.end())
        return false;
    if (const Tarv::SmartPtr<Tarv::AudioChannel> channel = record->second.Lock())
        channel->SetPaused(paused);
    return true;
}

bool AudioDict::Pause(const Tarv::NarrowString& name) { return SetPaused(name, true); }
bool AudioDict::Resume(const Tarv::NarrowString& name) { return SetPaused(name, false); }

void AudioDict::PauseAll()
{
    for (const auto& record : m_channels)
        SetPaused(record.first, true);
}

void AudioDict::ResumeAll()
{
    for (const auto& record : m_channels)
        SetPaused(record.first, false);
}

bool AudioDict::IsPlaying(const Tarv::NarrowString& name) const
{
    return m_channels.count(name) != 0;
}

Tarv::SmartPtr<Tarv::AudioChannel> AudioDict::GetChannel(const Tarv::NarrowString& name) const
{
    const auto record = m_channels.find(name);
    return record == m_channels.end() ? Tarv::SmartPtr<Tarv::AudioChannel>() : record->second.Lock();
}

const AudioDict::SoundEntry* AudioDict::FindSound(const Tarv::NarrowString& name) const
{
    const auto sound = m_sounds.find(name);
    return sound == m_sounds.end() ? nullptr : &sound->second;
}

} // namespace Quor
