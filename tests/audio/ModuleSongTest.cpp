// The XM loader over generated files: what it reads, converts and skips, and how it treats
// damaged files (refused cleanly, or kept as far as they reach).
#include "audio/ModuleSong.h"

#include "engine/vfs/Vfs.h"
#include "tests/engine/vfs/TestFiles.h"
#include "tools/xm/XmFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using Tarv::ModulePlayer::CModuleSample;
using Tarv::ModulePlayer::CModuleSong;

namespace
{

void PutU16(std::vector<std::uint8_t>& bytes, std::size_t offset, unsigned value)
{
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value)
{
    PutU16(bytes, offset, value & 0xFFFF);
    PutU16(bytes, offset + 2, value >> 16);
}

class ModuleSongTest : public ::testing::Test
{
protected:
    std::vector<std::uint8_t> Fixture(const char* name)
    {
        Tarv::XmModuleDesc module;
        EXPECT_TRUE(Tarv::MakeXmFixture(name, module));
        return m_writer.Write(module);
    }
    // One instrument holding the given samples, and one empty pattern.
    std::vector<std::uint8_t> Samples(const std::vector<Tarv::XmSampleDesc>& samples)
    {
        Tarv::XmModuleDesc module;
        module.patterns.emplace_back(4, 1);
        module.orders = {0};
        module.instruments.emplace_back().samples = samples;
        return m_writer.Write(module);
    }
    bool Load(const std::vector<std::uint8_t>& bytes, std::size_t size = ~std::size_t(0))
    {
        return m_song.LoadFromMemory(bytes.data(), std::min(size, bytes.size()));
    }
    const CModuleSample& Sample(int index = 0) { return m_song.GetInstrument(0)->samples[index]; }
    const Tarv::XmWriter::Layout& Layout() { return m_writer.GetLayout(); }

    Tarv::XmWriter m_writer;
    CModuleSong m_song;
};

Tarv::XmSampleDesc MakeSample(std::vector<std::int16_t> data, bool sixteenBit, std::uint8_t loopType,
                              std::uint32_t loopStart, std::uint32_t loopLength)
{
    Tarv::XmSampleDesc sample;
    sample.data = std::move(data);
    sample.sixteenBit = sixteenBit;
    sample.loopType = loopType;
    sample.loopStart = loopStart;
    sample.loopLength = loopLength;
    return sample;
}

} // namespace

// As written, and with another identification text, a zero separator byte and version 0x0103:
// those are kept as read and never judged.
TEST_F(ModuleSongTest, ReadsTheGeneratedToneModuleWhateverItsIdentificationAndVersion)
{
    std::vector<std::uint8_t> other = Fixture("tone");
    std::memcpy(other.data(), "Not a module text", 17);
    other[37] = 0;
    PutU16(other, 58, 0x0103);
    for (const std::vector<std::uint8_t>& bytes : {Fixture("tone"), other}) {
        ASSERT_TRUE(Load(bytes));
        const auto& header = m_song.GetHeader();
        EXPECT_EQ((std::vector<int>{header.songLength, header.channelCount, header.defaultTempo, header.defaultBpm}),
                  (std::vector<int>{1, 1, 6, 125}));
        ASSERT_EQ(m_song.GetPatternCount(), 1);
        EXPECT_EQ(m_song.GetPattern(0)->rowCount, 64);
        EXPECT_EQ(m_song.GetPattern(0)->dataSize, 3 + 63);
        ASSERT_EQ(m_song.GetInstrumentCount(), 1);
        EXPECT_EQ((std::vector<unsigned>{Sample().length, Sample().loopStart, Sample().loopLength}),
                  (std::vector<unsigned>{64, 0, 64}));
        EXPECT_EQ(Sample().pitchFactor, 4096);
        const std::vector<std::int16_t> cycle = Tarv::MakeSineCycle(64, 20000.0);
        EXPECT_TRUE(std::equal(cycle.begin(), cycle.end(), Sample().data.get()));
        EXPECT_EQ(m_song.GetPattern(1), nullptr);
        EXPECT_EQ(m_song.GetInstrument(-1), nullptr);
    }
    EXPECT_EQ(std::string(m_song.GetHeader().idText, 17), "Not a module text");
    EXPECT_EQ(m_song.GetHeader().version, 0x0103);
}

// 8-bit deltas come back scaled by 256; 16-bit lengths and loops are halved from bytes to samples.
TEST_F(ModuleSongTest, DecodesEightAndSixteenBitSamples)
{
    ASSERT_TRUE(Load(Samples({MakeSample({4096, 8192, 4096}, false, 0, 0, 0)})));
    ASSERT_EQ(Sample().length, 3u);
    EXPECT_EQ((std::vector<std::int16_t>(Sample().data.get(), Sample().data.get() + 3)),
              (std::vector<std::int16_t>{4096, 8192, 4096}));
    std::vector<std::int16_t> data(500, 0);
    data[499] = -123;
    ASSERT_TRUE(Load(Samples({MakeSample(data, true, 1, 100, 200)})));
    EXPECT_EQ((std::vector<unsigned>{Sample().length, Sample().loopStart, Sample().loopLength}),
              (std::vector<unsigned>{500, 100, 200}));
    EXPECT_EQ(Sample().data[499], -123);
}

TEST_F(ModuleSongTest, ComputesPitchFactorsEvenWithoutData)
{
    for (const auto& [note, fine, factor] : {std::tuple{0, 0, 4096}, {12, 0, 8192}, {-12, 0, 2047}, {0, 64, 4216},
                                             {0, -128, 3866}})
        EXPECT_EQ(CModuleSong::ComputePitchFactor(note, fine), factor) << note << " " << fine;
    Tarv::XmSampleDesc empty;
    empty.relativeNote = 12;
    ASSERT_TRUE(Load(Samples({empty})));
    EXPECT_EQ(Sample().length, 0u);
    EXPECT_EQ(Sample().data, nullptr);
    EXPECT_EQ(Sample().pitchFactor, 8192);
}

TEST_F(ModuleSongTest, ShortInstrumentHeaderHoldsNoMapOrEnvelope)
{
    Tarv::XmModuleDesc module;
    module.orders = {0};
    module.patterns.emplace_back(1, 1);
    module.instruments.resize(2);
    module.instruments[1] = Tarv::MakeSineInstrument(16, 1000.0);
    module.instruments[1].sampleMap[5] = 1;
    ASSERT_TRUE(Load(m_writer.Write(module)));
    const auto& empty = *m_song.GetInstrument(0);
    EXPECT_EQ(empty.headerSize, 29u);
    EXPECT_EQ(empty.sampleHeaderSize, 0u);
    EXPECT_EQ(empty.volumeEnvelope[0].y, 0);
    EXPECT_EQ(empty.samples, nullptr);
    // The next instrument starts right after the 29 bytes.
    const auto& next = *m_song.GetInstrument(1);
    EXPECT_EQ(next.headerSize, 263u);
    EXPECT_EQ(next.sampleMap[5], 1);
    EXPECT_EQ(next.samples[0].length, 16u);
}

TEST_F(ModuleSongTest, FullInstrumentHeaderWithoutSamplesReadsEveryField)
{
    std::vector<std::uint8_t> bytes = Fixture("envelope");
    PutU16(bytes, Layout().firstInstrument + 27, 0);
    ASSERT_TRUE(Load(bytes));
    const auto& loaded = *m_song.GetInstrument(0);
    EXPECT_EQ((std::vector<int>{loaded.sampleCount, static_cast<int>(loaded.sampleHeaderSize), loaded.volumePointCount,
                                loaded.volumeSustain, loaded.volumeType}),
              (std::vector<int>{0, 40, 5, 2, 3}));
    EXPECT_EQ((std::vector<int>{loaded.volumeEnvelope[1].x, loaded.volumeEnvelope[1].y, loaded.volumeEnvelope[4].x}),
              (std::vector<int>{4, 64, 60}));
}

TEST_F(ModuleSongTest, SkipsHeaderBytesBeyondTheFieldsItReads)
{
    const std::vector<std::uint8_t> plain = Fixture("tone");
    const Tarv::XmWriter::Layout layout = Layout();
    // Longer pattern, instrument and sample headers, each padded with 0xEE.
    std::vector<std::uint8_t> bytes;
    auto copy = [&](std::size_t from, std::size_t to, std::size_t padding) {
        bytes.insert(bytes.end(), plain.begin() + static_cast<long>(from), plain.begin() + static_cast<long>(to));
        bytes.insert(bytes.end(), padding, 0xEE);
        return bytes.size() - (to - from) - padding;
    };
    copy(0, layout.firstPattern, 0);
    const std::size_t pattern = copy(layout.firstPattern, layout.firstPattern + 9, 3);
    copy(layout.firstPattern + 9, layout.firstInstrument, 0);
    const std::size_t instrument = copy(layout.firstInstrument, layout.sampleHeaders[0], 37);
    copy(layout.sampleHeaders[0], layout.sampleData[0], 1);
    copy(layout.sampleData[0], plain.size(), 0);
    PutU32(bytes, pattern, 12);
    PutU32(bytes, instrument, 300);
    PutU32(bytes, instrument + 29, 41);

    CModuleSong reference;
    ASSERT_TRUE(reference.LoadFromMemory(plain.data(), plain.size()));
    ASSERT_TRUE(Load(bytes));
    EXPECT_EQ(m_song.GetPattern(0)->rowCount, 64);
    EXPECT_EQ(0, std::memcmp(m_song.GetPattern(0)->data.get(), reference.GetPattern(0)->data.get(), 66));
    EXPECT_EQ(Sample().length, 64u);
    EXPECT_EQ(Sample().loopLength, 64u);
    EXPECT_EQ(0, std::memcmp(Sample().data.get(), reference.GetInstrument(0)->samples[0].data.get(), 128));
}

TEST_F(ModuleSongTest, ShortSampleHeadersReadAsZeroAndKeepTheFileInStep)
{
    std::vector<std::uint8_t> bytes = Fixture("tone");
    // 39 bytes: the last name byte is gone and the data follows at once.
    bytes.erase(bytes.begin() + static_cast<long>(Layout().sampleHeaders[0] + 39));
    PutU32(bytes, Layout().firstInstrument + 29, 39);
    ASSERT_TRUE(Load(bytes));
    EXPECT_EQ(Sample().length, 64u);
    EXPECT_EQ(Sample().data[16], 20000);
    // Size 0: every sample header is empty, so no sample has data.
    PutU32(bytes, Layout().firstInstrument + 29, 0);
    ASSERT_TRUE(Load(bytes));
    EXPECT_EQ(Sample().length, 0u);
    EXPECT_EQ(Sample().data, nullptr);
}

// The song's header size field does not move anything: the order table is 256 bytes at 80 and
// the patterns follow at 336.
TEST_F(ModuleSongTest, OrderTableAndPatternsStandAtFixedOffsets)
{
    std::vector<std::uint8_t> bytes = Fixture("orders");
    ASSERT_EQ(Layout().firstPattern, 336u);
    bytes[80 + 255] = 7;
    for (const std::uint32_t headerSize : {0u, 23u, 276u + 8u, 0xFFFFFFFFu}) {
        PutU32(bytes, 60, headerSize);
        ASSERT_TRUE(Load(bytes)) << headerSize;
        EXPECT_EQ(m_song.GetHeader().headerSize, headerSize);
        EXPECT_EQ(m_song.GetHeader().orderTable[2], 2);
        EXPECT_EQ(m_song.GetHeader().orderTable[255], 7);
        ASSERT_EQ(m_song.GetPatternCount(), 3);
        EXPECT_EQ(m_song.GetPattern(2)->rowCount, 16);
    }
}

TEST_F(ModuleSongTest, ClampsLengthsEnvelopesAndVolumesToTheirRanges)
{
    std::vector<std::uint8_t> bytes = Fixture("envelope");
    bytes[Layout().firstInstrument + 225] = 200;
    PutU16(bytes, Layout().firstInstrument + 131, 1000);
    bytes[Layout().sampleHeaders[0] + 12] = 255;
    for (const auto& [length, clamped] : {std::pair{0u, 1}, std::pair{65535u, 256}}) {
        PutU16(bytes, 64, length);
        ASSERT_TRUE(Load(bytes));
        EXPECT_EQ(m_song.GetHeader().songLength, clamped);
    }
    EXPECT_EQ(m_song.GetInstrument(0)->volumePointCount, 12);
    EXPECT_EQ(m_song.GetInstrument(0)->volumeEnvelope[0].y, 64);
    EXPECT_EQ(Sample().volume, 64);
}

// A loop running past the end is cut there; one starting outside the sample, or a loop that is
// not switched on, does not loop.
TEST_F(ModuleSongTest, FitsLoopsInsideTheSample)
{
    const std::vector<std::int16_t> data(100, 1);
    ASSERT_TRUE(Load(Samples({MakeSample(data, true, 1, 80, 1000), MakeSample(data, true, 1, 150, 1000),
                              MakeSample(data, true, 0, 80, 1000)})));
    EXPECT_EQ(Sample(0).loopLength, 20u);
    EXPECT_EQ((std::vector<bool>{Sample(0).IsLooping(), Sample(1).IsLooping(), Sample(2).IsLooping()}),
              (std::vector<bool>{true, false, false}));
}

TEST_F(ModuleSongTest, RefusesFilesShorterThanTheHeaderOrBeyondTheLimits)
{
    const std::vector<std::uint8_t> good = Fixture("tone");
    const std::size_t pattern = Layout().firstPattern;
    const std::size_t instrument = Layout().firstInstrument;
    EXPECT_FALSE(m_song.LoadFromMemory(nullptr, 100));
    EXPECT_FALSE(Load(good, 79));
    EXPECT_FALSE(Load(std::vector<std::uint8_t>(4000, 'x')));
    EXPECT_EQ(m_song.GetPatternCount(), 0);
    EXPECT_EQ(m_song.GetHeader().channelCount, 0);
    // Offset, value, width: counts and sizes past the limits.
    const struct
    {
        std::size_t offset;
        std::uint32_t value;
        int width;
    } CASES[] = {
        {68, 65535, 2},  {68, 0, 2},            {68, 33, 2},
        {70, 65535, 2},  {72, 65535, 2},        {72, 129, 2},
        {pattern, 8, 4}, {pattern + 5, 0, 2},   {pattern + 5, 257, 2},
        {instrument + 27, 65535, 2},            {instrument + 27, 17, 2},
    };
    for (const auto& c : CASES) {
        std::vector<std::uint8_t> bytes = good;
        if (c.width == 2)
            PutU16(bytes, c.offset, c.value);
        else
            PutU32(bytes, c.offset, c.value);
        CModuleSong song;
        EXPECT_FALSE(song.LoadFromMemory(bytes.data(), bytes.size())) << "offset " << c.offset << " value " << c.value;
        EXPECT_EQ(song.GetInstrumentCount(), 0);
    }
}

TEST_F(ModuleSongTest, KeepsWhatATruncatedFileHolds)
{
    std::vector<std::uint8_t> bytes = Fixture("tone");
    // A sample that claims 4 GiB keeps the 128 bytes present (64 samples).
    PutU32(bytes, Layout().sampleHeaders[0], 0xFFFFFFFF);
    ASSERT_TRUE(Load(bytes));
    EXPECT_EQ(Sample().length, 64u);
    // Cut in the middle of the sample data.
    bytes = Fixture("tone");
    ASSERT_TRUE(Load(bytes, Layout().sampleData[0] + 21));
    EXPECT_EQ(Sample().length, 10u);
    // A pattern whose packed size runs past the end keeps the bytes present.
    ASSERT_TRUE(Load(bytes, Layout().firstPattern + 9 + 30));
    EXPECT_EQ(m_song.GetPattern(0)->packedSize, 66);
    EXPECT_EQ(m_song.GetPattern(0)->dataSize, 30);
    EXPECT_EQ(m_song.GetInstrument(0)->sampleCount, 0);
}

// Before the first pattern's row count nothing loads; once the patterns are whole, everything
// does (instruments cut short read as empty ones).
TEST_F(ModuleSongTest, EveryPrefixOfEveryFixtureLoadsOrIsRefused)
{
    for (const std::string& name : Tarv::GetXmFixtureNames()) {
        const std::vector<std::uint8_t> bytes = Fixture(name.c_str());
        const std::size_t stride = bytes.size() > 4000 ? 97 : 1;
        for (std::size_t size = 0; size <= bytes.size(); size += stride) {
            CModuleSong song;
            const bool loaded = song.LoadFromMemory(bytes.data(), size);
            EXPECT_TRUE(loaded ? size >= Layout().firstPattern + 6 : size < Layout().firstInstrument)
                << name << " cut at " << size;
        }
    }
}

TEST_F(ModuleSongTest, LoadsThroughTheFileSystem)
{
    TestFiles::TempDir dir;
    ASSERT_TRUE(TestFiles::WriteBytes(dir.Path() + "/tone.xm", Fixture("tone")));
    ASSERT_TRUE(TestFiles::WriteBytes(dir.Path() + "/text.xm", {'E', 'x', 't'}));
    // A valid song with a long 16-bit sample, just over 64 MiB: size alone refuses nothing.
    const std::size_t length = (32u << 20) + 1000;
    const auto valueAt = [](std::size_t i) { return static_cast<std::int16_t>(i * 7); };
    {
        std::vector<std::int16_t> ramp(length);
        for (std::size_t i = 0; i < length; ++i)
            ramp[i] = valueAt(i);
        const std::vector<std::uint8_t> bytes = Samples({MakeSample(std::move(ramp), true, 0, 0, 0)});
        ASSERT_TRUE(TestFiles::WriteBytes(dir.Path() + "/long.xm", bytes));
    }
    ASSERT_GT(std::filesystem::file_size(dir.Path() + "/long.xm"), std::uintmax_t(64) << 20);
    Tarv::VfsInit();
    Tarv::VfsMountNative(dir.Path() + "/", "", 0);
    ASSERT_TRUE(m_song.Load("long.xm"));
    ASSERT_EQ(Sample().length, length);
    EXPECT_EQ(Sample().data[length - 1], valueAt(length - 1));
    EXPECT_TRUE(m_song.Load("tone.xm"));
    EXPECT_EQ(m_song.GetInstrumentCount(), 1);
    for (const char* bad : {"text.xm", "missing.xm", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(m_song.Load(bad)) << (bad != nullptr ? bad : "null");
    EXPECT_EQ(m_song.GetInstrumentCount(), 0);
    Tarv::VfsShutdown();
}
