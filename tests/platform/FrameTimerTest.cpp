// Frame time on the monotonic clock: never negative, never more than one bounded step.
#include "platform/FrameTimer.h"

#include <gtest/gtest.h>

namespace
{

using Tarv::FrameTimer;

TEST(FrameTimer, ReportsMillisecondsAsSeconds)
{
    FrameTimer timer;
    timer.Start(1000);
    EXPECT_FLOAT_EQ(timer.Advance(1016), 0.016f);
    EXPECT_FLOAT_EQ(timer.Advance(1016), 0.0f);
    EXPECT_FLOAT_EQ(timer.Advance(1116), 0.1f);
}

TEST(FrameTimer, ClockGoingBackwardsGivesZero)
{
    FrameTimer timer;
    timer.Start(5000);
    EXPECT_EQ(timer.Advance(4000), 0.0f);
    // Measuring restarts from the earlier reading.
    EXPECT_FLOAT_EQ(timer.Advance(4010), 0.01f);
}

TEST(FrameTimer, OneLongFrameIsCappedAndNotCarriedOver)
{
    FrameTimer timer;
    timer.Start(0);
    EXPECT_EQ(timer.Advance(3600 * 1000), FrameTimer::MAX_STEP_SECONDS);
    EXPECT_FLOAT_EQ(timer.Advance(3600 * 1000 + 20), 0.02f);
    EXPECT_EQ(timer.Advance(3600 * 1000 + 270), FrameTimer::MAX_STEP_SECONDS);
}

} // namespace
