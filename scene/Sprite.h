// Vund::Sprite: an image at a world position (its bottom-left corner), drawn by the renderer
// through the active camera; the base of every image-based drawable.
#pragma once

#include "engine/core/SmartPtr.h"
#include "graphics/render/Surface.h"
#include "scene/DrawableObject.h"
#include "scene/Vector3D.h"

namespace Vund
{

struct SpriteOffset
{
    int x;
    int y;
};

class Sprite : public DrawableObject
{
public:
    // Holds one reference to the surface, which may be null (such a sprite draws nothing).
    Sprite(const Tarv::SmartPtr<Tarv::Surface>& surface, const Vector3D& position, const float& scale);
    // Without a surface: the base of the kinds that supply their images otherwise.
    Sprite(const Vector3D& position, const float& scale);

    void Draw(Tarv::Surface* target) override;
    virtual void SetTransformed(bool transformed) { m_transformed = transformed; }
    // The renderer reads the image only through these four, so that a kind may answer with
    // another image (an animation's current frame). No reference is added; null when none.
    virtual Tarv::Surface* GetSurface() const { return m_surface.Get(); }
    virtual SpriteOffset GetOffset() const { return m_offset; }
    // The surface's size; 0 without a surface.
    virtual int GetWidth() const;
    virtual int GetHeight() const;

    bool IsTransformed() const { return m_transformed; }
    void SetOffset(int x, int y) { m_offset = SpriteOffset{x, y}; }

    // Read and written directly by the renderer, the animations and the game.
    Vector3D position;
    // Radians, handed to the transformed blit.
    float rotation = 0.0f;
    float scale;
    // 0 none, 1 top to bottom, 2 left to right.
    int mirrorMode = 0;

protected:
    Tarv::SmartPtr<Tarv::Surface> m_surface;
    SpriteOffset m_offset = {0, 0};
    bool m_transformed = true;
};

} // namespace Vund
