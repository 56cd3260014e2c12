// The rectangle graphic.
#include "gui/Rectangle.h"

#include "gui/Properties.h"

namespace Plim
{

Rectangle::Rectangle(const Tarv::XmlIterator& item, const OverrideTable* overrides)
{
    ReadCommonProperties(item);
    ReadIntProperty(item, "width", overrides, m_width);
    ReadIntProperty(item, "height", overrides, m_height);
    ReadBoolProperty(item, "filled", overrides, m_filled);
    ReadColorProperty(item, "color", overrides, m_color);
}

Rectangle::~Rectangle() = default;

void Rectangle::Draw(Tarv::Surface&, int) {}

void Rectangle::Update(const float&) {}

} // namespace Plim
