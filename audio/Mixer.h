// Tarv::Mixer: the one software mixer. It holds the playing channels and an effect chain,
// renders the mix block by block and serves it to the output device's thread.
#pragma once

#include "audio/AudioChannel.h"
#include "audio/AudioDevice.h"
#include "audio/AudioEffect.h"
#include "audio/AudioFormat.h"
#include "audio/AudioStream.h"
#include "audio/EffectScale.h"
#include "audio/sources/AudioSource.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakPtr.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace Tarv
{

struct MixerConfig
{
    using DeviceFactory = AudioDevice* (*)(const AudioFormat& format, const unsigned& blockBytes);

    unsigned blockBytes = 2048;
    // Channels allowed in the list before CreateChannel without force refuses.
    unsigned maxChannels = 4;
    // Makes the output device at construction and at every unpause; tests put their own here.
    DeviceFactory createDevice = &AudioDevice::Create;
};

class Mixer : public AudioStream
{
public:
    // Pause-mask bits.
    static constexpr unsigned PAUSE_FOCUS = 1;
    static constexpr unsigned PAUSE_CONSOLE = 2;

    // The engine-wide mixer; the application sets it after constructing its mixer and clears it
    // before releasing it. Not an owner.
    static Mixer* Instance;

    // Makes and starts the device; the mixer adopts the device's format.
    Mixer(const AudioFormat& format, const MixerConfig& config);
    // Releases the device first (joining its thread, or letting go of one that a stopped
    // server holds, after a bounded wait), then everything else.
    ~Mixer() override;

    // Device thread: always fills and returns bytes, rendering blocks as they are used up.
    unsigned Read(void* buffer, unsigned bytes) override;

    // Main thread. A new paused channel, or null when the limit is reached without force, the
    // source is null, or no conversion exists from the source's format (without a message).
    WeakPtr<AudioChannel> CreateChannel(AudioSource* source, bool force);
    // CreateChannel, then the channel is unpaused.
    WeakPtr<AudioChannel> Play(AudioSource* source, bool force);
    bool RemoveChannel(AudioChannel* channel);
    // Drops every channel whose group mask shares a bit with mask.
    void StopChannels(std::uint32_t mask);
    void StopAllChannels();
    void AddEffect(AudioEffect* effect);
    bool RemoveEffect(AudioEffect* effect);

    // Sets or clears pause bits; a device pulls blocks only while the mask is 0. Pausing tells
    // the device's thread to end and returns at once (the thread may finish its current write);
    // ended devices are released here and by UpdateDevice. Any thread, serialised by a lock of
    // its own; never call it holding a mixer lock or from the device thread.
    void SetPaused(unsigned bits, bool on);
    unsigned GetPauseMask() const;
    bool HasDevice() const;
    // The current device (null while paused), for tests and diagnostics.
    SmartPtr<AudioDevice> GetDevice() const;
    // Releases devices let go at a pause whose threads have ended, then updates the current one.
    void UpdateDevice();

    // The program-wide time skew that scales the speed of all sound; any thread. Non-finite
    // values count as 1.0, the rest is clamped to 0..EffectScale::MAX_FACTOR.
    void SetTimeSkew(float skew) { m_timeSkew.store(skew, std::memory_order_relaxed); }

    const AudioFormat& GetFormat() const { return m_format; }
    unsigned GetBlockBytes() const { return m_blockBytes; }
    std::size_t GetChannelCount();

private:
    void RenderBlock(float skew);
    void ReleaseStoppedDevices();
    unsigned ChainInputSizes(unsigned size, unsigned& largest);
    void MixChannels(std::int16_t* work, unsigned size);
    void StartDevice();
    float GetClampedSkew() const;

    AudioFormat m_format;
    unsigned m_blockBytes;
    unsigned m_maxChannels;
    MixerConfig::DeviceFactory m_createDevice;
    SmartPtr<AudioDevice> m_device;
    std::vector<SmartPtr<AudioChannel>> m_channels;
    // Audio thread only: channels that ended in this block, released after the list lock.
    std::vector<SmartPtr<AudioChannel>> m_ended;
    std::vector<SmartPtr<AudioEffect>> m_effects;
    std::mutex m_channelMutex;
    std::mutex m_effectMutex;
    // Guards the pause mask and the device field; never taken with the two list locks.
    mutable std::mutex m_pauseMutex;
    unsigned m_pauseMask = 0;
    // Devices let go at a pause until their threads have ended (guarded by the pause lock).
    std::vector<SmartPtr<AudioDevice>> m_retired;
    // Serialises Read between an ending device's thread and the next device's.
    std::mutex m_readMutex;
    std::vector<std::int16_t> m_block;
    // Grow-only room for a skewed block, so blocks at a steady skew never allocate.
    std::vector<std::int16_t> m_work;
    unsigned m_cursor;
    SmartPtr<EffectScale> m_master;
    std::atomic<float> m_timeSkew{1.0f};
};

} // namespace Tarv
