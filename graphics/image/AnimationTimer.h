// Tarv::AnimationTimer: which frame of an animation shows and for how much longer, stepped by
// elapsed time. The animated surface mirrors its current frame; scripts move it with SetFrame.
#pragma once

#include <cstdint>
#include <vector>

namespace Tarv
{

class AnimationTimer
{
public:
    // Frame durations in seconds; starts on frame 0 for its full time. With no frames the
    // timer has ended from the start.
    AnimationTimer(std::vector<float> frameSeconds, bool loop);

    // Counts dt off the current frame. Once its time is below 0 the next frame shows for its
    // full time (the overshoot is dropped; at most one step a call); after the last frame a
    // looping timer wraps to frame 0, and any other stays there and returns false from then on.
    bool Update(float dt);
    // Shows frame index for its full time; false (nothing changes) when there is no such frame.
    bool SetFrame(std::uint32_t index);

    std::uint32_t GetFrame() const { return m_index; }
    std::uint32_t GetFrameCount() const { return std::uint32_t(m_frameSeconds.size()); }
    float GetTimeLeft() const { return m_timeLeft; }
    // The duration of frame index in 16.16 fixed point (seconds x 65536, truncated); 0 when
    // there is no such frame.
    std::int32_t GetFrameTimeFixed(std::uint32_t index) const;

private:
    std::vector<float> m_frameSeconds;
    std::uint32_t m_index = 0;
    bool m_loop = false;
    float m_timeLeft = 0.0f;
};

} // namespace Tarv
