// Vund::Linear: the straight line y = intercept + slope * x through two points (their z is
// ignored); the game's ski-jump hill is built from such lines and a parabola.
#pragma once

#include "engine/core/RefCounter.h"
#include "scene/Vector3D.h"

namespace Vund
{

class Linear : public Tarv::RefCounter
{
public:
    // Two points with the same x (or not finite) define no line: the result is the flat line
    // y = p1.y.
    Linear(const Vector3D& p1, const Vector3D& p2);

    float GetValue(const float& x) const { return m_intercept + m_slope * x; }
    float GetSlope() const { return m_slope; }
    float GetIntercept() const { return m_intercept; }

private:
    float m_slope = 0.0f;
    float m_intercept = 0.0f;
};

} // namespace Vund
