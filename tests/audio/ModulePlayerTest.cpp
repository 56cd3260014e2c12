// The module player over generated songs: note table, tick and row timing, the volume column,
// loops, order ranges, gain, envelopes, damaged songs, and every generated module.
#include "audio/ModulePlayer.h"

#include "tools/xm/XmFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

using Tarv::ModulePlayer::CModuleSong;
using Tarv::ModulePlayer::ModulePlayer;
using Cell = Tarv::XmCell;

namespace
{

// One channel, one pattern of the given rows starting with the given cells, one looping instrument
// of a constant value (the output shows the gain and the onsets directly), speed 6 at 125 BPM.
Tarv::XmModuleDesc OneChannel(int rows, const std::vector<Cell>& cells = {}, std::int16_t value = 32767,
                              std::uint8_t volume = 64)
{
    Tarv::XmModuleDesc module;
    Tarv::XmSampleDesc sample;
    sample.data.assign(64, value);
    sample.loopType = 1;
    sample.loopLength = 64;
    sample.volume = volume;
    module.instruments.emplace_back().samples.push_back(sample);
    module.patterns.emplace_back(rows, 1);
    for (std::size_t row = 0; row < cells.size(); ++row)
        module.patterns[0].At(static_cast<int>(row), 0) = cells[row];
    module.orders = {0};
    return module;
}

class ModulePlayerTest : public ::testing::Test
{
protected:
    // Loads the module and plays the given order range (the whole song by default).
    void Start(const Tarv::XmModuleDesc& module, int first = -1, int last = -1)
    {
        const std::vector<std::uint8_t> bytes = Tarv::XmWriter().Write(module);
        m_song.reset(new CModuleSong());
        EXPECT_TRUE(m_song->LoadFromMemory(bytes.data(), bytes.size()));
        m_player.SetSong(m_song.get());
        m_player.SetPlayRange(first, last);
    }
    void Start(const char* fixture, int first = -1, int last = -1)
    {
        Tarv::XmModuleDesc module;
        EXPECT_TRUE(Tarv::MakeXmFixture(fixture, module));
        Start(module, first, last);
    }
    std::vector<std::int16_t> Render(int count)
    {
        std::vector<std::int16_t> out(static_cast<std::size_t>(count));
        EXPECT_TRUE(m_player.Render(out.data(), count));
        return out;
    }
    // Runs ticks until the next row has been read.
    void RunRow()
    {
        const int row = m_player.GetRow();
        const int order = m_player.GetOrder();
        for (int i = 0; i < 64 && m_player.GetRow() == row && m_player.GetOrder() == order; ++i)
            m_player.ProcessTick();
    }
    const auto& Channel() { return m_player.GetChannel(0); }

    std::unique_ptr<CModuleSong> m_song;
    ModulePlayer m_player;
};

} // namespace

TEST_F(ModulePlayerTest, StepTableMatchesTheNoteFormula)
{
    for (const auto& [note, step] : {std::pair{0, 89}, {1, 95}, {49, 1521}, {61, 3042}, {66, 4060}, {73, 6084},
                                     {95, 21681}})
        EXPECT_EQ(m_player.GetStep(note), step) << "note " << note;
}

TEST_F(ModulePlayerTest, RefusesToRenderWithoutASongAndARange)
{
    Start("tone");
    ModulePlayer player;
    std::int16_t out[16] = {};
    EXPECT_FALSE(player.Render(out, 16));
    player.SetSong(m_song.get());
    EXPECT_FALSE(player.Render(out, 16));
    player.SetPlayRange(-1, -1);
    EXPECT_TRUE(player.Render(out, 16));
    player.SetSong(nullptr);
    EXPECT_FALSE(player.Render(out, 16));
    EXPECT_EQ(player.GetChannelCount(), 0);
}

TEST_F(ModulePlayerTest, FirstRowAfterFiveTicksThenARowEvery2646Samples)
{
    Start(OneChannel(4, {{49, 1}, {0, 0, 0, 0x0C, 0}, {49, 1}}));
    const std::vector<std::int16_t> out = Render(8000);
    for (const auto& [at, sounds] : {std::pair{2204, false}, {2205, true}, {4850, true}, {4851, false},
                                     {7496, false}, {7497, true}})
        EXPECT_EQ(out[at] != 0, sounds) << "sample " << at;
}

TEST_F(ModulePlayerTest, EffectFSetsBpmOrSpeed)
{
    Start(OneChannel(4, {{}, {0, 0, 0, 0x0F, 0x20}, {0, 0, 0, 0x0F, 0x03}, {0, 0, 0, 0x0F, 0x00}}));
    // Ticks per row, BPM and samples per tick after each row; F00 changes nothing.
    const std::vector<int> expected[] = {{6, 125, 441}, {6, 32, 1837}, {3, 32, 1837}, {3, 32, 1837}};
    for (int row = 0; row < 4; ++row) {
        RunRow();
        EXPECT_EQ((std::vector<int>{m_player.GetTicksPerRow(), m_player.GetBpm(), m_player.GetSamplesPerTick()}),
                  expected[row]) << "row " << row;
    }
}

TEST_F(ModulePlayerTest, VolumeColumnValues)
{
    const int CASES[][3] = {{1000, 0x8F, 940}, {1000, 0x9F, 1060}, {1000, 0x30, 32 * 1024}, {1000, 0x50, 65535},
                            {5000, 0x65, 0}, {5000, 0x72, 5000 + 2048}, {65000, 0x7F, 65535}, {5000, 0xA3, 5000},
                            {5000, 0x0F, 5000}};
    for (const auto& c : CASES)
        EXPECT_EQ(ModulePlayer::ApplyVolumeColumn(c[0], static_cast<std::uint8_t>(c[1])), c[2]) << std::hex << c[1];
}

TEST_F(ModulePlayerTest, InstrumentStartsAtItsDefaultUnlessTheVolumeColumnSays)
{
    Start(OneChannel(6, {{49, 1}, {49, 1, 0x30}, {49, 1, 0xFF}, {0, 0, 0x8F}, {49, 1, 0xA3}, {0, 0, 0, 0x0C, 0x70}},
                     1000, 40));
    const int expected[] = {40 * 1024, 32 * 1024, 40 * 1024, 40 * 1024 - 60, 40 * 1024 - 60, 65535};
    for (int row = 0; row < 6; ++row) {
        RunRow();
        EXPECT_EQ(Channel().volume, expected[row]) << "row " << row;
    }
}

TEST_F(ModulePlayerTest, GainFollowsTheSquareOfTheVolume)
{
    Tarv::XmModuleDesc module = OneChannel(2, {{49, 1}, {0, 0, 0x30}});
    module.defaultTempo = 1;
    Start(module);
    const std::vector<std::int16_t> out = Render(882);
    EXPECT_NEAR(out[10], 32767, 6);
    EXPECT_NEAR(out[441 + 10], 32767 / 4, 4);
}

// A looping sample stays inside its loop (played high, with no end of pattern in reach); one
// without a loop stops at its end (150 samples at 1521/4096 per output sample: 404 samples).
TEST_F(ModulePlayerTest, SamplesStayInsideTheirLoopOrStopAtTheirEnd)
{
    for (const bool looping : {true, false}) {
        Tarv::XmModuleDesc module = OneChannel(64, {{static_cast<std::uint8_t>(looping ? 73 : 49), 1}});
        Tarv::XmSampleDesc& sample = module.instruments[0].samples[0];
        sample.data.assign(150, 3000);
        sample.loopType = looping ? 1 : 0;
        sample.loopStart = 100;
        sample.loopLength = 50;
        Start(module, 0, 0);
        const std::vector<std::int16_t> out = Render(2205 + 1000);
        if (!looping) {
            EXPECT_NE(out[2205 + 402], 0);
            EXPECT_EQ(out[2205 + 404], 0);
            EXPECT_EQ(Channel().sample, nullptr);
            continue;
        }
        for (int block = 0; block < 40; ++block) {
            Render(1000);
            ASSERT_NE(Channel().sample, nullptr);
            EXPECT_GE(Channel().position >> 12, 100);
            EXPECT_LE(Channel().position >> 12, 149);
        }
    }
}

// Orders after each row: a range wraps back to its first order; a break goes to row 0 of the next
// order. In "orders", order 2 plays pattern 2 up to its break on row 6; order 3 is pattern 1, four rows.
TEST_F(ModulePlayerTest, PlayRangesWrapAndBreaksGoToRowZero)
{
    const struct
    {
        int first, last;
        std::vector<int> orders;
    } CASES[] = {{2, 3, {2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 2}},
                 {-1, 99, {0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 0}}};
    for (const auto& c : CASES) {
        Start("orders", c.first, c.last);
        std::vector<int> orders;
        for (std::size_t row = 0; row < c.orders.size(); ++row) {
            const int order = m_player.GetOrder();
            RunRow();
            orders.push_back(m_player.GetOrder());
            EXPECT_TRUE(m_player.GetOrder() == order || m_player.GetRow() == 0) << "range " << c.first << " row " << row;
        }
        EXPECT_EQ(orders, c.orders) << "range " << c.first;
    }
}

// Held at the sustain point until key-off on row 6; the envelope then runs on to its last point,
// where the note ends. A sustain point past the last point ends the note there.
TEST_F(ModulePlayerTest, EnvelopeHeldAtTheSustainPointUntilKeyOffThenTheNoteEnds)
{
    for (const int sustain : {2, 200}) {
        Tarv::XmModuleDesc module;
        Tarv::MakeXmFixture("envelope", module);
        module.instruments[0].volumeSustain = static_cast<std::uint8_t>(sustain);
        Start(module);
        RunRow();
        std::vector<int> volumes;
        for (int tick = 0; tick < 30; ++tick) {
            volumes.push_back(Channel().envelopeVolume);
            m_player.ProcessTick();
        }
        if (sustain == 2) {
            for (const auto& [tick, volume] : {std::pair{0, 0}, {4, 64}, {7, 52}, {12, 40}, {29, 40}})
                EXPECT_EQ(volumes[static_cast<std::size_t>(tick)], volume) << "tick " << tick;
        }
        for (int tick = 0; tick < 80 && Channel().sample != nullptr; ++tick)
            m_player.ProcessTick();
        EXPECT_EQ(Channel().sample, nullptr) << "sustain " << sustain;
        EXPECT_TRUE(sustain != 2 || Channel().keyOff == 1);
    }
}

// The file's tempo is taken as it stands. Above 55125 BPM a tick would last no sample and a
// render would never end: such a tick lasts one sample.
TEST_F(ModulePlayerTest, TempoFromTheFileIsTakenAsItStands)
{
    // Speed, BPM, samples per tick.
    const int CASES[][3] = {{6, 0, 22050}, {6, 1, 22050}, {0, 125, 441}, {6, 55125, 1}, {65535, 55128, 1},
                            {6, 65535, 1}};
    for (const auto& c : CASES) {
        Tarv::XmModuleDesc module = OneChannel(2, {{49, 1}});
        module.defaultTempo = static_cast<std::uint16_t>(c[0]);
        module.defaultBpm = static_cast<std::uint16_t>(c[1]);
        Start(module);
        EXPECT_EQ((std::vector<int>{m_player.GetSpeed(), m_player.GetBpm(), m_player.GetTicksPerRow()}),
                  (std::vector<int>{c[0], c[1], c[0]}));
        ASSERT_EQ(m_player.GetSamplesPerTick(), c[2]) << c[1];
        Render(22050);
    }
}

TEST_F(ModulePlayerTest, HeldPortamentoOnALoopingSampleStaysBounded)
{
    Tarv::XmModuleDesc module =
        OneChannel(4, {{85, 1, 0, 0x01, 0xFF}, {0, 0, 0, 0x01, 0}, {0, 0, 0, 0x01, 0}, {1, 1, 0, 0x03, 0xFF}});
    module.instruments[0].samples[0].data = Tarv::MakeSineCycle(64, 20000.0);
    Start(module);
    Render(2206);
    for (int block = 0; block < 100; ++block) {
        Render(1024);
        ASSERT_NE(Channel().sample, nullptr);
        EXPECT_TRUE(Channel().step >= 0 && Channel().step <= ModulePlayer::MAX_STEP) << Channel().step;
        EXPECT_TRUE(Channel().position >= 0 && (Channel().position >> 12) < 64) << Channel().position;
    }
}

TEST_F(ModulePlayerTest, NotesAndInstrumentsOutOfRange)
{
    Tarv::XmModuleDesc module = OneChannel(5, {{96, 1}, {120, 1}, {49, 9}, {11, 1}, {255, 255, 255, 255, 255}});
    module.instruments[0].samples.push_back(module.instruments[0].samples[0]);
    module.instruments[0].sampleMap[94] = 1;
    module.instruments[0].sampleMap[10] = 7;
    Start(module);
    // Notes above 95, past key-off too, play as note 95: its sample and its step.
    RunRow();
    EXPECT_EQ(Channel().sample, &m_song->GetInstrument(0)->samples[1]);
    EXPECT_EQ(Channel().step, m_player.GetStep(95));
    EXPECT_EQ(Channel().note, 96);
    RunRow();
    EXPECT_EQ(Channel().note, 120);
    EXPECT_EQ(Channel().sample, &m_song->GetInstrument(0)->samples[1]);
    EXPECT_EQ(Channel().step, m_player.GetStep(95));
    RunRow();
    EXPECT_EQ(Channel().instrument, nullptr);
    EXPECT_EQ(Channel().instrumentIndex, 8);
    // A map entry past the sample count starts nothing.
    const auto* before = Channel().sample;
    RunRow();
    EXPECT_EQ(Channel().sample, before);
    RunRow();
    Render(5000);
}

TEST_F(ModulePlayerTest, MissingPatternsAndCutRowsPlayAsEmpty)
{
    Tarv::XmModuleDesc module = OneChannel(2, {{49, 1, 0x40, 0x0A, 0x01}});
    module.orders = {7, 0};
    Start(module);
    for (int row = 0; row < 64; ++row) {
        EXPECT_EQ(m_player.GetOrder(), 0);
        RunRow();
    }
    EXPECT_EQ(m_player.GetOrder(), 1);

    // Cut after the note and instrument of the first cell: no instruments are left either.
    Tarv::XmWriter writer;
    std::vector<std::uint8_t> bytes = writer.Write(module);
    bytes.resize(writer.GetLayout().firstPattern + 9 + 3);
    ASSERT_TRUE(m_song->LoadFromMemory(bytes.data(), bytes.size()));
    m_player.SetSong(m_song.get());
    m_player.SetPlayRange(1, 1);
    RunRow();
    EXPECT_EQ(Channel().note, 49);
    EXPECT_EQ(Channel().sample, nullptr);
    Render(20000);
}

// Every generated module renders and sounds; what they sound like is checked against the
// reference player.
TEST_F(ModulePlayerTest, EveryGeneratedModuleRendersSound)
{
    for (const char* name : {"tone", "anchor", "effects", "volume", "envelope", "loops", "orders", "bench16"}) {
        Start(name);
        const std::vector<std::int16_t> out = Render(20 * 1024);
        EXPECT_TRUE(std::any_of(out.begin(), out.end(), [](std::int16_t v) { return v != 0; })) << name;
    }
}
