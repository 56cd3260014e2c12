// Vund::Parabola: the curve y = a x^2 + b x + c through three points (their z is ignored),
// with its slope; the game's ski-jump hill follows one.
#pragma once

#include "engine/core/RefCounter.h"
#include "scene/Vector3D.h"

namespace Vund
{

class Parabola : public Tarv::RefCounter
{
public:
    // Solves the 3x3 system by the inverse matrix. Points that share an x define no parabola
    // (a singular system): the result is then the flat curve y = p1.y.
    Parabola(const Vector3D& p1, const Vector3D& p2, const Vector3D& p3);

    float GetValue(const float& x) const { return m_c + m_b * x + m_a * x * x; }
    float GetSlope(const float& x) const { return m_b + (x + x) * m_a; }
    float GetA() const { return m_a; }
    float GetB() const { return m_b; }
    float GetC() const { return m_c; }

private:
    float m_a = 0.0f;
    float m_b = 0.0f;
    float m_c = 0.0f;
};

} // namespace Vund
