// The determinant and the inverse of a 3x3 matrix by cofactors.
#include "scene/Matrix3.h"

#include <cmath>

namespace Vund
{

Matrix3::Matrix3() : Matrix3(1, 0, 0, 0, 1, 0, 0, 0, 1)
{
}

Matrix3::Matrix3(float m00, float m01, float m02, float m10, float m11, float m12, float m20,
                 float m21, float m22)
    : rows{Vector3D(m00, m01, m02), Vector3D(m10, m11, m12), Vector3D(m20, m21, m22)}
{
}

float Matrix3::GetDeterminant() const
{
    const Vector3D& a = rows[0];
    const Vector3D& b = rows[1];
    const Vector3D& c = rows[2];
    return a.x * (b.y * c.z - b.z * c.y) + a.y * b.z * c.x + a.z * b.x * c.y - a.z * b.y * c.x -
           a.y * b.x * c.z;
}

Matrix3 Matrix3::GetInverse() const
{
    const float d = GetDeterminant();
    if (d == 0.0f || !std::isfinite(d))
        return Matrix3(0, 0, 0, 0, 0, 0, 0, 0, 0);
    const float r = 1.0f / d;
    const Vector3D& a = rows[0];
    const Vector3D& b = rows[1];
    const Vector3D& c = rows[2];
    // Entry (i, j) is the cofactor of entry (j, i).
    return Matrix3((b.y * c.z - b.z * c.y) * r, (a.z * c.y - a.y * c.z) * r, (a.y * b.z - a.z * b.y) * r,
                   (b.z * c.x - b.x * c.z) * r, (a.x * c.z - a.z * c.x) * r, (a.z * b.x - a.x * b.z) * r,
                   (b.x * c.y - b.y * c.x) * r, (a.y * c.x - a.x * c.y) * r, (a.x * b.y - a.y * b.x) * r);
}

} // namespace Vund
