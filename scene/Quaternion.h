// Vund::Quaternion, Vund::NormalizedQuaternion and Vund::Rotation: orientations as unit
// quaternions, and the turning of vectors by them. Vund::PolarVector3D: a yaw, pitch, length.
#pragma once

#include "scene/Angle.h"
#include "scene/Vector3D.h"

namespace Vund
{

class NormalizedQuaternion;
class Rotation;

class Quaternion
{
public:
    Quaternion() = default;
    Quaternion(float w_, float x, float y, float z) : w(w_), axis(x, y, z) {}
    Quaternion(const Quaternion&) = default;
    Quaternion& operator=(const Quaternion&) = default;

    virtual float GetSquaredNorm() const;
    // The square root is taken in double precision.
    virtual float GetNorm() const;
    // The zero quaternion gives (0, 0, 0, 0), with w 0 as well.
    virtual NormalizedQuaternion GetNormalized() const;
    virtual void Normalize();

    // v turned by q: q (0, v) q^-1, with the inverse formed through q's own squared norm, so a
    // non-unit quaternion turns without scaling. The zero quaternion has no inverse: v is
    // returned unchanged.
    static Vector3D RotateVector(const Vector3D& v, const Quaternion& q);
    // The same for an orientation, whose quaternion base is its own.
    static Vector3D RotateVector(const Vector3D& v, const Rotation& q);

    // The Hamilton product a * b.
    static Quaternion Product(const Quaternion& a, const Quaternion& b);
    // (cos(t/2), sin(t/2) * u): the turn by t radians about the unit axis u. The sine and
    // cosine are taken in double precision from the float half angle.
    static Quaternion AboutAxis(const Vector3D& u, float t);

    float w = 0.0f;
    Vector3D axis;
};

class NormalizedQuaternion : public Quaternion
{
public:
    NormalizedQuaternion() : Quaternion(1.0f, 0.0f, 0.0f, 0.0f) {}
    NormalizedQuaternion(const NormalizedQuaternion&) = default;
    NormalizedQuaternion& operator=(const NormalizedQuaternion&) = default;

    float GetSquaredNorm() const override { return 1.0f; }
    float GetNorm() const override { return 1.0f; }
    NormalizedQuaternion GetNormalized() const override { return *this; }
    void Normalize() override {}

protected:
    // Takes the components as they are; callers vouch for the unit norm (or the zero case).
    explicit NormalizedQuaternion(const Quaternion& q) : Quaternion(q.w, q.axis.x, q.axis.y, q.axis.z) {}
    friend class Quaternion;
};

// The one quaternion type that dynamic objects and the game keep as an orientation. Its
// quaternion base is not public: a rotation is made only as a turn (or from the physics'
// integrated components), never taken for any quaternion or assigned from one; it turns
// vectors through Quaternion::RotateVector.
class Rotation : private NormalizedQuaternion
{
public:
    using NormalizedQuaternion::GetNorm;
    using NormalizedQuaternion::GetNormalized;
    using NormalizedQuaternion::GetSquaredNorm;
    using NormalizedQuaternion::Normalize;
    using Quaternion::axis;
    using Quaternion::w;

    // The identity (1, 0, 0, 0).
    Rotation() = default;
    // The turn by angle radians about the axis (normalised first; a zero axis gives (c, 0, 0, 0)).
    Rotation(float angle, const Vector3D& axis);
    // Turns about z by c first, then about x by b, then about y by a: Ry(a) Rx(b) Rz(c), not
    // renormalised.
    Rotation(const Radian& a, const Radian& b, const Radian& c);
    Rotation(const Rotation&) = default;
    Rotation& operator=(const Rotation&) = default;

    // Takes four components as they are (the physics writes its integrated orientation so).
    static Rotation FromComponents(float w, float x, float y, float z);

private:
    explicit Rotation(const Quaternion& q) : NormalizedQuaternion(q) {}
    friend class Quaternion;
};

struct PolarVector3D
{
    Radian yaw;
    Radian pitch;
    float length = 0.0f;
};

} // namespace Vund
