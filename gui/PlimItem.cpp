// The tree rules of items: parent item, absolute position and effective alpha.
#include "gui/PlimItem.h"

#include "gui/Control.h"
#include "gui/Graphic.h"
#include "gui/Node.h"

#include <algorithm>
#include <climits>

namespace Plim
{

template <class T>
T* PlimItem<T>::GetParentItem() const
{
    if (m_node == nullptr || m_node->GetParent() == nullptr)
        return nullptr;
    return m_node->GetParent()->GetItem();
}

template <class T>
int PlimItem<T>::GetAbsX() const
{
    if (IsCompositingActive())
        return 0;
    const T* parent = IsRelative() ? GetParentItem() : nullptr;
    const long long sum = static_cast<long long>(GetX()) + (parent != nullptr ? parent->GetAbsX() : 0);
    return static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
}

template <class T>
int PlimItem<T>::GetAbsY() const
{
    if (IsCompositingActive())
        return 0;
    const T* parent = IsRelative() ? GetParentItem() : nullptr;
    const long long sum = static_cast<long long>(GetY()) + (parent != nullptr ? parent->GetAbsY() : 0);
    return static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
}

template <class T>
int PlimItem<T>::GetEffectiveAlpha() const
{
    if (IsCompositingActive())
        return 255;
    const T* parent = GetParentItem();
    if (parent == nullptr)
        return IsAlphaSet() ? GetAlpha() : 255;
    if (!IsAlphaSet() || GetAlpha() == 255)
        return parent->GetEffectiveAlpha();
    // Alphas are not clamped, so a script's large value would overflow an int product.
    const long long product = static_cast<long long>(GetAlpha()) * parent->GetEffectiveAlpha() / 255;
    return static_cast<int>(std::clamp<long long>(product, INT_MIN, INT_MAX));
}

template <class T>
bool PlimItem<T>::HasInheritedAlpha() const
{
    for (const PlimItem<T>* item = this; item != nullptr; item = item->GetParentItem()) {
        if (item->IsCompositingActive())
            return false;
        if (item->IsAlphaSet())
            return true;
    }
    return false;
}

template class PlimItem<Control>;
template class PlimItem<Graphic>;

} // namespace Plim
