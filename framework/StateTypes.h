// Types that the state tree's input and drawing operations name but do not look into: the
// drawing target and the touch points of an input event, both owned by the engine layers.
#pragma once

#include <vector>

namespace Tarv
{
class Surface;
struct TouchPoint;
}

namespace Quor
{

using TouchPoints = std::vector<Tarv::TouchPoint>;

} // namespace Quor
