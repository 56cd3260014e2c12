// The Ogg Vorbis source over files that oggenc makes from generated tones at test time.
#include "audio/sources/AudioOgg.h"

#include "engine/core/SmartPtr.h"
#include "engine/vfs/CachedFile.h"
#include "tests/audio/TestTones.h"
#include "tests/engine/vfs/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace
{

class AudioOggTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<TestFiles::TempDir>();
        s_mono = AudioTest::MakeTone(440.0, 22050, 1, 22050, 10000.0);
        s_monoOgg = Encode("mono", s_mono, 1, 22050);
        s_stereoOgg = Encode("stereo", AudioTest::MakeTone(440.0, 44100, 2, 4410, 8000.0), 2, 44100);
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    static std::vector<std::uint8_t> Encode(const char* name, const std::vector<std::int16_t>& samples,
                                            std::uint32_t channels, std::uint32_t rate)
    {
        const std::string wav = s_dir->Path() + "/" + name + ".wav";
        const std::string ogg = s_dir->Path() + "/" + name + ".ogg";
        if (!AudioTest::WriteWav(wav, samples, channels, rate) || !AudioTest::EncodeOgg(wav, ogg))
            return {};
        return TestFiles::ReadBytes(ogg);
    }

    static Tarv::SmartPtr<Tarv::AudioOgg> Open(const std::vector<std::uint8_t>& bytes)
    {
        return Tarv::SmartPtr<Tarv::AudioOgg>(
            Tarv::AudioOgg::Create(new Tarv::CachedFile(bytes.data(), static_cast<int>(bytes.size()), true)));
    }

    static inline std::unique_ptr<TestFiles::TempDir> s_dir;
    static inline std::vector<std::int16_t> s_mono;
    static inline std::vector<std::uint8_t> s_monoOgg;
    static inline std::vector<std::uint8_t> s_stereoOgg;
};

} // namespace

TEST_F(AudioOggTest, ReportsFormatAndExactLength)
{
    Tarv::SmartPtr<Tarv::AudioOgg> ogg = Open(s_monoOgg);
    ASSERT_TRUE(ogg);
    EXPECT_EQ(ogg->GetChannels(), 1u);
    EXPECT_EQ(ogg->GetRate(), 22050u);
    EXPECT_EQ(ogg->GetLength(), 44100u);
}

TEST_F(AudioOggTest, DecodesCloseToTheTone)
{
    Tarv::SmartPtr<Tarv::AudioOgg> ogg = Open(s_monoOgg);
    ASSERT_TRUE(ogg);
    std::vector<std::int16_t> decoded(22050);
    ASSERT_EQ(ogg->Read(decoded.data(), 44100), 44100u);
    double signal = 0.0;
    double noise = 0.0;
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        signal += static_cast<double>(s_mono[i]) * s_mono[i];
        noise += std::pow(static_cast<double>(decoded[i]) - s_mono[i], 2.0);
    }
    EXPECT_GT(10.0 * std::log10(signal / noise), 30.0);
    EXPECT_NEAR(AudioTest::MeasureFrequency(decoded, 22050), 440.0, 1.0);
}

TEST_F(AudioOggTest, ReadStopsExactlyAtTheEnd)
{
    Tarv::SmartPtr<Tarv::AudioOgg> ogg = Open(s_monoOgg);
    ASSERT_TRUE(ogg);
    std::vector<std::uint8_t> buffer(50000);
    EXPECT_EQ(ogg->Read(buffer.data(), 0), 0u);
    EXPECT_EQ(ogg->Tell(), 0u);
    ogg->Seek(44000);
    EXPECT_EQ(ogg->Read(buffer.data(), 1000), 100u);
    EXPECT_EQ(ogg->Read(buffer.data(), 1000), 0u);
    ogg->Rewind();
    EXPECT_EQ(ogg->Tell(), 0u);
    EXPECT_EQ(ogg->Read(buffer.data(), 50000), 44100u);
}

TEST_F(AudioOggTest, StereoSeekLandsOnFrameStarts)
{
    Tarv::SmartPtr<Tarv::AudioOgg> ogg = Open(s_stereoOgg);
    ASSERT_TRUE(ogg);
    EXPECT_EQ(ogg->GetChannels(), 2u);
    EXPECT_EQ(ogg->GetRate(), 44100u);
    EXPECT_EQ(ogg->GetLength(), 4410u * 4);
    ogg->Seek(3);
    EXPECT_EQ(ogg->Tell(), 0u);
    ogg->Seek(8);
    EXPECT_EQ(ogg->Tell(), 8u);
    std::vector<std::int16_t> frame(2);
    EXPECT_EQ(ogg->Read(frame.data(), 4), 4u);
    EXPECT_EQ(ogg->Tell(), 12u);
}

TEST_F(AudioOggTest, RefusesWhatIsNotOggVorbis)
{
    const std::vector<std::uint8_t> wav = TestFiles::ReadBytes(s_dir->Path() + "/mono.wav");
    EXPECT_FALSE(Open(wav));
    EXPECT_FALSE(Open({}));
    // Cut inside the headers.
    EXPECT_FALSE(Open(std::vector<std::uint8_t>(s_monoOgg.begin(), s_monoOgg.begin() + 200)));
    EXPECT_EQ(Tarv::AudioOgg::Create(nullptr), nullptr);
}

TEST_F(AudioOggTest, TruncatedStreamEndsWithoutGarbage)
{
    ASSERT_GT(s_monoOgg.size(), 1000u);
    std::vector<std::uint8_t> cut(s_monoOgg.begin(), s_monoOgg.end() - 400);
    Tarv::SmartPtr<Tarv::AudioOgg> ogg = Open(cut);
    ASSERT_TRUE(ogg);
    // The decoder cannot find the last page's position: the stream counts as empty.
    EXPECT_EQ(ogg->GetLength(), 0u);
    std::vector<std::int16_t> decoded(30000);
    EXPECT_LT(ogg->Read(decoded.data(), 60000), 44100u);
    EXPECT_EQ(ogg->Read(decoded.data(), 2), 0u);
}
