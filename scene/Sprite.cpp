// The plain sprite: its image, size and its dispatch to the renderer.
#include "scene/Sprite.h"

#include "scene/BasicRenderer.h"
#include "scene/Renderer.h"

namespace Vund
{

Sprite::Sprite(const Tarv::SmartPtr<Tarv::Surface>& surface, const Vector3D& position_, const float& scale_)
    : position(position_), scale(scale_), m_surface(surface)
{
}

Sprite::Sprite(const Vector3D& position_, const float& scale_) : position(position_), scale(scale_)
{
}

void Sprite::Draw(Tarv::Surface* target)
{
    if (BasicRenderer* renderer = Renderer::Instance.Get())
        renderer->DrawSprite(this, target);
}

int Sprite::GetWidth() const
{
    const Tarv::Surface* surface = GetSurface();
    return surface != nullptr ? surface->GetWidth() : 0;
}

int Sprite::GetHeight() const
{
    const Tarv::Surface* surface = GetSurface();
    return surface != nullptr ? surface->GetHeight() : 0;
}

} // namespace Vund
