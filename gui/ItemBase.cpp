// The common item properties: their reader and the guarded setters scripts use.
#include "gui/PlimItem.h"

#include "engine/core/XmlIterator.h"
#include "graphics/render/PixelDataGL.h"
#include "graphics/render/Surface.h"

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
    m_compositing = true;
    Tarv::XmlIterator(compositing, "width").GetTextInt(m_compositingWidth);
    Tarv::XmlIterator(compositing, "height").GetTextInt(m_compositingHeight);
    m_compositingSurface =
        Tarv::MakeSmart<Tarv::Surface>(m_compositingWidth, m_compositingHeight, Tarv::PixelDataGL::FORMAT_RGBA8888);
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

} // namespace Plim
