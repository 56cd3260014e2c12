// Whole runs of the built game headless: golden director traces of recorded cases, cells crossed
// in one step, fruit, taps through the camera and the tool bar, taps that place nothing, tilt,
// commands that do not belong, repeatability, and the program's statuses.
#include "tools/sim/HeadlessGame.h"
#include "tools/sim/SimProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include <unistd.h>

using namespace Pirrock;

namespace
{

const std::string LEVELS = std::string(BRASHWICK_SOURCE_DIR) + "/content/common/levels/src/";

struct Played
{
    std::string trace;
    SimResult result;

    // The offset of the first line whose event starts with text (after "STEP "), npos if none.
    std::size_t Find(const std::string& text, std::size_t from = 0) const
    {
        for (std::size_t at = trace.find(' ' + text, from); at != std::string::npos; at = trace.find(' ' + text, at + 1)) {
            const std::size_t start = trace.rfind('\n', at) + 1;
            if (trace.find(' ', start) == at)
                return start;
        }
        return std::string::npos;
    }
    // The step of that line, -1 if none.
    int StepOf(const std::string& text) const
    {
        const std::size_t at = Find(text);
        return at == std::string::npos ? -1 : std::atoi(trace.c_str() + at);
    }
    int Count(const std::string& text) const
    {
        int count = 0;
        for (std::size_t at = Find(text); at != std::string::npos; at = Find(text, trace.find('\n', at)))
            ++count;
        return count;
    }
};

SimCase ReadCase(const std::string& text)
{
    std::vector<SimCase> cases;
    std::string error;
    EXPECT_TRUE(ParseSimScript(text, cases, error)) << error;
    return cases.empty() ? SimCase{} : cases.front();
}

Played Play(int level, const SimCase& simCase, SimOptions options = {})
{
    options.paks = BRASHWICK_OUTPUT_DIR;
    options.level = level;
    Played run;
    std::ostringstream trace;
    std::string error;
    EXPECT_TRUE(RunSimCase(options, simCase, trace, run.result, error)) << error;
    run.trace = trace.str();
    return run;
}

Played Play(int level, const std::string& script, SimOptions options = {})
{
    return Play(level, ReadCase(script), options);
}

SimCase RecordedCase(int level, const std::string& name)
{
    std::ifstream file(LEVELS + (level < 10 ? "0" : "") + std::to_string(level) + ".sol");
    std::stringstream text;
    text << file.rdbuf();
    std::vector<SimCase> cases;
    std::string error;
    EXPECT_TRUE(ParseSimScript(text.str(), cases, error)) << error;
    for (const SimCase& simCase : cases) {
        if (simCase.name == name)
            return simCase;
    }
    ADD_FAILURE() << "no case " << name << " in level " << level;
    return {};
}

} // namespace

// The director's states with the hero's motion each sets (animation, facing, gravity, drag,
// velocity), the codes the hero touched and the outcome of recorded cases, against goldens
// (BRASHWICK_UPDATE_GOLDEN=1 rewrites them).
struct GoldenRun
{
    const char* name;
    int level;
    const char* recordedCase;
    int time;
};

void PrintTo(const GoldenRun& run, std::ostream* out)
{
    *out << run.name;
}

class DirectorGolden : public testing::TestWithParam<GoldenRun>
{
};

TEST_P(DirectorGolden, StatesTouchesAndOutcomeMatchTheGolden)
{
    const GoldenRun& param = GetParam();
    SimOptions options;
    options.time = param.time;
    const Played run = Play(param.level, RecordedCase(param.level, param.recordedCase), options);
    std::istringstream lines(run.trace);
    std::string kept;
    for (std::string line; std::getline(lines, line);) {
        const std::string event = line.substr(line.find(' ') + 1);
        if (event.rfind("state ", 0) == 0 || event.rfind("hero ", 0) == 0 || event.rfind("touched ", 0) == 0 ||
            event.rfind("outcome ", 0) == 0)
            kept += line + '\n';
    }
    const std::string path = std::string(BRASHWICK_SOURCE_DIR) + "/tests/tools/sim/golden/" + param.name + ".txt";
    if (std::getenv("BRASHWICK_UPDATE_GOLDEN") != nullptr)
        std::ofstream(path, std::ios::binary) << kept;
    std::ifstream file(path, std::ios::binary);
    std::stringstream golden;
    golden << file.rdbuf();
    EXPECT_EQ(kept, golden.str()) << path;
}

INSTANTIATE_TEST_SUITE_P(
    RecordedCases, DirectorGolden,
    testing::Values(GoldenRun{"01_win", 1, "win", 0}, GoldenRun{"10_short_jump", 10, "no-dryer", 0},
                    GoldenRun{"25_maze", 25, "win", 0}, GoldenRun{"01_no_bridge_angel", 1, "no-bridge", 0},
                    GoldenRun{"01_late", 1, "win", 8}, GoldenRun{"04_fire_burning", 4, "no-extinguisher", 0},
                    GoldenRun{"05_snare", 5, "no-carrot", 0}, GoldenRun{"06_pusher_ladder", 6, "win", 0},
                    GoldenRun{"07_boat_trampoline", 7, "win", 0}, GoldenRun{"07_drowning", 7, "no-boat", 0},
                    GoldenRun{"10_long_jump_parachute", 10, "win", 0}, GoldenRun{"16_skates", 16, "win", 0},
                    GoldenRun{"17_ski_flight", 17, "win", 0}, GoldenRun{"17_rolling", 17, "no-ski", 0}),
    [](const testing::TestParamInfo<GoldenRun>& info) { return std::string(info.param.name); });

TEST(HeadlessGame, TheSameCaseGivesTheSameTraceByteForByte)
{
    const SimCase win = RecordedCase(2, "win");
    const Played first = Play(2, win);
    EXPECT_EQ(first.result.outcome, SimResult::WIN);
    EXPECT_EQ(Play(2, win).trace, first.trace);
}

TEST(HeadlessGame, CellsCrossedInOneStepAreHandledInOrder)
{
    SimOptions options;
    options.settings = {{"constants/accelerometer_speed_boost", "40"}};
    const Played run = Play(1, "on step 50 tilt 0.5\n", options);
    // The apple of 6,6 and the cherry of 7,6 (above it in 7,5) go with their own cells.
    const std::size_t apple = run.Find("touched 42 apple");
    EXPECT_LT(run.Find("cell 6,6"), apple);
    EXPECT_LT(apple, run.Find("cell 7,6"));
    EXPECT_LT(run.Find("cell 7,6"), run.Find("touched 43 cherry"));
    EXPECT_LT(run.Find("touched 43 cherry"), run.Find("cell 8,6"));
    int most = 0;
    for (int step = 50; step < 60; ++step) {
        std::istringstream lines(run.trace);
        int cells = 0;
        for (std::string line; std::getline(lines, line);)
            cells += line.rfind(std::to_string(step) + " cell ", 0) == 0 ? 1 : 0;
        most = std::max(most, cells);
    }
    EXPECT_GE(most, 3);
}

TEST(HeadlessGame, FruitIsTakenOnceWithItsSoundThoughTheHeroPassesAgain)
{
    // Level 6 runs right, turns at the pusher and runs back over the same cells.
    const Played run = Play(6, RecordedCase(6, "win"));
    ASSERT_EQ(run.result.outcome, SimResult::WIN);
    EXPECT_EQ(run.result.fruit, run.result.fruitMax);
    int touched = 0;
    for (const char* fruit : {"42 apple", "43 cherry", "44 strawberry", "45 banana", "46 watermelon"})
        touched += run.Count(std::string("touched ") + fruit);
    EXPECT_EQ(touched, run.result.fruitMax);
    EXPECT_EQ(run.Count("sound play fruit_"), run.result.fruitMax);
}

TEST(HeadlessGame, ATapNearTheToolCellPlacesTheSelectedToolThroughTheCamera)
{
    const Played run = Play(1, "on hero 11,6 use bridge at 14,6\non hero 13,6 tap 15,6\nexpect win\n");
    const std::size_t tap = run.Find("tap 14,6 at ");
    ASSERT_NE(tap, std::string::npos) << run.trace;
    EXPECT_LT(tap, run.Find("sound play bridge_"));
    EXPECT_LT(run.Find("sound play bridge_"), run.Find("hud UpdateLevelData()"));
    EXPECT_LT(run.Find("hud UpdateLevelData()"), run.Find("placed bridge at 15,6 stock 1 -> 0"));
    // The selection went with the placement.
    const std::size_t second = run.Find("tap 15,6 at ");
    ASSERT_NE(second, std::string::npos) << run.trace;
    EXPECT_EQ(run.trace.substr(run.trace.find(" tool", second), 7), " tool \n");
    EXPECT_EQ(run.result.outcome, SimResult::WIN);
}

TEST(HeadlessGame, ADelayedStepActsThatManyStepsAfterItsTrigger)
{
    const Played run = Play(1, "on hero 9,6 +20 use bridge at 15,6\non step 60 +5 key T\nexpect win\n");
    EXPECT_EQ(run.StepOf("tap 15,6 at "), run.StepOf("cell 9,6") + 20) << run.trace;
    EXPECT_EQ(run.StepOf("key T"), 65);
    EXPECT_EQ(run.result.outcome, SimResult::WIN);
    // A delay that runs past the end of the run leaves its step undone.
    EXPECT_NE(Play(1, "on hero 28,6 +9999 key T\n").Find("never done: the step of line 1"), std::string::npos);
}

struct IdleTap
{
    const char* name;
    const char* script;
    const char* shows; // an event the trace must hold
    bool tutorial;
    const char* hides = nullptr; // an event the trace must not hold
};

void PrintTo(const IdleTap& tap, std::ostream* out)
{
    *out << tap.name;
}

class TapsThatPlaceNothing : public testing::TestWithParam<IdleTap>
{
};

TEST_P(TapsThatPlaceNothing, LeaveTheStockAndTheHeroFalls)
{
    SimOptions options;
    options.tutorial = GetParam().tutorial;
    const Played run = Play(1, std::string(GetParam().script) + "expect lose, placed none\n", options);
    EXPECT_TRUE(run.result.met) << run.result.failure << '\n' << run.trace;
    EXPECT_NE(run.Find("nothing placed"), std::string::npos);
    EXPECT_NE(run.Find(GetParam().shows), std::string::npos) << run.trace;
    if (GetParam().hides != nullptr) {
        EXPECT_EQ(run.Find(GetParam().hides), std::string::npos) << run.trace;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Level1, TapsThatPlaceNothing,
    testing::Values(IdleTap{"WrongTool", "on hero 12,6 use trampoline at 15,6\n", "sound play wrong_tool_", false},
                    IdleTap{"NoToolSelected", "on hero 12,6 tap 15,6\n", "hud UpdateLevelData()", false},
                    // The hint of 11,6 is for the bridge: shown or not, it lets no other tool by.
                    IdleTap{"AtAHintForAnotherToolWithHintsOff", "on hero 11,6 use trampoline at 15,6\n",
                            "tap 15,6 at", false, "hud UpdateLevelData()"},
                    IdleTap{"OnTheToolBar", "on hero 11,6 select bridge\non hero 11,6 touch 660,440\n",
                            "sound play menu_ok1", false},
                    IdleTap{"FarFromAnyToolCell", "on hero 11,6 use bridge at 12,2\n", "hud UpdateLevelData()", false},
                    IdleTap{"AtAHintWithoutATool",
                            "on hero 4,6 use bridge at 15,6\non hero 4,6 hud ContinueGame\n"
                            "on hero 11,6 hud ContinueGame\n",
                            "hud ShowTutorialText(\"IDS_TUT_1_RUN\", \"fruit\")", true}),
    [](const testing::TestParamInfo<IdleTap>& info) { return std::string(info.param.name); });

// The stock is not asked first: a used-up one still places its tool and goes below zero.
TEST(HeadlessGame, AUsedUpStockStillPlacesAndGoesBelowZero)
{
    SimOptions options;
    options.settings = {{"runtime/tools/bridge", "0"}};
    const Played run = Play(1, "on hero 11,6 use bridge at 15,6\n", options);
    EXPECT_NE(run.Find("placed bridge at 15,6 stock 0 -> -1"), std::string::npos) << run.trace;
    EXPECT_EQ(run.result.outcome, SimResult::WIN);
}

TEST(HeadlessGame, TheStockGoesDownOnceAndASecondTapFindsNoFreeCell)
{
    const Played run = Play(1, "on hero 9,6 use bridge at 15,6\non hero 12,6 use bridge at 15,6\n");
    EXPECT_EQ(run.Count("placed bridge"), 1);
    EXPECT_EQ(run.Count("nothing placed"), 1);
    EXPECT_EQ(run.result.outcome, SimResult::WIN);
}

struct TiltRun
{
    const char* name;
    float tilt;
    const char* boost;
    int sign; // the hero reaches a far cell earlier (-1), at the same step (0) or later (1)
};

void PrintTo(const TiltRun& run, std::ostream* out)
{
    *out << run.name;
}

class TiltSpeed : public testing::TestWithParam<TiltRun>
{
};

TEST_P(TiltSpeed, SetsWhenTheHeroReachesAFarCell)
{
    SimOptions options;
    options.settings = {{"constants/accelerometer_speed_boost", GetParam().boost}};
    const int plain = Play(1, "", options).StepOf("cell 14,6");
    const Played tilted = Play(1, "on step 50 tilt " + std::to_string(GetParam().tilt) + "\n", options);
    const int step = tilted.StepOf("cell 14,6");
    ASSERT_GT(plain, 0);
    EXPECT_EQ((step > plain) - (step < plain), GetParam().sign) << plain << " " << step;
}

INSTANTIATE_TEST_SUITE_P(Level1, TiltSpeed,
                         testing::Values(TiltRun{"Forward", 0.5f, "2", -1}, TiltRun{"Back", -0.5f, "2", 1},
                                         TiltRun{"BoostZero", 0.5f, "0", 0}, TiltRun{"BoostNegative", 0.5f, "-3", 0}),
                         [](const testing::TestParamInfo<TiltRun>& info) { return std::string(info.param.name); });

TEST(HeadlessGame, CommandsAndKeysThatDoNotBelongChangeNothing)
{
    const Played plain = Play(1, "");
    const Played run = Play(1, "on step 60 hud Nonsense\non step 61 hud ContinueGame\non step 62 key 9999\n"
                            "on step 63 key T\non step 64 hud DisableTutorialEvent\n");
    EXPECT_EQ(run.result.outcome, SimResult::LOSE);
    EXPECT_EQ(run.result.steps, plain.result.steps);
    EXPECT_EQ(run.result.trap, plain.result.trap);
}

TEST(HeadlessGame, LeavingPlayEndsTheRunWithoutAnOutcome)
{
    const Played run = Play(1, "on step 60 hud NextLevel\n");
    EXPECT_EQ(run.result.outcome, SimResult::NONE);
    EXPECT_NE(run.Find("play left"), std::string::npos);
    EXPECT_NE(run.Find("sound stop all"), std::string::npos);
}

namespace
{

int RunProgram(std::vector<std::string> args, std::string& out, std::string& err)
{
    args.insert(args.begin(), "pirrock-sim");
    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::ostringstream o, e;
    const int status = RunSimProgram(static_cast<int>(argv.size()), argv.data(), o, e);
    out = o.str();
    err = e.str();
    return status;
}

} // namespace

TEST(SimProgram, StatusSaysWhetherEveryCaseMetItsExpectation)
{
    const std::string paks = BRASHWICK_OUTPUT_DIR;
    const std::filesystem::path replay =
        std::filesystem::temp_directory_path() / ("pirrock-sim-" + std::to_string(::getpid()) + ".txt");
    std::ofstream(replay) << "case idle\n  expect win\n";
    std::string out, again, err;
    EXPECT_EQ(RunProgram({"--paks", paks, "--solution", LEVELS + "01.sol"}, out, err), 0) << err;
    EXPECT_NE(err.find("level 1 case no-bridge: met"), std::string::npos) << err;
    EXPECT_EQ(RunProgram({"--paks", paks, "--solution", LEVELS + "01.sol"}, again, err), 0);
    EXPECT_EQ(again, out);
    EXPECT_EQ(RunProgram({"--paks", paks, "--level", "1", "--replay", replay.string()}, out, err), 1);
    EXPECT_NE(err.find("FAILED, it lost"), std::string::npos) << err;
    std::filesystem::remove(replay);
    const std::vector<std::vector<std::string>> bad = {
        {"--paks", "/nonexistent", "--level", "1"},
        {"--paks", paks, "--solution", LEVELS + "01.sol", "--case", "flying"},
        {"--paks", paks, "--level", "0"},
        {"--paks", paks, "--replay", "/nonexistent.sol", "--level", "2"},
        {"--paks", paks, "--level", "1", "--set", "=1"},
        {"--paks", paks, "--level", "1", "--camera", "0"},
        {"--paks", paks, "--level", "99"},
        {"--bogus"},
    };
    for (const std::vector<std::string>& args : bad)
        EXPECT_EQ(RunProgram(args, out, err), 2) << args.back();
    EXPECT_EQ(RunProgram({"--help"}, out, err), 0);
    EXPECT_EQ(out.rfind("usage: pirrock-sim", 0), 0u);
}

// The archives are read once per process, so a missing or damaged one is still named, and one
// written again between two cases is read again.
TEST(HeadlessGame, AnArchiveMissingDamagedOrWrittenAgainIsSeenAsItIsNow)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("pirrock-sim-paks-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    for (const char* pak : {"platform.pak", "common.pak", "atlas.pak"})
        fs::copy_file(fs::path(BRASHWICK_OUTPUT_DIR) / pak, folder / pak, fs::copy_options::overwrite_existing);
    SimOptions options;
    options.paks = folder.string();
    const SimCase idle = ReadCase("expect lose\n");
    auto run = [&](std::string& error) {
        std::ostringstream trace;
        SimResult result;
        error.clear();
        return RunSimCase(options, idle, trace, result, error) && result.met;
    };
    std::string error;
    EXPECT_TRUE(run(error)) << error;
    fs::remove(folder / "atlas.pak");
    EXPECT_FALSE(run(error));
    EXPECT_NE(error.find("atlas.pak is missing"), std::string::npos) << error;
    std::ofstream(folder / "atlas.pak") << "not an archive";
    EXPECT_FALSE(run(error));
    EXPECT_NE(error.find("atlas.pak is damaged"), std::string::npos) << error;
    fs::copy_file(fs::path(BRASHWICK_OUTPUT_DIR) / "atlas.pak", folder / "atlas.pak", fs::copy_options::overwrite_existing);
    EXPECT_TRUE(run(error)) << error;
    fs::remove_all(folder);
}

// A recorded file that checks nothing, or a trace that is not written, is bad input, not a pass.
TEST(SimProgram, RecordedCasesThatCheckNothingOrAnUnwrittenTraceAreRefused)
{
    const std::string paks = BRASHWICK_OUTPUT_DIR;
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("pirrock-sim-" + std::to_string(::getpid()) + ".sol");
    const struct
    {
        const char* text;
        const char* message;
    } files[] = {
        {"", "no case in the file"},
        {"; level 1: recorded cases\n\n", "no case in the file"},
        {"case win\n  on hero 11,6  use bridge at 15,6\n", "case win has no expect line"},
        {"case no-bridge\n  expect lose\ncase win\n  on hero 11,6  use bridge at 15,6\n", "case win has no expect line"},
        {"on hero 11,6  use bridge at 15,6\n", "case replay has no expect line"},
    };
    std::string out, err;
    for (const auto& bad : files) {
        std::ofstream(file) << bad.text;
        EXPECT_EQ(RunProgram({"--paks", paks, "--level", "1", "--solution", file.string()}, out, err), 2) << bad.text;
        EXPECT_NE(err.find(bad.message), std::string::npos) << err;
    }
    // The same lines as a replay are only traced.
    EXPECT_EQ(RunProgram({"--paks", paks, "--level", "1", "--replay", file.string()}, out, err), 0) << err;
    std::filesystem::remove(file);

    const std::vector<std::string> win = {"--paks", paks, "--solution", LEVELS + "01.sol", "--case", "win"};
    std::vector<std::string> toFullDisk = win;
    toFullDisk.insert(toFullDisk.end(), {"--trace", "/dev/full"});
    EXPECT_EQ(RunProgram(toFullDisk, out, err), 2);
    EXPECT_NE(err.find("/dev/full: cannot write the trace"), std::string::npos) << err;
    std::vector<const char*> argv = {"pirrock-sim"};
    for (const std::string& arg : win)
        argv.push_back(arg.c_str());
    std::ofstream fullOut("/dev/full");
    std::ostringstream errors;
    EXPECT_EQ(RunSimProgram(static_cast<int>(argv.size()), argv.data(), fullOut, errors), 2);
    EXPECT_NE(errors.str().find("standard output: cannot write the trace"), std::string::npos) << errors.str();
}

TEST(HeadlessGame, ARestartWhileWaitingOrRunningStartsTheHeroAgain)
{
    const Played run = Play(1, "on step 10 hud RestartLevel\non step 100 hud RestartLevel\nexpect lose\n");
    EXPECT_TRUE(run.result.met) << run.trace;
    EXPECT_EQ(run.Count("state waiting -> running"), 2);
    EXPECT_EQ(run.Count("state running -> waiting"), 1);
}

TEST(HeadlessGame, AnAngelRisingOutOfTheGridDiesOnce)
{
    // Without the ladder the hero runs off the top-left of level 6 and rises from there.
    const Played run = Play(6, RecordedCase(6, "no-ladder"));
    EXPECT_EQ(run.result.trap, 48);
    EXPECT_EQ(run.Count("state dieing -> dead"), 1);
    EXPECT_EQ(run.Count("state dead -> "), 0);
    EXPECT_EQ(run.StepOf("camera stopped"), run.StepOf("state running -> dieing")) << run.trace;
    EXPECT_EQ(run.result.lives, 4);
}

TEST(HeadlessGame, EveryShippedLevelLoadsWithNothingForTheGameLogAndItsValidator)
{
    SimOptions options;
    options.settings = {{"dev/validate_levels", "true"}};
    for (int level = 1; level <= 30; ++level) {
        const Played run = Play(level, "", options);
        EXPECT_EQ(run.Find("log "), std::string::npos) << run.trace;
        EXPECT_NE(run.result.outcome, SimResult::WIN) << "level " << level << " wins with no tool placed";
    }
}

TEST(HeadlessGame, EveryHintOfATutorialShowsOnceInItsOrderOnTheWayToTheWin)
{
    SimOptions options;
    options.tutorial = true;
    for (int level = 1; level <= 30; ++level) {
        std::ifstream source(LEVELS + (level < 10 ? "0" : "") + std::to_string(level) + ".lvl");
        std::string expected;
        for (std::string line; std::getline(source, line);) {
            std::istringstream words(line);
            std::string keyword, cell, text, id;
            if (words >> keyword >> cell >> text >> id && keyword == "hint" && text == "text")
                expected += id + ' ';
        }
        if (expected.empty())
            continue;
        const Played run = Play(level, RecordedCase(level, "win"), options);
        EXPECT_TRUE(run.result.met) << "level " << level << ": " << run.result.failure;
        std::string shown;
        for (std::size_t at = run.Find("hud ShowTutorialText(\""); at != std::string::npos;
             at = run.Find("hud ShowTutorialText(\"", run.trace.find('\n', at))) {
            const std::size_t open = run.trace.find('"', at) + 1;
            shown += run.trace.substr(open, run.trace.find('"', open) - open) + ' ';
        }
        EXPECT_EQ(shown, expected) << "level " << level;
    }
}

TEST(HeadlessGame, EveryLevelIsLateWithThreeSecondsLessThanItsSolutionTakes)
{
    for (int level = 1; level <= 30; ++level) {
        const SimCase win = RecordedCase(level, "win");
        const Played reference = Play(level, win);
        ASSERT_EQ(reference.result.outcome, SimResult::WIN) << "level " << level;
        std::ifstream source(LEVELS + (level < 10 ? "0" : "") + std::to_string(level) + ".lvl");
        int allowance = 0;
        for (std::string line; std::getline(source, line) && allowance == 0;)
            std::sscanf(line.c_str(), "time %d", &allowance);
        SimOptions options;
        options.time = allowance - reference.result.timeLeft - 3;
        ASSERT_GT(options.time, 0) << "level " << level;
        EXPECT_EQ(Play(level, win, options).result.outcome, SimResult::LATE) << "level " << level;
    }
}

TEST(HeadlessGame, TapsAndTouchesOffTheScreenAreNotMade)
{
    const Played run = Play(1, "on step 60 use bridge at 40,6\non step 61 touch 800,100\non step 62 touch 100,480\n");
    int refused = 0;
    for (std::size_t at = run.trace.find("off the screen: not made"); at != std::string::npos;
         at = run.trace.find("off the screen: not made", at + 1))
        ++refused;
    EXPECT_EQ(refused, 3) << run.trace;
    EXPECT_EQ(run.Find("hud UpdateLevelData()"), std::string::npos);
}

TEST(HeadlessGame, TheClockRunsFromTheEntryAndStopsOnlyWhilePlayIsHeld)
{
    SimOptions options;
    options.settings = {{"dev/enable_cheats", "true"}};
    const Played run = Play(1, "on step 10 key SPACE\non step 20 key SPACE\non step 100 key SPACE\n"
                               "on step 110 key SPACE\n", options);
    const int start = run.StepOf("state waiting -> running");
    ASSERT_GT(start, 20) << run.trace;
    EXPECT_EQ(run.StepOf("hud ActivateTimer(true)"), 0) << run.trace;
    EXPECT_EQ(run.StepOf("hud ActivateTimer(false)"), 10);
    // Resumed during the wait and while running, and started again by the hero's start.
    EXPECT_EQ(run.Count("hud ActivateTimer(true)"), 4) << run.trace;

    // One second runs out while the hero still waits: it is late as soon as it runs.
    options.time = 1;
    const Played late = Play(1, "", options);
    EXPECT_LE(late.StepOf("state running -> late"), late.StepOf("state waiting -> running") + 1) << late.trace;
    EXPECT_EQ(late.result.outcome, SimResult::LATE);
}

namespace
{

// A "camera" line of the trace: mode, position, where an easing heads for, the hero.
struct CameraLine
{
    int step = 0;
    std::string mode;
    int x = 0, y = 0, z = 0;
    int toX = 0, toY = 0, toZ = 0;
    int heroX = 0, heroY = 0;
};

std::vector<CameraLine> CameraLines(const Played& run)
{
    std::vector<CameraLine> lines;
    std::istringstream text(run.trace);
    for (std::string line; std::getline(text, line);) {
        CameraLine c;
        char mode[16] = {};
        if (std::sscanf(line.c_str(), "%d camera %15s at %d,%d,%d", &c.step, mode, &c.x, &c.y, &c.z) != 5)
            continue;
        c.mode = mode;
        const std::size_t to = line.find(" to ");
        if (to != std::string::npos)
            std::sscanf(line.c_str() + to, " to %d,%d,%d", &c.toX, &c.toY, &c.toZ);
        std::sscanf(line.c_str() + line.find(" hero "), " hero %d,%d", &c.heroX, &c.heroY);
        lines.push_back(c);
    }
    return lines;
}

// Every step's camera line, with the framing constants the checks assume.
Played PlayCamera(int level, const SimCase& simCase, std::vector<std::pair<std::string, std::string>> settings = {})
{
    SimOptions options;
    options.cameraEvery = 1;
    options.settings = {{"constants/tracker_activation_distance", "160"}, {"constants/ideal_vertical_span", "480"},
                        {"constants/focus_slope_1000", "100"}, {"constants/mirror_view_slope_1000", "60"}};
    options.settings.insert(options.settings.end(), settings.begin(), settings.end());
    return Play(level, simCase, options);
}

// The camera height that shows 480 units on the 480-pixel screen: 240 / tan(30 degrees).
constexpr int IDEAL_Z = 416;

} // namespace

TEST(HeadlessCamera, FramesTheHeroAtLoadWaitsWhileItStandsAndCatchesUpOnceItRuns)
{
    const Played run = PlayCamera(6, RecordedCase(6, "win"));
    const std::vector<CameraLine> lines = CameraLines(run);
    ASSERT_GT(lines.size(), 200u);
    const CameraLine& load = lines.front();
    EXPECT_EQ(load.step, 0);
    EXPECT_EQ(load.mode, "waiting");
    EXPECT_EQ(load.x - load.heroX, 160) << "the view's centre the activation distance ahead";
    EXPECT_EQ(load.z, IDEAL_Z);
    EXPECT_GE(load.y, 240) << "the view's bottom edge at or above the level's";
    const int start = run.StepOf("state waiting -> running");
    std::size_t following = 0;
    while (following < lines.size() && lines[following].mode == "waiting") {
        EXPECT_EQ(lines[following].x, load.x) << "step " << lines[following].step;
        ++following;
    }
    ASSERT_LT(following + 60, lines.size());
    EXPECT_EQ(lines[following].mode, "following");
    EXPECT_GT(lines[following].step, start);
    EXPECT_LT(lines[following].x - lines[following].heroX, 160) << "the hero ran into the window";
    // After a second of running the camera moves as fast as the hero, lagging behind.
    const CameraLine& a = lines[following + 30];
    const CameraLine& b = lines[following + 60];
    EXPECT_NEAR(b.x - a.x, b.heroX - a.heroX, (b.heroX - a.heroX) / 10);
    EXPECT_LT(b.x - b.heroX, load.x - load.heroX);
}

TEST(HeadlessCamera, ARestartEasesBackToTheLoadFramingWithoutAJump)
{
    const Played run = PlayCamera(6, ReadCase("on step 200 hud RestartLevel\n"));
    const std::vector<CameraLine> lines = CameraLines(run);
    ASSERT_GT(lines.size(), 300u);
    const CameraLine& load = lines.front();
    const auto restart = std::find_if(lines.begin(), lines.end(), [](const CameraLine& c) { return c.step == 200; });
    ASSERT_NE(restart, lines.end());
    ASSERT_EQ(restart->mode, "easing");
    EXPECT_NEAR(restart->toX, load.x, 1);
    EXPECT_EQ(restart->toZ, IDEAL_Z);
    EXPECT_GT(restart[-1].x - load.x, 300) << "the camera was far on";
    // While the hero stands, each step closes a tenth of the way that is left: no jump, and no
    // standing still.
    for (auto c = restart + 1; c != lines.end() && c->heroX == restart->heroX && c->mode == "easing"; ++c) {
        const float before = static_cast<float>(c[-1].x - load.x), now = static_cast<float>(c->x - load.x);
        EXPECT_NEAR(now, before * 0.9f, 1.5f) << "step " << c->step;
    }
    const auto settled = std::find_if(restart, lines.end(), [](const CameraLine& c) { return c.mode != "easing"; });
    ASSERT_NE(settled, lines.end()) << "the easing never ends";
    EXPECT_LT(settled->step, 200 + 150);
}

TEST(HeadlessCamera, ATurnEasesTheViewOverToTheHerosNewSide)
{
    const Played run = PlayCamera(6, RecordedCase(6, "win"));
    const std::vector<CameraLine> lines = CameraLines(run);
    const int turned = run.StepOf("state diverting -> running");
    const auto turn =
        std::find_if(lines.begin(), lines.end(), [turned](const CameraLine& c) { return c.step == turned; });
    ASSERT_NE(turn, lines.end());
    ASSERT_EQ(turn->mode, "easing");
    EXPECT_GT(turn[-1].x, turn->heroX) << "the view was ahead of the hero running right";
    EXPECT_NEAR(turn->toX, turn->heroX - 160, 2) << "and heads to the activation distance left of it";
    // A share of 0.06 of the way left per step, plus the hero's own run that the tracker repeats.
    auto c = turn;
    for (; c != lines.end() && c->mode == "easing"; ++c)
        EXPECT_LE(std::abs(c->x - c[-1].x), std::abs(c[-1].x - c[-1].toX) * 6 / 100 + 10) << "step " << c->step;
    ASSERT_NE(c, lines.end()) << "the easing never ends";
    EXPECT_LT(c->x, c->heroX) << "the view now shows more of what lies left of the hero";
}

TEST(HeadlessCamera, ALevelNarrowerThanTheViewIsCentredAndFillsTheScreenWidth)
{
    // Level 1 is 32 columns of 48 units; a 1200-unit vertical span would show 2000 units across.
    const Played run =
        PlayCamera(1, ReadCase("on step 150 hud RestartLevel\n"), {{"constants/ideal_vertical_span", "1200"}});
    const std::vector<CameraLine> lines = CameraLines(run);
    ASSERT_GT(lines.size(), 300u);
    // The width fills the 400 half-width pixels: z = 768 / 400 x 415.7.
    for (const CameraLine& c : lines) {
        ASSERT_EQ(c.x, 768) << "step " << c.step;
        ASSERT_EQ(c.z, 798) << "step " << c.step;
        ASSERT_GE(c.y, 460) << "step " << c.step << ": the bottom edge below the level's";
    }
}
