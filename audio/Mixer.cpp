// The mixer's block rendering, channel and effect lists and the pause mask. Lock order: the
// effect-list mutex, then the channel-list mutex, then a channel's own mutex; main-thread calls
// take one at a time, and the pause lock is never held with any of them.
#include "audio/Mixer.h"

#include "audio/CountedList.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Tarv
{

Mixer* Mixer::Instance = nullptr;

Mixer::Mixer(const AudioFormat& format, const MixerConfig& config)
    : m_format(format),
      m_blockBytes(config.blockBytes & ~1u),
      m_maxChannels(config.maxChannels),
      m_createDevice(config.createDevice),
      m_block(m_blockBytes / 2),
      m_cursor(m_blockBytes)
{
    const float skew = 1.0f;
    m_master = new EffectScale(m_format, skew);
    std::lock_guard<std::mutex> lock(m_pauseMutex);
    if (m_createDevice != nullptr)
        m_device = m_createDevice(m_format, m_blockBytes);
    if (m_device) {
        m_format = m_device->GetFormat();
        m_master = new EffectScale(m_format, skew);
        StartDevice();
    }
}

Mixer::~Mixer()
{
    {
        std::lock_guard<std::mutex> lock(m_pauseMutex);
        m_device.Reset();
        // Their threads may still be finishing a write; they read from this mixer until joined,
        // or until let go by a device whose server stopped answering (its stop wait counts from
        // the pause, so devices retired long ago cost no further wait).
        m_retired.clear();
    }
    if (Instance == this)
        Instance = nullptr;
    m_master.Reset();
    m_effects.clear();
    m_channels.clear();
}

void Mixer::StartDevice()
{
    // Every field is set by now: the device thread may call Read from here on.
    m_device->Start(this);
}

float Mixer::GetClampedSkew() const
{
    const float skew = m_timeSkew.load(std::memory_order_relaxed);
    if (!std::isfinite(skew))
        return 1.0f;
    return std::clamp(skew, 0.0f, EffectScale::MAX_FACTOR);
}

unsigned Mixer::Read(void* buffer, unsigned bytes)
{
    if (bytes == 0 || buffer == nullptr || m_blockBytes == 0)
        return 0;
    // A device let go at a pause may still be in its last Read when the next one starts.
    std::lock_guard<std::mutex> reading(m_readMutex);
    const float skew = GetClampedSkew();
    std::uint8_t* out = static_cast<std::uint8_t*>(buffer);
    const std::uint8_t* block = reinterpret_cast<const std::uint8_t*>(m_block.data());
    unsigned served = 0;
    while (served < bytes) {
        if (m_cursor >= m_blockBytes) {
            RenderBlock(skew);
            m_cursor = 0;
        }
        const unsigned n = std::min(bytes - served, m_blockBytes - m_cursor);
        std::memcpy(out + served, block + m_cursor, n);
        m_cursor += n;
        served += n;
    }
    return bytes;
}

unsigned Mixer::ChainInputSizes(unsigned size, unsigned& largest)
{
    // An effect may ask for more input than it gives; bound what a hostile one can demand.
    const unsigned limit = m_blockBytes * (static_cast<unsigned>(EffectScale::MAX_FACTOR) + 1);
    for (auto it = m_effects.rbegin(); it != m_effects.rend(); ++it) {
        size = std::min((*it)->GetInputSize(size), limit) & ~1u;
        largest = std::max(largest, size);
    }
    return size;
}

void Mixer::MixChannels(std::int16_t* work, unsigned size)
{
    {
        std::lock_guard<std::mutex> lock(m_channelMutex);
        for (std::size_t i = 0; i < m_channels.size();) {
            if (m_channels[i]->Mix(work, size) < size) {
                m_ended.push_back(std::move(m_channels[i]));
                m_channels.erase(m_channels.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                ++i;
            }
        }
    }
    // Ended channels are released outside the list lock, as RemoveChannel does: closing a
    // source may be slow, and the main thread must not wait on it to start or stop a sound.
    m_ended.clear();
}

void Mixer::RenderBlock(float skew)
{
    std::fill(m_block.begin(), m_block.end(), 0);
    const bool skewed = skew != 1.0f;
    unsigned size = m_blockBytes;
    unsigned largest = m_blockBytes;
    if (skewed) {
        m_master->SetFactor(skew);
        size = m_master->GetInputSize(m_blockBytes);
        largest = std::max(largest, size);
    }

    std::lock_guard<std::mutex> lock(m_effectMutex);
    size = ChainInputSizes(size, largest);
    std::int16_t* work = m_block.data();
    if (largest != m_blockBytes) {
        if (m_work.size() < largest / 2)
            m_work.resize(largest / 2);
        std::fill(m_work.begin(), m_work.begin() + largest / 2, 0);
        work = m_work.data();
    }
    MixChannels(work, size);
    size = ProcessEffectChain(m_effects, work, size, size);
    if (skewed)
        m_master->Process(work, std::min(size, largest), std::min(size, largest));
    if (work != m_block.data())
        std::memcpy(m_block.data(), work, m_blockBytes);
}

WeakPtr<AudioChannel> Mixer::CreateChannel(AudioSource* source, bool force)
{
    SmartPtr<AudioSource> hold(source);
    if (!hold)
        return WeakPtr<AudioChannel>();
    SmartPtr<AudioChannel> channel(new AudioChannel(m_format, source));
    // A format no routine converts would only ever play silence: refuse it up front.
    if (!channel->IsSupported())
        return WeakPtr<AudioChannel>();
    std::lock_guard<std::mutex> lock(m_channelMutex);
    if (!force && m_channels.size() >= m_maxChannels)
        return WeakPtr<AudioChannel>();
    m_channels.push_back(channel);
    return WeakPtr<AudioChannel>(channel);
}

WeakPtr<AudioChannel> Mixer::Play(AudioSource* source, bool force)
{
    WeakPtr<AudioChannel> weak = CreateChannel(source, force);
    if (SmartPtr<AudioChannel> channel = weak.Lock())
        channel->SetPaused(false);
    return weak;
}

bool Mixer::RemoveChannel(AudioChannel* channel)
{
    // Released after the lock: its source may be costly to close.
    SmartPtr<AudioChannel> removed;
    std::lock_guard<std::mutex> lock(m_channelMutex);
    return UnlinkFirst(m_channels, channel, removed);
}

void Mixer::StopChannels(std::uint32_t mask)
{
    std::lock_guard<std::mutex> lock(m_channelMutex);
    m_channels.erase(std::remove_if(m_channels.begin(), m_channels.end(),
                                    [mask](const SmartPtr<AudioChannel>& channel) {
                                        return (channel->GetGroupMask() & mask) != 0;
                                    }),
                     m_channels.end());
}

void Mixer::StopAllChannels()
{
    std::lock_guard<std::mutex> lock(m_channelMutex);
    m_channels.clear();
}

void Mixer::AddEffect(AudioEffect* effect)
{
    if (effect == nullptr)
        return;
    std::lock_guard<std::mutex> lock(m_effectMutex);
    m_effects.emplace_back(effect);
}

bool Mixer::RemoveEffect(AudioEffect* effect)
{
    SmartPtr<AudioEffect> removed;
    std::lock_guard<std::mutex> lock(m_effectMutex);
    return UnlinkFirst(m_effects, effect, removed);
}

void Mixer::SetPaused(unsigned bits, bool on)
{
    std::lock_guard<std::mutex> lock(m_pauseMutex);
    m_pauseMask = on ? (m_pauseMask | bits) : (m_pauseMask & ~bits);
    if (m_pauseMask != 0 && m_device) {
        // The device thread may be inside a blocking write for up to a block: it is told to
        // stop and released once it has ended, so the caller never waits for the write.
        m_device->RequestStop();
        m_retired.push_back(m_device);
        m_device.Reset();
    } else if (m_pauseMask == 0 && !m_device && m_createDevice != nullptr) {
        m_device = m_createDevice(m_format, m_blockBytes);
        if (m_device)
            StartDevice();
    }
    ReleaseStoppedDevices();
}

void Mixer::ReleaseStoppedDevices()
{
    // Their threads have ended, so releasing them joins at once.
    m_retired.erase(std::remove_if(m_retired.begin(), m_retired.end(),
                                   [](const SmartPtr<AudioDevice>& device) { return device->HasStopped(); }),
                    m_retired.end());
}

unsigned Mixer::GetPauseMask() const
{
    std::lock_guard<std::mutex> lock(m_pauseMutex);
    return m_pauseMask;
}

bool Mixer::HasDevice() const
{
    std::lock_guard<std::mutex> lock(m_pauseMutex);
    return static_cast<bool>(m_device);
}

SmartPtr<AudioDevice> Mixer::GetDevice() const
{
    std::lock_guard<std::mutex> lock(m_pauseMutex);
    return m_device;
}

void Mixer::UpdateDevice()
{
    {
        std::lock_guard<std::mutex> lock(m_pauseMutex);
        ReleaseStoppedDevices();
    }
    SmartPtr<AudioDevice> device = GetDevice();
    if (device)
        device->Update();
}

std::size_t Mixer::GetChannelCount()
{
    std::lock_guard<std::mutex> lock(m_channelMutex);
    return m_channels.size();
}

} // namespace Tarv
