// Plim::Image: a graphic that shows one surface unscaled at its position. Layouts give it only
// the common properties, so it starts without a surface and draws nothing until code hands
// it one.
#pragma once

#include "engine/core/SmartPtr.h"
#include "gui/Graphic.h"

namespace Tarv
{
class Surface;
}

namespace Plim
{

class Image : public Graphic
{
public:
    // Reads the common properties only; any "file" child is not read.
    explicit Image(const Tarv::XmlIterator& item);
    ~Image() override;

    void Draw(Tarv::Surface& target, int alpha) override;
    // Does nothing: an animated surface is not advanced by an image.
    void Update(const float& dt) override;
    // The surface's size; empty without one.
    Rect GetRect() const override;
    int GetTypeId() const override { return TYPE_IMAGE; }

    Tarv::Surface* GetImage() const { return m_image.Get(); }
    void SetImage(Tarv::Surface* image);

private:
    Tarv::SmartPtr<Tarv::Surface> m_image;
};

} // namespace Plim
