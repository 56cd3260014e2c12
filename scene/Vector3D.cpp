// Lengths, normalisation and projection of the scene's vectors, in the float operation order
// the rest of the scene layer's exact results depend on.
#include "scene/Vector3D.h"

#include "scene/Quaternion.h"

#include <cmath>

namespace Vund
{

const NormalizedVector3D UnitX(1.0f, 0.0f, 0.0f);
const NormalizedVector3D UnitY(0.0f, 1.0f, 0.0f);
const NormalizedVector3D UnitZ(0.0f, 0.0f, 1.0f);

Vector3D::Vector3D(const PolarVector3D& polar)
{
    const Quaternion turn = Quaternion::Product(Quaternion::AboutAxis(UnitY, polar.yaw.value),
                                                Quaternion::AboutAxis(UnitX, polar.pitch.value));
    const Vector3D d = Quaternion::RotateVector(Vector3D(0.0f, 0.0f, -1.0f), turn);
    x = polar.length * d.x;
    y = polar.length * d.y;
    z = polar.length * d.z;
}

float Vector3D::GetSquaredLength() const
{
    return x * x + y * y + z * z;
}

float Vector3D::GetLength() const
{
    return static_cast<float>(std::sqrt(static_cast<double>(GetSquaredLength())));
}

void Vector3D::GetLengthAndDirection(float& length, Vector3D& direction) const
{
    length = GetLength();
    if (length == 0.0f) {
        direction.x = direction.y = direction.z = 0.0f;
        return;
    }
    const float r = 1.0f / length;
    direction.x = x * r;
    direction.y = y * r;
    direction.z = z * r;
}

NormalizedVector3D Vector3D::GetNormalized() const
{
    Vector3D direction;
    float length = 0.0f;
    GetLengthAndDirection(length, direction);
    return NormalizedVector3D(NormalizedVector3D::Raw{}, direction.x, direction.y, direction.z);
}

void Vector3D::Normalize()
{
    const NormalizedVector3D n = GetNormalized();
    x = n.x;
    y = n.y;
    z = n.z;
}

Vector3D Vector3D::Project(const Vector3D& other) const
{
    if (other.GetSquaredLength() == 0.0f)
        return Vector3D();
    const float t = (other.x * x + other.y * y + other.z * z) / other.GetSquaredLength();
    return Vector3D(t * other.x, t * other.y, t * other.z);
}

NormalizedVector3D::NormalizedVector3D(float x_, float y_, float z_)
    : NormalizedVector3D(Vector3D(x_, y_, z_))
{
}

NormalizedVector3D::NormalizedVector3D(const Vector3D& v)
{
    // Through the argument's own kind: a normalised argument is copied as it is.
    const NormalizedVector3D n = v.GetNormalized();
    x = n.x;
    y = n.y;
    z = n.z;
}

void NormalizedVector3D::GetLengthAndDirection(float& length, Vector3D& direction) const
{
    length = 1.0f;
    direction.x = x;
    direction.y = y;
    direction.z = z;
}

} // namespace Vund
