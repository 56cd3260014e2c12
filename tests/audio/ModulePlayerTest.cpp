// The module player over generated songs: note table, tick and row timing, the volume column,
// loops, order ranges, gain, envelopes, damaged songs, and every generated module.
#include "audio/ModulePlayer.h"

#include "tools/xm/XmFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using Tarv::ModulePlayer::CModuleSong;
using Tarv::ModulePlayer::ModulePlayer;

namespace
{

std::unique_ptr<CModuleSong> MakeSong(const Tarv::XmModuleDesc& module)
{
    Tarv::XmWriter writer;
    const std::vector<std::uint8_t> bytes = writer.Write(module);
    std::unique_ptr<CModuleSong> song(new CModuleSong());
    EXPECT_TRUE(song->LoadFromMemory(bytes.data(), bytes.size()));
    return song;
}

std::unique_ptr<CModuleSong> MakeFixtureSong(const char* name)
{
    Tarv::XmModuleDesc module;
    EXPECT_TRUE(Tarv::MakeXmFixture(name, module));
    return MakeSong(module);
}

// A looping sample of one constant value: the output shows the gain and the onsets directly.
Tarv::XmInstrumentDesc MakeFlatInstrument(std::int16_t value, std::uint8_t volume = 64, int length = 64)
{
    Tarv::XmInstrumentDesc instrument;
    Tarv::XmSampleDesc sample;
    sample.data.assign(static_cast<std::size_t>(length), value);
    sample.loopType = 1;
    sample.loopLength = static_cast<std::uint32_t>(length);
    sample.volume = volume;
    instrument.samples.push_back(sample);
    return instrument;
}

Tarv::XmCell Cell(std::uint8_t note, std::uint8_t instrument, std::uint8_t volume = 0, std::uint8_t effect = 0,
                  std::uint8_t param = 0)
{
    Tarv::XmCell cell;
    cell.note = note;
    cell.instrument = instrument;
    cell.volume = volume;
    cell.effect = effect;
    cell.param = param;
    return cell;
}

// One channel, one pattern of the given rows, one flat instrument, speed 6 at 125 BPM.
Tarv::XmModuleDesc OneChannel(int rows)
{
    Tarv::XmModuleDesc module;
    module.instruments.push_back(MakeFlatInstrument(32767));
    module.patterns.emplace_back(rows, 1);
    module.orders = {0};
    return module;
}

// The whole song from its first order.
void Start(ModulePlayer& player, const CModuleSong* song)
{
    player.SetSong(song);
    player.SetPlayRange(-1, -1);
}

std::vector<std::int16_t> Render(ModulePlayer& player, int count)
{
    std::vector<std::int16_t> out(static_cast<std::size_t>(count));
    EXPECT_TRUE(player.Render(out.data(), count));
    return out;
}

// Runs ticks until the next row has been read.
void RunRow(ModulePlayer& player)
{
    const int row = player.GetRow();
    const int order = player.GetOrder();
    for (int i = 0; i < 64 && player.GetRow() == row && player.GetOrder() == order; ++i)
        player.ProcessTick();
}

} // namespace

TEST(ModulePlayerTable, StepTableMatchesTheNoteFormula)
{
    ModulePlayer player;
    const int notes[] = {0, 1, 49, 61, 66, 73, 95};
    const int steps[] = {89, 95, 1521, 3042, 4060, 6084, 21681};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(player.GetStep(notes[i]), steps[i]) << "note " << notes[i];
    // B-7 has its own entry rather than sharing A#-7's.
    EXPECT_EQ(player.GetStep(96), static_cast<std::int32_t>(Tarv::ModulePlayer::Pow(96.0f - 66.15f) * 4096.0f));
    EXPECT_GT(player.GetStep(96), player.GetStep(95));
}

TEST(ModulePlayerTiming, RefusesToRenderWithoutASongAndARange)
{
    ModulePlayer player;
    std::int16_t out[16] = {};
    EXPECT_FALSE(player.Render(out, 16));
    std::unique_ptr<CModuleSong> song = MakeFixtureSong("tone");
    player.SetSong(song.get());
    EXPECT_FALSE(player.Render(out, 16));
    player.SetPlayRange(-1, -1);
    EXPECT_TRUE(player.Render(out, 16));
    player.SetSong(nullptr);
    EXPECT_FALSE(player.Render(out, 16));
    EXPECT_EQ(player.GetChannelCount(), 0);
}

TEST(ModulePlayerTiming, FirstRowAfterFiveTicksThenARowEvery2646Samples)
{
    Tarv::XmModuleDesc module = OneChannel(4);
    module.patterns[0].At(0, 0) = Cell(49, 1);
    module.patterns[0].At(1, 0) = Cell(0, 0, 0, 0x0C, 0);
    module.patterns[0].At(2, 0) = Cell(49, 1);
    std::unique_ptr<CModuleSong> song = MakeSong(module);
    ModulePlayer player;
    Start(player, song.get());
    const std::vector<std::int16_t> out = Render(player, 8000);
    EXPECT_EQ(out[2204], 0);
    EXPECT_NE(out[2205], 0);
    EXPECT_NE(out[4850], 0);
    EXPECT_EQ(out[4851], 0);
    EXPECT_EQ(out[7496], 0);
    EXPECT_NE(out[7497], 0);
}

TEST(ModulePlayerTiming, EffectFSetsBpmOrSpeed)
{
    Tarv::XmModuleDesc module = OneChannel(4);
    module.patterns[0].At(1, 0) = Cell(0, 0, 0, 0x0F, 0x20);
    module.patterns[0].At(2, 0) = Cell(0, 0, 0, 0x0F, 0x03);
    module.patterns[0].At(3, 0) = Cell(0, 0, 0, 0x0F, 0x00);
    std::unique_ptr<CModuleSong> song = MakeSong(module);
    ModulePlayer player;
    Start(player, song.get());
    EXPECT_EQ(player.GetSamplesPerTick(), 441);
    EXPECT_EQ(player.GetTicksPerRow(), 6);
    RunRow(player);
    RunRow(player);
    EXPECT_EQ(player.GetBpm(), 32);
    EXPECT_EQ(player.GetSamplesPerTick(), 1837);
    RunRow(player);
    EXPECT_EQ(player.GetTicksPerRow(), 3);
    EXPECT_EQ(player.GetBpm(), 32);
    RunRow(player);
    EXPECT_EQ(player.GetTicksPerRow(), 3);
}

TEST(ModulePlayerVolume, VolumeColumnValues)
{
    EXPECT_EQ(ModulePlayer::ApplyVolumeColumn(1000, 0x8F), 940);
    EXPECT_EQ(ModulePlayer::ApplyVolumeColumn(1000, 0x9F), 1060);
    EXPECT_EQ(ModulePlayer::ApplyVolumeColumn(1000, 0x30), 32 * 1024);
    EXPECT_EQ(ModulePlayer::ApplyVolumeColumn(1000, 0x50), 65535);
    EXPECT_EQ(ModulePlayer::ApplyVolumeColumn(5000, 0x65), 0);
    EXPECT_EQ(ModulePlayer::ApplyVolumeColumn(5000, 0x72), 5000 + 2048);
    EXPECT_EQ(ModulePlayer::ApplyVolumeColumn(65000, 0x7F), 65535);
    EXPECT_EQ(ModulePlayer::ApplyVolumeColumn(5000, 0xA3), 5000);
    EXPECT_EQ(ModulePlayer::ApplyVolumeColumn(5000, 0x0F), 5000);
}

TEST(ModulePlayerVolume, InstrumentStartsAtItsDefaultUnlessTheVolumeColumnSays)
{
    Tarv::XmModuleDesc module = OneChannel(6);
    module.instruments[0] = MakeFlatInstrument(1000, 40);
    Tarv::XmPatternDesc& pattern = module.patterns[0];
    pattern.At(0, 0) = Cell(49, 1);
    pattern.At(1, 0) = Cell(49, 1, 0x30);
    pattern.At(2, 0) = Cell(49, 1, 0xFF);
    pattern.At(3, 0) = Cell(0, 0, 0x8F);
    pattern.At(4, 0) = Cell(49, 1, 0xA3);
    pattern.At(5, 0) = Cell(0, 0, 0, 0x0C, 0x70);
    std::unique_ptr<CModuleSong> song = MakeSong(module);
    ModulePlayer player;
    Start(player, song.get());
    const int expected[] = {40 * 1024, 32 * 1024, 40 * 1024, 40 * 1024 - 60, 40 * 1024 - 60, 65535};
    for (int row = 0; row < 6; ++row) {
        RunRow(player);
        EXPECT_EQ(player.GetChannel(0).volume, expected[row]) << "row " << row;
    }
}

TEST(ModulePlayerVolume, GainFollowsTheSquareOfTheVolume)
{
    Tarv::XmModuleDesc module = OneChannel(2);
    module.defaultTempo = 1;
    module.patterns[0].At(0, 0) = Cell(49, 1);
    module.patterns[0].At(1, 0) = Cell(0, 0, 0x30);
    std::unique_ptr<CModuleSong> song = MakeSong(module);
    ModulePlayer player;
    Start(player, song.get());
    const std::vector<std::int16_t> out = Render(player, 882);
    EXPECT_NEAR(out[10], 32767, 6);
    EXPECT_NEAR(out[441 + 10], 32767 / 4, 4);
}

TEST(ModulePlayerLoops, LoopingSampleStaysInsideItsLoop)
{
    Tarv::XmModuleDesc module = OneChannel(64);
    Tarv::XmSampleDesc& sample = module.instruments[0].samples[0];
    sample.data.assign(150, 3000);
    sample.loopStart = 100;
    sample.loopLength = 50;
    module.patterns[0].At(0, 0) = Cell(73, 1);
    std::unique_ptr<CModuleSong> song = MakeSong(module);
    ModulePlayer player;
    player.SetSong(song.get());
    player.SetPlayRange(0, 0);
    Render(player, 2206);
    for (int block = 0; block < 40; ++block) {
        Render(player, 1000);
        ASSERT_NE(player.GetChannel(0).sample, nullptr);
        const std::int64_t index = player.GetChannel(0).position >> 12;
        EXPECT_GE(index, 100);
        EXPECT_LE(index, 149);
    }
}

TEST(ModulePlayerLoops, SampleWithoutLoopStopsAtItsEnd)
{
    Tarv::XmModuleDesc module = OneChannel(64);
    Tarv::XmSampleDesc& sample = module.instruments[0].samples[0];
    sample.data.assign(150, 3000);
    sample.loopType = 0;
    module.patterns[0].At(0, 0) = Cell(49, 1);
    std::unique_ptr<CModuleSong> song = MakeSong(module);
    ModulePlayer player;
    Start(player, song.get());
    // 150 samples at 1521/4096 per output sample last 404 output samples.
    const std::vector<std::int16_t> out = Render(player, 3000);
    EXPECT_NE(out[2205 + 402], 0);
    EXPECT_EQ(out[2205 + 404], 0);
    EXPECT_EQ(player.GetChannel(0).sample, nullptr);
}

TEST(ModulePlayerOrders, PlayRangeWrapsBackToItsFirstOrder)
{
    std::unique_ptr<CModuleSong> song = MakeFixtureSong("orders");
    ModulePlayer player;
    player.SetSong(song.get());
    player.SetPlayRange(2, 3);
    EXPECT_EQ(player.GetOrder(), 2);
    // Order 2 plays pattern 2 up to its break on row 6; order 3 is pattern 1, four rows.
    std::vector<int> orders;
    for (int row = 0; row < 22; ++row) {
        RunRow(player);
        orders.push_back(player.GetOrder());
    }
    const std::vector<int> expected = {2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 2};
    EXPECT_EQ(orders, expected);
    EXPECT_EQ(player.GetRow(), 0);
}

TEST(ModulePlayerOrders, WholeSongRangeAndPatternBreakToRowZero)
{
    std::unique_ptr<CModuleSong> song = MakeFixtureSong("orders");
    ModulePlayer player;
    player.SetSong(song.get());
    player.SetPlayRange(-1, 99);
    int rowsInOrder[4] = {};
    for (int row = 0; row < 23; ++row) {
        const int order = player.GetOrder();
        RunRow(player);
        ++rowsInOrder[order];
        if (player.GetOrder() != order) {
            EXPECT_EQ(player.GetRow(), 0);
        }
    }
    EXPECT_EQ(rowsInOrder[0], 8);
    EXPECT_EQ(rowsInOrder[1], 4);
    EXPECT_EQ(rowsInOrder[2], 7);
    EXPECT_EQ(rowsInOrder[3], 4);
    EXPECT_EQ(player.GetOrder(), 0);
}

TEST(ModulePlayerEnvelope, HeldAtTheSustainPointUntilKeyOffThenTheNoteEnds)
{
    std::unique_ptr<CModuleSong> song = MakeFixtureSong("envelope");
    ModulePlayer player;
    Start(player, song.get());
    RunRow(player);
    std::vector<int> volumes;
    for (int tick = 0; tick < 30; ++tick) {
        volumes.push_back(player.GetChannel(0).envelopeVolume);
        player.ProcessTick();
    }
    EXPECT_EQ(volumes[0], 0);
    EXPECT_EQ(volumes[4], 64);
    EXPECT_EQ(volumes[7], 52);
    EXPECT_EQ(volumes[12], 40);
    EXPECT_EQ(volumes[29], 40);
    // Key-off on row 6: the envelope runs on to its last point, where the note ends.
    for (int tick = 0; tick < 80 && player.GetChannel(0).sample != nullptr; ++tick)
        player.ProcessTick();
    EXPECT_EQ(player.GetChannel(0).sample, nullptr);
    EXPECT_EQ(player.GetChannel(0).keyOff, 1);
}

TEST(ModulePlayerDamage, TempoFromTheFileIsHeldToItsRange)
{
    const struct
    {
        std::uint16_t tempo;
        std::uint16_t bpm;
        int speed;
        int samplesPerTick;
    } CASES[] = {{6, 0, 6, 1837}, {6, 65535, 6, 216}, {0, 125, 1, 441}, {65535, 55128, 31, 216}};
    for (const auto& c : CASES) {
        Tarv::XmModuleDesc module = OneChannel(2);
        module.defaultTempo = c.tempo;
        module.defaultBpm = c.bpm;
        module.patterns[0].At(0, 0) = Cell(49, 1);
        std::unique_ptr<CModuleSong> song = MakeSong(module);
        ModulePlayer player;
        Start(player, song.get());
        EXPECT_EQ(player.GetSpeed(), c.speed);
        EXPECT_EQ(player.GetSamplesPerTick(), c.samplesPerTick);
        Render(player, 22050);
    }
    EXPECT_EQ(ModulePlayer::ComputeSamplesPerTick(0), 22050);
}

TEST(ModulePlayerDamage, HeldPortamentoOnALoopingSampleStaysBounded)
{
    Tarv::XmModuleDesc module = OneChannel(4);
    module.instruments[0].samples[0].data = Tarv::MakeSineCycle(64, 20000.0);
    module.patterns[0].At(0, 0) = Cell(85, 1, 0, 0x01, 0xFF);
    module.patterns[0].At(1, 0) = Cell(0, 0, 0, 0x01, 0);
    module.patterns[0].At(2, 0) = Cell(0, 0, 0, 0x01, 0);
    module.patterns[0].At(3, 0) = Cell(1, 1, 0, 0x03, 0xFF);
    std::unique_ptr<CModuleSong> song = MakeSong(module);
    ModulePlayer player;
    Start(player, song.get());
    Render(player, 2206);
    for (int block = 0; block < 100; ++block) {
        Render(player, 1024);
        const auto& channel = player.GetChannel(0);
        ASSERT_NE(channel.sample, nullptr);
        EXPECT_LE(channel.step, ModulePlayer::MAX_STEP);
        EXPECT_GE(channel.step, 0);
        EXPECT_GE(channel.position, 0);
        EXPECT_LT(channel.position >> 12, 64);
    }
}

TEST(ModulePlayerDamage, NotesAndInstrumentsOutOfRange)
{
    Tarv::XmModuleDesc module = OneChannel(5);
    module.instruments[0].samples.push_back(module.instruments[0].samples[0]);
    module.instruments[0].sampleMap[95] = 1;
    module.instruments[0].sampleMap[10] = 7;
    Tarv::XmPatternDesc& pattern = module.patterns[0];
    pattern.At(0, 0) = Cell(96, 1);
    pattern.At(1, 0) = Cell(120, 1);
    pattern.At(2, 0) = Cell(49, 9);
    pattern.At(3, 0) = Cell(11, 1);
    pattern.At(4, 0) = Cell(255, 255, 255, 255, 255);
    std::unique_ptr<CModuleSong> song = MakeSong(module);
    const auto& instrument = *song->GetInstrument(0);
    ModulePlayer player;
    Start(player, song.get());
    RunRow(player);
    EXPECT_EQ(player.GetChannel(0).sample, &instrument.samples[1]);
    EXPECT_EQ(player.GetChannel(0).step, player.GetStep(96));
    RunRow(player);
    EXPECT_EQ(player.GetChannel(0).note, 96);
    RunRow(player);
    EXPECT_EQ(player.GetChannel(0).instrument, nullptr);
    EXPECT_EQ(player.GetChannel(0).instrumentIndex, 8);
    // A map entry past the sample count starts nothing.
    const auto* before = player.GetChannel(0).sample;
    RunRow(player);
    EXPECT_EQ(player.GetChannel(0).sample, before);
    RunRow(player);
    Render(player, 5000);
}

TEST(ModulePlayerDamage, MissingPatternsAndCutRowsPlayAsEmpty)
{
    Tarv::XmModuleDesc module = OneChannel(2);
    module.patterns[0].At(0, 0) = Cell(49, 1, 0x40, 0x0A, 0x01);
    module.orders = {7, 0};
    Tarv::XmWriter writer;
    std::vector<std::uint8_t> bytes = writer.Write(module);
    CModuleSong song;
    ASSERT_TRUE(song.LoadFromMemory(bytes.data(), bytes.size()));
    ModulePlayer player;
    player.SetSong(&song);
    player.SetPlayRange(-1, -1);
    for (int row = 0; row < 64; ++row) {
        EXPECT_EQ(player.GetOrder(), 0);
        RunRow(player);
    }
    EXPECT_EQ(player.GetOrder(), 1);

    // Cut after the note and instrument of the first cell: no instruments are left either.
    bytes.resize(writer.GetLayout().firstPattern + 9 + 3);
    ASSERT_TRUE(song.LoadFromMemory(bytes.data(), bytes.size()));
    player.SetSong(&song);
    player.SetPlayRange(1, 1);
    RunRow(player);
    EXPECT_EQ(player.GetChannel(0).note, 49);
    EXPECT_EQ(player.GetChannel(0).sample, nullptr);
    Render(player, 20000);
}

TEST(ModulePlayerDamage, SustainPointPastTheLastPointEndsTheNoteThere)
{
    Tarv::XmModuleDesc module;
    Tarv::MakeXmFixture("envelope", module);
    module.instruments[0].volumeSustain = 200;
    std::unique_ptr<CModuleSong> song = MakeSong(module);
    ModulePlayer player;
    Start(player, song.get());
    RunRow(player);
    for (int tick = 0; tick < 70; ++tick)
        player.ProcessTick();
    EXPECT_EQ(player.GetChannel(0).sample, nullptr);
}

// Every generated module renders and sounds; what they sound like is checked against the
// reference player.
TEST(ModulePlayerFixtures, EveryGeneratedModuleRendersSound)
{
    for (const char* name : {"tone", "anchor", "effects", "volume", "envelope", "loops", "orders", "bench16"}) {
        std::unique_ptr<CModuleSong> song = MakeFixtureSong(name);
        ModulePlayer player;
        Start(player, song.get());
        const std::vector<std::int16_t> out = Render(player, 20 * 1024);
        EXPECT_TRUE(std::any_of(out.begin(), out.end(), [](std::int16_t v) { return v != 0; })) << name;
    }
}
