// The level layout check: a passing and a failing grid for every rule, the running direction,
// the table of excused cells, its report lines, the check at level start and over level files.
#include "game/Level.h"
#include "game/LevelCheck.h"
#include "game/World.h"

#include "engine/vfs/File.h"
#include "engine/vfs/PakMount.h"
#include "tests/game/GameWorld.h"

#include <filesystem>

using namespace Pirrock;

namespace
{

struct Layout
{
    const char* name;
    std::vector<std::string> rows;
    bool runningLeft;
    std::vector<std::string> rules;  // the rules that fail, in report order
};

void PrintTo(const Layout& layout, std::ostream* out)
{
    *out << layout.name;
}

class Layouts : public ::testing::TestWithParam<Layout>, public GameTest::GameFiles
{
};

std::vector<std::string> FailedRules(const MessageList& lines)
{
    std::vector<std::string> rules;
    for (const Tarv::NarrowString& line : lines.GetLines()) {
        const std::size_t at = line.find(": rule ");
        rules.push_back(at == std::string::npos ? std::string(line) : line.substr(at + 7, line.find(' ', at + 7) - at - 7));
    }
    return rules;
}

} // namespace

TEST_P(Layouts, FailExactlyTheRulesTheyBreak)
{
    const Layout& layout = GetParam();
    const Tarv::SmartPtr<World> world = GameTest::MakeWorld(layout.rows);
    ASSERT_TRUE(world);
    MessageList faults;
    EXPECT_EQ(world->ValidateLevel(1, layout.runningLeft, faults), static_cast<int>(layout.rules.size()));
    EXPECT_EQ(FailedRules(faults), layout.rules);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Layouts,
    ::testing::Values(
        Layout{"ParachuteOnGround", {"u..", "#.."}, false, {}},
        Layout{"ParachuteOverNothing", {"u..", "...", "..."}, false, {"1"}},
        Layout{"ParachuteOverARock", {"u..", "R..", "#.."}, false, {"1"}},
        Layout{"TrampolineAlone", {".t..", "####"}, false, {}},
        Layout{"TrampolineBesideFruit", {".t1.", "####"}, false, {"2"}},
        Layout{"TrampolineBesideFruitRunningLeft", {".t1.", "####"}, true, {}},
        Layout{"PusherRunningLeft", {"..p..", "#####"}, true, {}},
        Layout{"PusherRunningLeftTwoFromFruit", {"1.p..", "#####"}, true, {"3"}},
        Layout{"PusherRunningRightTwoFromFruit", {"1.p..", "#####"}, false, {}},
        Layout{"TwoPushers", {".pp.", "####"}, false, {"2", "4", "2", "4"}},
        Layout{"FruitBesideABoatOnGround", {"1v.", "###"}, false, {}},
        Layout{"FruitBesideABoatOverAGap", {"1v.", ".##"}, false, {"6"}},
        Layout{"TrapDoorUnderABridge", {"..b...", ".._...", "##..##"}, false, {}},
        Layout{"TrapDoorWithoutABridge", {"......", ".._...", "##..##"}, false, {"7"}},
        Layout{"BridgeOverATwoCellGap", {".b..", "#..#"}, false, {}},
        Layout{"BridgeOverAOneCellGap", {".b..", "#.##"}, false, {"7"}},
        Layout{"PusherTurningOntoFruit", {"..p.1", "#####"}, false, {"7"}},
        Layout{"SkatesBesideGround", {".k.", "#.."}, false, {}},
        Layout{"SkatesOverNothing", {".k.", "..."}, false, {"7"}},
        Layout{"FireOnFlatGround", {".F..", "####"}, false, {}},
        Layout{"FireBesideARock", {".FR.", "####"}, false, {"7"}},
        Layout{"FireBesideASlope", {".F..", "##/#"}, false, {"7"}},
        Layout{"RockOnGround", {"R", "#"}, false, {}},
        Layout{"RockInTheAir", {"R.", ".."}, false, {"8"}},
        Layout{"RockOnMagicGround", {"R", "M"}, false, {"8"}},
        Layout{"WaterAndPallingNeedNoGround", {"~*_", "..."}, false, {"7"}},
        Layout{"GridEdgesReadAsVoidSpace", {"R"}, false, {"8"}}),
    [](const ::testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });

TEST(LevelExceptions, ExcuseOnlyTheirLevelCellAndCode)
{
    GameTest::GameFiles files;
    struct Case
    {
        int level;
        int row;
        int faults;
    };
    for (const Case& c : {Case{8, 7, 0}, Case{9, 7, 1}, Case{8, 8, 1}}) {
        std::vector<std::string> rows(10, std::string(80, '.'));
        rows[9] = std::string(80, '#');
        rows[static_cast<std::size_t>(c.row)].replace(71, 2, "t1");
        MessageList faults;
        EXPECT_EQ(GameTest::MakeWorld(rows)->ValidateLevel(c.level, false, faults), c.faults);
        if (c.faults == 1) {
            EXPECT_EQ(faults.GetLines()[0], "level " + std::to_string(c.level) + ": rule 2 fails at (71, " +
                                                std::to_string(c.row) +
                                                "), code 30 (trampoline): a trigger lies right beside it on its right");
        }
    }
}

TEST(LevelValidation, RunsAtLevelStartWhenSwitchedOnAndOverLevelFiles)
{
    GameTest::GameFiles files;
    files.Write("levels/01.xml", "<l><scene/><time>5</time><code-map>levels/01_map.xml</code-map></l>");
    files.Write("levels/01_map.xml", "<m width='3' height='2' tile-width='8' tile-height='8'><item x='1' y='0'>19</item></m>");
    files.Write("levels/02.xml", "<l><scene/><time>5</time><code-map>levels/02_map.xml</code-map></l>");
    files.Write("levels/02_map.xml", "<m width='3' height='2' tile-width='8' tile-height='8'/>");
    files.Settings().SetInt("game/currentLevel", 1);

    const Tarv::SmartPtr<Level> level = Level::Load("levels/01.xml");
    ASSERT_TRUE(level && level->CreateWorld(nullptr));
    EXPECT_TRUE(files.log.GetLines().empty());
    files.Settings().SetBool("dev/validate_levels", true);
    ASSERT_TRUE(level->CreateWorld(nullptr));
    EXPECT_EQ(FailedRules(files.log), std::vector<std::string>{"8"});

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
    if (!std::filesystem::exists(pak))
        GTEST_SKIP() << "no common.pak built";
    GameTest::GameFiles files;
    Tarv::VfsUnmountPath("");
    ASSERT_NE(Tarv::VfsMountPak(pak, "", 0), nullptr);
    int count = 0;
    while (Tarv::SmartPtr<Tarv::File>(Tarv::VfsOpenRead(Level::GetLevelPath(count + 1).c_str())))
        ++count;
    if (count == 0)
        GTEST_SKIP() << "common.pak ships no levels";
    MessageList report;
    EXPECT_EQ(ValidateLevelFiles(count, report), 0);
    for (const Tarv::NarrowString& line : report.GetLines())
        ADD_FAILURE() << line;
}
