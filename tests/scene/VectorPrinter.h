// Prints scene vectors in test failure messages as (x, y, z).
#pragma once

#include "scene/Vector3D.h"

#include <ostream>

namespace Vund
{

inline void PrintTo(const Vector3D& v, std::ostream* out)
{
    *out << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}

} // namespace Vund
