// The level layout check: a passing and a failing grid for every rule, the running direction,
// the table of excused cells, its report lines, the check at level start and over level files.
#include "game/Level.h"
#include "game/LevelCheck.h"
#include "game/World.h"

#include "engine/vfs/File.h"
#include "engine/vfs/PakMount.h"
#include "tests/game/GameWorld.h"

#include <array>

using namespace Pirrock;

namespace
{

struct Layout
{
    const char* name;
    std::vector<std::string> rows;
    bool runningLeft;
    std::string rules;  // the rules that fail, in report order
};

void PrintTo(const Layout& layout, std::ostream* out)
{
    *out << layout.name;
}

// The rule number of each line, concatenated.
std::string FailedRules(const MessageList& lines)
{
    std::string rules;
    for (const Tarv::NarrowString& line : lines.GetLines())
        rules += line.substr(line.find(": rule ") + 7, 1);
    return rules;
}

class Layouts : public ::testing::TestWithParam<Layout>, public GameTest::GameFiles
{
};

} // namespace

TEST_P(Layouts, FailExactlyTheRulesTheyBreak)
{
    MessageList faults;
    EXPECT_EQ(GameTest::MakeWorld(GetParam().rows)->ValidateLevel(1, GetParam().runningLeft, faults),
              static_cast<int>(GetParam().rules.size()));
    EXPECT_EQ(FailedRules(faults), GetParam().rules);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Layouts,
    ::testing::Values(
        Layout{"ParachuteOnGround", {"u..", "#.."}, false, ""},
        Layout{"ParachuteOverNothing", {"u..", "..."}, false, "1"},
        Layout{"ParachuteOverARock", {"u..", "R..", "#.."}, false, "1"},
        Layout{"TrampolineAlone", {".t..", "####"}, false, ""},
        Layout{"TrampolineByFruit", {".t1.", "####"}, false, "2"},
        Layout{"TrampolineByFruitRunningLeft", {".t1.", "####"}, true, ""},
        Layout{"PusherRunningLeft", {"..p..", "#####"}, true, ""},
        Layout{"PusherRunningLeftTwoFromFruit", {"1.p..", "#####"}, true, "3"},
        Layout{"PusherRunningRightTwoFromFruit", {"1.p..", "#####"}, false, ""},
        Layout{"TwoPushers", {".pp.", "####"}, false, "2424"},
        Layout{"FruitByABoatOnGround", {"1v.", "###"}, false, ""},
        Layout{"FruitByABoatOverAGap", {"1v.", ".##"}, false, "6"},
        Layout{"TrapDoorUnderABridge", {"..b...", ".._...", "##..##"}, false, ""},
        Layout{"TrapDoorWithoutABridge", {"......", ".._...", "##..##"}, false, "7"},
        Layout{"BridgeOverTwoCells", {".b..", "#..#"}, false, ""},
        Layout{"BridgeOverOneCell", {".b..", "#.##"}, false, "7"},
        Layout{"PusherTurningOntoFruit", {"..p.1", "#####"}, false, "7"},
        Layout{"SkatesByGround", {".k.", "#.."}, false, ""}, Layout{"SkatesOverNothing", {".k.", "..."}, false, "7"},
        Layout{"FireOnFlatGround", {".F..", "####"}, false, ""}, Layout{"FireByARock", {".FR.", "####"}, false, "7"},
        Layout{"FireByASlope", {".F..", "##/#"}, false, "7"}, Layout{"RockOnGround", {"R", "#"}, false, ""},
        Layout{"RockInTheAir", {"R.", ".."}, false, "8"}, Layout{"RockOnMagicGround", {"R", "M"}, false, "8"},
        Layout{"WaterAndPallingNeedNoGround", {"~*_", "..."}, false, "7"}, Layout{"TheEdgeIsVoid", {"R"}, false, "8"}),
    [](const ::testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });

TEST(LevelExceptions, ExcuseOnlyTheirLevelCellAndCode)
{
    GameTest::GameFiles files;
    for (const auto& [level, row, faults] : {std::array<int, 3>{8, 7, 0}, {9, 7, 1}, {8, 8, 1}}) {
        std::vector<std::string> rows(10, std::string(80, '.'));
        rows[static_cast<std::size_t>(row)].replace(71, 2, "t1");
        MessageList lines;
        EXPECT_EQ(GameTest::MakeWorld(rows)->ValidateLevel(level, false, lines), faults);
        for (const Tarv::NarrowString& line : lines.GetLines())
            EXPECT_EQ(line, "level " + std::to_string(level) + ": rule 2 fails at (71, " + std::to_string(row) +
                                "), code 30 (trampoline): a trigger lies right beside it on its right");
    }
}

TEST(LevelExceptions, CheckLevelRuleFailsOnlyABrokenRuleOutsideTheTable)
{
    const std::vector<World::RuleRecord> table = {{8, 71, 7, 30}, {14, 3, 23, 26}};
    const struct
    {
        bool holds;
        World::RuleRecord record;
        bool passes;
    } cases[] = {{true, {9, 1, 1, 0}, true},   {false, {8, 71, 7, 30}, true},  {false, {14, 3, 23, 26}, true},
                 {false, {8, 71, 8, 30}, false}, {false, {9, 71, 7, 30}, false}, {false, {8, 71, 7, 33}, false}};
    for (const auto& c : cases)
        EXPECT_EQ(World::CheckLevelRule(c.holds, c.record, table), c.passes)
            << c.record.level << " " << c.record.x << "," << c.record.y << " " << c.record.code;
}

TEST(LevelValidation, RunsAtLevelStartWhenSwitchedOnAndOverLevelFiles)
{
    GameTest::GameFiles files;
    for (const char* number : {"01", "02"})
        files.Write("levels/" + std::string(number) + ".xml",
                    "<l><scene/><time>5</time><code-map>levels/" + std::string(number) + "m.xml</code-map></l>");
    const std::string sizes = "<m width='3' height='2' tile-width='8' tile-height='8'>";
    files.Write("levels/01m.xml", sizes + "<item x='1' y='0'>19</item></m>");
    files.Write("levels/02m.xml", sizes + "</m>");
    files.Settings().SetInt("game/currentLevel", 1);
    const Tarv::SmartPtr<Level> level = Level::Load("levels/01.xml");
    ASSERT_TRUE(level && level->CreateWorld(nullptr));
    EXPECT_TRUE(files.log.GetLines().empty());
    files.Settings().SetBool("dev/validate_levels", true);
    ASSERT_TRUE(level->CreateWorld(nullptr));
    EXPECT_EQ(FailedRules(files.log), "8");

    MessageList report;
    EXPECT_EQ(ValidateLevelFiles(3, report), 2);
    const std::vector<Tarv::NarrowString> lines = report.GetLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("level 1: rule 8", 0), 0u);
    EXPECT_EQ(lines[1], "level 3: levels/03.xml does not load");
    EXPECT_EQ(lines[2], "levels 1 to 3: 2 faults");
}

TEST(LevelValidation, EveryShippedLevelKeepsTheLayoutRules)
{
    const std::string pak = std::string(BRASHWICK_OUTPUT_DIR) + "/common.pak";
    GameTest::GameFiles files;
    Tarv::VfsUnmountPath("");
    int count = 0;
    if (Tarv::VfsMountPak(pak, "", 0) != nullptr) {
        while (Tarv::SmartPtr<Tarv::File>(Tarv::VfsOpenRead(Level::GetLevelPath(count + 1).c_str())))
            ++count;
    }
    if (count == 0)
        GTEST_SKIP() << pak << " ships no levels";
    MessageList report;
    const int faults = ValidateLevelFiles(count, report);
    for (const Tarv::NarrowString& line : report.GetLines())
        EXPECT_EQ(faults, 0) << line;
}

