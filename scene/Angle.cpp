// Wrapping of angles to less than one turn, by truncating the count of whole turns.
#include "scene/Angle.h"

#include <cmath>
#include <cstdint>

namespace Vund
{

namespace
{

float WrapValue(float value, float perTurn, float period)
{
    const float turns = value * perTurn;
    // Truncating to int32 is only defined inside its range; beyond it (and for infinities)
    // the floating remainder gives the same kind of result without undefined behaviour.
    if (!(turns > -2147483648.0f && turns < 2147483648.0f))
        return std::isfinite(value) ? std::fmod(value, period) : value;
    const std::int32_t n = static_cast<std::int32_t>(turns);
    return value - static_cast<float>(n) * period;
}

} // namespace

void Degree::Wrap()
{
    value = WrapValue(value, 0.0027777778f, 360.0f);
}

void Radian::Wrap()
{
    value = WrapValue(value, 0.15915494f, 6.2831855f);
}

} // namespace Vund
