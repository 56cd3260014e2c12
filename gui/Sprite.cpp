// The sprite graphic.
#include "gui/Sprite.h"

#include "framework/AssetDict.h"
#include "graphics/render/Surface.h"
#include "gui/Messages.h"
#include "gui/Properties.h"

namespace Plim
{

Sprite::Sprite(const Tarv::XmlIterator& item, const OverrideTable* overrides)
{
    ReadCommonProperties(item);
    Tarv::NarrowString path;
    ReadStringProperty(item, "file", overrides, path);
    if (path.empty())
        return;
    m_surface = Tarv::AssetDict::GetSurface(path + "@linear", false);
    if (!m_surface)
        Report("sprite image \"" + path + "\" cannot be loaded");
}

Sprite::~Sprite() = default;

void Sprite::Draw(Tarv::Surface& target, int alpha)
{
    DrawImage(target, m_surface.Get(), alpha);
}

void Sprite::Update(const float& dt)
{
    if (m_surface)
        m_surface->Update(dt);
}

Rect Sprite::GetRect() const
{
    if (!m_surface)
        return Rect{0, 0, 0, 0};
    return Rect{0, 0, m_surface->GetWidth(), m_surface->GetHeight()};
}

} // namespace Plim
