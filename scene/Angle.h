// Vund::Angle, Vund::Degree and Vund::Radian: angles typed by their unit.
#pragma once

namespace Vund
{

// Factors between the two units, as single-precision constants.
constexpr float DEGREES_TO_RADIANS = 0.017453292f;
constexpr float RADIANS_TO_DEGREES = 57.29578f;

class Angle
{
public:
    explicit Angle(float value_ = 0.0f) : value(value_) {}

    float value;
};

class Degree : public Angle
{
public:
    explicit Degree(float degrees = 0.0f) : Angle(degrees) {}
    Degree(const Degree&) = default;
    Degree& operator=(const Degree&) = default;

    // Takes whole turns off: the result keeps the input's sign and lies in (-360, 360).
    // A value too large for a whole count of turns in 32 bits, or not finite, falls back to
    // the remainder of a floating division (NaN stays NaN).
    virtual void Wrap();
};

class Radian : public Angle
{
public:
    explicit Radian(float radians = 0.0f) : Angle(radians) {}
    Radian(const Radian&) = default;
    Radian& operator=(const Radian&) = default;

    // As Degree::Wrap with the period 6.2831855.
    virtual void Wrap();
};

} // namespace Vund
