// FpsCounter: the frame-rate measurement of the statistics overlay and the fps plot.
#include "console/FpsCounter.h"

namespace Tarv
{

void FpsCounter::Update(float dt)
{
    m_elapsed += dt;
    ++m_frames;
    if (!(m_elapsed > m_window))
        return;
    m_fps = static_cast<float>(m_frames) / m_elapsed;
    m_frames = 0;
    m_elapsed = 0.0f;
}

} // namespace Tarv
