// The image graphic.
#include "gui/Image.h"

#include "engine/core/XmlIterator.h"
#include "graphics/render/Surface.h"

namespace Plim
{

Image::Image(const Tarv::XmlIterator& item)
{
    ReadCommonProperties(item);
}

Image::~Image() = default;

void Image::Draw(Tarv::Surface& target, int alpha)
{
    DrawImage(target, m_image.Get(), alpha);
}

void Image::Update(const float&) {}

Rect Image::GetRect() const
{
    if (!m_image)
        return Rect{0, 0, 0, 0};
    return Rect{0, 0, m_image->GetWidth(), m_image->GetHeight()};
}

void Image::SetImage(Tarv::Surface* image)
{
    m_image = image;
}

} // namespace Plim
