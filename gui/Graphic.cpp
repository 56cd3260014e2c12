// The graphic base's shared image drawing.
#include "gui/Graphic.h"

#include "graphics/render/Surface.h"

namespace Plim
{

void Graphic::DrawImage(Tarv::Surface& target, Tarv::Surface* image, int alpha) const
{
    if (image == nullptr)
        return;
    image->SetAlpha(static_cast<std::uint8_t>(alpha & 0xFF));
    target.Blit(GetAbsX(), GetAbsY(), image, image->GetRect());
}

} // namespace Plim
