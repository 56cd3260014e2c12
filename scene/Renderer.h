// Vund::Renderer: the base of the renderers, and the one renderer instance every drawable
// draws through (installed by the game at start-up, released at exit).
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"

namespace Tarv
{
class Surface;
}

namespace Vund
{

class BasicRenderer;
class DrawableObject;

class Renderer : public Tarv::RefCounter
{
public:
    // Empty at start; main thread only.
    static Tarv::SmartPtr<BasicRenderer> Instance;

    // For callers that hold only a drawable: its own Draw (which dispatches on its kind).
    virtual void Draw(DrawableObject* object, Tarv::Surface* target);
};

} // namespace Vund
