// Frame time on the monotonic clock: never negative, never more than one bounded step.
#include "platform/FrameTimer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace
{

using Tarv::FrameTimer;

// Milliseconds become seconds; a clock going backwards gives zero and measuring restarts from the
// earlier reading; one long frame is capped and not carried over.
TEST(FrameTimer, StepsAreNonNegativeAndBounded)
{
    const float cap = FrameTimer::MAX_STEP_SECONDS;
    const std::pair<std::int64_t, std::vector<std::pair<std::int64_t, float>>> cases[] = {
        {1000, {{1016, 0.016f}, {1016, 0.0f}, {1116, 0.1f}}},
        {5000, {{4000, 0.0f}, {4010, 0.01f}}},
        {0, {{3600 * 1000, cap}, {3600 * 1000 + 20, 0.02f}, {3600 * 1000 + 270, cap}}},
    };
    for (const auto& [start, steps] : cases) {
        FrameTimer timer;
        timer.Start(start);
        for (const auto& [now, seconds] : steps)
            EXPECT_FLOAT_EQ(timer.Advance(now), seconds) << start << " then " << now;
    }
}

} // namespace
