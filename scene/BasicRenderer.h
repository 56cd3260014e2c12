// Vund::BasicRenderer: draws every drawable kind, projected through the active camera with a
// perspective projection, by the target surface's blits. It keeps no state between calls.
#pragma once

#include "scene/Renderer.h"

namespace Vund
{

class ParallaxSprite;
class Sphere;
class Sprite;
class TiledParallaxSprite;
class TiledSprite;
class Vector3D;

// Every operation: main thread, during the render pass. Objects at or behind the camera's
// depth, and sprites without an image, are skipped without a word. With no active camera a
// 60-degree camera is installed first.
class BasicRenderer : public Renderer
{
public:
    virtual void DrawSprite(Sprite* sprite, Tarv::Surface* target);
    // Screen-fixed: blitted with its top-left corner at the truncated position. Otherwise
    // drawn with the parallax of its depth: at its own size whatever the depth, moving at
    // f / (f - z) of the camera's speed.
    virtual void DrawParallaxSprite(ParallaxSprite* sprite, Tarv::Surface* target);
    // One depth test and one perspective factor, at the grid's depth and scale, for all tiles.
    virtual void DrawTiledSprite(TiledSprite* sprite, Tarv::Surface* target);
    // Each tile tested and projected on its own, shifted by the grid's parallax.
    virtual void DrawTiledParallaxSprite(TiledParallaxSprite* sprite, Tarv::Surface* target);
    // Spheres are not drawn.
    virtual void DrawSphere(Sphere* sphere, Tarv::Surface* target);

private:
    void DrawProjected(Sprite* sprite, Tarv::Surface* target, const Vector3D& offset, const float& extraScale);
    void BlitSprite(Sprite* sprite, Tarv::Surface* target, float x, float y, const float& scale);
};

} // namespace Vund
