// The renderer instance slot and the generic draw.
#include "scene/Renderer.h"

#include "scene/BasicRenderer.h"
#include "scene/DrawableObject.h"

namespace Vund
{

Tarv::SmartPtr<BasicRenderer> Renderer::Instance;

void Renderer::Draw(DrawableObject* object, Tarv::Surface* target)
{
    if (object != nullptr)
        object->Draw(target);
}

} // namespace Vund
