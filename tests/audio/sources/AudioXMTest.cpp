// The module source: opening through the file system and the factory, endless reads of any
// size, rewind and seek that leave the song going on, and endless play through the mixer.
#include "audio/sources/AudioXM.h"

#include "audio/Mixer.h"
#include "audio/sources/AudioBuffer.h"
#include "audio/sources/AudioFactory.h"
#include "engine/core/SmartPtr.h"
#include "engine/core/WeakPtr.h"
#include "engine/vfs/Vfs.h"
#include "tests/audio/TestSources.h"
#include "tests/audio/TestTones.h"
#include "tests/engine/vfs/TestFiles.h"
#include "tools/xm/XmFixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace
{

class AudioXMTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : {"tone", "anchor"}) {
            Tarv::XmModuleDesc module;
            ASSERT_TRUE(Tarv::MakeXmFixture(name, module));
            Tarv::XmWriter writer;
            ASSERT_TRUE(TestFiles::WriteBytes(m_dir.Path() + "/" + name + ".xm", writer.Write(module)));
        }
        ASSERT_TRUE(TestFiles::WriteBytes(m_dir.Path() + "/text.xm", std::vector<std::uint8_t>(400, 'x')));
        Tarv::VfsInit();
        Tarv::VfsMountNative(m_dir.Path() + "/", "", 0);
    }
    void TearDown() override { Tarv::VfsShutdown(); }

    static std::vector<std::uint8_t> Read(Tarv::AudioSource& source, unsigned bytes)
    {
        std::vector<std::uint8_t> out(bytes + 1, 0xAB);
        EXPECT_EQ(source.Read(out.data(), bytes), bytes & ~1u);
        EXPECT_EQ(out[bytes & ~1u], 0xAB);
        out.resize(bytes & ~1u);
        return out;
    }

    TestFiles::TempDir m_dir;
};

} // namespace

TEST_F(AudioXMTest, OpensModulesAndRefusesEverythingElse)
{
    Tarv::SmartPtr<Tarv::AudioXM> source(Tarv::AudioXM::Open("tone.xm"));
    ASSERT_TRUE(source);
    EXPECT_EQ(source->GetChannels(), 1u);
    EXPECT_EQ(source->GetRate(), 22050u);
    EXPECT_EQ(source->GetLength(), 0u);
    EXPECT_EQ(Tarv::AudioXM::Open("text.xm"), nullptr);
    EXPECT_EQ(Tarv::AudioXM::Open("missing.xm"), nullptr);
}

TEST_F(AudioXMTest, ReadsWholeSamplesForeverAtAnyAlignment)
{
    Tarv::SmartPtr<Tarv::AudioXM> a(Tarv::AudioXM::Open("anchor.xm"));
    Tarv::SmartPtr<Tarv::AudioXM> b(Tarv::AudioXM::Open("anchor.xm"));
    // The same stream read in blocks of 2048 bytes, and in odd sizes into an odd address.
    std::vector<std::uint8_t> whole;
    for (int block = 0; block < 60; ++block) {
        const std::vector<std::uint8_t> part = Read(*a, 2048);
        whole.insert(whole.end(), part.begin(), part.end());
    }
    std::vector<std::uint8_t> chunks;
    std::vector<std::uint8_t> buffer(5001);
    while (chunks.size() < whole.size()) {
        const unsigned n = b->Read(buffer.data() + 1, 4999);
        ASSERT_EQ(n, 4998u);
        chunks.insert(chunks.end(), buffer.begin() + 1, buffer.begin() + 1 + n);
    }
    chunks.resize(whole.size());
    EXPECT_EQ(chunks, whole);
    EXPECT_EQ(a->Tell(), 0u);
    EXPECT_EQ(a->Read(buffer.data(), 1), 0u);
}

TEST_F(AudioXMTest, RewindAndSeekLeaveThePlayGoingOn)
{
    Tarv::SmartPtr<Tarv::AudioXM> played(Tarv::AudioXM::Open("anchor.xm"));
    Tarv::SmartPtr<Tarv::AudioXM> moved(Tarv::AudioXM::Open("anchor.xm"));
    const std::vector<std::uint8_t> first = Read(*played, 20000);
    EXPECT_EQ(Read(*moved, 20000), first);
    moved->Seek(1234);
    moved->Rewind();
    EXPECT_EQ(moved->Tell(), 0u);
    EXPECT_EQ(Read(*moved, 20000), Read(*played, 20000));
}

TEST_F(AudioXMTest, FactoryMakesModulesAndBufferedModulesAreEmpty)
{
    Tarv::SmartPtr<Tarv::AudioSource> streamed(Tarv::CreateAudioSource("tone.xm", false));
    EXPECT_NE(dynamic_cast<Tarv::AudioXM*>(streamed.Get()), nullptr);
    Tarv::SmartPtr<Tarv::AudioSource> buffered(Tarv::CreateAudioSource("tone.xm", true));
    ASSERT_NE(dynamic_cast<Tarv::AudioBuffer*>(buffered.Get()), nullptr);
    EXPECT_EQ(buffered->GetLength(), 0u);
    std::uint8_t byte = 0;
    EXPECT_EQ(buffered->Read(&byte, 1), 0u);
    EXPECT_EQ(Tarv::CreateAudioSource("text.xm", false), nullptr);
    EXPECT_EQ(Tarv::CreateAudioSource("tone.XM", false), nullptr);
}

TEST_F(AudioXMTest, PlaysEndlesslyInTheMixer)
{
    Tarv::MixerConfig config;
    config.createDevice = &AudioTest::ManualDevice::Create;
    Tarv::SmartPtr<Tarv::Mixer> mixer(new Tarv::Mixer({1, 22050}, config));
    Tarv::SmartPtr<Tarv::AudioSource> module(Tarv::CreateAudioSource("tone.xm", false));
    Tarv::SmartPtr<Tarv::AudioSource> empty(Tarv::CreateAudioSource("tone.xm", true));
    Tarv::WeakPtr<Tarv::AudioChannel> playing = mixer->Play(module.Get(), false);
    Tarv::WeakPtr<Tarv::AudioChannel> buffered = mixer->CreateChannel(empty.Get(), false);
    ASSERT_TRUE(playing.Lock());
    {
        Tarv::SmartPtr<Tarv::AudioChannel> channel = buffered.Lock();
        ASSERT_NE(channel.Get(), nullptr);
        channel->SetLooping(true);
        channel->SetPaused(false);
    }
    // Ten minutes of the one-pattern song, which loops every 7.68 s.
    std::vector<std::int16_t> block(1024);
    int silentBlocks = 0;
    for (int i = 0; i < 13000; ++i) {
        ASSERT_EQ(mixer->Read(block.data(), 2048), 2048u);
        int peak = 0;
        for (std::int16_t s : block)
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        if (peak < 1000)
            ++silentBlocks;
    }
    EXPECT_TRUE(playing.Lock());
    EXPECT_FALSE(buffered.Lock());
    // Only the head start of the song is quiet.
    EXPECT_LE(silentBlocks, 3);
}
