// Clocks: the millisecond clock never goes backwards; the seconds clock reads calendar time.
#include "engine/core/Clock.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(GetTimeMs, NeverGoesBackwards)
{
    std::int64_t previous = Tarv::GetTimeMs();
    for (int i = 0; i < 10000; ++i) {
        const std::int64_t now = Tarv::GetTimeMs();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

TEST(GetTimeSeconds, IsACalendarTimeAfterThisCodeWasWritten)
{
    // 2024-01-01T00:00:00Z: a clock that reads earlier is not the calendar clock.
    EXPECT_GT(Tarv::GetTimeSeconds(), 1704067200);
}
