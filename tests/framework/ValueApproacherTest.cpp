// The eased value: one step per whole tick, a restart once the target is met, bounded work.
#include "framework/ValueApproacher.h"

#include <gtest/gtest.h>

TEST(ValueApproacher, ClosesHalfTheGapPerWholeTick)
{
    Quor::ValueApproacher<float> speed(10.0f, 0.5f);
    speed.SetTarget(2.0f);
    speed.Advance(0.0166f); // a step is 1/30 s
    EXPECT_EQ(speed.GetCurrent(), 10.0f);
    speed.Advance(0.02f);
    EXPECT_FLOAT_EQ(speed.GetCurrent(), 6.0f);
    speed.Advance(0.07f); // two steps with the carried 0.0033 s
    EXPECT_FLOAT_EQ(speed.GetCurrent(), 3.0f);
}

TEST(ValueApproacher, AHugeStepEndsAtTheTargetWithoutRunningForever)
{
    Quor::ValueApproacher<float> speed(10.0f, 0.5f);
    speed.SetTarget(1.0f);
    speed.Advance(1.0e9f);
    speed.Advance(-1.0f);
    EXPECT_NEAR(speed.GetCurrent(), 1.0f, 1e-6f);
}
