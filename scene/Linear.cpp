// The line through two points.
#include "scene/Linear.h"

#include <cmath>

namespace Vund
{

Linear::Linear(const Vector3D& p1, const Vector3D& p2)
{
    const float slope = (p2.y - p1.y) / (p2.x - p1.x);
    if (p2.x == p1.x || !std::isfinite(slope)) {
        m_intercept = p1.y;
        return;
    }
    m_slope = slope;
    m_intercept = p1.y - slope * p1.x;
}

} // namespace Vund
