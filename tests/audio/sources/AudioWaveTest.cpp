// The WAV reader: chunk layouts it must find, files it must refuse, and reads over the data
// chunk that never hand out more than the file holds.
#include "audio/sources/AudioWave.h"

#include "engine/core/SmartPtr.h"
#include "engine/vfs/CachedFile.h"
#include "tests/audio/TestSources.h"
#include "tests/audio/TestTones.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using AudioTest::Ramp;
using AudioTest::WaveBytes;

namespace
{

Tarv::SmartPtr<Tarv::AudioWave> OpenBytes(const std::vector<std::uint8_t>& bytes)
{
    return Tarv::SmartPtr<Tarv::AudioWave>(
        Tarv::AudioWave::Create(new Tarv::CachedFile(bytes.data(), static_cast<int>(bytes.size()), true)));
}

std::vector<std::int16_t> ReadAll(Tarv::AudioSource& source)
{
    std::vector<std::int16_t> samples(source.GetLength() / 2 + 8, 0x7777);
    const unsigned got = source.Read(samples.data(), static_cast<unsigned>(samples.size() * 2));
    samples.resize(got / 2);
    return samples;
}

std::vector<std::uint8_t> Text(const char* text, std::size_t size)
{
    std::vector<std::uint8_t> bytes(size, ' ');
    for (std::size_t i = 0; i < size && text[i] != 0; ++i)
        bytes[i] = static_cast<std::uint8_t>(text[i]);
    return bytes;
}

// A format chunk of a mono 22050 Hz PCM file with the given tag, size and block align; the
// sample size is 16 where the size holds it.
std::vector<std::uint8_t> FirstChunk(const char* tag, std::uint32_t size, std::uint16_t blockAlign)
{
    std::vector<std::uint8_t> body = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0,
                                      static_cast<std::uint8_t>(blockAlign), static_cast<std::uint8_t>(blockAlign >> 8),
                                      16, 0};
    body.resize(size);
    return WaveBytes().Chunk(tag, size, body).Data(Ramp(6)).Bytes();
}

} // namespace

// The data tag in any case; other chunks skipped, an odd one padded (as RIFF writes it) or not
// (as some writers do); the format chunk longer than its fields, too short to give the sample
// size (16-bit then), under another tag, with any block align, or with any sample size that
// is not 8- or 24-bit data (12-bit samples are stored in 16-bit words): only its place counts.
TEST(AudioWave, FindsItsChunksInTheLayoutsWritersUse)
{
    auto format = [] { return WaveBytes().Format(1, 1, 22050, 16); };
    const std::vector<std::vector<std::uint8_t>> files = {
        WaveBytes().Format(1, 2, 44100, 16).Data(Ramp(6)).Bytes(),
        format().Data(Ramp(6), "DATA").Bytes(), format().Data(Ramp(6), "DaTa").Bytes(),
        format().Chunk("LIST", 12, Text("INFOISFT", 12)).Data(Ramp(6)).Bytes(),
        format().Chunk("note", 3, Text("abc", 3), true).Data(Ramp(6)).Bytes(),
        format().Chunk("note", 3, Text("abc", 3), false).Data(Ramp(6)).Bytes(),
        WaveBytes().Format(1, 1, 22050, 16, 18).Data(Ramp(6)).Bytes(),
        FirstChunk("fmt ", 14, 2), FirstChunk("fmt ", 12, 2), FirstChunk("FMT ", 16, 2), FirstChunk("JUNK", 16, 2),
        FirstChunk("fmt ", 16, 0), FirstChunk("fmt ", 16, 7),
        WaveBytes().Format(1, 1, 22050, 12).Data(Ramp(6)).Bytes(), WaveBytes().Format(1, 1, 22050, 0).Data(Ramp(6)).Bytes()};
    for (std::size_t i = 0; i < files.size(); ++i) {
        Tarv::SmartPtr<Tarv::AudioWave> wave = OpenBytes(files[i]);
        ASSERT_TRUE(wave) << "layout " << i;
        EXPECT_EQ(wave->GetChannels(), i == 0 ? 2u : 1u) << "layout " << i;
        EXPECT_EQ(wave->GetRate(), i == 0 ? 44100u : 22050u) << "layout " << i;
        EXPECT_EQ(wave->GetLength(), 12u) << "layout " << i;
        EXPECT_EQ(ReadAll(*wave), Ramp(6)) << "layout " << i;
    }
}

// An odd chunk is skipped by exactly its size first: a chunk written right behind it is read
// even where the place one byte further also reads as a chunk tag ("UNKA", from the next
// chunk's tag and the first byte of its size). A padded odd chunk is read too.
TEST(AudioWave, OddChunkIsSkippedByItsSizeBeforeThePadIsTried)
{
    auto format = [] { return WaveBytes().Format(1, 1, 22050, 16); };
    const std::vector<std::vector<std::uint8_t>> files = {
        format().Chunk("note", 3, Text("abc", 3), false).Chunk("JUNK", 0x41, Text("", 0x41), false).Data(Ramp(6))
            .Bytes(),
        format().Chunk("note", 3, Text("abc", 3), true).Chunk("JUNK", 0x41, Text("", 0x41), true).Data(Ramp(6))
            .Bytes()};
    for (std::size_t i = 0; i < files.size(); ++i) {
        Tarv::SmartPtr<Tarv::AudioWave> wave = OpenBytes(files[i]);
        ASSERT_TRUE(wave) << "file " << i;
        EXPECT_EQ(ReadAll(*wave), Ramp(6)) << "file " << i;
    }
}

TEST(AudioWave, RefusesWhatItCannotPlay)
{
    struct Row { std::uint16_t tag, channels; std::uint32_t rate; std::uint16_t bits; };
    const Row rows[] = {
        {3, 1, 22050, 16},      // float
        {0xFFFE, 1, 22050, 16}, // extensible
        {1, 1, 22050, 8},
        {1, 1, 22050, 24},
        {1, 1, 22050, 20},      // in three bytes, as 24-bit data
        {1, 0, 22050, 16},
        {1, 3, 22050, 16},
        {1, 0xFFFF, 22050, 16}, // -1 as a signed count
        {1, 1, 0, 16},
    };
    for (const Row& row : rows)
        EXPECT_FALSE(OpenBytes(WaveBytes().Format(row.tag, row.channels, row.rate, row.bits).Data(Ramp(8)).Bytes()))
            << row.tag << " " << row.channels << " " << row.rate << " " << row.bits;
    EXPECT_FALSE(OpenBytes(WaveBytes().Format(1, 1, 22050, 16).Data({}).Bytes()));
    EXPECT_FALSE(OpenBytes(WaveBytes().Format(1, 1, 22050, 16).Bytes()));
    // The first chunk is the format, whatever follows: here a data chunk, or another chunk
    // ahead of the real format chunk.
    EXPECT_FALSE(OpenBytes(WaveBytes().Data(Ramp(8)).Format(1, 1, 22050, 16).Bytes()));
    EXPECT_FALSE(OpenBytes(WaveBytes().Chunk("JUNK", 4, {1, 0, 0, 0}).Format(1, 1, 22050, 16).Data(Ramp(6)).Bytes()));
    EXPECT_FALSE(OpenBytes({}));
    EXPECT_EQ(Tarv::AudioWave::Create(nullptr), nullptr);
}

TEST(AudioWave, LyingSizesAreClampedOrEndTheWalk)
{
    // A data chunk that claims far more than the file holds plays what is there, in whole frames.
    std::vector<std::uint8_t> bytes = WaveBytes().Format(1, 2, 22050, 16).Data(Ramp(9)).Bytes();
    bytes.push_back(0x11);
    bytes[40] = 0xFF;
    bytes[41] = 0xFF;
    bytes[42] = 0xFF;
    bytes[43] = 0xFF;
    Tarv::SmartPtr<Tarv::AudioWave> wave = OpenBytes(bytes);
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->GetLength(), 16u);

    // Chunk sizes of 2^31 and more once looped back to the same header.
    for (std::uint32_t size : {0x80000000u, 0xFFFFFFF8u, 0xFFFFFFFFu, 0x7FFFFFFFu})
        EXPECT_FALSE(OpenBytes(WaveBytes().Format(1, 1, 22050, 16).Chunk("JUNK", size, {}).Data(Ramp(8)).Bytes()))
            << size;
    EXPECT_FALSE(OpenBytes(WaveBytes().Chunk("fmt ", 0xFFFFFFF0u, {}).Bytes()));
}

TEST(AudioWave, ReadSeekAndRewindStayInsideTheData)
{
    Tarv::SmartPtr<Tarv::AudioWave> wave =
        OpenBytes(WaveBytes().Format(1, 1, 22050, 16).Data(Ramp(100)).Chunk("LIST", 4, {9, 9, 9, 9}).Bytes());
    ASSERT_TRUE(wave);
    std::vector<std::int16_t> samples(200, 0);
    wave->Seek(190);
    EXPECT_EQ(wave->Read(samples.data(), 400), 10u);
    EXPECT_EQ(samples[0], 95);
    EXPECT_EQ(samples[4], 99);
    EXPECT_EQ(wave->Tell(), 200u);
    wave->Seek(200);
    EXPECT_EQ(wave->Read(samples.data(), 2), 0u);
    wave->Seek(0xFFFFFFF0u);
    EXPECT_EQ(wave->Read(samples.data(), 2), 0u);
    wave->Rewind();
    EXPECT_EQ(wave->Read(samples.data(), 4), 4u);
    EXPECT_EQ(samples[1], 1);
}

TEST(AudioWave, TruncatedFileReadsOnlyWhatIsThere)
{
    std::vector<std::uint8_t> bytes = WaveBytes().Format(1, 1, 22050, 16).Data(Ramp(100)).Bytes();
    Tarv::SmartPtr<Tarv::CachedFile> file(new Tarv::CachedFile(bytes.data(), static_cast<int>(bytes.size()), true));
    Tarv::SmartPtr<Tarv::AudioWave> wave(Tarv::AudioWave::Create(file.Get()));
    ASSERT_TRUE(wave);
    // The stream loses its data under the reader (a file cut short after opening).
    file->Close();
    std::vector<std::int16_t> samples(100, 0x7777);
    EXPECT_EQ(wave->Read(samples.data(), 200), 0u);
    EXPECT_EQ(samples[0], 0x7777);
}
