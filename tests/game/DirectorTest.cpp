// The director driven headless: a small World with the hero in a chosen cell, the host's calls
// recorded as a trace, the hero's animation ends delivered by hand.
#include "game/Director.h"

#include "GameWorld.h"

#include <cstdint>
#include <functional>

namespace
{

using namespace Pirrock;

struct TraceHost : DirectorHost
{
    void PlaySound(const std::string& name) override { trace += "play " + name + ";"; }
    void StopSound(const std::string& name) override { trace += "stop " + name + ";"; }
    void CallHud(const std::string& f, bool a) override { trace += f + (a ? "(1);" : "(0);"); }
    void SetCameraFocus(const std::string& name) override { trace += "focus " + name + ";"; }
    void StopCamera() override { trace += "stop camera;"; }
    void ShowFruitPoints(int points) override { trace += "points " + std::to_string(points) + ";"; }
    void AutoTestNextLevel() override { trace += "next level;"; }
    void PlayToolSound(CellCode code) override { trace += "tool " + std::to_string(code) + ";"; }
    std::string trace;
};

class DirectorTest : public ::testing::Test
{
protected:
    // Cells: the hero in the air at (0, 0), on flat ground at (1, 1), on a ski at (2, 1).
    std::unique_ptr<Director> Make(Cell heroCell, int level = 5, int levelState = 1)
    {
        for (const auto& [key, value] :
            std::vector<std::pair<const char*, int>> {{"runtime/pirrock_speed", 100}, {"runtime/time", 37},
                {"constants/pirrock_jump_velocity/x", 50}, {"constants/pirrock_jump_velocity/y", 200},
                {"constants/pirrock_ski_jump_velocity/x", 300}, {"constants/pirrock_ski_jump_velocity/y", 150},
                {"constants/pirrock_angel_speed", 40}, {"constants/levels_count", 20},
                {"constants/score_time_multiplier", 10}, {"game/lives", 3}, {"constants/score_fruits_apple", 5}})
            files.Settings().SetInt(key, value);
        files.Settings().SetInt("game/currentLevel", level);
        files.Settings().SetInt("game/levels/level" + std::to_string(level), levelState);
        Pirrock::Pirrock::SetInstance(Tarv::MakeSmart<Pirrock::Pirrock>());
        hero = Pirrock::Pirrock::GetInstance().Get();
        World::Instance = GameTest::MakeWorld({"....", ".#s.", "####"}, nullptr, heroCell, hero);
        return std::make_unique<Director>(host);
    }
    bool Flag(const char* key) { return files.Settings().GetBool(key); }

    GameTest::GameFiles files;
    TraceHost host;
    Pirrock::Pirrock* hero = nullptr;
};

struct Row
{
    int from;
    char event; // 't' trigger, 'c' cell, 'u' update
    CellCode code;
    Cell heroCell;
    float vy;
    const char* carried; // a "runtime/has_" flag set before the event, or ""
    int to;
    const char* animation;
};

const Row ROWS[] = {
    {STATE_RUNNING, 'c', 16, {0, 0}, 0, "", STATE_DIEING, "drowning"},
    {STATE_RUNNING, 'c', 16, {0, 0}, 0, "runtime/has_boat", STATE_SAILING, "sailing"},
    {STATE_FALLING, 'c', 16, {0, 0}, 0, "runtime/has_skates", STATE_SKATING, "skating"},
    {STATE_FALLING, 'c', 0, {0, 0}, 0, "runtime/has_parachute", STATE_PARACHUTING, "parachuting"},
    {STATE_SAILING, 'c', 0, {0, 0}, 0, "", STATE_FALLING, "falling"},
    {STATE_JUMPING, 'c', 0, {0, 0}, 0, "", STATE_JUMPING, "jumping"},
    {STATE_JUMPING, 'c', 35, {1, 1}, -1, "", STATE_RUNNING, "running"},
    {STATE_JUMPING, 'c', 35, {1, 1}, 1, "", STATE_JUMPING, "jumping"},
    {STATE_FALLING, 'c', 35, {1, 1}, -1, "", STATE_DIEING, "hitting"},
    {STATE_RUNNING, 'c', 37, {2, 1}, 0, "runtime/has_ski", STATE_SKIING, "skiing"},
    {STATE_RUNNING, 'c', 37, {2, 1}, 0, "", STATE_ROLLING, "rolling"},
    {STATE_SAILING, 'c', 35, {0, 0}, 0, "", STATE_RUNNING, "running"},
    {STATE_DIVERTING, 'c', 35, {0, 0}, 0, "", STATE_DIVERTING, "diverting"},
    {STATE_DEAD, 'c', 16, {0, 0}, 0, "", STATE_DEAD, "waiting"},
    {STATE_DEAD, 't', 30, {0, 0}, 0, "", STATE_DEAD, "waiting"},
    {STATE_DIEING, 't', 12, {0, 0}, 0, "", STATE_DIEING, "hitting"},
    {STATE_DIEING, 't', 33, {0, 0}, 0, "", STATE_DIEING, "hitting"},
    {STATE_LATE, 't', 47, {0, 0}, 0, "", STATE_LATE, "hitting"},
    {STATE_WAITING, 't', 26, {0, 0}, 0, "", STATE_DIVERTING, "diverting"},
    {STATE_NONE, 't', 30, {0, 0}, 0, "", STATE_JUMPING, "jumping"},
    {STATE_RUNNING, 't', 33, {0, 0}, 0, "", STATE_CLIMBING, "climbing"},
    {STATE_RUNNING, 't', 26, {0, 0}, 0, "", STATE_DIVERTING, "diverting"},
    {STATE_RUNNING, 't', 47, {0, 0}, 0, "", STATE_SKIING, "skiing"},
    {STATE_RUNNING, 't', 15, {0, 0}, 0, "", STATE_DIEING, "burning"},
    {STATE_RUNNING, 't', 14, {0, 0}, 0, "", STATE_DIEING, "hitting"},
    {STATE_RUNNING, 't', 48, {0, 0}, 0, "", STATE_DIEING, "angel"},
    {STATE_RUNNING, 't', 17, {0, 0}, 0, "", STATE_RUNNING, "running"},
    {STATE_SAFE, 't', 12, {0, 0}, 0, "", STATE_SAFE, "waiting"},
    {STATE_RUNNING, 't', 12, {0, 0}, 0, "", STATE_SAFE, "running"},
    {STATE_RUNNING, 'u', 0, {0, 0}, 0, "", STATE_LATE, "hitting"},
    {STATE_SKIING, 'u', 0, {0, 0}, 0, "", STATE_FLYING, "skiing"},
};

TEST_F(DirectorTest, EveryTransitionOfTheTableWithTheHerosAnimation)
{
    for (const Row& row : ROWS) {
        const auto director = Make(row.heroCell);
        director->SetState(row.from);
        if (*row.carried)
            files.Settings().SetBool(row.carried, true);
        hero->SetVelocity({0, row.vy, 0});
        files.Settings().SetInt("runtime/time", row.event == 'u' ? 0 : 37);
        if (row.event == 't')
            director->HandleTrigger(row.code);
        else if (row.event == 'c')
            director->HandleCell(row.code);
        else {
            hero->SetPosition(hero->GetPosition() + Vund::Vector3D(1e4f, 0, 0), false);  // past any hill
            director->Tick(0.01f);
        }
        EXPECT_EQ(director->GetState(), row.to) << row.from << row.event << row.code;
        EXPECT_EQ(hero->GetAnimationName(), row.animation) << row.from << row.event << row.code;
        EXPECT_FALSE(row.event == 'c' && Flag("runtime/ignore_trail"));
    }
}

TEST_F(DirectorTest, APlayedLevelFromWaitingThroughAJumpToDeathAndItsTrace)
{
    const auto director = Make({0, 0});
    EXPECT_EQ(director->GetState(), STATE_WAITING);
    director->OnProcessEnd(hero);
    EXPECT_EQ(director->GetState(), STATE_RUNNING);
    EXPECT_EQ(host.trace, "play start_strong;ActivateTimer(1);");
    EXPECT_NEAR(hero->GetVelocity().x, 100, 1e-3);

    director->HandleTrigger(30);
    const Vund::Vector3D jump = hero->GetVelocity();
    EXPECT_TRUE(hero->gravity && Flag("runtime/ignore_trail"));
    EXPECT_EQ(jump.x, 50);
    EXPECT_EQ(jump.y, 200);
    host.trace.clear();
    director->HandleTrigger(30); // the current state again: nothing runs
    EXPECT_EQ(host.trace, "");
    EXPECT_EQ(hero->GetVelocity().y, 200);

    files.Settings().SetBool("runtime/running_left", true);
    director->HandleTrigger(48);
    EXPECT_EQ(hero->GetVelocity().y, 40);
    EXPECT_EQ(hero->mirrorMode, 2);
    director->OnProcessEnd(hero);
    EXPECT_EQ(director->GetState(), STATE_DEAD);
    EXPECT_NE(host.trace.find("stop camera;"), std::string::npos);
    EXPECT_NE(host.trace.find("ActivateTimer(0);ShowTapToContinue(1);"), std::string::npos);
    EXPECT_EQ(files.Settings().GetInt("game/lives"), 2);

    director->Reset();
    director->Reset(); // already waiting: waiting again, with its start queued anew
    director->OnProcessEnd(hero);
    EXPECT_EQ(director->GetState(), STATE_RUNNING);
}

TEST_F(DirectorTest, WinningAddsTheTimeBonusOnceAndOpensTheNextLevel)
{
    struct Case {
        int level, time, next, firstTime;
        int score, nextAfter, current, lives;
    };
    const Case cases[] = {
        {5, 37, 0, 1, 370, 1, 6, 3},
        {5, 37, 2, 1, 370, 2, 6, 3},
        {5, 37, 0, 2, 0, 1, 6, 3},
        {5, -4, 0, 1, 0, 1, 6, 3},
        {20, 10, 0, 1, 100, 0, 20, 0},
        {5, INT32_MAX, 0, 1, INT32_MAX, 1, 6, 3},
    };
    for (const Case& c : cases) {
        const auto director = Make({0, 0}, c.level, c.firstTime);
        files.Settings().SetInt("game/levels/level" + std::to_string(c.level + 1), c.next);
        files.Settings().SetInt("game/score", 0);
        files.Settings().SetInt("runtime/time", c.time);
        director->SetState(STATE_RUNNING);
        host.trace.clear();
        director->HandleTrigger(12);
        EXPECT_EQ(files.Settings().GetInt("game/score"), c.score) << c.level << " " << c.time;
        EXPECT_EQ(files.Settings().GetInt("game/levels/level" + std::to_string(c.level)), 2);
        EXPECT_EQ(files.Settings().GetInt("game/levels/level" + std::to_string(c.level + 1)), c.nextAfter);
        EXPECT_EQ(files.Settings().GetInt("game/currentLevel"), c.current);
        EXPECT_EQ(files.Settings().GetInt("game/lives"), c.lives);
        EXPECT_EQ(host.trace, "ActivateTimer(0);ShowSummaryScreen(1);play win_strong;");
    }
}

TEST_F(DirectorTest, LosingCostsALifeUnlessInfiniteAndFruitCountsEvenOnAReplay)
{
    struct Case {
        int lives;
        bool infinite;
        int after;
        const char* ending;
    };
    for (const Case& c : {Case {1, false, 0, "ShowLoseScreen(1);play lose_strong;"},
             Case {3, false, 2, "ShowTapToContinue(1);"}, Case {0, true, 0, "ShowLoseScreen(1);play lose_strong;"}}) {
        const auto director = Make({0, 0});
        files.Settings().SetInt("game/lives", c.lives);
        files.Settings().SetBool("dev/infinite_lives", c.infinite);
        files.Settings().SetInt("game/score", 100);
        files.Settings().SetInt("runtime/levelScore", 30);
        host.trace.clear();
        director->SetState(STATE_DEAD);
        EXPECT_EQ(files.Settings().GetInt("game/lives"), c.after);
        EXPECT_EQ(files.Settings().GetInt("game/score"), 100) << "points won stay";
        EXPECT_EQ(files.Settings().GetInt("runtime/levelScore"), 30);
        EXPECT_EQ(host.trace, std::string("play start_strong;ActivateTimer(1);ActivateTimer(0);") + c.ending);
    }
    const auto again = Make({0, 0}, 5, 2);
    again->SetState(STATE_RUNNING);
    files.Settings().SetInt("game/score", 7);
    again->HandleTrigger(42);
    again->HandleTrigger(42);
    EXPECT_EQ(files.Settings().GetInt("runtime/fruits/apple"), 2);
    EXPECT_EQ(files.Settings().GetInt("game/score"), 7);
    EXPECT_NE(host.trace.find("points 5;points 5;"), std::string::npos);
}

// Only the int 1 ("open, never won") makes a first play whose fruit scores. A level key that the
// console retyped (true, or the text "1") is none of the three level states: the level select may
// offer it, but its fruit is counted and shown without points.
TEST_F(DirectorTest, FruitScoresOnlyWhenTheLevelKeyIsTheInt1)
{
    const struct { const char* what; std::function<void(Quor::Settings&)> set; int score; } cases[] = {
        {"int 1", [](Quor::Settings& s) { s.SetInt("game/levels/level5", 1); }, 5},
        {"int 2", [](Quor::Settings& s) { s.SetInt("game/levels/level5", 2); }, 0},
        {"bool true", [](Quor::Settings& s) { s.SetBool("game/levels/level5", true); }, 0},
        {"text 1", [](Quor::Settings& s) { s.SetString("game/levels/level5", "1"); }, 0}};
    for (const auto& c : cases) {
        Make({0, 0});
        c.set(files.Settings());
        files.Settings().SetInt("game/score", 0);
        files.Settings().SetInt("runtime/fruits/apple", 0);
        const auto director = std::make_unique<Director>(host);
        director->SetState(STATE_RUNNING);
        director->HandleTrigger(42);
        EXPECT_EQ(files.Settings().GetInt("runtime/fruits/apple"), 1) << c.what;
        EXPECT_EQ(files.Settings().GetInt("game/score"), c.score) << c.what;
    }
}

TEST_F(DirectorTest, ARestartAfterAWinRunsTheHeroAgainAndScoresNothingMore)
{
    const auto director = Make({0, 0}, 5, 1);
    files.Settings().SetInt("game/levels/level6", 0);
    files.Settings().SetInt("game/score", 0);
    director->SetState(STATE_RUNNING);
    director->HandleTrigger(12);
    ASSERT_TRUE(hero->IsPaused());
    const int won = files.Settings().GetInt("game/score");
    ASSERT_GT(won, 0);
    // By now "game/currentLevel" names level 6, open and never won.
    director->Reset();
    EXPECT_FALSE(hero->IsPaused()) << "the wait would never end";
    EXPECT_FALSE(director->IsLevelFirstTime());
    director->SetState(STATE_RUNNING);
    director->HandleTrigger(12);
    EXPECT_EQ(files.Settings().GetInt("game/score"), won);
}

TEST_F(DirectorTest, TheRisingAngelTakesNoFruitAndPassesTheExitWithoutAWin)
{
    const auto director = Make({0, 0});
    World::Instance = GameTest::MakeWorld({"E", "1", ".", "#"}, nullptr, {0, 2}, Pirrock::Pirrock::GetInstance());
    director->SetState(STATE_RUNNING);
    files.Settings().SetInt("game/score", 50);
    director->HandleTrigger(48);
    ASSERT_EQ(hero->GetAnimationName(), "angel");
    host.trace.clear();
    for (int cell = 0; cell < 2; ++cell) {
        const Vund::Vector3D up(0, 32, 0);
        hero->SetPosition(hero->GetPosition() + up, false);
        hero->lastDisplacement = up;
        FollowHero(*World::Instance, *director);
    }
    EXPECT_EQ(World::Instance->GetHeroCell(), (Cell{0, 0}));
    EXPECT_EQ(director->GetState(), STATE_DIEING);
    EXPECT_EQ(host.trace, "");
    EXPECT_EQ(files.Settings().GetInt("game/score"), 50);
    EXPECT_EQ(files.Settings().GetInt("runtime/fruits/apple"), 0);
    EXPECT_TRUE(World::Instance->IsCellUsed({0, 1})) << "the fruit is still there";
}

} // namespace
