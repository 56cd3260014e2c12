// The XM loader over generated files: what it reads, converts and skips, and how it treats
// damaged files (refused cleanly, or kept as far as they reach).
#include "audio/ModuleSong.h"

#include "engine/vfs/Vfs.h"
#include "tests/audio/TestTones.h"
#include "tests/engine/vfs/TestFiles.h"
#include "tools/xm/XmFixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

using Tarv::ModulePlayer::CModuleInstrument;
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

std::vector<std::uint8_t> WriteFixture(const char* name, Tarv::XmWriter& writer)
{
    Tarv::XmModuleDesc module;
    EXPECT_TRUE(Tarv::MakeXmFixture(name, module));
    return writer.Write(module);
}

bool Load(CModuleSong& song, const std::vector<std::uint8_t>& bytes)
{
    return song.LoadFromMemory(bytes.data(), bytes.size());
}

// One instrument holding the given samples, and one empty pattern.
std::vector<std::uint8_t> WriteSamples(const std::vector<Tarv::XmSampleDesc>& samples, Tarv::XmWriter& writer)
{
    Tarv::XmModuleDesc module;
    module.patterns.emplace_back(4, 1);
    module.orders = {0};
    Tarv::XmInstrumentDesc instrument;
    instrument.samples = samples;
    module.instruments.push_back(instrument);
    return writer.Write(module);
}

} // namespace

TEST(ModuleSongLoad, ReadsTheGeneratedToneModule)
{
    Tarv::XmWriter writer;
    CModuleSong song;
    ASSERT_TRUE(Load(song, WriteFixture("tone", writer)));
    const auto& header = song.GetHeader();
    EXPECT_EQ(header.songLength, 1);
    EXPECT_EQ(header.channelCount, 1);
    EXPECT_EQ(header.defaultTempo, 6);
    EXPECT_EQ(header.defaultBpm, 125);
    ASSERT_EQ(song.GetPatternCount(), 1);
    EXPECT_EQ(song.GetPattern(0)->rowCount, 64);
    EXPECT_EQ(song.GetPattern(0)->dataSize, 3 + 63);
    ASSERT_EQ(song.GetInstrumentCount(), 1);
    const CModuleSample& sample = song.GetInstrument(0)->samples[0];
    EXPECT_EQ(sample.length, 64u);
    EXPECT_EQ(sample.loopStart, 0u);
    EXPECT_EQ(sample.loopLength, 64u);
    EXPECT_EQ(sample.pitchFactor, 4096);
    const std::vector<std::int16_t> cycle = Tarv::MakeSineCycle(64, 20000.0);
    EXPECT_TRUE(std::equal(cycle.begin(), cycle.end(), sample.data.get()));
    EXPECT_EQ(song.GetPattern(1), nullptr);
    EXPECT_EQ(song.GetInstrument(-1), nullptr);
}

TEST(ModuleSongLoad, DecodesEightBitDeltasScaledBy256)
{
    Tarv::XmSampleDesc sample;
    sample.sixteenBit = false;
    sample.data = {4096, 8192, 4096};
    Tarv::XmWriter writer;
    std::vector<std::uint8_t> bytes = WriteSamples({sample}, writer);
    const std::size_t data = writer.GetLayout().sampleData[0];
    EXPECT_EQ(bytes[data], 0x10);
    EXPECT_EQ(bytes[data + 2], 0xF0);
    CModuleSong song;
    ASSERT_TRUE(Load(song, bytes));
    const CModuleSample& loaded = song.GetInstrument(0)->samples[0];
    ASSERT_EQ(loaded.length, 3u);
    EXPECT_EQ(loaded.data[0], 4096);
    EXPECT_EQ(loaded.data[1], 8192);
    EXPECT_EQ(loaded.data[2], 4096);
}

TEST(ModuleSongLoad, HalvesSixteenBitLengthsAndLoops)
{
    Tarv::XmSampleDesc sample;
    sample.data.assign(500, 0);
    sample.data[499] = -123;
    sample.loopType = 1;
    sample.loopStart = 100;
    sample.loopLength = 200;
    Tarv::XmWriter writer;
    std::vector<std::uint8_t> bytes = WriteSamples({sample}, writer);
    EXPECT_EQ(bytes[writer.GetLayout().sampleHeaders[0]], 1000 & 0xFF);
    CModuleSong song;
    ASSERT_TRUE(Load(song, bytes));
    const CModuleSample& loaded = song.GetInstrument(0)->samples[0];
    EXPECT_EQ(loaded.length, 500u);
    EXPECT_EQ(loaded.loopStart, 100u);
    EXPECT_EQ(loaded.loopLength, 200u);
    EXPECT_EQ(loaded.data[499], -123);
}

TEST(ModuleSongLoad, ComputesPitchFactorsEvenWithoutData)
{
    EXPECT_EQ(CModuleSong::ComputePitchFactor(0, 0), 4096);
    EXPECT_EQ(CModuleSong::ComputePitchFactor(12, 0), 8192);
    EXPECT_EQ(CModuleSong::ComputePitchFactor(-12, 0), 2047);
    EXPECT_EQ(CModuleSong::ComputePitchFactor(0, 64), 4216);
    EXPECT_EQ(CModuleSong::ComputePitchFactor(0, -128), 3866);

    Tarv::XmSampleDesc empty;
    empty.relativeNote = 12;
    Tarv::XmWriter writer;
    CModuleSong song;
    ASSERT_TRUE(Load(song, WriteSamples({empty}, writer)));
    const CModuleSample& loaded = song.GetInstrument(0)->samples[0];
    EXPECT_EQ(loaded.length, 0u);
    EXPECT_EQ(loaded.data, nullptr);
    EXPECT_EQ(loaded.pitchFactor, 8192);
}

TEST(ModuleSongLoad, ShortInstrumentHeaderHoldsNoMapOrEnvelope)
{
    Tarv::XmModuleDesc module;
    module.orders = {0};
    module.patterns.emplace_back(1, 1);
    module.instruments.resize(2);
    module.instruments[1] = Tarv::MakeSineInstrument(16, 1000.0);
    module.instruments[1].sampleMap[5] = 1;
    Tarv::XmWriter writer;
    CModuleSong song;
    ASSERT_TRUE(Load(song, writer.Write(module)));
    const CModuleInstrument& empty = *song.GetInstrument(0);
    EXPECT_EQ(empty.headerSize, 29u);
    EXPECT_EQ(empty.sampleHeaderSize, 0u);
    EXPECT_EQ(empty.volumeEnvelope[0].y, 0);
    EXPECT_EQ(empty.samples, nullptr);
    // The next instrument starts right after the 29 bytes.
    const CModuleInstrument& next = *song.GetInstrument(1);
    EXPECT_EQ(next.headerSize, 263u);
    EXPECT_EQ(next.sampleMap[5], 1);
    EXPECT_EQ(next.samples[0].length, 16u);
}

TEST(ModuleSongLoad, FullInstrumentHeaderWithoutSamplesReadsEveryField)
{
    Tarv::XmWriter writer;
    std::vector<std::uint8_t> bytes = WriteFixture("envelope", writer);
    const std::size_t instrument = writer.GetLayout().firstInstrument;
    PutU16(bytes, instrument + 27, 0);
    CModuleSong song;
    ASSERT_TRUE(Load(song, bytes));
    const CModuleInstrument& loaded = *song.GetInstrument(0);
    EXPECT_EQ(loaded.sampleCount, 0);
    EXPECT_EQ(loaded.sampleHeaderSize, 40u);
    EXPECT_EQ(loaded.volumePointCount, 5);
    EXPECT_EQ(loaded.volumeSustain, 2);
    EXPECT_EQ(loaded.volumeType, 3);
    EXPECT_EQ(loaded.volumeEnvelope[1].x, 4);
    EXPECT_EQ(loaded.volumeEnvelope[1].y, 64);
    EXPECT_EQ(loaded.volumeEnvelope[4].x, 60);
}

TEST(ModuleSongLoad, SkipsHeaderBytesBeyondTheFieldsItReads)
{
    Tarv::XmWriter writer;
    const std::vector<std::uint8_t> plain = WriteFixture("tone", writer);
    const Tarv::XmWriter::Layout layout = writer.GetLayout();
    // Longer song, pattern, instrument and sample headers, each padded with 0xEE.
    std::vector<std::uint8_t> bytes(plain.begin(), plain.begin() + static_cast<long>(layout.firstPattern));
    bytes.insert(bytes.end(), 8, 0xEE);
    PutU32(bytes, 60, 276 + 8);
    const std::size_t pattern = bytes.size();
    bytes.insert(bytes.end(), plain.begin() + static_cast<long>(layout.firstPattern),
                 plain.begin() + static_cast<long>(layout.firstPattern + 9));
    bytes.insert(bytes.end(), 3, 0xEE);
    PutU32(bytes, pattern, 12);
    bytes.insert(bytes.end(), plain.begin() + static_cast<long>(layout.firstPattern + 9),
                 plain.begin() + static_cast<long>(layout.firstInstrument));
    const std::size_t instrument = bytes.size();
    bytes.insert(bytes.end(), plain.begin() + static_cast<long>(layout.firstInstrument),
                 plain.begin() + static_cast<long>(layout.sampleHeaders[0]));
    bytes.insert(bytes.end(), 37, 0xEE);
    PutU32(bytes, instrument, 300);
    PutU32(bytes, instrument + 29, 41);
    bytes.insert(bytes.end(), plain.begin() + static_cast<long>(layout.sampleHeaders[0]),
                 plain.begin() + static_cast<long>(layout.sampleData[0]));
    bytes.push_back(0xEE);
    bytes.insert(bytes.end(), plain.begin() + static_cast<long>(layout.sampleData[0]), plain.end());

    CModuleSong reference;
    CModuleSong song;
    ASSERT_TRUE(Load(reference, plain));
    ASSERT_TRUE(Load(song, bytes));
    EXPECT_EQ(song.GetPattern(0)->rowCount, 64);
    EXPECT_EQ(0, std::memcmp(song.GetPattern(0)->data.get(), reference.GetPattern(0)->data.get(), 66));
    const CModuleSample& sample = song.GetInstrument(0)->samples[0];
    EXPECT_EQ(sample.length, 64u);
    EXPECT_EQ(sample.loopLength, 64u);
    EXPECT_EQ(0, std::memcmp(sample.data.get(), reference.GetInstrument(0)->samples[0].data.get(), 128));
}

TEST(ModuleSongLoad, ShortSampleHeadersReadAsZeroAndKeepTheFileInStep)
{
    Tarv::XmWriter writer;
    std::vector<std::uint8_t> bytes = WriteFixture("tone", writer);
    const std::size_t header = writer.GetLayout().sampleHeaders[0];
    // 39 bytes: the last name byte is gone and the data follows at once.
    bytes.erase(bytes.begin() + static_cast<long>(header + 39));
    PutU32(bytes, writer.GetLayout().firstInstrument + 29, 39);
    CModuleSong song;
    ASSERT_TRUE(Load(song, bytes));
    EXPECT_EQ(song.GetInstrument(0)->samples[0].length, 64u);
    EXPECT_EQ(song.GetInstrument(0)->samples[0].data[16], 20000);

    // Size 0: every sample header is empty, so no sample has data.
    PutU32(bytes, writer.GetLayout().firstInstrument + 29, 0);
    ASSERT_TRUE(Load(song, bytes));
    EXPECT_EQ(song.GetInstrument(0)->samples[0].length, 0u);
    EXPECT_EQ(song.GetInstrument(0)->samples[0].data, nullptr);
}

TEST(ModuleSongLoad, ShortSongHeaderHoldsAShortOrderTable)
{
    Tarv::XmWriter writer;
    std::vector<std::uint8_t> plain = WriteFixture("orders", writer);
    std::vector<std::uint8_t> bytes(plain.begin(), plain.begin() + 80 + 3);
    bytes.insert(bytes.end(), plain.begin() + static_cast<long>(writer.GetLayout().firstPattern), plain.end());
    PutU32(bytes, 60, 20 + 3);
    CModuleSong song;
    ASSERT_TRUE(Load(song, bytes));
    EXPECT_EQ(song.GetHeader().orderTable[2], 2);
    EXPECT_EQ(song.GetHeader().orderTable[3], 0);
    EXPECT_EQ(song.GetPattern(2)->rowCount, 16);
}

TEST(ModuleSongLoad, ClampsLengthsEnvelopesAndVolumesToTheirRanges)
{
    Tarv::XmWriter writer;
    std::vector<std::uint8_t> bytes = WriteFixture("envelope", writer);
    const std::size_t instrument = writer.GetLayout().firstInstrument;
    bytes[instrument + 225] = 200;
    PutU16(bytes, instrument + 131, 1000);
    bytes[writer.GetLayout().sampleHeaders[0] + 12] = 255;
    CModuleSong song;
    for (const auto& [length, clamped] : {std::pair{0u, 1}, std::pair{65535u, 256}}) {
        PutU16(bytes, 64, length);
        ASSERT_TRUE(Load(song, bytes));
        EXPECT_EQ(song.GetHeader().songLength, clamped);
    }
    EXPECT_EQ(song.GetInstrument(0)->volumePointCount, 12);
    EXPECT_EQ(song.GetInstrument(0)->volumeEnvelope[0].y, 64);
    EXPECT_EQ(song.GetInstrument(0)->samples[0].volume, 64);
}

TEST(ModuleSongLoad, FitsLoopsInsideTheSample)
{
    Tarv::XmSampleDesc past;
    past.data.assign(100, 1);
    past.loopType = 1;
    past.loopStart = 80;
    past.loopLength = 1000;
    Tarv::XmSampleDesc outside = past;
    outside.loopStart = 150;
    Tarv::XmSampleDesc unlooped = past;
    unlooped.loopType = 0;
    Tarv::XmWriter writer;
    CModuleSong song;
    ASSERT_TRUE(Load(song, WriteSamples({past, outside, unlooped}, writer)));
    const CModuleSample* samples = song.GetInstrument(0)->samples.get();
    EXPECT_EQ(samples[0].loopLength, 20u);
    EXPECT_TRUE(samples[0].IsLooping());
    EXPECT_FALSE(samples[1].IsLooping());
    EXPECT_FALSE(samples[2].IsLooping());
}

TEST(ModuleSongDamage, RefusesFilesThatAreNotModules)
{
    Tarv::XmWriter writer;
    const std::vector<std::uint8_t> good = WriteFixture("tone", writer);
    CModuleSong song;
    EXPECT_FALSE(song.LoadFromMemory(nullptr, 100));
    EXPECT_FALSE(Load(song, std::vector<std::uint8_t>(good.begin(), good.begin() + 79)));
    std::vector<std::uint8_t> bytes = good;
    bytes[0] = 'e';
    EXPECT_FALSE(Load(song, bytes));
    bytes = good;
    PutU16(bytes, 58, 0x0103);
    EXPECT_FALSE(Load(song, bytes));
    std::vector<std::uint8_t> text(4000, 'x');
    EXPECT_FALSE(Load(song, text));
    EXPECT_EQ(song.GetPatternCount(), 0);
    EXPECT_EQ(song.GetHeader().channelCount, 0);
}

TEST(ModuleSongDamage, RefusesCountsAndSizesBeyondTheLimits)
{
    Tarv::XmWriter writer;
    const std::vector<std::uint8_t> good = WriteFixture("tone", writer);
    const std::size_t pattern = writer.GetLayout().firstPattern;
    const std::size_t instrument = writer.GetLayout().firstInstrument;
    const struct
    {
        std::size_t offset;
        std::uint32_t value;
        int width;
    } CASES[] = {
        {68, 65535, 2},       {68, 0, 2},          {68, 33, 2},        {70, 65535, 2},   {72, 65535, 2},
        {72, 129, 2},         {60, 19, 4},         {60, 0xFFFFFFFF, 4}, {pattern, 8, 4},  {pattern + 5, 0, 2},
        {pattern + 5, 257, 2}, {instrument + 27, 65535, 2}, {instrument + 27, 17, 2},
    };
    for (const auto& c : CASES) {
        std::vector<std::uint8_t> bytes = good;
        if (c.width == 2)
            PutU16(bytes, c.offset, c.value);
        else
            PutU32(bytes, c.offset, c.value);
        CModuleSong song;
        EXPECT_FALSE(Load(song, bytes)) << "offset " << c.offset << " value " << c.value;
        EXPECT_EQ(song.GetInstrumentCount(), 0);
    }
}

TEST(ModuleSongDamage, KeepsWhatATruncatedFileHolds)
{
    Tarv::XmWriter writer;
    std::vector<std::uint8_t> bytes = WriteFixture("tone", writer);
    const std::size_t data = writer.GetLayout().sampleData[0];
    // A sample that claims 4 GiB keeps the 128 bytes present (64 samples).
    PutU32(bytes, writer.GetLayout().sampleHeaders[0], 0xFFFFFFFF);
    CModuleSong song;
    ASSERT_TRUE(Load(song, bytes));
    EXPECT_EQ(song.GetInstrument(0)->samples[0].length, 64u);

    // Cut in the middle of the sample data.
    bytes = WriteFixture("tone", writer);
    bytes.resize(data + 21);
    ASSERT_TRUE(Load(song, bytes));
    EXPECT_EQ(song.GetInstrument(0)->samples[0].length, 10u);

    // A pattern whose packed size runs past the end keeps the bytes present.
    bytes.resize(writer.GetLayout().firstPattern + 9 + 30);
    ASSERT_TRUE(Load(song, bytes));
    EXPECT_EQ(song.GetPattern(0)->packedSize, 66);
    EXPECT_EQ(song.GetPattern(0)->dataSize, 30);
    EXPECT_EQ(song.GetInstrument(0)->sampleCount, 0);
}

TEST(ModuleSongDamage, EveryPrefixOfEveryFixtureLoadsOrIsRefused)
{
    Tarv::XmWriter writer;
    for (const std::string& name : Tarv::GetXmFixtureNames()) {
        const std::vector<std::uint8_t> bytes = WriteFixture(name.c_str(), writer);
        const std::size_t stride = bytes.size() > 4000 ? 97 : 1;
        for (std::size_t size = 0; size <= bytes.size(); size += stride) {
            CModuleSong song;
            const bool loaded = song.LoadFromMemory(bytes.data(), size);
            // Before the first pattern's row count nothing loads; once the patterns are whole,
            // everything does (instruments cut short read as empty ones).
            if (size < writer.GetLayout().firstPattern + 6) {
                EXPECT_FALSE(loaded) << name << " cut at " << size;
            }
            if (size >= writer.GetLayout().firstInstrument) {
                EXPECT_TRUE(loaded) << name << " cut at " << size;
            }
        }
    }
}

TEST(ModuleSongFile, LoadsThroughTheFileSystem)
{
    TestFiles::TempDir dir;
    Tarv::XmWriter writer;
    ASSERT_TRUE(TestFiles::WriteBytes(dir.Path() + "/tone.xm", WriteFixture("tone", writer)));
    ASSERT_TRUE(TestFiles::WriteBytes(dir.Path() + "/text.xm", {'E', 'x', 't'}));
    Tarv::VfsInit();
    Tarv::VfsMountNative(dir.Path() + "/", "", 0);
    CModuleSong song;
    EXPECT_TRUE(song.Load("tone.xm"));
    EXPECT_EQ(song.GetInstrumentCount(), 1);
    EXPECT_FALSE(song.Load("text.xm"));
    EXPECT_FALSE(song.Load("missing.xm"));
    EXPECT_FALSE(song.Load(nullptr));
    EXPECT_EQ(song.GetInstrumentCount(), 0);
    Tarv::VfsShutdown();
}
