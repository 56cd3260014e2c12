// Atlas regions: the page's texture with the region's corner added to every source position,
// so all regions of one page draw from one texture (and batch into one draw call).
#include "graphics/image/AtlasSurface.h"

namespace Tarv
{

AtlasSurface::AtlasSurface(Surface* image, int x, int y, int width, int height)
    : m_image(image), m_x(x), m_y(y), m_width(width), m_height(height)
{
    if (image != nullptr)
        SetPixelData(image->GetPixelData());
    SetRect(0, 0, width, height);
}

AtlasSurface::~AtlasSurface() = default;

std::uint32_t AtlasSurface::GetFlags(std::uint32_t mask) const
{
    return m_image ? m_image->GetFlags(mask) : 0;
}

} // namespace Tarv
