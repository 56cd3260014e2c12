// Songs written as text: the game's two songs load in the game's module loader as written and
// play without clipping; faulty texts are refused with the line that is wrong.
#include "tools/xm/XmTune.h"

#include "audio/ModulePlayer.h"
#include "audio/ModuleSong.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace
{

std::string ReadSong(const std::string& name)
{
    std::ifstream in(std::string(BRASHWICK_SOURCE_DIR) + "/content/common/audio/music/" + name + ".tune");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class GameSong : public testing::TestWithParam<const char*>
{
};

TEST_P(GameSong, LoadsAsWrittenAndPlaysWithHeadroom)
{
    Tarv::XmModuleDesc module;
    std::string error;
    ASSERT_TRUE(Tarv::ComposeTune(ReadSong(GetParam()), module, error)) << error;
    Tarv::XmWriter writer;
    const std::vector<std::uint8_t> bytes = writer.Write(module);
    Tarv::ModulePlayer::CModuleSong song;
    ASSERT_TRUE(song.LoadFromMemory(bytes.data(), bytes.size()));
    const auto& header = song.GetHeader();
    EXPECT_EQ(header.channelCount, module.channelCount);
    EXPECT_EQ(header.songLength, module.orders.size());
    EXPECT_EQ(song.GetInstrumentCount(), static_cast<int>(module.instruments.size()));
    ASSERT_EQ(song.GetPatternCount(), static_cast<int>(module.patterns.size()));
    for (int i = 0; i < song.GetPatternCount(); ++i)
        EXPECT_EQ(song.GetPattern(i)->rowCount, module.patterns[static_cast<std::size_t>(i)].rows);
    EXPECT_TRUE(std::equal(module.orders.begin(), module.orders.end(), header.orderTable));

    Tarv::ModulePlayer::ModulePlayer player;
    player.SetSong(&song);
    player.SetPlayRange(-1, -1);
    std::vector<std::int16_t> samples(22050 * 8);
    ASSERT_TRUE(player.Render(samples.data(), static_cast<int>(samples.size())));
    int peak = 0;
    for (std::int16_t sample : samples)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    EXPECT_GT(peak, 32767 / 20);
    EXPECT_LT(peak, 18400); // -5 dBFS, the top of the window the content build allows
}

INSTANTIATE_TEST_SUITE_P(Songs, GameSong, testing::Values("menu_music", "game_music"));

struct Fault
{
    const char* name;
    const char* text;
    const char* message;
};

void PrintTo(const Fault& fault, std::ostream* out)
{
    *out << fault.name;
}

class TuneFault : public testing::TestWithParam<Fault>
{
};

TEST_P(TuneFault, IsRefusedWithItsLine)
{
    const std::string head = "song s\nbpm 120\nspeed 6\nrows 4\ninstrument 1 sine\n";
    Tarv::XmModuleDesc module;
    std::string error;
    EXPECT_FALSE(Tarv::ComposeTune(head + GetParam().text, module, error));
    EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Faults, TuneFault, testing::Values(
    Fault{"NoOrder", "pattern A\n1 40 C-4 . . .\n", "order list"},
    Fault{"ShortLine", "pattern A\n1 40 C-4:2 .\norder A\n", "line 7: the line has 3 rows"},
    Fault{"BadNote", "pattern A\n1 40 H-4 . . .\norder A\n", "bad note 'H-4'"},
    Fault{"MissingInstrument", "pattern A\n2 40 C-4 . . .\norder A\n", "no instrument 2"},
    Fault{"LoudVolume", "pattern A\n1 65 C-4 . . .\norder A\n", "volume of 0 to 64"},
    Fault{"MissingPattern", "pattern A\n1 40 C-4 . . .\norder B\n", "no pattern B"},
    Fault{"UnknownWave", "instrument 2 organ\n", "unknown wave 'organ'"},
    Fault{"InstrumentOutOfOrder", "instrument 3 sine\n", "numbered 1, 2"},
    Fault{"SlowBpm", "bpm 20\n", "bpm is out of range"},
    Fault{"UnknownKeyword", "tempo 3\n", "cannot read 'tempo'"},
    Fault{"HugeLength", "pattern A\n1 40 C-4:2000000000\norder A\n", "bad length"},
    Fault{"HugeRepeat", "pattern A\n1 40 C-4 x999999999\norder A\n", "bad repeat count"}),
    [](const testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });

} // namespace
