// The time rule of a process: duration, fixed intervals with catch-up, pause, finish, kill.
#include "framework/Process.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace
{

class CountingProcess : public Quor::Process
{
public:
    using Quor::Process::Process;

    int runs = 0;
    std::vector<float> steps;
    // Makes the work end the process from inside its run number n (1-based).
    int finishOnRun = 0;

protected:
    void Update() override
    {
        ++runs;
        steps.push_back(GetStep());
        if (runs == finishOnRun)
            Finish();
    }
};

} // namespace

TEST(ProcessDuration, UnboundedNeverEndsByTimeButFinishEndsItAtTheNextTick)
{
    CountingProcess process("p");
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(process.Tick(1000.0f));
    process.Finish();
    EXPECT_FALSE(process.Tick(0.01f));
    EXPECT_EQ(process.runs, 1000);
}

TEST(ProcessDuration, FinishInsideTheWorkReportsEndedInThatTick)
{
    CountingProcess process("p");
    process.finishOnRun = 2;
    EXPECT_TRUE(process.Tick(0.1f));
    EXPECT_FALSE(process.Tick(0.1f));
}

// Frames against duration and interval: the work runs until the tick that reaches the duration;
// with an interval, once per whole interval gathered, the rest carried to the next frame.
TEST(ProcessInterval, RunsPerFrameAndTheTickThatEnds)
{
    const float U = Quor::Process::UNBOUNDED;
    const struct { float interval; float duration; std::vector<float> frames; int runs; bool alive; float carried; } cases[] = {
        {0.0f, 1.0f, {0.25f, 0.25f, 0.25f}, 3, true, -1.0f},
        {0.0f, 1.0f, {0.25f, 0.25f, 0.25f, 0.25f}, 3, false, -1.0f},
        {0.1f, U, {0.35f}, 3, true, 0.05f},
        {0.1f, U, {0.35f, 0.06f}, 4, true, 0.01f},
        {1.0f / 32.0f, U, {0.02f}, 0, true, 0.02f},
        {1.0f / 32.0f, U, {0.02f, 0.02f}, 1, true, 0.00875f},
        {1.0f / 32.0f, U, {0.5f}, 16, true, -1.0f},
        {0.5f, 1.0f, {0.25f, 0.25f, 0.25f}, 1, true, -1.0f},
        {0.5f, 1.0f, {0.25f, 0.25f, 0.25f, 0.25f}, 1, false, -1.0f}};
    for (const auto& c : cases) {
        CountingProcess process("p", 0.0f, c.duration, c.interval);
        bool alive = true;
        for (float frame : c.frames)
            alive = process.Tick(frame);
        const std::string name = std::to_string(c.interval) + " " + std::to_string(c.frames.size());
        EXPECT_EQ(process.runs, c.runs) << name;
        EXPECT_EQ(alive, c.alive) << name;
        if (c.carried >= 0.0f) {
            EXPECT_NEAR(process.GetAccumulator(), c.carried, 1e-6f) << name;
        }
        // The work sees the interval, or without one the frame, as its step.
        if (c.runs > 0) {
            EXPECT_FLOAT_EQ(process.steps.front(), c.interval > 0.0f ? c.interval : c.frames[0]) << name;
        }
    }
}

TEST(ProcessInterval, OneHugeFrameRunsAtMostTheCatchUpBoundAndDropsTheRest)
{
    CountingProcess process("p", 0.0f, Quor::Process::UNBOUNDED, 1.0f / 30.0f);
    EXPECT_TRUE(process.Tick(3600.0f));
    EXPECT_EQ(process.runs, Quor::Process::DEFAULT_MAX_CATCH_UP);
    EXPECT_LT(process.GetAccumulator(), 1.0f / 30.0f);

    CountingProcess unbounded("u", 0.0f, Quor::Process::UNBOUNDED, 0.5f);
    unbounded.SetMaxCatchUp(0);
    unbounded.Tick(100.0f);
    EXPECT_EQ(unbounded.runs, 200);
}

TEST(ProcessInterval, AnUnusableIntervalMeansOneRunPerTickInsteadOfNone)
{
    // 1 / a missing frame rate of 0 is infinite; such a process must not stop forever.
    const float bad[] = {std::numeric_limits<float>::infinity(), std::nanf(""), -0.5f};
    for (float interval : bad) {
        CountingProcess process("p", 0.0f, Quor::Process::UNBOUNDED, interval);
        EXPECT_EQ(process.GetInterval(), 0.0f);
        process.Tick(0.02f);
        process.Tick(0.02f);
        EXPECT_EQ(process.runs, 2);
    }
}

TEST(ProcessInterval, SetIntervalRestartsTheTime)
{
    CountingProcess process("p", 0.0f, 1.0f);
    process.Tick(0.9f);
    process.SetInterval(0.1f);
    EXPECT_EQ(process.GetElapsed(), 0.0f);
    EXPECT_TRUE(process.Tick(0.25f));
    EXPECT_EQ(process.GetStep(), 0.1f);
}

TEST(ProcessPause, APausedProcessNeitherAdvancesNorEnds)
{
    CountingProcess process("p", 0.0f, 0.5f);
    process.SetPaused(true);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(process.Tick(1.0f));
    EXPECT_EQ(process.runs, 0);
    EXPECT_EQ(process.GetElapsed(), 0.0f);

    process.Finish();
    EXPECT_FALSE(process.IsPaused());
    EXPECT_FALSE(process.Tick(0.01f));
    EXPECT_EQ(process.runs, 0);
}

TEST(ProcessPause, RestartGivesBackTheWholeDuration)
{
    CountingProcess process("p", 0.0f, 0.5f);
    EXPECT_FALSE(process.Tick(0.5f));
    process.Restart();
    EXPECT_TRUE(process.Tick(0.25f));
    EXPECT_EQ(process.runs, 1);
}

TEST(ProcessDuration, ABadFrameTimeCountsAsZeroInsteadOfPoisoningTheClock)
{
    CountingProcess bounded("b", 0.0f, 1.0f);
    CountingProcess fixed("f", 0.0f, Quor::Process::UNBOUNDED, 0.1f);
    for (float bad : {std::nanf(""), std::numeric_limits<float>::infinity(), -1.0f}) {
        EXPECT_TRUE(bounded.Tick(bad));
        EXPECT_TRUE(fixed.Tick(bad));
    }
    EXPECT_EQ(bounded.GetElapsed(), 0.0f);
    EXPECT_EQ(fixed.GetAccumulator(), 0.0f);
    EXPECT_TRUE(fixed.Tick(0.25f));
    EXPECT_EQ(fixed.runs, 2);
}
