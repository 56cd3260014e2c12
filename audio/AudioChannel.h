// Tarv::AudioChannel: plays one source inside the mixer, converting its rate and channel count
// to the mixer's format, running its own effects and adding the result with saturation.
#pragma once

#include "audio/AudioEffect.h"
#include "audio/AudioFormat.h"
#include "audio/sources/AudioSource.h"
#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakRefCounter.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace Tarv
{

class AudioChannel : public RefCounter, public WeakRefCounter
{
public:
    // How source samples become output samples. Unsupported covers every rate other than
    // 11025, 22050 and 44100 Hz, channel counts other than 1 and 2, and the pairs no routine
    // serves (for a mono 22050 Hz mixer: stereo 11025 Hz).
    enum class Conversion
    {
        Unsupported,
        Direct,
        AverageBy4,
        AverageBy2,
        RepeatBy2,
        Downmix,
        DownmixAverageBy2,
        DownmixAverageBy4,
        MonoToStereo,
        MonoToStereoRepeatBy2,
        MonoToStereoAverageBy2,
    };

    // Starts paused, not looping, with no effects. A null source makes an unsupported channel.
    AudioChannel(const AudioFormat& output, AudioSource* source);
    ~AudioChannel() override;

    // The conversion for a source format into an output format.
    static Conversion ChooseConversion(const AudioFormat& output, std::uint32_t sourceChannels,
                                       std::uint32_t sourceRate);
    Conversion GetConversion() const { return m_conversion; }
    bool IsSupported() const { return m_conversion != Conversion::Unsupported; }

    // Audio thread: adds up to bytes bytes of output into mix and returns the bytes produced
    // (bytes while paused). Fewer than bytes means the channel has ended.
    unsigned Mix(void* mix, unsigned bytes);
    // Fills the start of scratch with up to bytes bytes in the output format and returns how
    // many. scratch must hold 9 x bytes: the source data is read in behind the output room.
    unsigned ReadConverted(void* scratch, unsigned bytes);

    // Any thread; take the channel's own lock.
    void AddEffect(AudioEffect* effect);
    bool RemoveEffect(AudioEffect* effect);

    // Plain flags, any thread; the audio thread sees a change from its next block.
    void SetLooping(bool looping) { m_looping.store(looping, std::memory_order_relaxed); }
    bool IsLooping() const { return m_looping.load(std::memory_order_relaxed); }
    void SetPaused(bool paused) { m_paused.store(paused, std::memory_order_relaxed); }
    bool IsPaused() const { return m_paused.load(std::memory_order_relaxed); }
    void SetGroupMask(std::uint32_t mask) { m_groupMask.store(mask, std::memory_order_relaxed); }
    std::uint32_t GetGroupMask() const { return m_groupMask.load(std::memory_order_relaxed); }

    // The routines, exposed for exact tests. Each writes outFrames output frames front to back;
    // in may lie behind out in the same buffer as long as it starts at or after out's end.
    static void Convert(Conversion conversion, std::int16_t* out, const std::int16_t* in,
                        unsigned outFrames);

private:
    unsigned FillLooping(std::uint8_t* destination, unsigned wanted);
    unsigned ReadSource(std::uint8_t* destination, unsigned wanted);
    unsigned RunEffects(std::uint8_t* scratch, unsigned bytes, unsigned got);

    Conversion m_conversion = Conversion::Unsupported;
    AudioFormat m_output;
    SmartPtr<AudioSource> m_source;
    std::vector<SmartPtr<AudioEffect>> m_effects;
    std::mutex m_effectMutex;
    std::atomic<bool> m_looping{false};
    std::atomic<bool> m_paused{true};
    std::atomic<std::uint32_t> m_groupMask{0};
    // Grow-only, so blocks of a steady size never allocate.
    std::vector<std::int16_t> m_scratch;
};

} // namespace Tarv
