// Vund::DrawableObject: anything a scene can hold. A drawable never draws itself: its Draw
// hands it to the renderer instance through the operation meant for its own kind.
#pragma once

#include "engine/core/RefCounter.h"

namespace Tarv
{
class Surface;
}

namespace Vund
{

class DrawableObject : public Tarv::RefCounter
{
public:
    // Main thread, during the render pass. Nothing is drawn while no renderer is installed.
    virtual void Draw(Tarv::Surface* target) = 0;
};

} // namespace Vund
