// Tarv::FpsCounter: frames per second over windows of a quarter second.
#pragma once

#include "engine/core/RefCounter.h"

namespace Tarv
{

class FpsCounter : public RefCounter
{
public:
    // Counts one frame of dt seconds; once more than the window has passed, fps becomes the
    // frames over the time counted and counting starts again (the excess is not carried).
    void Update(float dt);
    // 0 until the first window has closed.
    float GetFps() const { return m_fps; }

private:
    float m_elapsed = 0.0f;
    int m_frames = 0;
    float m_fps = 0.0f;
    float m_window = 0.25f;
};

} // namespace Tarv
