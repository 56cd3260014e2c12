// The loading bar's smoothing: its shape with no real figures, the jump at 100, and that the
// shown value is always a number from 0 to 100 that never falls, whatever it is fed.
#include "framework/ProgressSmoother.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

TEST(ProgressSmoother, WithNoRealFigureTheBarRunsAtTenPerSecondToFiftyThenEverSlower)
{
    Quor::ProgressSmoother smoother;
    float shown = 0.0f;
    for (int i = 0; i < 49; ++i)
        shown = smoother.Smooth(0.1f, 0.0f);
    EXPECT_NEAR(shown, 49.0f, 1e-3f);
    EXPECT_FLOAT_EQ(smoother.GetSpeed(), 10.0f);

    // Past 50 the limit moves up by half the step and the speed target halves.
    smoother.Smooth(0.1f, 0.0f);
    smoother.Smooth(0.1f, 0.0f);
    EXPECT_FLOAT_EQ(smoother.GetLimit(), 75.0f);

    float before = smoother.GetShown();
    for (int i = 0; i < 100; ++i)
        smoother.Smooth(0.1f, 0.0f);
    const float firstGain = smoother.GetShown() - before;
    before = smoother.GetShown();
    for (int i = 0; i < 100; ++i)
        smoother.Smooth(0.1f, 0.0f);
    EXPECT_LT(smoother.GetShown() - before, firstGain);
    EXPECT_LT(smoother.GetShown(), 100.0f);
}

TEST(ProgressSmoother, ARealHundredShowsHundredInTheSameCall)
{
    Quor::ProgressSmoother smoother;
    smoother.Smooth(0.1f, 20.0f);
    EXPECT_EQ(smoother.Smooth(0.0f, 100.0f), 100.0f);
}

TEST(ProgressSmoother, TheSpeedAimsAtFinishingAtThePaceTheLoadHasShown)
{
    Quor::ProgressSmoother smoother;
    // After one second, shown 9 and real 50: (100 - 9) * 50 / (50 * 1) = 91 percent per second,
    // which the speed then eases toward.
    for (int i = 0; i < 9; ++i)
        smoother.Smooth(0.1f, 0.0f);
    smoother.Smooth(0.1f, 50.0f);
    for (int i = 0; i < 150; ++i)
        smoother.Smooth(1.0f / 300.0f, 50.0f);
    EXPECT_NEAR(smoother.GetSpeed(), 91.0f, 0.5f);
}

TEST(ProgressSmoother, AFirstFigureInAZeroLengthFrameGivesNoNaN)
{
    Quor::ProgressSmoother smoother;
    EXPECT_EQ(smoother.Smooth(0.0f, 30.0f), 0.0f);
    const float shown = smoother.Smooth(0.016f, 30.0f);
    EXPECT_FALSE(std::isnan(shown));
    EXPECT_GT(shown, 0.0f);
}

TEST(ProgressSmoother, AnyInputGivesANumberFromZeroToHundredThatNeverFalls)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float odd[] = {nan, inf, -inf, -5.0f, 0.0f, 1e-30f, 1e30f};
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> percent(-20.0f, 120.0f);
    std::uniform_real_distribution<float> frame(0.0f, 0.2f);
    for (int run = 0; run < 50; ++run) {
        Quor::ProgressSmoother smoother;
        float last = 0.0f;
        for (int i = 0; i < 400; ++i) {
            const bool strange = random() % 8 == 0;
            const float dt = strange ? odd[random() % 7] : frame(random);
            const float p = (random() % 8 == 0) ? odd[random() % 7] : percent(random);
            const float shown = smoother.Smooth(dt, p);
            ASSERT_FALSE(std::isnan(shown));
            ASSERT_GE(shown, last);
            ASSERT_LE(shown, 100.0f);
            last = shown;
        }
    }
}
