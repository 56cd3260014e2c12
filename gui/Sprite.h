// Plim::Sprite: a graphic that shows the image or animation its layout names, fetched once from
// the asset dictionary with linear filtering; its update advances an animation.
#pragma once

#include "engine/core/SmartPtr.h"
#include "gui/BuildContext.h"
#include "gui/Graphic.h"

namespace Tarv
{
class Surface;
}

namespace Plim
{

class Sprite : public Graphic
{
public:
    // Reads the common properties, then "file" (overridable) and fetches "<file>@linear"
    // (the text taken whole, even when it holds "@"). No file, or one that cannot be loaded
    // (reported), leaves the sprite without a surface: it draws nothing and measures empty.
    Sprite(const Tarv::XmlIterator& item, const OverrideTable* overrides);
    ~Sprite() override;

    void Draw(Tarv::Surface& target, int alpha) override;
    // Advances the surface (every sprite sharing it advances it once per own update).
    void Update(const float& dt) override;
    Rect GetRect() const override;
    int GetTypeId() const override { return TYPE_SPRITE; }

    Tarv::Surface* GetSurface() const { return m_surface.Get(); }

private:
    Tarv::SmartPtr<Tarv::Surface> m_surface;
};

} // namespace Plim
