// The cases' text form: every trigger and action, expectations with cells among their commas, and
// the line a fault is on.
#include "tools/sim/SimScript.h"

#include <gtest/gtest.h>

using namespace Pirrock;

TEST(SimScript, ReadsEveryTriggerAndAction)
{
    std::vector<SimCase> cases;
    std::string error;
    ASSERT_TRUE(ParseSimScript("; a comment\n"
                               "case win\n"
                               "  on hero 82,10 #2  use ladder at 78,10 optional ; why\n"
                               "  on time 2.5 +30 tap 3,4\n"
                               "  on step 7 touch 640,440\n"
                               "  on step 8 select bridge\n"
                               "  on step 9 tilt -0.25\n"
                               "  on step 10 key T\n"
                               "  on step 11 hud RestartLevel\n"
                               "  expect lose trap 16 at 12,*, fruit < all, time-left >= 3, sound hitting_*\n"
                               "case other\n"
                               "  expect win, fruit all, placed bridge 2, placed none, score >= 40, fruit 3\n",
                               cases, error))
        << error;
    ASSERT_EQ(cases.size(), 2u);
    const std::vector<SimStep>& steps = cases[0].steps;
    ASSERT_EQ(steps.size(), 7u);
    EXPECT_EQ(steps[0].trigger.kind, SimTrigger::HERO);
    EXPECT_EQ(steps[0].trigger.x * 1000 + steps[0].trigger.y * 10 + steps[0].trigger.visit, 82102);
    EXPECT_EQ(steps[0].action.kind, SimAction::USE);
    EXPECT_EQ(steps[0].action.name, "ladder");
    EXPECT_TRUE(steps[0].optional);
    EXPECT_EQ(steps[0].line, 3);
    EXPECT_FLOAT_EQ(steps[1].trigger.seconds, 2.5f);
    EXPECT_EQ(steps[1].trigger.delay, 30);
    EXPECT_EQ(steps[2].trigger.delay, 0);
    EXPECT_EQ(steps[2].action.kind, SimAction::TOUCH);
    EXPECT_EQ(steps[2].action.x * 1000 + steps[2].action.y, 640440);
    EXPECT_FLOAT_EQ(steps[4].action.value, -0.25f);
    EXPECT_EQ(steps[6].action.name, "RestartLevel");
    const SimExpectation& lose = cases[0].expect;
    EXPECT_EQ(DescribeOutcome(lose), "lose trap 16 at 12,*");
    EXPECT_EQ(lose.fruitRule, SimExpectation::FEWER_THAN_ALL);
    EXPECT_EQ(lose.timeLeftMin, 3);
    EXPECT_EQ(lose.sounds, std::vector<std::string>{"hitting_*"});
    const SimExpectation& win = cases[1].expect;
    EXPECT_EQ(win.outcome, SimExpectation::WIN);
    EXPECT_EQ(win.fruitRule, SimExpectation::EXACTLY);
    EXPECT_EQ(win.placed, (std::vector<std::pair<std::string, int>>{{"bridge", 2}}));
    EXPECT_TRUE(win.placedNone);
    EXPECT_EQ(win.scoreMin, 40);
}

TEST(SimScript, LinesBeforeAnyCaseMakeOneReplay)
{
    std::vector<SimCase> cases;
    std::string error;
    ASSERT_TRUE(ParseSimScript("on step 3 tap 1,2\n", cases, error)) << error;
    ASSERT_EQ(cases.size(), 1u);
    EXPECT_EQ(cases[0].name, "replay");
    EXPECT_EQ(cases[0].expect.outcome, SimExpectation::NONE);
}

TEST(SimScript, NamesTheLineItCannotRead)
{
    const std::pair<const char*, const char*> bad[] = {
        {"on hero 1 use bridge at 2,3", "line 2: "},
        {"on hero 1,2 #0 tap 3,4", "line 2: "},
        {"on step -1 tap 3,4", "line 2: "},
        {"on step 1 jump 3,4", "line 2: "},
        {"on step 1 use bridge 3,4", "line 2: "},
        {"on step 1 tap 3,4 later", "line 2: "},
        {"on step 1 +x tap 3,4", "line 2: "},
        {"on time nan tap 3,4", "line 2: "},
        {"on step 99999999999 tap 3,4", "line 2: "},
        {"expect win, lose", "line 2: a second outcome"},
        {"expect win\n  expect lose", "line 3: "},
        {"expect sometimes", "line 2: cannot read"},
        {"expect win,", "line 2: an empty expectation"},
        {"expect lose trap x", "line 2: cannot read"},
    };
    for (const auto& [line, message] : bad) {
        std::vector<SimCase> cases;
        std::string error;
        EXPECT_FALSE(ParseSimScript(std::string("case c\n  ") + line + "\n", cases, error)) << line;
        EXPECT_EQ(error.rfind(message, 0), 0u) << line << ": " << error;
    }
}
