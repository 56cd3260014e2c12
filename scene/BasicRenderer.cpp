// The perspective placement of sprites, parallax sprites and tiled sprites. All products and
// sums are single-precision floats, in the order the drawn positions depend on.
#include "scene/BasicRenderer.h"

#include "graphics/render/Surface.h"
#include "scene/Camera.h"
#include "scene/ParallaxSprite.h"
#include "scene/Sprite.h"
#include "scene/TiledSprite.h"

#include <climits>

namespace Vund
{

void BasicRenderer::DrawSprite(Sprite* sprite, Tarv::Surface* target)
{
    if (sprite != nullptr)
        DrawProjected(sprite, target, Vector3D(), 1.0f);
}

void BasicRenderer::DrawParallaxSprite(ParallaxSprite* sprite, Tarv::Surface* target)
{
    if (sprite == nullptr || target == nullptr)
        return;
    if (sprite->screenFixed) {
        Tarv::Surface* surface = sprite->GetSurface();
        if (surface != nullptr)
            target->Blit(TruncateToInt(sprite->position.x), TruncateToInt(sprite->position.y), surface,
                         surface->GetRect());
        return;
    }
    const Vector3D& projection = Camera::GetActive()->GetProjection();
    const float f = projection.z;
    const float e = (f - sprite->position.z) / f;
    const float share = 1.0f - e;
    DrawProjected(sprite, target, Vector3D(share * projection.x, share * projection.y, 0.0f), e);
}

void BasicRenderer::DrawTiledSprite(TiledSprite* sprite, Tarv::Surface* target)
{
    if (sprite == nullptr)
        return;
    const Camera* camera = Camera::GetActive();
    const Vector3D& c = camera->GetPosition();
    const float d = sprite->position.z - c.z;
    if (!(d < 0.0f))
        return;
    const float k = -camera->GetProjection().z / d;
    const float s = sprite->scale * k;
    for (const Tarv::SmartPtr<Sprite>& tile : sprite->tiles) {
        if (!tile)
            continue;
        BlitSprite(tile.Get(), target, k * (tile->position.x - c.x), k * (tile->position.y - c.y), s);
    }
}

void BasicRenderer::DrawTiledParallaxSprite(TiledParallaxSprite* sprite, Tarv::Surface* target)
{
    if (sprite == nullptr)
        return;
    for (const Tarv::SmartPtr<Sprite>& tile : sprite->tiles) {
        if (!tile)
            continue;
        // Taken per tile: a tile's draw may have installed the default camera.
        const Vector3D& projection = Camera::GetActive()->GetProjection();
        const float f = projection.z;
        const float e = (f - sprite->position.z) / f;
        const float share = 1.0f - e;
        const Vector3D offset(share * (projection.x - tile->position.x), share * (projection.y - tile->position.y),
                              0.0f);
        DrawProjected(tile.Get(), target, offset, e);
    }
}

void BasicRenderer::DrawSphere(Sphere*, Tarv::Surface*)
{
}

void BasicRenderer::DrawProjected(Sprite* sprite, Tarv::Surface* target, const Vector3D& offset,
                                  const float& extraScale)
{
    const Camera* camera = Camera::GetActive();
    const Vector3D& c = camera->GetPosition();
    const float d = (sprite->position.z + offset.z) - c.z;
    // Also skips a depth that is not a number.
    if (!(d < 0.0f))
        return;
    const float k = -camera->GetProjection().z / d;
    const float x = k * (sprite->position.x + offset.x - c.x);
    const float y = k * (sprite->position.y + offset.y - c.y);
    BlitSprite(sprite, target, x, y, sprite->scale * extraScale * k);
}

void BasicRenderer::BlitSprite(Sprite* sprite, Tarv::Surface* target, float x, float y, const float& scale)
{
    Tarv::Surface* surface = sprite->GetSurface();
    if (surface == nullptr || target == nullptr)
        return;
    const Vector3D& projection = Camera::GetActive()->GetProjection();
    const float height = static_cast<float>(target->GetHeight());
    const float sx = projection.x + x;
    const float sy = height - y - projection.y - static_cast<float>(sprite->GetHeight()) * scale;
    const SpriteOffset offset = sprite->GetOffset();
    if (!sprite->IsTransformed()) {
        const long long px = static_cast<long long>(TruncateToInt(sx)) + offset.x;
        const long long py = static_cast<long long>(TruncateToInt(sy)) + offset.y;
        // A position beyond the int range lies far off every target.
        if (px < INT_MIN || px > INT_MAX || py < INT_MIN || py > INT_MAX)
            return;
        target->Blit(static_cast<int>(px), static_cast<int>(py), surface, surface->GetRect());
        return;
    }
    const float pivot[2] = {-static_cast<float>(offset.x), -static_cast<float>(offset.y)};
    target->BlitTransformed(surface, &sx, &sy, &sprite->rotation, &scale, pivot, sprite->mirrorMode);
}

} // namespace Vund
