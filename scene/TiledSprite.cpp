// Tiled sprites: their dispatch to the renderer and the flag they pass on to their tiles.
#include "scene/TiledSprite.h"

#include "scene/BasicRenderer.h"
#include "scene/Renderer.h"

namespace Vund
{

TiledSprite::TiledSprite(const Vector3D& position_, const float& scale_) : Sprite(position_, scale_)
{
}

void TiledSprite::Draw(Tarv::Surface* target)
{
    if (BasicRenderer* renderer = Renderer::Instance.Get())
        renderer->DrawTiledSprite(this, target);
}

void TiledSprite::SetTransformed(bool transformed)
{
    Sprite::SetTransformed(transformed);
    for (const Tarv::SmartPtr<Sprite>& tile : tiles)
        if (tile)
            tile->Sprite::SetTransformed(transformed);
}

void TiledParallaxSprite::Draw(Tarv::Surface* target)
{
    if (BasicRenderer* renderer = Renderer::Instance.Get())
        renderer->DrawTiledParallaxSprite(this, target);
}

} // namespace Vund
