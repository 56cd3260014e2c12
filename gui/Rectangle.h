// Plim::Rectangle: a width x height rectangle that shapes its control's bounds and touch area;
// layouts use it as an invisible hit area, so it draws nothing. Its filled flag and colour are
// read and kept, but nothing uses them.
#pragma once

#include "gui/BuildContext.h"
#include "gui/Graphic.h"

#include <cstdint>

namespace Plim
{

class Rectangle : public Graphic
{
public:
    // Reads the common properties, then "width", "height", "filled" and "color" (each
    // overridable). Absent ones leave 0, 0, false and opaque black.
    Rectangle(const Tarv::XmlIterator& item, const OverrideTable* overrides);
    ~Rectangle() override;

    // Draws nothing.
    void Draw(Tarv::Surface& target, int alpha) override;
    void Update(const float& dt) override;
    // {0, 0, width, height} as read, not clamped.
    Rect GetRect() const override { return Rect{0, 0, m_width, m_height}; }
    int GetTypeId() const override { return TYPE_RECTANGLE; }

    bool IsFilled() const { return m_filled; }
    const std::uint8_t* GetColor() const { return m_color; }

private:
    int m_width = 0;
    int m_height = 0;
    bool m_filled = false;
    std::uint8_t m_color[4] = {0, 0, 0, 255};
};

} // namespace Plim
