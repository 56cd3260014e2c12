// Vectors, angles, quaternions, the 3x3 matrix and the two curves: the exact examples, the
// constant answers of the normalised kinds through base references, and degenerate input.
#include "scene/Angle.h"
#include "scene/Linear.h"
#include "scene/Matrix3.h"
#include "scene/Parabola.h"
#include "scene/Quaternion.h"
#include "scene/Vector3D.h"
#include "tests/scene/VectorPrinter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <type_traits>

using namespace Vund;

namespace
{

constexpr float PI = 3.14159265f;
constexpr float NAN_F = std::numeric_limits<float>::quiet_NaN();
constexpr float INF = std::numeric_limits<float>::infinity();

void ExpectNear(const Vector3D& got, const Vector3D& want)
{
    EXPECT_LT((got - want).GetLength(), 1e-6f) << got.x << " " << got.y << " " << got.z;
}

float WrapDegrees(float value)
{
    Degree d(value);
    d.Wrap();
    return d.value;
}

} // namespace

TEST(Vector3D, LengthsDirectionsAndProjections)
{
    EXPECT_EQ(Vector3D(3, 4, 0).GetLength(), 5.0f);
    float length = -1;
    Vector3D direction(9, 9, 9);
    Vector3D().GetLengthAndDirection(length, direction);
    EXPECT_EQ(length, 0.0f);
    EXPECT_EQ(direction, Vector3D());
    EXPECT_EQ(Vector3D(0, 0, 5).GetNormalized(), Vector3D(0, 0, 1));
    EXPECT_EQ(NormalizedVector3D(1, 1, 0), Vector3D(0.70710677f, 0.70710677f, 0));
    const Vector3D v(3, 7, -2);
    EXPECT_EQ(v.Project(UnitY), Vector3D(0, 7, 0));
    EXPECT_EQ(v.Project(Vector3D(0, 2, 0)), Vector3D(0, 7, 0));
    EXPECT_EQ(v.Project(Vector3D()), Vector3D());
    EXPECT_TRUE(std::isnan(Vector3D(NAN_F, 0, 0).Project(UnitX).x));
}

TEST(Vector3D, NormalisedKindsAnswerOneThroughABaseReference)
{
    const NormalizedVector3D zero = Vector3D().GetNormalized();
    const Vector3D& asBase = zero;
    EXPECT_EQ(zero, Vector3D());
    EXPECT_EQ(asBase.GetSquaredLength(), 1.0f);
    EXPECT_EQ(asBase.GetLength(), 1.0f);
    Vector3D plain(2, 0, 0);
    plain.Normalize();
    plain.x = 3; // still a plain vector: its length is measured
    EXPECT_EQ(plain.GetLength(), 3.0f);
    const NormalizedQuaternion none = Quaternion(0, 0, 0, 0).GetNormalized();
    const Quaternion& quaternionBase = none;
    EXPECT_EQ(none.w, 0.0f);
    EXPECT_EQ(quaternionBase.GetNorm(), 1.0f);
    EXPECT_EQ(Quaternion(2, 0, 0, 0).GetNormalized().w, 1.0f);
}

TEST(Angle, WrapTakesWholeTurnsOff)
{
    const float cases[][2] = {{370, 10}, {-370, -10}, {360, 0}, {720.5f, 0.5f}, {359, 359}, {1e6f, 280}};
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(WrapDegrees(c[0]), c[1]) << c[0];
    Radian r(7.0f);
    r.Wrap();
    EXPECT_FLOAT_EQ(r.value, 0.7168145f);
    // Beyond the range of a whole count of turns, and not finite: defined results.
    EXPECT_LT(std::fabs(WrapDegrees(1e20f)), 360.0f);
    EXPECT_TRUE(std::isnan(WrapDegrees(NAN_F)));
    EXPECT_TRUE(std::isinf(WrapDegrees(INF)));
}

TEST(Quaternion, RotationsAndPolarVectors)
{
    const Vector3D x(1, 0, 0);
    ExpectNear(Quaternion::RotateVector(x, Rotation(Radian(0), Radian(0), Radian(PI / 2))), Vector3D(0, 1, 0));
    ExpectNear(Quaternion::RotateVector(x, Rotation(Radian(PI / 2), Radian(0), Radian(0))), Vector3D(0, 0, -1));
    ExpectNear(Quaternion::RotateVector(x, Rotation(PI, UnitZ)), Vector3D(-1, 0, 0));
    // A rotation is never taken for (or overwritten through) a plain quaternion.
    static_assert(!std::is_convertible_v<Rotation*, Quaternion*>);
    EXPECT_EQ(Quaternion::RotateVector(Vector3D(1, 2, 3), Quaternion(2, 0, 0, 0)), Vector3D(1, 2, 3));
    // No inverse: the vector comes back unchanged rather than as NaN.
    EXPECT_EQ(Quaternion::RotateVector(Vector3D(1, 2, 3), Quaternion(0, 0, 0, 0)), Vector3D(1, 2, 3));
    ExpectNear(Vector3D(PolarVector3D{Radian(0), Radian(0), 2}), Vector3D(0, 0, -2));
    ExpectNear(Vector3D(PolarVector3D{Radian(0), Radian(PI / 2), 2}), Vector3D(0, 2, 0));
    ExpectNear(Vector3D(PolarVector3D{Radian(PI / 2), Radian(0), 2}), Vector3D(-2, 0, 0));
}

TEST(Curves, LinesParabolasAndTheirDegenerateCases)
{
    const Linear line(Vector3D(0, 1, 0), Vector3D(2, 5, 0));
    EXPECT_EQ(line.GetSlope(), 2.0f);
    EXPECT_EQ(line.GetValue(3), 7.0f);
    const Parabola cup(Vector3D(-1, 1, 0), Vector3D(0, 0, 0), Vector3D(1, 1, 0));
    EXPECT_EQ(Vector3D(cup.GetA(), cup.GetB(), cup.GetC()), Vector3D(1, 0, 0));
    EXPECT_EQ(cup.GetValue(2), 4.0f);
    EXPECT_EQ(cup.GetSlope(2), 4.0f);
    const Parabola straight(Vector3D(0, 1, 0), Vector3D(1, 3, 0), Vector3D(2, 5, 0));
    ExpectNear(Vector3D(straight.GetA(), straight.GetB(), straight.GetC()), Vector3D(0, 2, 1));
    // Shared x (or NaN) defines no curve: a flat one through the first point.
    EXPECT_EQ(Linear(Vector3D(2, 3, 0), Vector3D(2, 9, 0)).GetValue(100), 3.0f);
    EXPECT_EQ(Linear(Vector3D(NAN_F, 3, 0), Vector3D(2, 9, 0)).GetValue(1), 3.0f);
    const Parabola flat(Vector3D(1, 4, 0), Vector3D(1, 5, 0), Vector3D(3, 6, 0));
    EXPECT_EQ(flat.GetValue(-7), 4.0f);
    EXPECT_EQ(flat.GetSlope(-7), 0.0f);
}

TEST(Matrix3, IdentityAndSingularInverse)
{
    const Matrix3 identity;
    EXPECT_EQ(identity.GetDeterminant(), 1.0f);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(identity.GetInverse().rows[i], identity.rows[i]);
    const Matrix3 singular(1, 2, 3, 2, 4, 6, 0, 1, 1);
    EXPECT_EQ(singular.GetDeterminant(), 0.0f);
    EXPECT_EQ(singular.GetInverse().rows[1], Vector3D());
}
