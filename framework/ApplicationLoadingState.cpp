// The progress a loading screen shows, kept a number between 0 and 100.
#include "framework/ApplicationLoadingState.h"

#include <cmath>

namespace Quor
{

void ApplicationLoadingState::SetProgress(float percent)
{
    if (std::isnan(percent))
        return;
    m_progress = percent < 0.0f ? 0.0f : (percent > 100.0f ? 100.0f : percent);
}

} // namespace Quor
