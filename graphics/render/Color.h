// Tarv::Color: the 4-byte colour record (red, green, blue, alpha) that surfaces, pixel data and
// drawing operations pass around.
#pragma once

#include <cstdint>

namespace Tarv
{

struct Color
{
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;
};

inline bool operator==(const Color& x, const Color& y)
{
    return x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a;
}
inline bool operator!=(const Color& x, const Color& y) { return !(x == y); }

} // namespace Tarv
