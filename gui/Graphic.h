// Plim::Graphic: the base of every graphic of a representation tree (images, sprites,
// rectangles, texts): drawn with the alpha its control passes, updated each frame while its
// representation is current, measured by its rectangle in its own coordinates.
#pragma once

#include "gui/PlimItem.h"
#include "gui/Rect.h"

namespace Plim
{

class Graphic : public PlimItem<Graphic>
{
public:
    // Type ids, as scripts and the text controls tell graphics apart.
    static constexpr int TYPE_BASE = 0;
    static constexpr int TYPE_IMAGE = 1;
    static constexpr int TYPE_SIMPLE_TEXT = 2;
    static constexpr int TYPE_COLOR_TEXT = 3;
    static constexpr int TYPE_SPRITE = 4;
    static constexpr int TYPE_RECTANGLE = 5;
    static constexpr int TYPE_TRANSFORMED_SPRITE = 6;

    // Draws at the graphic's absolute position with alpha (0..255) as its opacity.
    virtual void Draw(Tarv::Surface& target, int alpha) = 0;
    virtual void Update(const float& dt) = 0;
    // {0, 0, width, height}: the graphic's extent, whatever its position.
    virtual Rect GetRect() const = 0;
    virtual int GetTypeId() const { return TYPE_BASE; }

protected:
    // Blits the whole of image (nothing when it is null) at the absolute position, its alpha
    // byte set to alpha just before: the byte belongs to the shared surface.
    void DrawImage(Tarv::Surface& target, Tarv::Surface* image, int alpha) const;
};

} // namespace Plim
