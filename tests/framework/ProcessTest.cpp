// The time rule of a process: duration, fixed intervals with catch-up, pause, finish, kill.
#include "framework/Process.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
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

TEST(ProcessDuration, WorkRunsUntilTheTickThatReachesTheDuration)
{
    CountingProcess process("p", 0.0f, 1.0f);
    EXPECT_TRUE(process.Tick(0.25f));
    EXPECT_TRUE(process.Tick(0.25f));
    // The third tick leaves 0.25 s after its work, so the process is still alive.
    EXPECT_TRUE(process.Tick(0.25f));
    EXPECT_FALSE(process.Tick(0.25f));
    EXPECT_EQ(process.runs, 3);
    EXPECT_FLOAT_EQ(process.steps.back(), 0.25f);
}

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

TEST(ProcessInterval, CatchesUpWithOneRunPerWholeIntervalAndCarriesTheRest)
{
    CountingProcess process("p", 0.0f, Quor::Process::UNBOUNDED, 0.1f);
    EXPECT_TRUE(process.Tick(0.35f));
    EXPECT_EQ(process.runs, 3);
    EXPECT_NEAR(process.GetAccumulator(), 0.05f, 1e-6f);
    // Elapsed grows once per tick, not per run; the work sees the interval as its step.
    EXPECT_FLOAT_EQ(process.GetElapsed(), 0.35f);
    EXPECT_FLOAT_EQ(process.steps.front(), 0.1f);

    // The carried 0.05 s plus 0.06 s makes one more whole interval.
    EXPECT_TRUE(process.Tick(0.06f));
    EXPECT_EQ(process.runs, 4);
}

TEST(ProcessInterval, ShortFramesRunNothingUntilAnIntervalHasGathered)
{
    CountingProcess process("p", 0.0f, Quor::Process::UNBOUNDED, 1.0f / 32.0f);
    EXPECT_TRUE(process.Tick(0.02f));
    EXPECT_EQ(process.runs, 0);
    EXPECT_TRUE(process.Tick(0.02f));
    EXPECT_EQ(process.runs, 1);
    EXPECT_NEAR(process.GetAccumulator(), 0.00875f, 1e-6f);
}

TEST(ProcessInterval, WithADurationTheWorkRunsOnceAndTheFourthTickEnds)
{
    CountingProcess process("p", 0.0f, 1.0f, 0.5f);
    EXPECT_TRUE(process.Tick(0.25f));
    EXPECT_TRUE(process.Tick(0.25f));
    EXPECT_TRUE(process.Tick(0.25f));
    EXPECT_FALSE(process.Tick(0.25f));
    EXPECT_EQ(process.runs, 1);
}

TEST(ProcessInterval, AHalfSecondFrameAtThirtyTwoHertzRunsSixteenSteps)
{
    CountingProcess process("p", 0.0f, Quor::Process::UNBOUNDED, 1.0f / 32.0f);
    process.Tick(0.5f);
    EXPECT_EQ(process.runs, 16);
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
