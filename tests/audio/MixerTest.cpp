// The mixer pulled by hand through a device without a thread: block serving, the channel limit
// and lifetime, the effect chain, time skew and the pause mask.
#include "audio/Mixer.h"

#include "audio/EffectMute.h"
#include "audio/EffectScale.h"
#include "audio/sources/AudioBuffer.h"
#include "audio/sources/AudioPosition.h"
#include "audio/EffectVolumeShift.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakPtr.h"
#include "tests/audio/TestSources.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <cstdint>
#include <limits>
#include <vector>

using AudioTest::ManualDevice;
using AudioTest::PullingDevice;
using AudioTest::Ramp;
using AudioTest::VectorSource;

namespace
{

const Tarv::AudioFormat MONO_22050{1, 22050};

Tarv::SmartPtr<Tarv::Mixer> MakeMixer(unsigned maxChannels = 4)
{
    Tarv::MixerConfig config;
    config.maxChannels = maxChannels;
    config.createDevice = &ManualDevice::Create;
    return Tarv::SmartPtr<Tarv::Mixer>(new Tarv::Mixer(MONO_22050, config));
}

std::vector<std::int16_t> Pull(Tarv::Mixer& mixer, unsigned bytes)
{
    std::vector<std::int16_t> out(bytes / 2, 0x5555);
    EXPECT_EQ(mixer.Read(out.data(), bytes), bytes);
    return out;
}

Tarv::SmartPtr<VectorSource> Constant(std::int16_t value, std::size_t samples, std::uint32_t rate = 22050)
{
    return Tarv::SmartPtr<VectorSource>(new VectorSource(std::vector<std::int16_t>(samples, value), 1, rate));
}

// Counts the input sizes it is asked for.
class RecordingEffect : public Tarv::AudioEffect
{
public:
    RecordingEffect() : Tarv::AudioEffect(MONO_22050) {}
    unsigned Process(void*, unsigned requestedBytes, unsigned validBytes) override
    {
        requested.push_back(requestedBytes);
        return validBytes;
    }
    bool IsFinished() const override { return finishAfter > 0 && requested.size() >= finishAfter; }
    std::vector<unsigned> requested;
    std::size_t finishAfter = 0;
};

class MixerTest : public ::testing::Test
{
protected:
    std::vector<std::int16_t> Pull(unsigned bytes) { return ::Pull(*m_mixer, bytes); }

    Tarv::SmartPtr<Tarv::Mixer> m_mixer = MakeMixer();
};

} // namespace

// Blocks of 1024 samples are served across reads of 500: each read continues where the last ended.
TEST_F(MixerTest, ServesBlocksAcrossReadBoundaries)
{
    Tarv::SmartPtr<VectorSource> source(new VectorSource(Ramp(4096, 1), 1, 22050));
    m_mixer->Play(source.Get(), false);
    std::vector<std::int16_t> out;
    for (const unsigned read : {2048u, 2048u, 4096u}) {
        const std::vector<std::int16_t> block = Pull(1000);
        out.insert(out.end(), block.begin(), block.end());
        EXPECT_EQ(source->Tell(), read);
    }
    EXPECT_EQ(out, Ramp(1500, 1));
}

// A silent block still passes the chain; a removed or finished effect is unlinked.
TEST_F(MixerTest, EffectChainRunsOnSilenceAndLetsGoOfItsEffects)
{
    Tarv::SmartPtr<RecordingEffect> removed(new RecordingEffect());
    Tarv::SmartPtr<RecordingEffect> finishing(new RecordingEffect());
    finishing->finishAfter = 2;
    m_mixer->AddEffect(removed.Get());
    m_mixer->AddEffect(finishing.Get());
    EXPECT_EQ(Pull(2048), std::vector<std::int16_t>(1024, 0));
    EXPECT_EQ(removed->requested, std::vector<unsigned>{2048});
    EXPECT_TRUE(m_mixer->RemoveEffect(removed.Get()));
    EXPECT_FALSE(m_mixer->RemoveEffect(removed.Get()));
    Pull(2048 * 4);
    EXPECT_EQ(removed->requested.size(), 1u);
    EXPECT_EQ(finishing->requested.size(), 2u);
    EXPECT_EQ(finishing->GetRefCount(), 1);
}

TEST_F(MixerTest, MixesChannelsAndMasterVolume)
{
    m_mixer->Play(Constant(1000, 5000).Get(), false);
    m_mixer->Play(Constant(-3000, 5000).Get(), false);
    Tarv::SmartPtr<Tarv::EffectVolumeShift> volume(new Tarv::EffectVolumeShift(MONO_22050, 1));
    m_mixer->AddEffect(volume.Get());
    EXPECT_EQ(Pull(2048), std::vector<std::int16_t>(1024, -1000));
}

TEST_F(MixerTest, ChannelLimitCountsPausedChannelsAndForceIgnoresIt)
{
    Tarv::SmartPtr<VectorSource> source = Constant(1, 100);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(m_mixer->CreateChannel(source.Get(), false).IsExpired());
    EXPECT_TRUE(m_mixer->CreateChannel(source.Get(), false).IsExpired());
    EXPECT_TRUE(m_mixer->Play(source.Get(), false).IsExpired());
    EXPECT_FALSE(m_mixer->Play(source.Get(), true).IsExpired());
    EXPECT_EQ(m_mixer->GetChannelCount(), 5u);
}

TEST_F(MixerTest, RefusesSourcesWithoutAConversionSilently)
{
    Tarv::SmartPtr<VectorSource> odd(new VectorSource(Ramp(100), 1, 48000));
    Tarv::SmartPtr<VectorSource> stereo11k(new VectorSource(Ramp(100), 2, 11025));
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    EXPECT_TRUE(m_mixer->Play(odd.Get(), true).IsExpired());
    EXPECT_TRUE(m_mixer->Play(stereo11k.Get(), true).IsExpired());
    EXPECT_TRUE(m_mixer->Play(nullptr, true).IsExpired());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(m_mixer->GetChannelCount(), 0u);
}

// A source whose destructor asks the mixer for its channel list, as closing a sound may touch
// the mixer: it must not find the list locked by the audio thread that let the channel go.
class ListCheckingSource : public VectorSource
{
public:
    ListCheckingSource(Tarv::Mixer& mixer, bool& unlocked)
        : VectorSource(std::vector<std::int16_t>(10, 1), 1, 22050), m_mixer(mixer), m_unlocked(unlocked) {}
    ~ListCheckingSource() override
    {
        auto count = std::async(std::launch::async, [this] { return m_mixer.GetChannelCount(); });
        m_unlocked = count.wait_for(std::chrono::seconds(1)) == std::future_status::ready;
    }

private:
    Tarv::Mixer& m_mixer;
    bool& m_unlocked;
};

TEST_F(MixerTest, EndedChannelsAreReleasedOutsideTheListLock)
{
    bool unlocked = false;
    m_mixer->Play(Tarv::SmartPtr<VectorSource>(new ListCheckingSource(*m_mixer, unlocked)).Get(), true);
    Pull(2048);
    EXPECT_EQ(m_mixer->GetChannelCount(), 0u);
    EXPECT_TRUE(unlocked);
}

TEST_F(MixerTest, OneShotLeavesInTheBlockItEndsAndLoopStays)
{
    Tarv::WeakPtr<Tarv::AudioChannel> oneShot = m_mixer->Play(Constant(100, 1500).Get(), true);
    Tarv::WeakPtr<Tarv::AudioChannel> loop = m_mixer->CreateChannel(Constant(10, 300).Get(), true);
    {
        Tarv::SmartPtr<Tarv::AudioChannel> looping = loop.Lock();
        ASSERT_TRUE(looping);
        looping->SetLooping(true);
        looping->SetPaused(false);
    }
    std::vector<std::int16_t> block = Pull(2048);
    EXPECT_EQ(block[0], 110);
    EXPECT_FALSE(oneShot.IsExpired());
    block = Pull(2048);
    EXPECT_EQ(block[475], 110);
    EXPECT_EQ(block[476], 10);
    EXPECT_TRUE(oneShot.IsExpired());
    for (int i = 0; i < 10; ++i)
        Pull(2048);
    EXPECT_FALSE(loop.IsExpired());
    EXPECT_EQ(m_mixer->GetChannelCount(), 1u);
}

TEST_F(MixerTest, RemoveAndStopChannels)
{
    Tarv::SmartPtr<VectorSource> source = Constant(1, 100);
    Tarv::WeakPtr<Tarv::AudioChannel> a = m_mixer->CreateChannel(source.Get(), true);
    Tarv::WeakPtr<Tarv::AudioChannel> b = m_mixer->CreateChannel(source.Get(), true);
    Tarv::WeakPtr<Tarv::AudioChannel> c = m_mixer->CreateChannel(source.Get(), true);
    {
        Tarv::SmartPtr<Tarv::AudioChannel> lockedA = a.Lock(), lockedB = b.Lock();
        ASSERT_TRUE(lockedA && lockedB);
        lockedA->SetGroupMask(1);
        lockedB->SetGroupMask(6);
    }
    EXPECT_FALSE(m_mixer->RemoveChannel(nullptr));
    m_mixer->StopChannels(0);
    EXPECT_EQ(m_mixer->GetChannelCount(), 3u);
    m_mixer->StopChannels(4);
    EXPECT_TRUE(b.IsExpired());
    EXPECT_FALSE(a.IsExpired());
    EXPECT_TRUE(m_mixer->RemoveChannel(a.Lock().Get()));
    EXPECT_TRUE(a.IsExpired());
    Tarv::SmartPtr<Tarv::AudioChannel> outside(new Tarv::AudioChannel(MONO_22050, source.Get()));
    EXPECT_FALSE(m_mixer->RemoveChannel(outside.Get()));
    m_mixer->StopAllChannels();
    EXPECT_TRUE(c.IsExpired());
    EXPECT_EQ(source->GetRefCount(), 2);
}

// Double skew mixes twice as much into a cleared buffer; half skew stretches half a block.
TEST_F(MixerTest, TimeSkewResamplesTheBlock)
{
    const struct { float skew; unsigned read; std::vector<std::int16_t> at0to2; std::int16_t last; } cases[] = {
        {2.0f, 4096u, {0, 1, 3}, 2045}, {0.5f, 1024u, {0, 0, 1}, 511}};
    for (const auto& c : cases) {
        m_mixer = MakeMixer();
        Tarv::SmartPtr<VectorSource> source(new VectorSource(Ramp(10000), 1, 22050));
        m_mixer->Play(source.Get(), true);
        m_mixer->SetTimeSkew(c.skew);
        const std::vector<std::int16_t> block = Pull(2048);
        EXPECT_EQ(source->Tell(), c.read) << c.skew;
        EXPECT_EQ(std::vector<std::int16_t>(block.begin(), block.begin() + 3), c.at0to2) << c.skew;
        EXPECT_EQ(block[1023], c.last) << c.skew;
    }
}

TEST_F(MixerTest, HostileSkewsAreClamped)
{
    Tarv::SmartPtr<VectorSource> source(new VectorSource(Ramp(30000), 1, 22050));
    m_mixer->Play(source.Get(), true);
    const float skews[] = {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                           1e9f};
    for (float skew : skews) {
        m_mixer->SetTimeSkew(skew);
        Pull(2048);
    }
    // NaN and infinity play at normal speed; 1e9 reads at most the largest factor's worth.
    EXPECT_LE(source->Tell(), 2048u * 2 + 2048u * 16 + 2u);
    m_mixer->SetTimeSkew(1.0f);
    Pull(2048);
}

TEST_F(MixerTest, PauseMaskReleasesAndRemakesTheDevice)
{
    const int createdBefore = ManualDevice::s_created;
    EXPECT_TRUE(m_mixer->HasDevice());
    Tarv::SmartPtr<VectorSource> source(new VectorSource(Ramp(8192, 1), 1, 22050));
    m_mixer->Play(source.Get(), true);
    Pull(1000);
    m_mixer->SetPaused(Tarv::Mixer::PAUSE_FOCUS, true);
    EXPECT_FALSE(m_mixer->HasDevice());
    m_mixer->SetPaused(Tarv::Mixer::PAUSE_CONSOLE, true);
    m_mixer->SetPaused(Tarv::Mixer::PAUSE_FOCUS, false);
    EXPECT_FALSE(m_mixer->HasDevice());
    EXPECT_EQ(m_mixer->GetPauseMask(), Tarv::Mixer::PAUSE_CONSOLE);
    m_mixer->SetPaused(Tarv::Mixer::PAUSE_CONSOLE, false);
    ASSERT_TRUE(m_mixer->HasDevice());
    EXPECT_EQ(ManualDevice::s_created - createdBefore, 1);
    Tarv::SmartPtr<Tarv::AudioDevice> device = m_mixer->GetDevice();
    EXPECT_EQ(static_cast<ManualDevice*>(device.Get())->GetStream(), m_mixer.Get());
    // The rest of the half-served block comes first.
    std::vector<std::int16_t> rest = Pull(2);
    EXPECT_EQ(rest[0], 501);
    m_mixer->UpdateDevice();
    EXPECT_EQ(static_cast<ManualDevice*>(device.Get())->updates, 1);
}

TEST_F(MixerTest, DestructionReleasesDeviceChannelsAndEffects)
{
    const int aliveBefore = ManualDevice::s_alive;
    Tarv::SmartPtr<VectorSource> source = Constant(1, 100);
    Tarv::SmartPtr<Tarv::EffectMute> mute(new Tarv::EffectMute(MONO_22050, false));
    Tarv::Mixer::Instance = m_mixer.Get();
    Tarv::WeakPtr<Tarv::AudioChannel> channel = m_mixer->Play(source.Get(), true);
    m_mixer->AddEffect(mute.Get());
    m_mixer.Reset();
    EXPECT_EQ(Tarv::Mixer::Instance, nullptr);
    EXPECT_EQ(ManualDevice::s_alive, aliveBefore - 1);
    EXPECT_TRUE(channel.IsExpired());
    EXPECT_EQ(mute->GetRefCount(), 1);
    EXPECT_EQ(source->GetRefCount(), 1);
}

// Run under ThreadSanitizer (tools/dev/test --tsan): the main thread plays, stops, pauses and
// changes effects while the device thread renders blocks as fast as it can.
TEST(MixerStress, MainThreadChurnsWhileTheDevicePulls)
{
    Tarv::MixerConfig config;
    config.createDevice = &PullingDevice::Create;
    Tarv::SmartPtr<Tarv::Mixer> mixer(new Tarv::Mixer(MONO_22050, config));
    Tarv::SmartPtr<Tarv::AudioBuffer> shared(Tarv::AudioBuffer::Create(new VectorSource(Ramp(3000), 1, 22050)));
    Tarv::SmartPtr<VectorSource> stereo(new VectorSource(Ramp(9000), 2, 44100));
    Tarv::SmartPtr<Tarv::EffectMute> mute(new Tarv::EffectMute(MONO_22050, false));
    Tarv::SmartPtr<Tarv::EffectVolumeShift> volume(new Tarv::EffectVolumeShift(MONO_22050, 1));
    const long pulledBefore = PullingDevice::s_pulled.load();
    std::vector<Tarv::WeakPtr<Tarv::AudioChannel>> playing;
    for (int i = 0; i < 3000; ++i) {
        Tarv::SmartPtr<Tarv::AudioPosition> position(new Tarv::AudioPosition(shared.Get()));
        playing.push_back(mixer->CreateChannel(position.Get(), i % 3 == 0));
        if (Tarv::SmartPtr<Tarv::AudioChannel> channel = playing.back().Lock()) {
            channel->SetLooping(i % 5 == 0);
            channel->AddEffect(mute.Get());
            channel->SetPaused(false);
        }
        if (i % 7 == 0)
            mixer->Play(stereo.Get(), true);
        if (i % 4 == 0 && !playing.empty()) {
            if (Tarv::SmartPtr<Tarv::AudioChannel> channel = playing.front().Lock()) {
                channel->RemoveEffect(mute.Get());
                mixer->RemoveChannel(channel.Get());
            }
            playing.erase(playing.begin());
        }
        mute->SetMuted(i % 2 == 0);
        volume->SetShift(static_cast<unsigned>(i % 17));
        if (i % 3 == 0)
            mixer->AddEffect(volume.Get());
        else
            mixer->RemoveEffect(volume.Get());
        mixer->SetTimeSkew(i % 11 == 0 ? 1.5f : 1.0f);
        if (i % 50 == 0)
            mixer->SetPaused(Tarv::Mixer::PAUSE_FOCUS, true);
        if (i % 50 == 25)
            mixer->SetPaused(Tarv::Mixer::PAUSE_FOCUS, false);
        if (i % 97 == 0)
            mixer->StopAllChannels();
    }
    mixer->SetPaused(Tarv::Mixer::PAUSE_FOCUS, false);
    // On a loaded machine the device thread may not have run yet: give it a bounded chance.
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return PullingDevice::s_pulled.load() > pulledBefore; }, 5000));
    mixer.Reset();
    EXPECT_EQ(shared->GetRefCount(), 1);
    EXPECT_EQ(mute->GetRefCount(), 1);
}
