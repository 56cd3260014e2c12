// Quor::AudioDict: a state's sound table. Sounds are loaded through the asset dictionary and
// played by base name ("music/menu_music.ogg" is "menu_music") on the mixer, each channel with
// the mute of its kind; the channels it started are remembered to stop, pause and resume.
#pragma once

#include "audio/sources/AudioSource.h"
#include "engine/core/NarrowString.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakPtr.h"

#include <map>

namespace Tarv
{
class AudioChannel;
}

namespace Quor
{

// No lock: LoadSound runs on the thread that drains the owner's load queue, every other
// operation on the main thread once the owning state is current.
class AudioDict
{
public:
    struct SoundEntry
    {
        // Shared with the asset dictionary and the channels playing it; null after a failed load.
        Tarv::SmartPtr<Tarv::AudioSource> source;
        // Sounds from a directory named "music" get the music mute, others the sfx mute.
        bool music = false;
    };

    AudioDict() = default;
    // Stops every channel it started, then releases its sounds.
    virtual ~AudioDict();
    AudioDict(const AudioDict&) = delete;
    AudioDict& operator=(const AudioDict&) = delete;

    // Loads path as "path@buffer" (decoded whole) or "path@cache" (compressed file in memory),
    // held when the cache list names it, and enters it under its base name. A failed load still
    // enters the name, without a source. False only when the name is present and failIfPresent.
    bool LoadSound(const Tarv::NarrowString& path, bool failIfPresent, bool buffered);
    // Enters a sound unless the name is present (an entry is never replaced).
    bool AddSound(const Tarv::NarrowString& name, const SoundEntry& entry, bool failIfPresent);

    // Play, Stop and StopAll are virtual so that an owner can record what it plays (a headless
    // run traces its sounds); Play calls Stop first.
    // Stops the name's earlier channel, then starts the sound on a new channel (beyond the
    // mixer's channel limit), looping or once, with its mute; it plays from the next block.
    // True when an earlier channel of the name was still playing and has been stopped.
    virtual bool Play(const Tarv::NarrowString& name, bool loop);
    // Takes the name's channel out of the mixer and forgets it; false when there was no record
    // or the channel had already ended.
    virtual bool Stop(const Tarv::NarrowString& name);
    virtual void StopAll();
    // Stop, then the sound entry is dropped; true when there was one.
    bool Unload(const Tarv::NarrowString& name);
    void Clear();
    // A paused channel stays in the mixer at its position and mixes as silence.
    bool Pause(const Tarv::NarrowString& name);
    bool Resume(const Tarv::NarrowString& name);
    void PauseAll();
    void ResumeAll();
    // True while a record exists for the name, even when its channel has ended.
    bool IsPlaying(const Tarv::NarrowString& name) const;
    // The recorded channel while it is still in the mixer; the pointer is borrowed for the
    // caller's statement, since the audio thread may drop an ended channel at any block.
    Tarv::SmartPtr<Tarv::AudioChannel> GetChannel(const Tarv::NarrowString& name) const;

    bool HasSound(const Tarv::NarrowString& name) const { return m_sounds.count(name) != 0; }
    const SoundEntry* FindSound(const Tarv::NarrowString& name) const;

private:
    bool SetPaused(const Tarv::NarrowString& name, bool paused);

    std::map<Tarv::NarrowString, SoundEntry> m_sounds;
    std::map<Tarv::NarrowString, Tarv::WeakPtr<Tarv::AudioChannel>> m_channels;
};

} // namespace Quor
