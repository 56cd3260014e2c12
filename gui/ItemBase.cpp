// The common item properties: their reader and the guarded setters scripts use.
#include "gui/PlimItem.h"

#include "engine/core/XmlIterator.h"
#include "graphics/render/Surface.h"
#include "graphics/render/PixelDataGL.h"
#include "gui/Messages.h"

#include <algorithm>

namespace Plim
{

ItemBase::ItemBase() = default;
ItemBase::~ItemBase() = default;

void ItemBase::ReadCommonProperties(const Tarv::XmlIterator& item)
{
    Tarv::XmlIterator(item, "x").GetTextInt(m_x);
    Tarv::XmlIterator(item, "y").GetTextInt(m_y);
    m_relative = Tarv::XmlIterator(item, "relative").IsValid();
    const Tarv::XmlIterator visibility(item, "visibility");
    if (visibility.IsValid()) {
        m_visibilitySet = true;
        visibility.GetTextBool(m_visible);
    }
    const Tarv::XmlIterator touchable(item, "touchable");
    if (touchable.IsValid()) {
        m_touchableSet = true;
        touchable.GetTextBool(m_touchable);
    }
    const Tarv::XmlIterator alpha(item, "alpha");
    if (alpha.IsValid()) {
        m_alphaSet = true;
        alpha.GetTextInt(m_alpha);
    }
    const Tarv::XmlIterator compositing(item, "compositing");
    if (!compositing.IsValid())
        return;
    int width = 0, height = 0;
    Tarv::XmlIterator(compositing, "width").GetTextInt(width);
    Tarv::XmlIterator(compositing, "height").GetTextInt(height);
    // The size comes from the file: an empty or giant off-screen target is refused.
    if (width < 1 || height < 1 || width > MAX_COMPOSITING_SIZE || height > MAX_COMPOSITING_SIZE) {
        Report("compositing size " + std::to_string(width) + "x" + std::to_string(height) +
               " is outside 1.." + std::to_string(MAX_COMPOSITING_SIZE) + ": drawn without it");
        return;
    }
    m_compositing = true;
    m_compositingSurface =
        Tarv::MakeSmart<Tarv::Surface>(width, height, Tarv::PixelDataGL::FORMAT_RGBA8888);
}

void ItemBase::SetAlpha(int alpha)
{
    if (m_alphaSet)
        m_alpha = alpha;
}

void ItemBase::SetVisibility(bool visible)
{
    if (m_visibilitySet)
        m_visible = visible;
}

void ItemBase::SetTouchable(bool touchable)
{
    if (m_touchableSet)
        m_touchable = touchable;
}

int ItemBase::GetClampedAlpha() const
{
    return std::clamp(m_alpha, 0, 255);
}

} // namespace Plim
