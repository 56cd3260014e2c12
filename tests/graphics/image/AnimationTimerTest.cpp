// Animation timing: frame steps by elapsed time, looping, the end of a one-shot animation, and
// the 16.16 frame times scripts read.
#include "graphics/image/AnimationTimer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace Tarv;

struct TimingStep {
    float seconds;
    bool running;
    unsigned frame;
    float timeLeft; // below zero: not checked
};

struct TimingCase {
    const char* what;
    std::vector<float> frames;
    bool loop;
    std::vector<TimingStep> steps;
};

const TimingCase TIMING_CASES[] = {
    {"a zero-time frame is left at the first positive step", {0.0f, 0.1f}, false,
     {{0, true, 0, -1}, {0, true, 0, -1}, {0.001f, true, 1, -1}}},
    {"a long step moves one frame, then the end is reported", {0.1f, 0.1f}, false,
     {{1.0f, true, 1, 0.1f}, {1.0f, false, 1, -1}, {0, false, 1, -1}}},
    {"zero steps never move", {0.0f, 0.0f, 0.3f}, true, {{0, true, 0, -1}, {0, true, 0, -1}}},
    {"a loop wraps and drops the overshoot", {0.1f, 0.2f}, true,
     {{0.15f, true, 1, 0.2f}, {0.19f, true, 1, -1}, {0.02f, true, 0, 0.1f}}},
    {"no frames has ended", {}, true, {{0.1f, false, 0, -1}}},
};

TEST(AnimationTimer, StepsByElapsedTime)
{
    for (const TimingCase& c : TIMING_CASES) {
        AnimationTimer timer(c.frames, c.loop);
        EXPECT_EQ(timer.GetFrameCount(), c.frames.size());
        if (!c.frames.empty()) {
            EXPECT_FLOAT_EQ(timer.GetTimeLeft(), c.frames[0]) << c.what;
        }
        for (const TimingStep& step : c.steps) {
            EXPECT_EQ(timer.Update(step.seconds), step.running) << c.what;
            EXPECT_EQ(timer.GetFrame(), step.frame) << c.what;
            if (step.timeLeft >= 0) {
                EXPECT_FLOAT_EQ(timer.GetTimeLeft(), step.timeLeft) << c.what;
            }
        }
    }
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
