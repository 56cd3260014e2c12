// Tutorial files read through the file system: complete, damaged and partial hints.
#include "game/Tutorial.h"

#include "GameWorld.h"

namespace
{

using Pirrock::Cell;
using Pirrock::TutorialManager;

class TutorialTest : public ::testing::Test
{
protected:
    GameTest::GameFiles files;
};

TEST_F(TutorialTest, HintsAreReadByCellWithTheirOptionalParts)
{
    files.Write("tutorials/7.xml", "\xEF\xBB\xBF<tutorial><note/>"
                                   "<event x='2' y='3'><text>Jump</text><icon>i</icon><arrow x='4' y=' 5'/>"
                                   "<tool>30</tool><text>second</text></event>"
                                   "<event x='2' y='3'><text>dropped</text></event>"
                                   "<event x='-1' y='0'><text>t</text><arrow x='1'/><tool>boat</tool></event>"
                                   "</tutorial>");
    TutorialManager tutorial;
    EXPECT_FALSE(tutorial.LoadForLevel(8));
    ASSERT_TRUE(tutorial.LoadForLevel(7));
    const Pirrock::TutorialEvent* jump = tutorial.FindEventAt({2, 3});
    ASSERT_NE(jump, nullptr);
    EXPECT_EQ(jump->text, "Jump");
    EXPECT_EQ(jump->icon, "i");
    EXPECT_EQ(jump->arrow, (Cell{4, 5}));
    EXPECT_EQ(jump->tool, 30);
    const Pirrock::TutorialEvent* other = tutorial.FindEventAt({-1, 0});
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->arrow, Pirrock::NO_CELL);
    EXPECT_EQ(other->tool, 0);
    EXPECT_EQ(tutorial.FindEventAt({3, 2}), nullptr);

    tutorial.SetEventEnabled({2, 3}, false);
    tutorial.SetEventEnabled({9, 9}, false);
    EXPECT_FALSE(jump->enabled);
    tutorial.SetEnabled(false);
    EXPECT_EQ(tutorial.FindEventAt({-1, 0}), nullptr);
    tutorial.SetToolUsed(30);
    tutorial.SetToolUsed(30);
    tutorial.Clear();
    EXPECT_TRUE(tutorial.IsToolUsed(30) && !tutorial.IsLoaded());
}

TEST_F(TutorialTest, DamagedFilesLeaveTheTutorialInactive)
{
    const std::pair<const char*, bool> cases[] = {
        {"<tutorial/>", true},
        {"<tutorials><event x='1' y='1'><text>t</text></event></tutorials>", false},
        {"<tutorial><event x='1' y='1'><text>t</text></event><event x='1'><text>t</text></event></tutorial>", false},
        {"<tutorial><event x='1' y='1'><icon>t</icon></event></tutorial>", false},
        {"<tutorial><event x='1' y='1'><text></text></event></tutorial>", false},
        {"<tutorial><event x='1' y='1'>", false},
        {"", false},
    };
    for (const auto& [text, complete] : cases) {
        files.Write("tutorials/1.xml", text);
        TutorialManager tutorial;
        EXPECT_EQ(tutorial.LoadForLevel(1), complete) << text;
        EXPECT_EQ(tutorial.FindEventAt({1, 1}), nullptr) << text;
    }
}

} // namespace
