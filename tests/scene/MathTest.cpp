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

using namespace Vund;

namespace
{

constexpr float PI = 3.14159265f;
constexpr float NAN_F = std::numeric_limits<float>::quiet_NaN();

void ExpectNear(const Vector3D& got, const Vector3D& want, float tolerance = 1e-6f)
{
    EXPECT_NEAR(got.x, want.x, tolerance);
    EXPECT_NEAR(got.y, want.y, tolerance);
    EXPECT_NEAR(got.z, want.z, tolerance);
}

} // namespace

TEST(Vector3D, LengthsAndDirections)
{
    EXPECT_EQ(Vector3D(3, 4, 0).GetLength(), 5.0f);
    float length = -1;
    Vector3D direction(9, 9, 9);
    Vector3D().GetLengthAndDirection(length, direction);
    EXPECT_EQ(length, 0.0f);
    EXPECT_EQ(direction, Vector3D());
    EXPECT_EQ(Vector3D(0, 0, 5).GetNormalized(), Vector3D(0, 0, 1));
    EXPECT_EQ(NormalizedVector3D(1, 1, 0), Vector3D(0.70710677f, 0.70710677f, 0));
    Vector3D plain(2, 0, 0);
    plain.Normalize();
    plain.x = 3; // still a plain vector: its length is measured, not assumed
    EXPECT_EQ(plain.GetLength(), 3.0f);
}

TEST(Vector3D, NormalisedKindAnswersOneThroughABaseReference)
{
    const NormalizedVector3D zero = Vector3D().GetNormalized();
    const Vector3D& asBase = zero;
    EXPECT_EQ(zero, Vector3D());
    EXPECT_EQ(asBase.GetSquaredLength(), 1.0f);
    EXPECT_EQ(asBase.GetLength(), 1.0f);
    float length = 0;
    Vector3D direction(5, 5, 5);
    asBase.GetLengthAndDirection(length, direction);
    EXPECT_EQ(length, 1.0f);
    EXPECT_EQ(direction, Vector3D());
}

TEST(Vector3D, ProjectTakesTheComponentAlongTheOther)
{
    const Vector3D v(3, 7, -2);
    EXPECT_EQ(v.Project(UnitY), Vector3D(0, 7, 0));
    EXPECT_EQ(v.Project(Vector3D(0, 2, 0)), Vector3D(0, 7, 0));
    EXPECT_EQ(v.Project(Vector3D()), Vector3D());
    EXPECT_TRUE(std::isnan(Vector3D(NAN_F, 0, 0).Project(UnitX).x));
}

struct WrapCase {
    bool degrees;
    float in;
    float out;
};

void PrintTo(const WrapCase& c, std::ostream* out)
{
    *out << (c.degrees ? "degrees " : "radians ") << c.in;
}

class AngleWrap : public ::testing::TestWithParam<WrapCase>
{
};

TEST_P(AngleWrap, TakesWholeTurnsOff)
{
    const WrapCase c = GetParam();
    float value = c.in;
    if (c.degrees) {
        Degree d(value);
        d.Wrap();
        value = d.value;
    } else {
        Radian r(value);
        r.Wrap();
        value = r.value;
    }
    EXPECT_FLOAT_EQ(value, c.out);
}

INSTANTIATE_TEST_SUITE_P(Examples, AngleWrap,
                         ::testing::Values(WrapCase{true, 370, 10}, WrapCase{true, -370, -10},
                                           WrapCase{true, 360, 0}, WrapCase{true, 720.5f, 0.5f},
                                           WrapCase{true, 359, 359}, WrapCase{true, 1e6f, 280},
                                           WrapCase{false, 7.0f, 0.7168145f},
                                           WrapCase{false, 6.2831855f, 0}));

TEST(AngleWrap, HugeAndNonFiniteValuesStayDefined)
{
    Degree huge(1e20f);
    huge.Wrap();
    EXPECT_GT(huge.value, -360.0f);
    EXPECT_LT(huge.value, 360.0f);
    Radian nan(NAN_F);
    nan.Wrap();
    EXPECT_TRUE(std::isnan(nan.value));
    Degree infinite(std::numeric_limits<float>::infinity());
    infinite.Wrap();
    EXPECT_TRUE(std::isinf(infinite.value));
}

TEST(Quaternion, NormalisationOfZeroAndOfAScaledIdentity)
{
    const NormalizedQuaternion zero = Quaternion(0, 0, 0, 0).GetNormalized();
    EXPECT_EQ(zero.w, 0.0f);
    EXPECT_EQ(zero.axis, Vector3D());
    const Quaternion& asBase = zero;
    EXPECT_EQ(asBase.GetNorm(), 1.0f);
    const NormalizedQuaternion unit = Quaternion(2, 0, 0, 0).GetNormalized();
    EXPECT_EQ(unit.w, 1.0f);
    EXPECT_EQ(unit.axis, Vector3D());
}

TEST(Quaternion, RotateVectorExamples)
{
    const Vector3D x(1, 0, 0);
    ExpectNear(Quaternion::RotateVector(x, Rotation(Radian(0), Radian(0), Radian(PI / 2))), Vector3D(0, 1, 0));
    ExpectNear(Quaternion::RotateVector(x, Rotation(Radian(PI / 2), Radian(0), Radian(0))), Vector3D(0, 0, -1));
    ExpectNear(Quaternion::RotateVector(x, Rotation(PI, UnitZ)), Vector3D(-1, 0, 0));
    EXPECT_EQ(Quaternion::RotateVector(Vector3D(1, 2, 3), Quaternion(2, 0, 0, 0)), Vector3D(1, 2, 3));
    // No inverse: the vector comes back unchanged rather than as NaN.
    EXPECT_EQ(Quaternion::RotateVector(Vector3D(1, 2, 3), Quaternion(0, 0, 0, 0)), Vector3D(1, 2, 3));
}

TEST(PolarVector3D, YawAndPitchTurnTheForwardAxis)
{
    ExpectNear(Vector3D(PolarVector3D{Radian(0), Radian(0), 2}), Vector3D(0, 0, -2));
    ExpectNear(Vector3D(PolarVector3D{Radian(0), Radian(PI / 2), 2}), Vector3D(0, 2, 0));
    ExpectNear(Vector3D(PolarVector3D{Radian(PI / 2), Radian(0), 2}), Vector3D(-2, 0, 0));
}

TEST(Curves, LineAndParabolaExamples)
{
    const Linear line(Vector3D(0, 1, 0), Vector3D(2, 5, 0));
    EXPECT_EQ(line.GetSlope(), 2.0f);
    EXPECT_EQ(line.GetIntercept(), 1.0f);
    EXPECT_EQ(line.GetValue(3), 7.0f);
    const Parabola cup(Vector3D(-1, 1, 0), Vector3D(0, 0, 0), Vector3D(1, 1, 0));
    EXPECT_EQ(cup.GetA(), 1.0f);
    EXPECT_EQ(cup.GetB(), 0.0f);
    EXPECT_EQ(cup.GetC(), 0.0f);
    EXPECT_EQ(cup.GetValue(2), 4.0f);
    EXPECT_EQ(cup.GetSlope(2), 4.0f);
    const Parabola straight(Vector3D(0, 1, 0), Vector3D(1, 3, 0), Vector3D(2, 5, 0));
    EXPECT_NEAR(straight.GetA(), 0.0f, 1e-6f);
    EXPECT_NEAR(straight.GetB(), 2.0f, 1e-6f);
    EXPECT_NEAR(straight.GetC(), 1.0f, 1e-6f);
}

TEST(Curves, DuplicateXGivesAFlatCurveThroughTheFirstPoint)
{
    const Linear line(Vector3D(2, 3, 0), Vector3D(2, 9, 0));
    EXPECT_EQ(line.GetValue(100), 3.0f);
    const Parabola curve(Vector3D(1, 4, 0), Vector3D(1, 5, 0), Vector3D(3, 6, 0));
    EXPECT_EQ(curve.GetValue(-7), 4.0f);
    EXPECT_EQ(curve.GetSlope(-7), 0.0f);
    const Linear nan(Vector3D(NAN_F, 3, 0), Vector3D(2, 9, 0));
    EXPECT_EQ(nan.GetValue(1), 3.0f);
}

TEST(Matrix3, IdentityAndSingularInverse)
{
    const Matrix3 identity;
    EXPECT_EQ(identity.GetDeterminant(), 1.0f);
    const Matrix3 inverse = identity.GetInverse();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(inverse.rows[i], identity.rows[i]);
    const Matrix3 m(2, 0, 0, 0, 4, 0, 1, 0, 0.5f);
    const Matrix3 back = m.GetInverse().GetInverse();
    for (int i = 0; i < 3; ++i)
        ExpectNear(back.rows[i], m.rows[i]);
    const Matrix3 singular(1, 2, 3, 2, 4, 6, 0, 1, 1);
    EXPECT_EQ(singular.GetDeterminant(), 0.0f);
    EXPECT_EQ(singular.GetInverse().rows[1], Vector3D());
}
