// Whole-surface effects: in-place processing through a temporary copy.
#include "graphics/render/PostProcess.h"

#include "engine/core/SmartPtr.h"
#include "graphics/render/Surface.h"

namespace Tarv
{

void PostProcess::Process(Surface* surface)
{
    if (surface == nullptr)
        return;
    SmartPtr<Surface> copy(surface->Copy());
    if (copy.Get() == nullptr)
        return;
    Apply(copy.Get(), surface);
}

void PostProcess::Apply(Surface* source, Surface* target)
{
    if (source == nullptr || target == nullptr)
        return;
    target->Blit(0, 0, source, source->GetRect());
}

} // namespace Tarv
