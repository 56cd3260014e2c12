// Plim::ItemBase and Plim::PlimItem: the fields every control and graphic has (position, relative
// flag, alpha, visibility, touchability, compositing) and the rules that follow the tree up:
// absolute position and effective alpha.
#pragma once

#include "engine/core/RefCounter.h"
#include "engine/core/SmartPtr.h"

namespace Tarv
{
class Surface;
class XmlIterator;
} // namespace Tarv

namespace Plim
{

template <class T>
class Node;

class ItemBase : public Tarv::RefCounter
{
public:
    ItemBase();
    ~ItemBase() override;
    ItemBase(const ItemBase&) = delete;
    ItemBase& operator=(const ItemBase&) = delete;

    // Reads "x", "y", "relative", "visibility", "touchable", "alpha" and "compositing" from the
    // item element's children (the first of each name; never through overrides). A word other
    // than "true"/"false" sets the property's flag and leaves the value false. A "compositing"
    // element always sets compositing, with an RGBA surface of the size it gives. An empty side
    // leaves that surface without pixels, silently; a side over the texture layer's limit is
    // turned down by that layer, which says so once (over the engine's limit when the surface is
    // made, over the driver's at its first draw), and nothing is drawn for it.
    void ReadCommonProperties(const Tarv::XmlIterator& item);

    int GetX() const { return m_x; }
    int GetY() const { return m_y; }
    void SetX(int x) { m_x = x; }
    void SetY(int y) { m_y = y; }
    bool IsRelative() const { return m_relative; }
    // As stored: layouts and scripts may give values outside 0..255, which are kept; drawing
    // takes the low 8 bits of the effective alpha.
    int GetAlpha() const { return m_alpha; }
    bool IsAlphaSet() const { return m_alphaSet; }
    // Changes the alpha only when the layout gave the property.
    void SetAlpha(int alpha);
    bool IsVisible() const { return m_visible; }
    bool IsVisibilitySet() const { return m_visibilitySet; }
    void SetVisibility(bool visible);
    // The item hides itself (and, for a control, its subtree).
    bool IsHidden() const { return m_visibilitySet && !m_visible; }
    bool GetTouchable() const { return m_touchable; }
    bool IsTouchableSet() const { return m_touchableSet; }
    void SetTouchable(bool touchable);
    // A candidate of the hit test.
    bool IsTouchable() const { return m_touchableSet && m_touchable; }
    bool IsCompositing() const { return m_compositing; }
    // True only while the item draws into its own compositing surface.
    bool IsCompositingActive() const { return m_compositing && m_compositingActive; }
    void SetCompositingActive(bool active) { m_compositingActive = active; }
    Tarv::Surface* GetCompositingSurface() const { return m_compositingSurface.Get(); }
    // As the layout gave them (0 for a missing or unreadable side).
    int GetCompositingWidth() const { return m_compositingWidth; }
    int GetCompositingHeight() const { return m_compositingHeight; }

private:
    Tarv::SmartPtr<Tarv::Surface> m_compositingSurface;
    int m_x = 0;
    int m_y = 0;
    bool m_relative = false;
    int m_alpha = 255;
    bool m_alphaSet = false;
    bool m_visible = false;
    bool m_visibilitySet = false;
    bool m_touchable = false;
    bool m_touchableSet = false;
    bool m_compositing = false;
    bool m_compositingActive = false;
    int m_compositingWidth = 0;
    int m_compositingHeight = 0;
};

// The item of a tree of T (controls or graphics); its node links it to the item above it.
template <class T>
class PlimItem : public ItemBase
{
public:
    Node<T>* GetNode() const { return m_node; }
    void SetNode(Node<T>* node) { m_node = node; }
    // The item of the parent node; null at a root or before the item is in a tree.
    T* GetParentItem() const;
    // 0 while compositing is active; else own x (y), plus the parent item's absolute x (y)
    // when relative. Sums saturate at the int range.
    int GetAbsX() const;
    int GetAbsY() const;
    // 255 while compositing is active; at a root the alpha when set, else 255; below a root the
    // parent's when the alpha is unset or 255, else alpha * parent's / 255 (truncated). Stored
    // values outside 0..255 take part as they are; the product is formed in 64 bits, and a
    // result beyond the int range saturates at it.
    int GetEffectiveAlpha() const;
    // Whether an item from this one up its parents has its alpha set, the walk ending with no
    // at an item that is drawing into its own compositing surface. When it is false the
    // effective alpha is 255 and drawing needs no blending for it.
    bool HasInheritedAlpha() const;

private:
    Node<T>* m_node = nullptr;
};

} // namespace Plim
