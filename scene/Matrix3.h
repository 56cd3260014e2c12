// Vund::Matrix3: a 3x3 float matrix held as three row vectors, enough to solve for a
// parabola's coefficients.
#pragma once

#include "scene/Vector3D.h"

namespace Vund
{

class Matrix3
{
public:
    // The identity.
    Matrix3();
    Matrix3(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21,
            float m22);

    float GetDeterminant() const;
    // The adjugate times 1 / determinant. A singular matrix (determinant 0 or not finite) has
    // no inverse: the result is then the zero matrix.
    Matrix3 GetInverse() const;
    void Invert() { *this = GetInverse(); }

    Vector3D rows[3];
};

} // namespace Vund
