// Plim::Rect: a rectangle of GUI pixels (x, y of the top-left corner, width, height), the unit of
// bounds, hit areas and graphic extents.
#pragma once

namespace Plim
{

struct Rect {
    int x;
    int y;
    int width;
    int height;
};

inline bool operator==(const Rect& a, const Rect& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

} // namespace Plim
