// Vund::Vector3D and Vund::NormalizedVector3D: the three-float vectors of the scene layer
// (positions, velocities, forces, directions). World y points up and z towards the viewer.
#pragma once

namespace Vund
{

class NormalizedVector3D;
struct PolarVector3D;

class Vector3D
{
public:
    Vector3D() = default;
    Vector3D(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    // The direction given by yaw and pitch (both 0: along -z, into the screen), scaled by the
    // length.
    explicit Vector3D(const PolarVector3D& polar);
    Vector3D(const Vector3D&) = default;
    Vector3D& operator=(const Vector3D&) = default;

    virtual float GetSquaredLength() const;
    // The square root is taken in double precision.
    virtual float GetLength() const;
    // A zero length gives the zero direction; otherwise the components times 1 / length.
    virtual void GetLengthAndDirection(float& length, Vector3D& direction) const;
    // The zero vector gives the zero NormalizedVector3D (which still answers length 1).
    virtual NormalizedVector3D GetNormalized() const;
    // Normalises in place; the object keeps its kind.
    virtual void Normalize();
    // The component of this vector along other; the zero vector when other is zero.
    virtual Vector3D Project(const Vector3D& other) const;

    float Dot(const Vector3D& o) const { return x * o.x + y * o.y + z * o.z; }
    bool IsZero() const { return x == 0.0f && y == 0.0f && z == 0.0f; }

    Vector3D operator+(const Vector3D& o) const { return Vector3D(x + o.x, y + o.y, z + o.z); }
    Vector3D operator-(const Vector3D& o) const { return Vector3D(x - o.x, y - o.y, z - o.z); }
    Vector3D operator-() const { return Vector3D(-x, -y, -z); }
    Vector3D operator*(float s) const { return Vector3D(x * s, y * s, z * s); }
    Vector3D& operator+=(const Vector3D& o)
    {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    Vector3D& operator-=(const Vector3D& o)
    {
        x -= o.x;
        y -= o.y;
        z -= o.z;
        return *this;
    }
    // Component-wise equality of the values (the kinds are not compared).
    bool operator==(const Vector3D& o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const Vector3D& o) const { return !(*this == o); }

    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

inline Vector3D operator*(float s, const Vector3D& v)
{
    return v * s;
}

// A direction of length 1. The one exception is the normalisation of the zero vector, which
// stays (0, 0, 0); its length queries still answer 1, as for every value of this kind.
class NormalizedVector3D : public Vector3D
{
public:
    NormalizedVector3D() = default;
    NormalizedVector3D(float x_, float y_, float z_);
    explicit NormalizedVector3D(const Vector3D& v);
    NormalizedVector3D(const NormalizedVector3D&) = default;
    NormalizedVector3D& operator=(const NormalizedVector3D&) = default;

    float GetSquaredLength() const override { return 1.0f; }
    float GetLength() const override { return 1.0f; }
    void GetLengthAndDirection(float& length, Vector3D& direction) const override;
    NormalizedVector3D GetNormalized() const override { return *this; }
    void Normalize() override {}

private:
    struct Raw {};
    NormalizedVector3D(Raw, float x_, float y_, float z_) : Vector3D(x_, y_, z_) {}
    friend class Vector3D;
};

extern const NormalizedVector3D UnitX;
extern const NormalizedVector3D UnitY;
extern const NormalizedVector3D UnitZ;

} // namespace Vund
