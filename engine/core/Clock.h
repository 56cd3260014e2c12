// The engine's clocks: a monotonic millisecond clock for frame times and the calendar time in
// seconds that seeds random number generators. Both are safe to call from any thread.
#pragma once

#include <cstdint>

namespace Tarv
{

// Milliseconds since an arbitrary fixed point (CLOCK_MONOTONIC): never goes backwards when the
// system time is changed, so the difference of two readings is a sound frame time.
std::int64_t GetTimeMs();

// The calendar time in seconds (time()), clamped to the int range.
int GetTimeSeconds();

} // namespace Tarv
