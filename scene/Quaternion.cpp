// Quaternion norms, products and the turning of vectors, in the float operation order the
// scene layer's exact results depend on.
#include "scene/Quaternion.h"

#include <cmath>

namespace Vund
{

float Quaternion::GetSquaredNorm() const
{
    return w * w + axis.x * axis.x + axis.y * axis.y + axis.z * axis.z;
}

float Quaternion::GetNorm() const
{
    return static_cast<float>(std::sqrt(static_cast<double>(GetSquaredNorm())));
}

NormalizedQuaternion Quaternion::GetNormalized() const
{
    const float n = GetNorm();
    if (n == 0.0f)
        return NormalizedQuaternion(Quaternion(0.0f, 0.0f, 0.0f, 0.0f));
    const float r = 1.0f / n;
    return NormalizedQuaternion(Quaternion(w * r, axis.x * r, axis.y * r, axis.z * r));
}

void Quaternion::Normalize()
{
    const NormalizedQuaternion n = GetNormalized();
    w = n.w;
    axis = Vector3D(n.axis.x, n.axis.y, n.axis.z);
}

Quaternion Quaternion::Product(const Quaternion& p, const Quaternion& q)
{
    const Vector3D& a = p.axis;
    const Vector3D& b = q.axis;
    return Quaternion(p.w * q.w - a.x * b.x - a.y * b.y - a.z * b.z,
                      p.w * b.x + a.x * q.w + a.y * b.z - a.z * b.y,
                      p.w * b.y - a.x * b.z + a.y * q.w + a.z * b.x,
                      p.w * b.z + a.x * b.y - a.y * b.x + a.z * q.w);
}

Quaternion Quaternion::AboutAxis(const Vector3D& u, float t)
{
    const float half = t * 0.5f;
    const float c = static_cast<float>(std::cos(static_cast<double>(half)));
    const float s = static_cast<float>(std::sin(static_cast<double>(half)));
    return Quaternion(c, s * u.x, s * u.y, s * u.z);
}

Vector3D Quaternion::RotateVector(const Vector3D& v, const Quaternion& q)
{
    const float s = q.GetSquaredNorm();
    if (s == 0.0f)
        return v;
    const Quaternion t = Product(q, Quaternion(0.0f, v.x, v.y, v.z));
    const float r = 1.0f / s;
    const Quaternion c(q.w * r, -q.axis.x * r, -q.axis.y * r, -q.axis.z * r);
    const Quaternion u = Product(t, c);
    return Vector3D(u.axis.x, u.axis.y, u.axis.z);
}

Vector3D Quaternion::RotateVector(const Vector3D& v, const Rotation& q)
{
    return RotateVector(v, static_cast<const Quaternion&>(q));
}

Rotation::Rotation(float angle, const Vector3D& axis)
    : NormalizedQuaternion(AboutAxis(axis.GetNormalized(), angle))
{
}

Rotation::Rotation(const Radian& a, const Radian& b, const Radian& c)
{
    Quaternion q(1.0f, 0.0f, 0.0f, 0.0f);
    q = Product(AboutAxis(UnitZ, c.value), q);
    q = Product(AboutAxis(UnitX, b.value), q);
    q = Product(AboutAxis(UnitY, a.value), q);
    w = q.w;
    axis = q.axis;
}

Rotation Rotation::FromComponents(float w, float x, float y, float z)
{
    return Rotation(Quaternion(w, x, y, z));
}

} // namespace Vund
