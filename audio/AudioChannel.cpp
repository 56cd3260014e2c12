// Channel conversion and mixing. Means truncate toward zero and the mix saturates; every size
// is counted in whole frames, so a source or request of odd size never overruns the mix.
#include "audio/AudioChannel.h"

#include "audio/CountedList.h"

#include <algorithm>
#include <cstring>

namespace Tarv
{

namespace
{

// 0: source four times the output rate, 1: twice, 2: equal, 3: half, 4: a quarter, -1: none.
int GetRateMode(std::uint32_t outputRate, std::uint32_t sourceRate)
{
    auto known = [](std::uint32_t rate) { return rate == 11025 || rate == 22050 || rate == 44100; };
    if (!known(outputRate) || !known(sourceRate))
        return -1;
    if (sourceRate == outputRate * 4)
        return 0;
    if (sourceRate == outputRate * 2)
        return 1;
    if (sourceRate == outputRate)
        return 2;
    if (sourceRate * 2 == outputRate)
        return 3;
    return 4;
}

// Source frames needed for outFrames output frames in a rate mode.
unsigned SourceFramesFor(int rateMode, unsigned outFrames)
{
    switch (rateMode) {
    case 0: return outFrames * 4;
    case 1: return outFrames * 2;
    case 3: return (outFrames + 1) / 2;
    case 4: return (outFrames + 3) / 4;
    default: return outFrames;
    }
}

// Output frames that gotFrames source frames make in a rate mode.
unsigned OutputFramesFrom(int rateMode, unsigned gotFrames)
{
    switch (rateMode) {
    case 0: return gotFrames / 4;
    case 1: return gotFrames / 2;
    case 3: return gotFrames * 2;
    case 4: return gotFrames * 4;
    default: return gotFrames;
    }
}

std::int16_t Mean(std::int32_t sum, std::int32_t count)
{
    return static_cast<std::int16_t>(sum / count);
}

} // namespace

AudioChannel::AudioChannel(const AudioFormat& output, AudioSource* source)
    : m_output(output), m_source(source)
{
    if (source != nullptr)
        m_conversion = ChooseConversion(output, source->GetChannels(), source->GetRate());
}

AudioChannel::~AudioChannel()
{
    m_effects.clear();
    m_source.Reset();
}

AudioChannel::Conversion AudioChannel::ChooseConversion(const AudioFormat& output,
                                                        std::uint32_t sourceChannels,
                                                        std::uint32_t sourceRate)
{
    static const Conversion table[3][5] = {
        {Conversion::AverageBy4, Conversion::AverageBy2, Conversion::Direct, Conversion::RepeatBy2,
         Conversion::Unsupported},
        {Conversion::DownmixAverageBy4, Conversion::DownmixAverageBy2, Conversion::Downmix,
         Conversion::Unsupported, Conversion::Unsupported},
        {Conversion::Unsupported, Conversion::MonoToStereoAverageBy2, Conversion::MonoToStereo,
         Conversion::MonoToStereoRepeatBy2, Conversion::Unsupported},
    };
    const bool knownCounts = (sourceChannels == 1 || sourceChannels == 2) &&
                             (output.channels == 1 || output.channels == 2);
    const int rateMode = GetRateMode(output.rate, sourceRate);
    if (!knownCounts || rateMode < 0)
        return Conversion::Unsupported;
    const int channelMode = sourceChannels == output.channels ? 0 : sourceChannels > output.channels ? 1 : 2;
    // The same-channel routines treat data as one run of samples, which is exact only for mono.
    if (channelMode == 0 && output.channels == 2 && rateMode != 2)
        return Conversion::Unsupported;
    return table[channelMode][rateMode];
}

void AudioChannel::Convert(Conversion conversion, std::int16_t* out, const std::int16_t* in,
                           unsigned outFrames)
{
    switch (conversion) {
    case Conversion::AverageBy4:
        for (unsigned j = 0; j < outFrames; ++j)
            out[j] = Mean(in[4 * j] + in[4 * j + 1] + in[4 * j + 2] + in[4 * j + 3], 4);
        break;
    case Conversion::AverageBy2:
    case Conversion::Downmix:
        for (unsigned j = 0; j < outFrames; ++j)
            out[j] = Mean(in[2 * j] + in[2 * j + 1], 2);
        break;
    case Conversion::RepeatBy2:
        for (unsigned j = 0; j < outFrames; ++j)
            out[j] = in[j / 2];
        break;
    case Conversion::DownmixAverageBy2:
        for (unsigned j = 0; j < outFrames; ++j)
            out[j] = Mean(in[4 * j] + in[4 * j + 1] + in[4 * j + 2] + in[4 * j + 3], 4);
        break;
    case Conversion::DownmixAverageBy4: {
        for (unsigned j = 0; j < outFrames; ++j) {
            std::int32_t sum = 0;
            for (unsigned k = 0; k < 8; ++k)
                sum += in[8 * j + k];
            out[j] = Mean(sum, 8);
        }
        break;
    }
    case Conversion::MonoToStereo:
        for (unsigned j = 0; j < outFrames; ++j) {
            const std::int16_t s = in[j];
            out[2 * j] = s;
            out[2 * j + 1] = s;
        }
        break;
    case Conversion::MonoToStereoRepeatBy2:
        for (unsigned j = 0; j < outFrames; ++j) {
            const std::int16_t s = in[j / 2];
            out[2 * j] = s;
            out[2 * j + 1] = s;
        }
        break;
    case Conversion::MonoToStereoAverageBy2:
        for (unsigned j = 0; j < outFrames; ++j) {
            const std::int16_t m = Mean(in[2 * j] + in[2 * j + 1], 2);
            out[2 * j] = m;
            out[2 * j + 1] = m;
        }
        break;
    case Conversion::Direct:
    case Conversion::Unsupported:
        break;
    }
}

unsigned AudioChannel::ReadSource(std::uint8_t* destination, unsigned wanted)
{
    if (IsLooping())
        return FillLooping(destination, wanted);
    const unsigned got = m_source->Read(destination, wanted);
    return std::min(got, wanted);
}

unsigned AudioChannel::FillLooping(std::uint8_t* destination, unsigned wanted)
{
    unsigned total = 0;
    bool justRewound = false;
    while (total < wanted) {
        const unsigned n = std::min(m_source->Read(destination + total, wanted - total), wanted - total);
        // A source that yields nothing even from its start would turn this loop forever: the
        // channel ends with what it has instead.
        if (n == 0 && justRewound)
            break;
        total += n;
        justRewound = false;
        if (total < wanted) {
            m_source->Rewind();
            justRewound = true;
        }
    }
    return total;
}

unsigned AudioChannel::ReadConverted(void* scratch, unsigned bytes)
{
    if (!IsSupported() || scratch == nullptr)
        return 0;
    std::uint8_t* bytesOut = static_cast<std::uint8_t*>(scratch);
    if (m_conversion == Conversion::Direct)
        return ReadSource(bytesOut, bytes);

    const int rateMode = GetRateMode(m_output.rate, m_source->GetRate());
    const unsigned outFrameBytes = m_output.channels * 2;
    const unsigned sourceFrameBytes = m_source->GetChannels() * 2;
    const unsigned outFrames = bytes / outFrameBytes;
    const unsigned room = outFrames * outFrameBytes;
    const unsigned sourceBytes = SourceFramesFor(rateMode, outFrames) * sourceFrameBytes;

    const unsigned got = ReadSource(bytesOut + room, sourceBytes);
    if (got == 0)
        return 0;
    const unsigned frames = std::min(OutputFramesFrom(rateMode, got / sourceFrameBytes), outFrames);
    Convert(m_conversion, reinterpret_cast<std::int16_t*>(bytesOut),
            reinterpret_cast<const std::int16_t*>(bytesOut + room), frames);
    return frames * outFrameBytes;
}

unsigned AudioChannel::RunEffects(std::uint8_t* scratch, unsigned bytes, unsigned got)
{
    std::lock_guard<std::mutex> lock(m_effectMutex);
    return ProcessEffectChain(m_effects, scratch, bytes, got);
}

unsigned AudioChannel::Mix(void* mix, unsigned bytes)
{
    if (IsPaused())
        return bytes;
    if (mix == nullptr || bytes == 0)
        return 0;
    // Room for the output and up to eight times as much source data (downmix at a quarter rate).
    const std::size_t samples = (static_cast<std::size_t>(bytes) * 9 + 1) / 2;
    if (m_scratch.size() < samples)
        m_scratch.resize(samples);
    std::uint8_t* scratch = reinterpret_cast<std::uint8_t*>(m_scratch.data());

    unsigned got = ReadConverted(scratch, bytes);
    if (got == 0)
        return 0;
    got = std::min(RunEffects(scratch, bytes, got), bytes);

    std::int16_t* out = static_cast<std::int16_t*>(mix);
    const std::int16_t* in = m_scratch.data();
    const unsigned count = got / 2;
    for (unsigned i = 0; i < count; ++i) {
        const std::int32_t sum = static_cast<std::int32_t>(out[i]) + in[i];
        out[i] = static_cast<std::int16_t>(std::clamp(sum, -32768, 32767));
    }
    return got;
}

void AudioChannel::AddEffect(AudioEffect* effect)
{
    if (effect == nullptr)
        return;
    std::lock_guard<std::mutex> lock(m_effectMutex);
    m_effects.emplace_back(effect);
}

bool AudioChannel::RemoveEffect(AudioEffect* effect)
{
    SmartPtr<AudioEffect> removed;
    std::lock_guard<std::mutex> lock(m_effectMutex);
    return UnlinkFirst(m_effects, effect, removed);
}

} // namespace Tarv
