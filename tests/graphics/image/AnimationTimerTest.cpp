// Animation timing: frame steps by elapsed time, looping, the end of a one-shot animation, and
// the 16.16 frame times scripts read.
#include "graphics/image/AnimationTimer.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Tarv;

TEST(AnimationTimer, StartsOnTheFirstFrameForItsFullTime)
{
    AnimationTimer timer({0.25f, 0.5f}, false);
    EXPECT_EQ(timer.GetFrame(), 0u);
    EXPECT_FLOAT_EQ(timer.GetTimeLeft(), 0.25f);
    EXPECT_EQ(timer.GetFrameCount(), 2u);
}

TEST(AnimationTimer, ZeroTimeFrameIsLeftAtTheFirstPositiveStep)
{
    AnimationTimer timer({0.0f, 0.1f}, false);
    EXPECT_TRUE(timer.Update(0.0f));
    EXPECT_EQ(timer.GetFrame(), 0u);
    EXPECT_TRUE(timer.Update(0.001f));
    EXPECT_EQ(timer.GetFrame(), 1u);
}

TEST(AnimationTimer, LongStepMovesOneFrameThenTheEndIsReported)
{
    AnimationTimer timer({0.1f, 0.1f}, false);
    EXPECT_TRUE(timer.Update(1.0f));
    EXPECT_EQ(timer.GetFrame(), 1u);
    EXPECT_FLOAT_EQ(timer.GetTimeLeft(), 0.1f);
    EXPECT_FALSE(timer.Update(1.0f));
    EXPECT_EQ(timer.GetFrame(), 1u);
    EXPECT_FALSE(timer.Update(0.0f));
    EXPECT_EQ(timer.GetFrame(), 1u);
}

TEST(AnimationTimer, ZeroStepsNeverMove)
{
    AnimationTimer timer({0.0f, 0.0f, 0.3f}, true);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(timer.Update(0.0f));
    EXPECT_EQ(timer.GetFrame(), 0u);
}

TEST(AnimationTimer, LoopWrapsAndDropsTheOvershoot)
{
    AnimationTimer timer({0.1f, 0.2f}, true);
    EXPECT_TRUE(timer.Update(0.15f));
    EXPECT_EQ(timer.GetFrame(), 1u);
    EXPECT_FLOAT_EQ(timer.GetTimeLeft(), 0.2f);
    EXPECT_TRUE(timer.Update(0.19f));
    EXPECT_EQ(timer.GetFrame(), 1u);
    EXPECT_TRUE(timer.Update(0.02f));
    EXPECT_EQ(timer.GetFrame(), 0u);
    EXPECT_FLOAT_EQ(timer.GetTimeLeft(), 0.1f);
}

TEST(AnimationTimer, FrameTimesInFixedPoint)
{
    AnimationTimer timer({100 * 0.001f, 1000 * 0.001f, 0.0f}, false);
    EXPECT_EQ(timer.GetFrameTimeFixed(0), 6553);
    EXPECT_EQ(timer.GetFrameTimeFixed(1), 65536);
    EXPECT_EQ(timer.GetFrameTimeFixed(2), 0);
    EXPECT_EQ(timer.GetFrameTimeFixed(3), 0);
    AnimationTimer huge({1e9f, -1e9f, std::nanf("")}, false);
    EXPECT_EQ(huge.GetFrameTimeFixed(0), 2147483647);
    EXPECT_EQ(huge.GetFrameTimeFixed(1), -2147483647 - 1);
    EXPECT_EQ(huge.GetFrameTimeFixed(2), 0);
}

TEST(AnimationTimer, SetFrameOutsideTheFramesChangesNothing)
{
    AnimationTimer timer({0.1f, 0.2f, 0.3f}, false);
    EXPECT_TRUE(timer.SetFrame(2));
    EXPECT_FLOAT_EQ(timer.GetTimeLeft(), 0.3f);
    EXPECT_FALSE(timer.SetFrame(3));
    EXPECT_FALSE(timer.SetFrame(0xFFFFFFFFu));
    EXPECT_EQ(timer.GetFrame(), 2u);
    EXPECT_TRUE(timer.SetFrame(0));
    EXPECT_EQ(timer.GetFrame(), 0u);
}

TEST(AnimationTimer, NoFramesHasEnded)
{
    AnimationTimer timer({}, true);
    EXPECT_FALSE(timer.Update(0.1f));
    EXPECT_EQ(timer.GetFrameCount(), 0u);
}
