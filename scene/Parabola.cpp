// The parabola through three points, from the inverse of their Vandermonde matrix.
#include "scene/Parabola.h"

#include "scene/Matrix3.h"

#include <cmath>

namespace Vund
{

Parabola::Parabola(const Vector3D& p1, const Vector3D& p2, const Vector3D& p3)
{
    Matrix3 m(p1.x * p1.x, p1.x, 1.0f, p2.x * p2.x, p2.x, 1.0f, p3.x * p3.x, p3.x, 1.0f);
    const float det = m.GetDeterminant();
    if (det == 0.0f || !std::isfinite(det)) {
        m_c = p1.y;
        return;
    }
    m.Invert();
    const Vector3D ys(p1.y, p2.y, p3.y);
    const float a = m.rows[0].Dot(ys), b = m.rows[1].Dot(ys), c = m.rows[2].Dot(ys);
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c)) {
        m_c = p1.y;
        return;
    }
    m_a = a;
    m_b = b;
    m_c = c;
}

} // namespace Vund
