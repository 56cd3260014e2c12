// Tarv::FrameTimer: the seconds between two passes of the main loop, from readings of the
// monotonic clock (Tarv::GetTimeMs): never negative and never more than one bounded step, so
// one long stall cannot feed itself.
#pragma once

#include <cstdint>

namespace Tarv
{

class FrameTimer
{
public:
    // The longest step one pass may report; the rest of a longer stall is dropped.
    static constexpr float MAX_STEP_SECONDS = 0.25f;

    // Starts measuring at nowMs.
    void Start(std::int64_t nowMs) { m_lastMs = nowMs; }
    // The seconds since the previous call (or Start), clamped to 0 .. MAX_STEP_SECONDS.
    float Advance(std::int64_t nowMs);

private:
    std::int64_t m_lastMs = 0;
};

} // namespace Tarv
