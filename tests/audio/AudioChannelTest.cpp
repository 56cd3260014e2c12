// Channel conversion: the routine table, exact vectors, byte counts per rate, saturation,
// looping and the channel's own effects.
#include "audio/AudioChannel.h"

#include "audio/EffectMute.h"
#include "audio/EffectVolumeShift.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakPtr.h"
#include "tests/audio/TestSources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using AudioTest::Ramp;
using AudioTest::VectorSource;
using Conversion = Tarv::AudioChannel::Conversion;

namespace
{

const Tarv::AudioFormat MONO_22050{1, 22050};

struct Played
{
    unsigned got;
    std::vector<std::int16_t> mix;
};

// Plays source through a fresh unpaused channel into a silent mix of bytes bytes.
Played PlayOnce(Tarv::AudioSource* source, unsigned bytes, bool loop = false,
                Tarv::AudioFormat output = MONO_22050)
{
    Tarv::SmartPtr<Tarv::AudioChannel> channel(new Tarv::AudioChannel(output, source));
    channel->SetPaused(false);
    channel->SetLooping(loop);
    Played played{0, std::vector<std::int16_t>(bytes / 2, 0)};
    played.got = channel->Mix(played.mix.data(), bytes);
    return played;
}

std::vector<std::int16_t> Convert(Conversion conversion, std::vector<std::int16_t> in, unsigned outFrames,
                                  unsigned outChannels = 1)
{
    std::vector<std::int16_t> out(outFrames * outChannels, 0x7777);
    Tarv::AudioChannel::Convert(conversion, out.data(), in.data(), outFrames);
    return out;
}

} // namespace

TEST(AudioChannel, ChoosesTheRoutineForEveryPair)
{
    struct Row { std::uint32_t outCh, outRate, srcCh, srcRate; Conversion expected; };
    const Row rows[] = {
        {1, 22050, 1, 11025, Conversion::RepeatBy2},
        {1, 22050, 1, 22050, Conversion::Direct},
        {1, 22050, 1, 44100, Conversion::AverageBy2},
        {1, 22050, 2, 22050, Conversion::Downmix},
        {1, 22050, 2, 44100, Conversion::DownmixAverageBy2},
        {1, 22050, 2, 11025, Conversion::Unsupported},
        {1, 11025, 1, 44100, Conversion::AverageBy4},
        {1, 11025, 2, 44100, Conversion::DownmixAverageBy4},
        {1, 44100, 1, 11025, Conversion::Unsupported},
        {2, 22050, 1, 22050, Conversion::MonoToStereo},
        {2, 22050, 1, 11025, Conversion::MonoToStereoRepeatBy2},
        {2, 22050, 1, 44100, Conversion::MonoToStereoAverageBy2},
        {2, 11025, 1, 44100, Conversion::Unsupported},
        {2, 22050, 2, 22050, Conversion::Direct},
        {2, 22050, 2, 44100, Conversion::Unsupported},
        {1, 22050, 1, 48000, Conversion::Unsupported},
        {1, 22050, 1, 32000, Conversion::Unsupported},
        {1, 22050, 1, 8000, Conversion::Unsupported},
        {1, 22050, 1, 0, Conversion::Unsupported},
        {1, 22050, 3, 22050, Conversion::Unsupported},
        {1, 22050, 0, 22050, Conversion::Unsupported},
        {1, 48000, 1, 48000, Conversion::Unsupported},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Tarv::AudioChannel::ChooseConversion({row.outCh, row.outRate}, row.srcCh, row.srcRate), row.expected)
            << row.outCh << "/" << row.outRate << " <- " << row.srcCh << "/" << row.srcRate;
}

TEST(AudioChannel, MeansTruncateTowardZero)
{
    EXPECT_EQ(Convert(Conversion::Downmix, {-3, 0, 100, 201, -32768, -32768}, 3), (std::vector<std::int16_t>{-1, 150, -32768}));
    EXPECT_EQ(Convert(Conversion::AverageBy2, {-1, 0, 32767, 32767}, 2), (std::vector<std::int16_t>{0, 32767}));
    EXPECT_EQ(Convert(Conversion::AverageBy4, {1, 1, 1, 0, -1, -1, -1, 0}, 2), (std::vector<std::int16_t>{0, 0}));
    EXPECT_EQ(Convert(Conversion::DownmixAverageBy2, {100, 200, 300, 400, -1, 0, 0, 0}, 2),
              (std::vector<std::int16_t>{250, 0}));
    EXPECT_EQ(Convert(Conversion::DownmixAverageBy4, {8, 8, 8, 8, 8, 8, 8, 7, -7, 0, 0, 0, 0, 0, 0, 0}, 2),
              (std::vector<std::int16_t>{7, 0}));
    EXPECT_EQ(Convert(Conversion::RepeatBy2, {5, -6}, 4), (std::vector<std::int16_t>{5, 5, -6, -6}));
    EXPECT_EQ(Convert(Conversion::MonoToStereo, {5, -6}, 2, 2), (std::vector<std::int16_t>{5, 5, -6, -6}));
    EXPECT_EQ(Convert(Conversion::MonoToStereoRepeatBy2, {5, -6}, 4, 2),
              (std::vector<std::int16_t>{5, 5, 5, 5, -6, -6, -6, -6}));
    EXPECT_EQ(Convert(Conversion::MonoToStereoAverageBy2, {-3, 0, 4, 4}, 2, 2), (std::vector<std::int16_t>{-1, -1, 4, 4}));
}

TEST(AudioChannel, ReadsTheSourceBytesEachRateNeeds)
{
    struct Row { std::uint32_t channels, rate; unsigned expectedRead; };
    for (const Row& row : {Row{1, 11025, 1024}, Row{1, 22050, 2048}, Row{1, 44100, 4096}, Row{2, 22050, 4096},
                           Row{2, 44100, 8192}}) {
        Tarv::SmartPtr<VectorSource> source(new VectorSource(Ramp(20000), row.channels, row.rate));
        const Played played = PlayOnce(source.Get(), 2048);
        EXPECT_EQ(played.got, 2048u) << row.channels << "/" << row.rate;
        EXPECT_EQ(source->Tell(), row.expectedRead) << row.channels << "/" << row.rate;
    }
}

TEST(AudioChannel, ConvertsInPlaceWithoutTouchingLaterInput)
{
    Tarv::SmartPtr<VectorSource> slow(new VectorSource(Ramp(1024), 1, 11025));
    const Played repeated = PlayOnce(slow.Get(), 2048);
    for (unsigned i = 0; i < 1024; ++i)
        ASSERT_EQ(repeated.mix[i], static_cast<std::int16_t>(i / 2)) << i;

    std::vector<std::int16_t> frames(4096 * 2);
    for (std::size_t i = 0; i < frames.size(); ++i)
        frames[i] = static_cast<std::int16_t>(i % 2 == 0 ? i : -static_cast<int>(i) + 1);
    Tarv::SmartPtr<VectorSource> stereo(new VectorSource(frames, 2, 44100));
    const Played downmixed = PlayOnce(stereo.Get(), 2048);
    for (int j = 0; j < 1024; ++j) {
        const int sum = frames[4 * j] + frames[4 * j + 1] + frames[4 * j + 2] + frames[4 * j + 3];
        ASSERT_EQ(downmixed.mix[j], sum / 4) << j;
    }
}

TEST(AudioChannel, MixSaturates)
{
    Tarv::SmartPtr<VectorSource> source(new VectorSource({10000, -10000, 1}, 1, 22050));
    Tarv::SmartPtr<Tarv::AudioChannel> channel(new Tarv::AudioChannel(MONO_22050, source.Get()));
    channel->SetPaused(false);
    std::vector<std::int16_t> mix = {30000, -30000, -1};
    EXPECT_EQ(channel->Mix(mix.data(), 6), 6u);
    EXPECT_EQ(mix, (std::vector<std::int16_t>{32767, -32768, 0}));
}

TEST(AudioChannel, PausedChannelAddsNothingAndReadsNothing)
{
    Tarv::SmartPtr<VectorSource> source(new VectorSource(Ramp(2000, 1), 1, 22050));
    Tarv::SmartPtr<Tarv::AudioChannel> channel(new Tarv::AudioChannel(MONO_22050, source.Get()));
    EXPECT_TRUE(channel->IsPaused());
    std::vector<std::int16_t> mix(1024, 3);
    EXPECT_EQ(channel->Mix(mix.data(), 2048), 2048u);
    EXPECT_EQ(mix, std::vector<std::int16_t>(1024, 3));
    EXPECT_EQ(source->reads, 0);
}

TEST(AudioChannel, LoopingSplicesTheSourceEnd)
{
    Tarv::SmartPtr<VectorSource> source(new VectorSource(Ramp(500, 1), 1, 22050));
    const Played played = PlayOnce(source.Get(), 2048, true);
    EXPECT_EQ(played.got, 2048u);
    EXPECT_EQ(played.mix[499], 500);
    EXPECT_EQ(played.mix[500], 1);
    EXPECT_EQ(played.mix[999], 500);
    EXPECT_EQ(played.mix[1000], 1);
    EXPECT_EQ(played.mix[1023], 24);
    EXPECT_EQ(source->rewinds, 2);

    // Through a converter the loop splices source frames, before the conversion.
    Tarv::SmartPtr<VectorSource> slow(new VectorSource({7, 8, 9}, 1, 11025));
    const Played repeated = PlayOnce(slow.Get(), 16, true);
    EXPECT_EQ(repeated.mix, (std::vector<std::int16_t>{7, 7, 8, 8, 9, 9, 7, 7}));
}

TEST(AudioChannel, OneShotEndsWithWhatIsLeft)
{
    Tarv::SmartPtr<VectorSource> source(new VectorSource(Ramp(250, 1), 1, 22050));
    const Played played = PlayOnce(source.Get(), 2048);
    EXPECT_EQ(played.got, 500u);
    EXPECT_EQ(played.mix[249], 250);
    EXPECT_EQ(played.mix[250], 0);

    // An odd tail through a half-rate converter never writes past the request.
    Tarv::SmartPtr<VectorSource> slow(new VectorSource({1, 2, 3}, 1, 11025));
    std::vector<std::int16_t> mix(5, 0);
    Tarv::SmartPtr<Tarv::AudioChannel> channel(new Tarv::AudioChannel(MONO_22050, slow.Get()));
    channel->SetPaused(false);
    EXPECT_EQ(channel->Mix(mix.data(), 6), 6u);
    EXPECT_EQ(mix, (std::vector<std::int16_t>{1, 1, 2, 0, 0}));
}

TEST(AudioChannel, LoopingSourceThatYieldsNothingEnds)
{
    Tarv::SmartPtr<VectorSource> empty(new VectorSource({}, 1, 22050));
    const Played played = PlayOnce(empty.Get(), 2048, true);
    EXPECT_EQ(played.got, 0u);
    EXPECT_LE(empty->rewinds, 1);
}

TEST(AudioChannel, UnsupportedFormatProducesNothing)
{
    Tarv::SmartPtr<VectorSource> source(new VectorSource(Ramp(4000), 1, 48000));
    const Played played = PlayOnce(source.Get(), 2048);
    EXPECT_EQ(played.got, 0u);
    EXPECT_EQ(source->reads, 0);
    EXPECT_EQ(PlayOnce(nullptr, 2048).got, 0u);
}

TEST(AudioChannel, EffectsRunInOrderAndCanBeRemoved)
{
    Tarv::SmartPtr<VectorSource> source(new VectorSource(std::vector<std::int16_t>(4000, 1000), 1, 22050));
    Tarv::SmartPtr<Tarv::AudioChannel> channel(new Tarv::AudioChannel(MONO_22050, source.Get()));
    channel->SetPaused(false);
    Tarv::SmartPtr<Tarv::EffectVolumeShift> shift(new Tarv::EffectVolumeShift(MONO_22050, 2));
    Tarv::SmartPtr<Tarv::EffectMute> mute(new Tarv::EffectMute(MONO_22050, false));
    channel->AddEffect(shift.Get());
    channel->AddEffect(mute.Get());
    EXPECT_EQ(shift->GetRefCount(), 2);
    std::vector<std::int16_t> mix(4, 0);
    channel->Mix(mix.data(), 8);
    EXPECT_EQ(mix[0], 250);
    mute->SetMuted(true);
    channel->Mix(mix.data(), 8);
    EXPECT_EQ(mix[0], 250);
    EXPECT_TRUE(channel->RemoveEffect(mute.Get()));
    EXPECT_FALSE(channel->RemoveEffect(mute.Get()));
    EXPECT_EQ(mute->GetRefCount(), 1);
    channel->Mix(mix.data(), 8);
    EXPECT_EQ(mix[0], 500);
}

TEST(AudioChannel, ReleasesItsSourceAndWeakPointersReadNull)
{
    VectorSource* raw = new VectorSource(Ramp(10), 1, 22050);
    Tarv::WeakPtr<Tarv::AudioSource> source(raw);
    Tarv::SmartPtr<Tarv::AudioChannel> channel(new Tarv::AudioChannel(MONO_22050, raw));
    Tarv::WeakPtr<Tarv::AudioChannel> weak(channel);
    EXPECT_FALSE(source.IsExpired());
    channel.Reset();
    EXPECT_TRUE(weak.IsExpired());
    EXPECT_TRUE(source.IsExpired());
}
