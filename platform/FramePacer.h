// Tarv::FramePacer: keeps the main loop's passes one display frame (1/60 s) apart where the
// buffer swap does not wait for the display, as under a server without vertical sync; where
// the swap waits, passes already come a frame apart and the pacer never adds a wait.
#pragma once

#include <cstdint>

namespace Tarv
{

class FramePacer
{
public:
    static constexpr std::int64_t FRAME_NS = 1000000000 / 60;
    // A pass ending this close to its due time counts as on time: a display running a little
    // faster than 60 Hz must not be made to miss its next refresh.
    static constexpr std::int64_t SLACK_NS = 2000000;

    // The nanoseconds to wait, after a pass that ended at nowNs (monotonic), before the next
    // pass starts. 0 for the first pass and for one that took a frame or longer; the cadence
    // then starts again from nowNs, so late passes are never made up in a burst.
    std::int64_t GetWait(std::int64_t nowNs);

    // Waits on the monotonic clock until the next pass is due. A signal ends the wait early,
    // so the loop sees a stop request at once.
    void Pace();

private:
    bool m_started = false;
    std::int64_t m_dueNs = 0;
};

} // namespace Tarv
