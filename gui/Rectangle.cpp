// The rectangle graphic.
#include "gui/Rectangle.h"

#include "graphics/render/Surface.h"
#include "gui/Properties.h"

#include <algorithm>
#include <climits>

namespace Plim
{

namespace
{

int Clamped(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace

Rectangle::Rectangle(const Tarv::XmlIterator& item, const OverrideTable* overrides)
{
    ReadCommonProperties(item);
    ReadIntProperty(item, "width", overrides, m_width);
    ReadIntProperty(item, "height", overrides, m_height);
    ReadBoolProperty(item, "filled", overrides, m_filled);
    ReadColorProperty(item, "color", overrides, m_color);
}

Rectangle::~Rectangle() = default;

void Rectangle::Draw(Tarv::Surface& target, int alpha)
{
    if (m_width < 1 || m_height < 1)
        return;
    const std::uint8_t colour[4] = {m_color[0], m_color[1], m_color[2],
                                    static_cast<std::uint8_t>(m_color[3] * std::clamp(alpha, 0, 255) / 255)};
    const long long left = GetAbsX(), top = GetAbsY();
    const int right = Clamped(left + m_width), bottom = Clamped(top + m_height);
    const int x = static_cast<int>(left), y = static_cast<int>(top);
    if (m_filled || m_width < 3 || m_height < 3) {
        target.FillRect(x, y, right, bottom, colour);
        return;
    }
    // Four one-pixel bands that never overlap, so a translucent outline blends evenly.
    target.FillRect(x, y, right, y + 1, colour);
    target.FillRect(x, bottom - 1, right, bottom, colour);
    target.FillRect(x, y + 1, x + 1, bottom - 1, colour);
    target.FillRect(right - 1, y + 1, right, bottom - 1, colour);
}

void Rectangle::Update(const float&) {}

} // namespace Plim
