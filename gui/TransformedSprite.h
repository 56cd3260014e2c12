// Plim::TransformedSprite: a graphic that shows one image turned by an angle (radians, clockwise
// on the screen) and scaled about a pivot (source pixels from its top-left corner) that lands
// on the graphic's position; scripts turn, scale and re-pivot it.
#pragma once

#include "engine/core/SmartPtr.h"
#include "gui/BuildContext.h"
#include "gui/Graphic.h"
#include "gui/Properties.h"

namespace Tarv
{
class Surface;
}

namespace Plim
{

class TransformedSprite : public Graphic
{
public:
    // What a script makes by calling the class: no image, angle 0, scale 0, pivot (0, 0).
    TransformedSprite();
    // Reads the common properties, then "file" (fetched as "<file>@linear"), "angle", "scale"
    // (1 when absent) and "pivot", each overridable.
    TransformedSprite(const Tarv::XmlIterator& item, const OverrideTable* overrides);
    ~TransformedSprite() override;

    // One quad, whatever the angle, scale and pivot; nothing without an image.
    void Draw(Tarv::Surface& target, int alpha) override;
    void Update(const float& dt) override;
    // The image's size, whatever the angle, scale and pivot; empty without an image.
    Rect GetRect() const override;
    int GetTypeId() const override { return TYPE_TRANSFORMED_SPRITE; }

    float GetAngle() const { return m_angle; }
    void SetAngle(float angle) { m_angle = angle; }
    float GetScale() const { return m_scale; }
    void SetScale(float scale) { m_scale = scale; }
    Point GetPivot() const { return m_pivot; }
    void SetPivot(const Point& pivot) { m_pivot = pivot; }
    Tarv::Surface* GetImage() const { return m_image.Get(); }

private:
    Tarv::SmartPtr<Tarv::Surface> m_image;
    float m_angle = 0.0f;
    float m_scale = 0.0f;
    Point m_pivot{0.0f, 0.0f};
};

} // namespace Plim
