// The Ogg Vorbis source over files that oggenc makes from generated tones at test time.
#include "audio/sources/AudioOgg.h"

#include "audio/sources/AudioPosition.h"
#include "engine/core/SmartPtr.h"
#include "engine/vfs/CachedFile.h"
#include "tests/audio/TestTones.h"
#include "tests/engine/vfs/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
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
        // Long enough to span several audio pages.
        s_longOgg = Encode("long", AudioTest::MakeTone(440.0, 22050, 2, 8 * 22050, 10000.0), 2, 22050);
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

    // Reads in mixer-sized blocks until a short block, at most limit bytes.
    static std::vector<std::uint8_t> ReadToEnd(Tarv::AudioSource* source, std::size_t limit = 200000)
    {
        std::vector<std::uint8_t> bytes;
        std::vector<std::uint8_t> block(2048);
        while (bytes.size() < limit) {
            const unsigned got = source->Read(block.data(), static_cast<unsigned>(block.size()));
            bytes.insert(bytes.end(), block.begin(), block.begin() + got);
            if (got < block.size())
                break;
        }
        return bytes;
    }

    static inline std::unique_ptr<TestFiles::TempDir> s_dir;
    static inline std::vector<std::int16_t> s_mono;
    static inline std::vector<std::uint8_t> s_monoOgg;
    static inline std::vector<std::uint8_t> s_stereoOgg;
    static inline std::vector<std::uint8_t> s_longOgg;
};

// Gives the file's last page another granule position (its frame count) and its checksum again.
void SetLastGranule(std::vector<std::uint8_t>& bytes, std::uint64_t granule)
{
    std::size_t last = 0;
    for (std::size_t page = 0; page + 27 <= bytes.size();) {
        last = page;
        const std::size_t segments = bytes[page + 26];
        page += 27 + segments;
        for (std::size_t i = 0; i < segments; ++i)
            page += bytes[last + 27 + i];
    }
    for (int i = 0; i < 8; ++i)
        bytes[last + 6 + i] = static_cast<std::uint8_t>(granule >> (8 * i));
    std::fill(bytes.begin() + last + 22, bytes.begin() + last + 26, 0);
    std::uint32_t crc = 0;
    for (std::size_t i = last; i < bytes.size(); ++i) {
        crc ^= static_cast<std::uint32_t>(bytes[i]) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80000000u) != 0 ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    for (int i = 0; i < 4; ++i)
        bytes[last + 22 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
}

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

// A chained file plays in its first link's format, whatever format later links have.
TEST_F(AudioOggTest, ChainedLinksPlayInTheFirstLinksFormat)
{
    std::vector<std::uint8_t> chained = s_monoOgg;
    chained.insert(chained.end(), s_stereoOgg.begin(), s_stereoOgg.end());
    Tarv::SmartPtr<Tarv::AudioOgg> ogg = Open(chained);
    ASSERT_TRUE(ogg);
    EXPECT_EQ(ogg->GetChannels(), 1u);
    EXPECT_EQ(ogg->GetRate(), 22050u);
}

// A stream that cannot seek: the decoder is told its seeks fail, so it plays the stream through
// from the start, and the length it cannot know (a negative total) reads as 0.
TEST_F(AudioOggTest, StreamThatCannotSeekPlaysThroughWithNoLength)
{
    // Every seek fails. A decoder told that they worked reads on at the end without end, so
    // after many reads the stream fails them as a broken device does (errno set), and the test
    // ends instead of hanging.
    class UnseekableFile : public Tarv::CachedFile
    {
    public:
        using CachedFile::CachedFile;
        bool Seek(int, int) override { return false; }
        int Read(void* buffer, int count) override
        {
            if (++m_reads <= 100000)
                return CachedFile::Read(buffer, count);
            errno = EIO;
            return -1;
        }

    private:
        int m_reads = 0;
    };
    const std::vector<std::uint8_t> alone = ReadToEnd(Open(s_monoOgg).Get());
    ASSERT_EQ(alone.size(), 44100u);
    Tarv::SmartPtr<Tarv::AudioOgg> ogg(
        Tarv::AudioOgg::Create(new UnseekableFile(s_monoOgg.data(), static_cast<int>(s_monoOgg.size()), true)));
    ASSERT_TRUE(ogg);
    EXPECT_EQ(ogg->GetLength(), 0u);
    EXPECT_EQ(ReadToEnd(ogg.Get()), alone);
}

// A stereo file of several pages whose end claims 2^30 + 1000 frames: 4 GiB + 4000 bytes, of
// which the length keeps the low 32 bits.
TEST_F(AudioOggTest, ALengthBeyondFourGibibytesKeepsItsLow32Bits)
{
    std::vector<std::uint8_t> bytes = s_longOgg;
    SetLastGranule(bytes, (std::uint64_t(1) << 30) + 1000);
    Tarv::SmartPtr<Tarv::AudioOgg> ogg = Open(bytes);
    ASSERT_TRUE(ogg);
    EXPECT_EQ(ogg->GetLength(), 4000u);
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

TEST_F(AudioOggTest, PlaysAgainLikeAFreshSource)
{
    const std::vector<std::uint8_t> fresh = ReadToEnd(Open(s_stereoOgg).Get());
    ASSERT_EQ(fresh.size(), 4410u * 4);
    Tarv::SmartPtr<Tarv::AudioOgg> ogg = Open(s_stereoOgg);
    ASSERT_TRUE(ogg);
    EXPECT_EQ(ReadToEnd(ogg.Get()), fresh);
    ogg->Rewind();
    EXPECT_EQ(ReadToEnd(ogg.Get()), fresh);
    // Played to the end and sought back, as a new play's cursor does.
    ogg->Seek(0);
    EXPECT_EQ(ReadToEnd(ogg.Get()), fresh);
}

TEST_F(AudioOggTest, PositionsTakingTurnsReadWhatEachReadsAlone)
{
    const std::vector<std::uint8_t> alone = ReadToEnd(Open(s_monoOgg).Get());
    Tarv::SmartPtr<Tarv::AudioOgg> ogg = Open(s_monoOgg);
    ASSERT_TRUE(ogg);
    Tarv::AudioPosition first(ogg.Get());
    Tarv::AudioPosition second(ogg.Get());
    std::vector<std::uint8_t> a, b;
    std::vector<std::uint8_t> block(2048);
    // The second starts when the first is a third through, so the first ends while the second
    // still plays.
    for (int turn = 0; turn < 100 && (a.size() < alone.size() || b.size() < alone.size()); ++turn) {
        a.insert(a.end(), block.begin(), block.begin() + first.Read(block.data(), 2048));
        if (turn >= 7)
            b.insert(b.end(), block.begin(), block.begin() + second.Read(block.data(), 2048));
    }
    EXPECT_EQ(a, alone);
    EXPECT_EQ(b, alone);
}

TEST_F(AudioOggTest, AfterAHoleTheNextReadCarriesOn)
{
    // Spoil the body of an audio page between the headers and the last page: its checksum
    // fails and the decoder reports a hole.
    std::vector<std::size_t> pages;
    for (std::size_t i = 0; i + 4 <= s_longOgg.size(); ++i) {
        if (std::equal(s_longOgg.begin() + i, s_longOgg.begin() + i + 4, "OggS"))
            pages.push_back(i);
    }
    ASSERT_GE(pages.size(), 5u);
    std::vector<std::uint8_t> spoiled = s_longOgg;
    const std::size_t page = pages[pages.size() - 3];
    for (std::size_t i = page + 40; i < page + 72; ++i)
        spoiled[i] ^= 0x5A;
    Tarv::SmartPtr<Tarv::AudioOgg> ogg = Open(spoiled);
    ASSERT_TRUE(ogg);
    const unsigned length = 8 * 22050 * 4;
    EXPECT_EQ(ogg->GetLength(), length);
    std::vector<std::uint8_t> buffer(length);
    const unsigned first = ogg->Read(buffer.data(), length);
    ASSERT_LT(first, length);
    const unsigned rest = ogg->Read(buffer.data(), length);
    EXPECT_GT(rest, 0u);
    EXPECT_LT(first + rest, length);
    EXPECT_EQ(ogg->Read(buffer.data(), length), 0u);
}

TEST_F(AudioOggTest, ReadCallbackCountsWholeElementsAndReportsOddSizes)
{
    struct Case
    {
        std::size_t size;
        std::size_t count;
        std::size_t elements;
        const char* printed;
    };
    // Twelve bytes in the stream; a three-byte element is reported and still counted whole,
    // never as the byte count, which would claim bytes the stream did not give.
    const Case cases[] = {{1, 12, 12, ""}, {2, 6, 6, ""}, {4, 8, 3, ""}, {3, 4, 4, "read_callback error.\n"}};
    for (const Case& c : cases) {
        Tarv::SmartPtr<Tarv::CachedFile> file(new Tarv::CachedFile(s_monoOgg.data(), 12, false));
        std::vector<std::uint8_t> buffer(c.size * c.count);
        testing::internal::CaptureStdout();
        const std::size_t elements = Tarv::AudioOgg::ReadCallback(buffer.data(), c.size, c.count, file.Get());
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed) << c.size;
        EXPECT_EQ(elements, c.elements) << c.size;
    }
}
