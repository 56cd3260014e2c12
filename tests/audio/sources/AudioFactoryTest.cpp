// Suffix dispatch, buffering and the cached Ogg path, over files in a mounted folder.
#include "audio/sources/AudioFactory.h"

#include "audio/sources/AudioBuffer.h"
#include "audio/sources/AudioOgg.h"
#include "audio/sources/AudioWave.h"
#include "engine/core/SmartPtr.h"
#include "engine/vfs/Vfs.h"
#include "tests/audio/TestTones.h"
#include "tests/engine/vfs/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{

class AudioFactoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::vector<std::int16_t> tone = AudioTest::MakeTone(440.0, 22050, 1, 5000, 9000.0);
        ASSERT_TRUE(AudioTest::WriteWav(m_dir.Path() + "/tone.wav", tone, 1, 22050));
        ASSERT_TRUE(AudioTest::WriteWav(m_dir.Path() + "/tone.WAV", tone, 1, 22050));
        ASSERT_TRUE(AudioTest::EncodeOgg(m_dir.Path() + "/tone.wav", m_dir.Path() + "/tone.ogg"));
        ASSERT_TRUE(AudioTest::EncodeOgg(m_dir.Path() + "/tone.wav", m_dir.Path() + "/ogg.dat"));
        ASSERT_TRUE(TestFiles::WriteBytes(m_dir.Path() + "/song.xm", {'E', 'x', 't'}));
        Tarv::VfsInit();
        Tarv::VfsMountNative(m_dir.Path() + "/", "", 0);
    }
    void TearDown() override { Tarv::VfsShutdown(); }

    static std::vector<std::uint8_t> ReadAll(Tarv::AudioSource* source)
    {
        std::vector<std::uint8_t> bytes(200000);
        bytes.resize(source->Read(bytes.data(), static_cast<unsigned>(bytes.size())));
        return bytes;
    }

    TestFiles::TempDir m_dir;
};

} // namespace

TEST_F(AudioFactoryTest, ChoosesTheDecoderBySuffix)
{
    Tarv::SmartPtr<Tarv::AudioSource> wave(Tarv::CreateAudioSource("tone.wav", false));
    Tarv::SmartPtr<Tarv::AudioSource> ogg(Tarv::CreateAudioSource("tone.ogg", false));
    EXPECT_NE(dynamic_cast<Tarv::AudioWave*>(wave.Get()), nullptr);
    EXPECT_NE(dynamic_cast<Tarv::AudioOgg*>(ogg.Get()), nullptr);
    EXPECT_EQ(ogg->GetLength(), 10000u);
}

TEST_F(AudioFactoryTest, RefusesOtherSuffixesCaseAndModules)
{
    for (const char* path : {"tone.WAV", "tone.Ogg", "ogg.dat", "missing.ogg", "missing.wav", "song.xm", "ogg", ".xm",
                             "xm", ""}) {
        EXPECT_EQ(Tarv::CreateAudioSource(path, false), nullptr) << path;
        EXPECT_EQ(Tarv::CreateAudioSource(path, true), nullptr) << path;
    }
    EXPECT_EQ(Tarv::CreateAudioSource(nullptr, true), nullptr);
}

TEST_F(AudioFactoryTest, BufferedSourceHoldsTheDecodedSound)
{
    Tarv::SmartPtr<Tarv::AudioSource> streamed(Tarv::CreateAudioSource("tone.ogg", false));
    Tarv::SmartPtr<Tarv::AudioSource> buffered(Tarv::CreateAudioSource("tone.ogg", true));
    ASSERT_NE(dynamic_cast<Tarv::AudioBuffer*>(buffered.Get()), nullptr);
    EXPECT_EQ(buffered->GetLength(), streamed->GetLength());
    EXPECT_EQ(buffered->GetRate(), 22050u);
    EXPECT_EQ(ReadAll(buffered.Get()), ReadAll(streamed.Get()));
}

TEST_F(AudioFactoryTest, CachedOggDecodesLikeTheStreamedFileWhateverTheSuffix)
{
    Tarv::SmartPtr<Tarv::AudioSource> streamed(Tarv::CreateAudioSource("tone.ogg", false));
    Tarv::SmartPtr<Tarv::AudioSource> cached(Tarv::CreateCachedOggSource("ogg.dat"));
    ASSERT_TRUE(cached);
    EXPECT_EQ(ReadAll(cached.Get()), ReadAll(streamed.Get()));
    EXPECT_EQ(Tarv::CreateCachedOggSource("tone.wav"), nullptr);
    EXPECT_EQ(Tarv::CreateCachedOggSource("missing.ogg"), nullptr);
}
